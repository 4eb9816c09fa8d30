// Arbitrary bytes as a message on "kestrune", through the stand-in's
// messenger to the registered plugin. Every input must get exactly one
// reply that decodes as a reply, or a clean refusal with an error, and leave
// nothing alive behind.

#include <kestrune/kestrune_plugin.h>

#include <cstdint>
#include <cstdlib>

#include "embedding_host/embedding_host.h"

namespace {

// The application's side with the plugin registered, made once.
struct RegisteredPlugin {
  RegisteredPlugin()
      : host(embedding_host_new()),
        codec(FL_METHOD_CODEC(fl_standard_method_codec_new())) {
    g_autoptr(FlPluginRegistrar) registrar =
        fl_plugin_registry_get_registrar_for_plugin(FL_PLUGIN_REGISTRY(host),
                                                    "KestrunePlugin");
    kestrune_plugin_register_with_registrar(registrar);
  }

  EmbeddingHost* host;
  FlMethodCodec* codec;
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
  g_autoptr(GBytes) reply = embedding_host_messenger_send(
      embedding_host_get_messenger(plugin->host), "kestrune", message, &error);
  if (reply == nullptr) {
    // Refused before reaching the plugin: the decoder's error says why.
    check(error != nullptr && error->domain == FL_MESSAGE_CODEC_ERROR);
  } else {
    check(error == nullptr);
    g_autoptr(FlMethodResponse) response =
        embedding_host_decode_response(plugin->codec, reply, nullptr);
    check(response != nullptr);
  }

  EmbeddingHostLiveObjects live;
  embedding_host_get_live_objects(&live);
  check(live.method_calls == 0 && live.responses == 0 && live.values == 0 &&
        live.response_handles == 0);
  return 0;
}
