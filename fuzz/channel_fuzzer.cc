// Arbitrary bytes as a message on "kestrune", through the stand-in's
// messenger to the registered plugin. Every input must get exactly one
// reply that decodes as a reply, or a clean refusal with an error, and leave
// nothing alive behind.

#include <kestrune/kestrune_plugin.h>

#include <cstdint>
#include <cstdlib>

#include "embedding_host/embedding_host.h"

namespace {

struct Host {
  Host()
      : messenger(embedding_host_messenger_new()),
        registrar(embedding_host_registrar_new(messenger)),
        reply(g_byte_array_new()) {
    kestrune_plugin_register_with_registrar(registrar);
  }

  EmbeddingHostMessenger* messenger;
  FlPluginRegistrar* registrar;
  GByteArray* reply;
};

void check(bool condition) {
  if (!condition) {
    abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Host* host = new Host();

  g_autoptr(GError) error = nullptr;
  bool delivered = embedding_host_messenger_send(
      host->messenger, "kestrune", data, size, host->reply, &error);
  if (!delivered) {
    // Refused before reaching the plugin: an error says why, no reply.
    check(g_error_matches(error, EMBEDDING_HOST_ERROR,
                          EMBEDDING_HOST_ERROR_MALFORMED_MESSAGE));
    check(host->reply->len == 0);
  } else {
    check(error == nullptr);
    g_autoptr(GError) reply_error = nullptr;
    g_autoptr(FlMethodResponse) response = embedding_host_decode_response(
        host->reply->data, host->reply->len, &reply_error);
    check(response != nullptr);
  }

  EmbeddingHostLiveObjects live;
  embedding_host_get_live_objects(&live);
  check(live.method_calls == 0 && live.responses == 0 && live.values == 0);
  return 0;
}
