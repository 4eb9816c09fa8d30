#ifndef KESTRUNE_TESTS_PLUGIN_INTERPOSED_H_
#define KESTRUNE_TESTS_PLUGIN_INTERPOSED_H_

#include <sys/utsname.h>

#include <atomic>
#include <string>
#include <thread>

#include <flutter_linux/flutter_linux.h>

// The plugin's calls to uname() and to the embedding bind to the
// definitions in this test program, which forward to the real ones. They let
// a test make uname() fail, see what the plugin makes and count the
// responses it sends, without any seam in the plugin itself, and on any
// embedding library.
namespace interposed {

// When non-zero, uname() fails with this errno.
extern std::atomic<int> uname_errno;

// When non-empty, uname() succeeds with this as the kernel's version text.
extern std::string uname_version;

// How many times fl_method_call_respond() has been called, and how many of
// those were on another thread than respond_thread.
extern std::atomic<int> respond_calls;
extern std::thread::id respond_thread;
extern std::atomic<int> responds_on_another_thread;

// What the plugin made last, and how many: codecs, channels, and the user
// data of the last method-call handler set (borrowed; NULL before any).
extern int codecs_made;
extern FlStandardMethodCodec* last_codec;
extern int channels_made;
extern FlMethodChannel* last_channel;
extern gpointer last_handler_data;

// The kernel's own answer, straight from the system call.
struct utsname kernel_uname();

}  // namespace interposed

#endif  // KESTRUNE_TESTS_PLUGIN_INTERPOSED_H_
