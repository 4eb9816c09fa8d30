#ifndef KESTRUNE_TESTS_PLUGIN_INTERPOSED_H_
#define KESTRUNE_TESTS_PLUGIN_INTERPOSED_H_

#include <sys/utsname.h>

#include <atomic>
#include <string>

// The plugin's calls to uname() and fl_method_call_respond() bind to the
// definitions in this test program, which forward to the real ones. They let
// a test make uname() fail and count the responses the plugin sends, without
// any seam in the plugin itself.
namespace interposed {

// When non-zero, uname() fails with this errno.
extern std::atomic<int> uname_errno;

// When non-empty, uname() succeeds with this as the kernel's version text.
extern std::string uname_version;

// How many times fl_method_call_respond() has been called.
extern std::atomic<int> respond_calls;

// The kernel's own answer, straight from the system call.
struct utsname kernel_uname();

}  // namespace interposed

#endif  // KESTRUNE_TESTS_PLUGIN_INTERPOSED_H_
