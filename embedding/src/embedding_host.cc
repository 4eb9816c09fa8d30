// The host side's encoding helpers: what an application's Dart side does to
// the bytes it sends and receives.

#include "embedding_host/embedding_host.h"

#include "live_objects.h"
#include "standard_encoding.h"

G_DEFINE_QUARK(embedding - host - error - quark, embedding_host_error)

GBytes* embedding_host_encode_value(FlValue* value) {
  g_return_val_if_fail(value != nullptr, nullptr);
  GByteArray* buffer = g_byte_array_new();
  standard_encoding::write_value(buffer, value);
  return g_byte_array_free_to_bytes(buffer);
}

FlValue* embedding_host_decode_value(const guint8* message,
                                     gsize message_size,
                                     GError** error) {
  g_return_val_if_fail(message != nullptr || message_size == 0, nullptr);
  return standard_encoding::read_value(message, message_size, error);
}

GBytes* embedding_host_encode_method_call(const gchar* name, FlValue* args) {
  g_return_val_if_fail(name != nullptr, nullptr);
  GByteArray* buffer = g_byte_array_new();
  standard_encoding::write_method_call(buffer, name, args);
  return g_byte_array_free_to_bytes(buffer);
}

gboolean embedding_host_decode_method_call(const guint8* message,
                                           gsize message_size,
                                           gchar** name,
                                           FlValue** args,
                                           GError** error) {
  g_return_val_if_fail(message != nullptr || message_size == 0, FALSE);
  g_return_val_if_fail(name != nullptr && args != nullptr, FALSE);
  return standard_encoding::read_method_call(message, message_size, name, args,
                                             error);
}

GBytes* embedding_host_encode_response(FlMethodResponse* response) {
  g_return_val_if_fail(FL_IS_METHOD_RESPONSE(response), nullptr);
  GByteArray* buffer = g_byte_array_new();
  standard_encoding::write_response(buffer, response);
  return g_byte_array_free_to_bytes(buffer);
}

FlMethodResponse* embedding_host_decode_response(const guint8* message,
                                                 gsize message_size,
                                                 GError** error) {
  g_return_val_if_fail(message != nullptr || message_size == 0, nullptr);
  return standard_encoding::read_response(message, message_size, error);
}

namespace live_objects {
std::atomic<gsize> counts[kKindCount];
}  // namespace live_objects

void embedding_host_get_live_objects(EmbeddingHostLiveObjects* counts) {
  g_return_if_fail(counts != nullptr);
  counts->values = live_objects::counts[live_objects::kValue].load();
  counts->method_calls = live_objects::counts[live_objects::kMethodCall].load();
  counts->responses = live_objects::counts[live_objects::kResponse].load();
  counts->channels = live_objects::counts[live_objects::kChannel].load();
  counts->codecs = live_objects::counts[live_objects::kCodec].load();
}
