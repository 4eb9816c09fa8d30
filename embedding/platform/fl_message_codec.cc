#include "flutter_linux/fl_message_codec.h"

#include "codec_failure.h"

G_DEFINE_QUARK(fl_message_codec_error_quark, fl_message_codec_error)

G_DEFINE_ABSTRACT_TYPE(FlMessageCodec, fl_message_codec, G_TYPE_OBJECT)

static void fl_message_codec_class_init(FlMessageCodecClass* klass) {}

static void fl_message_codec_init(FlMessageCodec* self) {}

GBytes* fl_message_codec_encode_message(FlMessageCodec* self,
                                        FlValue* message,
                                        GError** error) {
  g_return_val_if_fail(FL_IS_MESSAGE_CODEC(self), nullptr);
  g_autoptr(GError) failure = nullptr;
  GBytes* encoded =
      FL_MESSAGE_CODEC_GET_CLASS(self)->encode_message(self, message, &failure);
  if (encoded == nullptr) {
    pass_on_codec_failure("fl_message_codec_encode_message", &failure, error);
  }
  return encoded;
}

FlValue* fl_message_codec_decode_message(FlMessageCodec* self,
                                         GBytes* message,
                                         GError** error) {
  g_return_val_if_fail(FL_IS_MESSAGE_CODEC(self), nullptr);
  g_return_val_if_fail(message != nullptr, nullptr);
  g_autoptr(GError) failure = nullptr;
  FlValue* value =
      FL_MESSAGE_CODEC_GET_CLASS(self)->decode_message(self, message, &failure);
  if (value == nullptr) {
    pass_on_codec_failure("fl_message_codec_decode_message", &failure, error);
  }
  return value;
}
