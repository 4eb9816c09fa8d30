// Arbitrary bytes into each decoder of the standard encoding. Each input is
// either decoded or refused with an error, never both and never neither; and
// what decodes, encodes to bytes that decode to the same encoding again.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "embedding_host/embedding_host.h"

namespace {

void check(bool condition) {
  if (!condition) {
    abort();
  }
}

// The bytes of @bytes, for a decoder.
struct Bytes {
  explicit Bytes(GBytes* bytes)
      : data(static_cast<const uint8_t*>(g_bytes_get_data(bytes, &size))) {}
  gsize size = 0;
  const uint8_t* data;
};

void fuzz_value(const uint8_t* data, size_t size) {
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlValue) value = embedding_host_decode_value(data, size, &error);
  check((value == nullptr) != (error == nullptr));
  if (value == nullptr) {
    check(error->domain == EMBEDDING_HOST_ERROR);
    return;
  }
  g_autoptr(GBytes) encoded = embedding_host_encode_value(value);
  Bytes bytes(encoded);
  g_autoptr(FlValue) again =
      embedding_host_decode_value(bytes.data, bytes.size, nullptr);
  check(again != nullptr);
  g_autoptr(GBytes) encoded_again = embedding_host_encode_value(again);
  check(g_bytes_equal(encoded, encoded_again));
}

void fuzz_method_call(const uint8_t* data, size_t size) {
  g_autofree gchar* name = nullptr;
  g_autoptr(FlValue) args = nullptr;
  g_autoptr(GError) error = nullptr;
  bool decoded =
      embedding_host_decode_method_call(data, size, &name, &args, &error);
  check(decoded == (error == nullptr));
  check(decoded == (name != nullptr && args != nullptr));
  if (decoded) {
    g_autoptr(GBytes) encoded = embedding_host_encode_method_call(name, args);
    Bytes bytes(encoded);
    g_autofree gchar* name_again = nullptr;
    g_autoptr(FlValue) args_again = nullptr;
    check(embedding_host_decode_method_call(bytes.data, bytes.size, &name_again,
                                            &args_again, nullptr));
    check(strcmp(name, name_again) == 0);
  }
}

void fuzz_response(const uint8_t* data, size_t size) {
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlMethodResponse) response =
      embedding_host_decode_response(data, size, &error);
  check((response == nullptr) != (error == nullptr));
  if (response != nullptr) {
    g_autoptr(GBytes) encoded = embedding_host_encode_response(response);
    Bytes bytes(encoded);
    g_autoptr(FlMethodResponse) again =
        embedding_host_decode_response(bytes.data, bytes.size, nullptr);
    check(again != nullptr && G_OBJECT_TYPE(again) == G_OBJECT_TYPE(response));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_value(data, size);
  fuzz_method_call(data, size);
  fuzz_response(data, size);

  EmbeddingHostLiveObjects live;
  embedding_host_get_live_objects(&live);
  check(live.values == 0 && live.responses == 0);
  return 0;
}
