#include "flutter_linux/fl_standard_method_codec.h"

#include <cstring>

#include "byte_reader.h"
#include "fl_standard_message_codec_private.h"

struct _FlStandardMethodCodec {
  FlMethodCodec parent_instance;

  // Writes and reads the values of calls and replies.
  FlStandardMessageCodec* message_codec;
};

G_DEFINE_FINAL_TYPE(FlStandardMethodCodec,
                    fl_standard_method_codec,
                    fl_method_codec_get_type())

namespace {

enum Envelope : guint8 {
  kSuccessEnvelope = 0,
  kErrorEnvelope = 1,
};

// Whatever follows a call or a reply is refused, a stack trace after an
// error's details included, as the platform refuses it.
bool expect_end(ByteReader& reader) {
  return reader.expect_end(FL_MESSAGE_CODEC_ERROR_FAILED,
                           "Unexpected extra data");
}

}  // namespace

static void fl_standard_method_codec_dispose(GObject* object) {
  g_clear_object(&FL_STANDARD_METHOD_CODEC(object)->message_codec);
  G_OBJECT_CLASS(fl_standard_method_codec_parent_class)->dispose(object);
}

static GBytes* fl_standard_method_codec_encode_method_call(FlMethodCodec* codec,
                                                           const gchar* name,
                                                           FlValue* args,
                                                           GError** error) {
  FlStandardMethodCodec* self = FL_STANDARD_METHOD_CODEC(codec);
  g_autoptr(GByteArray) buffer = g_byte_array_new();
  if (!fl_standard_message_codec_write_string(buffer, name, error) ||
      !fl_standard_message_codec_write_value(self->message_codec, buffer, args,
                                             error)) {
    return nullptr;
  }
  return g_byte_array_free_to_bytes(
      static_cast<GByteArray*>(g_steal_pointer(&buffer)));
}

static gboolean fl_standard_method_codec_decode_method_call(
    FlMethodCodec* codec,
    GBytes* message,
    gchar** name,
    FlValue** args,
    GError** error) {
  FlStandardMethodCodec* self = FL_STANDARD_METHOD_CODEC(codec);
  size_t offset = 0;
  ByteReader reader(message, &offset, error);
  const gchar* name_text = nullptr;
  size_t name_length = 0;
  if (!fl_standard_message_codec_read_string(reader, "method name", false,
                                             &name_text, &name_length)) {
    return FALSE;
  }
  // A method name is a C string for the plugin: cut at a U+0000, it would
  // name another method than the one called.
  if (memchr(name_text, '\0', name_length) != nullptr) {
    reader.fail(FL_MESSAGE_CODEC_ERROR_FAILED,
                "method name at offset 0 holds U+0000");
    return FALSE;
  }
  g_autoptr(FlValue) decoded_args = fl_standard_message_codec_read_value(
      self->message_codec, message, &offset, error);
  if (decoded_args == nullptr || !expect_end(reader)) {
    return FALSE;
  }
  *name = g_strndup(name_text, name_length);
  *args = static_cast<FlValue*>(g_steal_pointer(&decoded_args));
  return TRUE;
}

static GBytes* fl_standard_method_codec_encode_success_envelope(
    FlMethodCodec* codec,
    FlValue* result,
    GError** error) {
  FlStandardMethodCodec* self = FL_STANDARD_METHOD_CODEC(codec);
  g_autoptr(GByteArray) buffer = g_byte_array_new();
  guint8 envelope = kSuccessEnvelope;
  g_byte_array_append(buffer, &envelope, 1);
  if (!fl_standard_message_codec_write_value(self->message_codec, buffer,
                                             result, error)) {
    return nullptr;
  }
  return g_byte_array_free_to_bytes(
      static_cast<GByteArray*>(g_steal_pointer(&buffer)));
}

static GBytes* fl_standard_method_codec_encode_error_envelope(
    FlMethodCodec* codec,
    const gchar* code,
    const gchar* message,
    FlValue* details,
    GError** error) {
  FlStandardMethodCodec* self = FL_STANDARD_METHOD_CODEC(codec);
  g_autoptr(GByteArray) buffer = g_byte_array_new();
  guint8 envelope = kErrorEnvelope;
  g_byte_array_append(buffer, &envelope, 1);
  if (!fl_standard_message_codec_write_string(buffer, code, error)) {
    return nullptr;
  }
  bool message_written =
      message != nullptr
          ? fl_standard_message_codec_write_string(buffer, message, error)
          : fl_standard_message_codec_write_value(self->message_codec, buffer,
                                                  nullptr, error);
  if (!message_written || !fl_standard_message_codec_write_value(
                              self->message_codec, buffer, details, error)) {
    return nullptr;
  }
  return g_byte_array_free_to_bytes(
      static_cast<GByteArray*>(g_steal_pointer(&buffer)));
}

