#include "platform_headers_test_host.h"

#include <gtest/gtest.h>

#include "embedding_host/embedding_host.h"

namespace header_test_host {

FlPluginRegistrar* new_registrar() {
  g_autoptr(EmbeddingHostMessenger) messenger = embedding_host_messenger_new();
  return embedding_host_registrar_new(messenger);
}

void send_call(FlPluginRegistrar* registrar,
               const char* channel,
               const char* method) {
  auto* messenger =
      EMBEDDING_HOST_MESSENGER(fl_plugin_registrar_get_messenger(registrar));
  g_autoptr(GBytes) call = embedding_host_encode_method_call(method, nullptr);
  g_autoptr(GByteArray) reply = g_byte_array_new();
  gsize size = 0;
  const auto* data = static_cast<const guint8*>(g_bytes_get_data(call, &size));
  EXPECT_TRUE(embedding_host_messenger_send(messenger, channel, data, size,
                                            reply, nullptr));
}

void shutdown(FlPluginRegistrar* registrar) {
  embedding_host_messenger_shutdown(
      EMBEDDING_HOST_MESSENGER(fl_plugin_registrar_get_messenger(registrar)));
}

}  // namespace header_test_host
