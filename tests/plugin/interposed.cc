#include "interposed.h"

#include <dlfcn.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace interposed {

std::atomic<int> uname_errno{0};
std::string uname_version;
std::atomic<int> respond_calls{0};
std::thread::id respond_thread;
std::atomic<int> responds_on_another_thread{0};
int codecs_made = 0;
FlStandardMethodCodec* last_codec = nullptr;
int channels_made = 0;
FlMethodChannel* last_channel = nullptr;
gpointer last_handler_data = nullptr;

struct utsname kernel_uname() {
  struct utsname name;
  memset(&name, 0, sizeof(name));
  syscall(SYS_uname, &name);
  return name;
}

}  // namespace interposed

// The real definition of @name, further down the search order.
template <typename Function>
static Function next_definition(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

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
  if (std::this_thread::get_id() != interposed::respond_thread) {
    interposed::responds_on_another_thread++;
  }
  using Respond = gboolean (*)(FlMethodCall*, FlMethodResponse*, GError**);
  static const auto real = next_definition<Respond>("fl_method_call_respond");
  return real(method_call, response, error);
}

extern "C" __attribute__((visibility("default"))) FlStandardMethodCodec*
fl_standard_method_codec_new() {
  static const auto real = next_definition<FlStandardMethodCodec* (*)()>(
      "fl_standard_method_codec_new");
  interposed::codecs_made++;
  return interposed::last_codec = real();
}

extern "C" __attribute__((visibility("default"))) FlMethodChannel*
fl_method_channel_new(FlBinaryMessenger* messenger,
                      const gchar* name,
                      FlMethodCodec* codec) {
  using New =
      FlMethodChannel* (*)(FlBinaryMessenger*, const gchar*, FlMethodCodec*);
  static const auto real = next_definition<New>("fl_method_channel_new");
  interposed::channels_made++;
  return interposed::last_channel = real(messenger, name, codec);
}

extern "C" __attribute__((visibility("default"))) void
fl_method_channel_set_method_call_handler(
    FlMethodChannel* channel,
    FlMethodChannelMethodCallHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify) {
  using Set = void (*)(FlMethodChannel*, FlMethodChannelMethodCallHandler,
                       gpointer, GDestroyNotify);
  static const auto real =
      next_definition<Set>("fl_method_channel_set_method_call_handler");
  interposed::last_handler_data = user_data;
  real(channel, handler, user_data, destroy_notify);
}
