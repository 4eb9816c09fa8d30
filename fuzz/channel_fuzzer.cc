// Arbitrary bytes as a message on "kestrune", through the application's
// messenger to the registered plugin. Every input must get exactly one
// reply, and that reply must decode: a call the channel cannot decode gets
// the empty (not-implemented) reply and a warning. Leaks are for the
// sanitizer to find.

#include <kestrune/kestrune_plugin.h>

#include <cstdint>
#include <cstdlib>

#include "embedding_host/embedding_host.h"

namespace {

// The application's side with the plugin registered, made once.
struct RegisteredPlugin {
  RegisteredPlugin() : host(embedding_host_new()) {
    embedding_host_register_plugin(host, "KestrunePlugin",
                                   kestrune_plugin_register_with_registrar);
    // Most inputs do not decode: their warnings would only slow the run.
    g_log_set_writer_func(
        [](GLogLevelFlags level, const GLogField*, gsize, gpointer) {
          if ((level & G_LOG_LEVEL_WARNING) == 0) {
            abort();
          }
          return G_LOG_WRITER_HANDLED;
        },
        nullptr, nullptr);
  }

  EmbeddingHost* host;
};

void check(bool condition) {
  if (!condition) {
    abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static RegisteredPlugin* plugin = new RegisteredPlugin();

  g_autoptr(GBytes) message = g_bytes_new(data, size);
  g_autoptr(GError) error = nullptr;
  g_autoptr(GBytes) reply =
      embedding_host_messenger_send(embedding_host_get_messenger(plugin->host),
                                    "kestrune", message, nullptr, &error);
  check(reply != nullptr && error == nullptr);
  g_autoptr(FlMethodResponse) response = embedding_host_decode_response(
      embedding_host_get_codec(plugin->host), reply, nullptr);
  check(response != nullptr);
  return 0;
}
