// Preloaded into kestrune-call by its tests: a uname() that always fails, as
// on a system that refuses the call.

#include <sys/utsname.h>

#include <cerrno>

extern "C" __attribute__((visibility("default"))) int uname(
    struct utsname* name) __THROW {
  errno = ENOSYS;
  return -1;
}
