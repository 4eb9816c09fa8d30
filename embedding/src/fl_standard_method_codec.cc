#include "flutter_linux/fl_standard_method_codec.h"

#include "standard_encoding.h"

struct _FlStandardMethodCodec {
  FlMethodCodec parent_instance;
};

G_DEFINE_FINAL_TYPE(FlStandardMethodCodec,
                    fl_standard_method_codec,
                    fl_method_codec_get_type())

static gboolean fl_standard_method_codec_encode_method_call(
    FlMethodCodec* codec,
    const gchar* name,
    FlValue* args,
    GByteArray* buffer,
    GError** error) {
  standard_encoding::write_method_call(buffer, name, args);
  return TRUE;
}

static gboolean fl_standard_method_codec_decode_method_call(
    FlMethodCodec* codec,
    const guint8* message,
    gsize message_size,
    gchar** name,
    FlValue** args,
    GError** error) {
  return standard_encoding::read_method_call(message, message_size, name, args,
                                             error);
}

static gboolean fl_standard_method_codec_encode_response(
    FlMethodCodec* codec,
    FlMethodResponse* response,
    GByteArray* buffer,
    GError** error) {
  standard_encoding::write_response(buffer, response);
  return TRUE;
}

static FlMethodResponse* fl_standard_method_codec_decode_response(
    FlMethodCodec* codec,
    const guint8* message,
    gsize message_size,
    GError** error) {
  return standard_encoding::read_response(message, message_size, error);
}

static void fl_standard_method_codec_class_init(
    FlStandardMethodCodecClass* klass) {
  FlMethodCodecClass* codec_class = FL_METHOD_CODEC_CLASS(klass);
  codec_class->encode_method_call = fl_standard_method_codec_encode_method_call;
  codec_class->decode_method_call = fl_standard_method_codec_decode_method_call;
  codec_class->encode_response = fl_standard_method_codec_encode_response;
  codec_class->decode_response = fl_standard_method_codec_decode_response;
}

static void fl_standard_method_codec_init(FlStandardMethodCodec* self) {}

FlStandardMethodCodec* fl_standard_method_codec_new(void) {
  return FL_STANDARD_METHOD_CODEC(
      g_object_new(fl_standard_method_codec_get_type(), nullptr));
}
