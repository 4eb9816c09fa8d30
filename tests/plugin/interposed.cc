#include "interposed.h"

#include <dlfcn.h>
#include <flutter_linux/flutter_linux.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace interposed {

std::atomic<int> uname_errno{0};
std::string uname_version;
std::atomic<int> respond_calls{0};

struct utsname kernel_uname() {
  struct utsname name;
  memset(&name, 0, sizeof(name));
  syscall(SYS_uname, &name);
  return name;
}

}  // namespace interposed

// Default visibility: the plugin's call must find these in the program.
extern "C" __attribute__((visibility("default"))) int uname(
    struct utsname* name) __THROW {
  int failure = interposed::uname_errno.load();
  if (failure != 0) {
    errno = failure;
    return -1;
  }
  using Uname = int (*)(struct utsname*);
  static const auto real = reinterpret_cast<Uname>(dlsym(RTLD_NEXT, "uname"));
  int result = real(name);
  const std::string& version = interposed::uname_version;
  if (result == 0 && !version.empty()) {
    memset(name->version, 0, sizeof(name->version));
    memcpy(name->version, version.data(),
           std::min(version.size(), sizeof(name->version) - 1));
  }
  return result;
}

extern "C" __attribute__((visibility("default"))) gboolean
fl_method_call_respond(FlMethodCall* method_call,
                       FlMethodResponse* response,
                       GError** error) {
  interposed::respond_calls++;
  using Respond = gboolean (*)(FlMethodCall*, FlMethodResponse*, GError**);
  static const auto real =
      reinterpret_cast<Respond>(dlsym(RTLD_NEXT, "fl_method_call_respond"));
  return real(method_call, response, error);
}
