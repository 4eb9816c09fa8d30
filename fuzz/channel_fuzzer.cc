// Arbitrary bytes as a message on "kestrune", through the application's
// messenger to the registered plugin. Every input must get exactly one
// answer: a reply that decodes, or, for a call the channel cannot decode,
// which it warns about and releases unanswered, NO_RESPONSE. Leaks are for
// the sanitizer to find.

#include <kestrune/kestrune_plugin.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "embedding_host/embedding_host.h"

namespace {

// The application's side with the plugin registered, made once.
struct RegisteredPlugin {
  RegisteredPlugin() : host(embedding_host_new()) {
    embedding_host_register_plugin(host, "KestrunePlugin",
                                   kestrune_plugin_register_with_registrar);
    // Most inputs do not decode: their warnings, and the application side's
    // critical about the released call, would only slow the run. Any other
    // critical is a fault.
    g_log_set_writer_func(
        [](GLogLevelFlags level, const GLogField* fields, gsize count,
           gpointer) {
          const gchar* message = "";
          for (gsize i = 0; i < count; i++) {
            if (g_strcmp0(fields[i].key, "MESSAGE") == 0) {
              message = static_cast<const gchar*>(fields[i].value);
            }
          }
          if ((level & G_LOG_LEVEL_WARNING) == 0 &&
              strstr(message, "released without a response") == nullptr) {
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
  if (reply == nullptr) {
    check(g_error_matches(error, EMBEDDING_HOST_ERROR,
                          EMBEDDING_HOST_ERROR_NO_RESPONSE));
    return 0;
  }
  g_autoptr(FlMethodResponse) response = embedding_host_decode_response(
      embedding_host_get_codec(plugin->host), reply, nullptr);
  check(response != nullptr);
  return 0;
}