static FlMethodResponse* decode_error_envelope(FlStandardMethodCodec* self,
                                               GBytes* message,
                                               size_t* offset,
                                               ByteReader& reader,
                                               GError** error) {
  const gchar* code = nullptr;
  size_t code_length = 0;
  const gchar* text = nullptr;
  size_t text_length = 0;
  if (!fl_standard_message_codec_read_string(reader, "error code", false, &code,
                                             &code_length) ||
      !fl_standard_message_codec_read_string(reader, "error message", true,
                                             &text, &text_length)) {
    return nullptr;
  }
  g_autoptr(FlValue) details = fl_standard_message_codec_read_value(
      self->message_codec, message, offset, error);
  if (details == nullptr || !expect_end(reader)) {
    return nullptr;
  }
  g_autofree gchar* code_copy = g_strndup(code, code_length);
  g_autofree gchar* text_copy =
      text != nullptr ? g_strndup(text, text_length) : nullptr;
  FlValue* kept_details =
      fl_value_get_type(details) == FL_VALUE_TYPE_NULL ? nullptr : details;
  return FL_METHOD_RESPONSE(
      fl_method_error_response_new(code_copy, text_copy, kept_details));
}

static FlMethodResponse* fl_standard_method_codec_decode_response(
    FlMethodCodec* codec,
    GBytes* message,
    GError** error) {
  FlStandardMethodCodec* self = FL_STANDARD_METHOD_CODEC(codec);
  // The empty reply means "not implemented" to whoever reads replies; to
  // the codec it is a message that ends before it starts.
  size_t offset = 0;
  ByteReader reader(message, &offset, error);
  guint8 envelope = 0;
  if (!reader.read_number(&envelope)) {
    return nullptr;
  }
  if (envelope == kErrorEnvelope) {
    return decode_error_envelope(self, message, &offset, reader, error);
  }
  if (envelope != kSuccessEnvelope) {
    reader.fail(FL_MESSAGE_CODEC_ERROR_FAILED,
                "unknown reply kind %u at offset 0", envelope);
    return nullptr;
  }
  g_autoptr(FlValue) result = fl_standard_message_codec_read_value(
      self->message_codec, message, &offset, error);
  if (result == nullptr || !expect_end(reader)) {
    return nullptr;
  }
  return FL_METHOD_RESPONSE(fl_method_success_response_new(result));
}

static void fl_standard_method_codec_class_init(
    FlStandardMethodCodecClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = fl_standard_method_codec_dispose;
  FlMethodCodecClass* codec_class = FL_METHOD_CODEC_CLASS(klass);
  codec_class->encode_method_call = fl_standard_method_codec_encode_method_call;
  codec_class->decode_method_call = fl_standard_method_codec_decode_method_call;
  codec_class->encode_success_envelope =
      fl_standard_method_codec_encode_success_envelope;
  codec_class->encode_error_envelope =
      fl_standard_method_codec_encode_error_envelope;
  codec_class->decode_response = fl_standard_method_codec_decode_response;
}

static void fl_standard_method_codec_init(FlStandardMethodCodec* self) {}

FlStandardMethodCodec* fl_standard_method_codec_new(void) {
  g_autoptr(FlStandardMessageCodec) message_codec =
      fl_standard_message_codec_new();
  return fl_standard_method_codec_new_with_message_codec(message_codec);
}

FlStandardMethodCodec* fl_standard_method_codec_new_with_message_codec(
    FlStandardMessageCodec* message_codec) {
  g_return_val_if_fail(FL_IS_STANDARD_MESSAGE_CODEC(message_codec), nullptr);
  auto* self = FL_STANDARD_METHOD_CODEC(
      g_object_new(fl_standard_method_codec_get_type(), nullptr));
  self->message_codec = FL_STANDARD_MESSAGE_CODEC(g_object_ref(message_codec));
  return self;
}
