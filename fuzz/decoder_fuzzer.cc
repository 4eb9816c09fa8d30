// Arbitrary bytes into each decoder: values with the standard message codec
// and with a subclass that adds a type of its own, method calls, and
// replies. Each input is either decoded or refused with an error, never both
// and never neither; what decodes, encodes (the encoder takes whatever the
// decoder gives), and encodes to bytes that decode to the same encoding
// again.

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "embedding_host/embedding_host.h"
#include "point_codec.h"

namespace {

void check(bool condition) {
  if (!condition) {
    abort();
  }
}

struct Codecs {
  FlMessageCodec* standard = FL_MESSAGE_CODEC(fl_standard_message_codec_new());
  FlMessageCodec* with_points = FL_MESSAGE_CODEC(test_point_codec_new());
  FlMethodCodec* method =
      FL_METHOD_CODEC(fl_standard_method_codec_new_with_message_codec(
          FL_STANDARD_MESSAGE_CODEC(with_points)));
};

void fuzz_value(FlMessageCodec* codec, GBytes* message) {
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlValue) value =
      fl_message_codec_decode_message(codec, message, &error);
  check((value == nullptr) != (error == nullptr));
  if (value == nullptr) {
    check(error->domain == FL_MESSAGE_CODEC_ERROR);
    return;
  }
  g_autoptr(GBytes) encoded =
      fl_message_codec_encode_message(codec, value, nullptr);
  check(encoded != nullptr);
  g_autoptr(FlValue) again =
      fl_message_codec_decode_message(codec, encoded, nullptr);
  check(again != nullptr);
  g_autoptr(GBytes) encoded_again =
      fl_message_codec_encode_message(codec, again, nullptr);
  check(encoded_again != nullptr && g_bytes_equal(encoded, encoded_again));
}

void fuzz_method_call(FlMethodCodec* codec, GBytes* message) {
  g_autofree gchar* name = nullptr;
  g_autoptr(FlValue) args = nullptr;
  g_autoptr(GError) error = nullptr;
  bool decoded =
      embedding_host_decode_method_call(codec, message, &name, &args, &error);
  check(decoded == (error == nullptr));
  check(decoded == (name != nullptr && args != nullptr));
  if (decoded) {
    g_autoptr(GBytes) encoded =
        embedding_host_encode_method_call(codec, name, args, nullptr);
    check(encoded != nullptr);
    g_autofree gchar* name_again = nullptr;
    g_autoptr(FlValue) args_again = nullptr;
    check(embedding_host_decode_method_call(codec, encoded, &name_again,
                                            &args_again, nullptr));
    check(strcmp(name, name_again) == 0);
  }
}

void fuzz_response(FlMethodCodec* codec, GBytes* message) {
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlMethodResponse) response =
      embedding_host_decode_response(codec, message, &error);
  check((response == nullptr) != (error == nullptr));
  if (response != nullptr) {
    g_autoptr(GBytes) encoded =
        embedding_host_encode_response(codec, response, nullptr);
    check(encoded != nullptr);
    g_autoptr(FlMethodResponse) again =
        embedding_host_decode_response(codec, encoded, nullptr);
    check(again != nullptr && G_OBJECT_TYPE(again) == G_OBJECT_TYPE(response));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Codecs* codecs = new Codecs();
  g_autoptr(GBytes) message = g_bytes_new(data, size);
  fuzz_value(codecs->standard, message);
  fuzz_value(codecs->with_points, message);
  fuzz_method_call(codecs->method, message);
  fuzz_response(codecs->method, message);
  return 0;
}
