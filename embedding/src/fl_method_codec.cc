#include "flutter_linux/fl_method_codec.h"

#include "fl_method_codec_private.h"
#include "live_objects.h"

G_DEFINE_ABSTRACT_TYPE(FlMethodCodec, fl_method_codec, G_TYPE_OBJECT)

static void fl_method_codec_finalize(GObject* object) {
  live_objects::died(live_objects::kCodec);
  G_OBJECT_CLASS(fl_method_codec_parent_class)->finalize(object);
}

static void fl_method_codec_class_init(FlMethodCodecClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = fl_method_codec_finalize;
}

static void fl_method_codec_init(FlMethodCodec* self) {
  live_objects::born(live_objects::kCodec);
}

gboolean fl_method_codec_decode_method_call(FlMethodCodec* codec,
                                            const guint8* message,
                                            gsize message_size,
                                            gchar** name,
                                            FlValue** args,
                                            GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(codec), FALSE);
  return FL_METHOD_CODEC_GET_CLASS(codec)->decode_method_call(
      codec, message, message_size, name, args, error);
}

gboolean fl_method_codec_encode_response(FlMethodCodec* codec,
                                         FlMethodResponse* response,
                                         GByteArray* buffer,
                                         GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(codec), FALSE);
  return FL_METHOD_CODEC_GET_CLASS(codec)->encode_response(codec, response,
                                                           buffer, error);
}
