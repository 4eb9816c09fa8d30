// kestrune-round-trips METHOD COUNT: registers the plugin on the stand-in
// and makes COUNT wire round trips of METHOD (an encoded call in, an encoded
// reply out), for counting the instructions a round trip takes. The
// difference between two counts cancels what starting up costs.

#include <kestrune/kestrune_plugin.h>
#include <sys/utsname.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "embedding_host/embedding_host.h"

// The plugin copies the kernel's version text into every reply, so its
// length would change the count from one machine to another. This program's
// uname(), which the plugin binds to, answers with a fixed text instead: the
// one of the machine the budget was first measured on. Copying a ready
// answer costs about what the real call costs outside the kernel.
extern "C" __attribute__((visibility("default"))) int uname(
    struct utsname* name) __THROW {
  static const struct utsname kAnswer = [] {
    struct utsname answer;
    memset(&answer, 0, sizeof(answer));
    strcpy(answer.sysname, "Linux");
    strcpy(answer.version, "#1 SMP PREEMPT_DYNAMIC @0");
    strcpy(answer.machine, "x86_64");
    return answer;
  }();
  *name = kAnswer;
  return 0;
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: kestrune-round-trips METHOD COUNT\n");
    return 2;
  }
  const char* method = argv[1];
  long count = strtol(argv[2], nullptr, 10);

  g_autoptr(EmbeddingHost) host = embedding_host_new();
  embedding_host_register_plugin(host, "KestrunePlugin",
                                 kestrune_plugin_register_with_registrar);
  g_autoptr(GBytes) call = embedding_host_encode_method_call(
      embedding_host_get_codec(host), method, nullptr, nullptr);
  EmbeddingHostMessenger* messenger = embedding_host_get_messenger(host);

  for (long i = 0; i < count; i++) {
    GBytes* reply = embedding_host_messenger_send(messenger, "kestrune", call,
                                                  nullptr, nullptr);
    if (reply == nullptr) {
      fprintf(stderr, "kestrune-round-trips: call %ld got no reply\n", i);
      return 1;
    }
    g_bytes_unref(reply);
  }
  return 0;
}
