#ifndef FLUTTER_LINUX_FL_MESSAGE_CODEC_H_
#define FLUTTER_LINUX_FL_MESSAGE_CODEC_H_

#if !defined(__FLUTTER_LINUX_INSIDE__) && !defined(FLUTTER_LINUX_COMPILATION)
#error "Only <flutter_linux/flutter_linux.h> can be included directly."
#endif

#include <glib-object.h>

#include "fl_value.h"

G_BEGIN_DECLS
#pragma GCC visibility push(default)

/**
 * FL_MESSAGE_CODEC_ERROR:
 *
 * The error domain of the codecs: what cannot be encoded, and messages that
 * do not decode.
 */
#define FL_MESSAGE_CODEC_ERROR fl_message_codec_error_quark()

/**
 * FlMessageCodecError:
 * @FL_MESSAGE_CODEC_ERROR_FAILED: the value or message is not valid.
 * @FL_MESSAGE_CODEC_ERROR_OUT_OF_DATA: the message ends early.
 * @FL_MESSAGE_CODEC_ERROR_ADDITIONAL_DATA: bytes are left after the message.
 * @FL_MESSAGE_CODEC_ERROR_UNSUPPORTED_TYPE: a type the codec does not know.
 */
typedef enum {
  FL_MESSAGE_CODEC_ERROR_FAILED,
  FL_MESSAGE_CODEC_ERROR_OUT_OF_DATA,
  FL_MESSAGE_CODEC_ERROR_ADDITIONAL_DATA,
  FL_MESSAGE_CODEC_ERROR_UNSUPPORTED_TYPE,
} FlMessageCodecError;

/**
 * fl_message_codec_error_quark:
 *
 * Returns: the quark of %FL_MESSAGE_CODEC_ERROR.
 */
GQuark fl_message_codec_error_quark(void) G_GNUC_CONST;

G_DECLARE_DERIVABLE_TYPE(FlMessageCodec,
                         fl_message_codec,
                         FL,
                         MESSAGE_CODEC,
                         GObject)

/**
 * FlMessageCodecClass:
 * @encode_message: see fl_message_codec_encode_message().
 * @decode_message: see fl_message_codec_decode_message().
 */
struct _FlMessageCodecClass {
  GObjectClass parent_class;

  GBytes* (*encode_message)(FlMessageCodec* codec,
                            FlValue* message,
                            GError** error);

  FlValue* (*decode_message)(FlMessageCodec* codec,
                             GBytes* message,
                             GError** error);
};

/**
 * fl_message_codec_encode_message:
 * @codec: an #FlMessageCodec.
 * @message: (transfer none) (nullable): the value to encode; %NULL stands
 *   for a null value.
 * @error: (nullable): return location for a #GError, or %NULL; set when
 *   @message cannot be encoded.
 *
 * Returns: (transfer full) (nullable): the encoded message, or %NULL with
 * @error set.
 */
GBytes* fl_message_codec_encode_message(FlMessageCodec* codec,
                                        FlValue* message,
                                        GError** error);

/**
 * fl_message_codec_decode_message:
 * @codec: an #FlMessageCodec.
 * @message: (transfer none): the bytes of exactly one value.
 * @error: (nullable): return location for a #GError, or %NULL; set when
 *   @message does not decode: among others with
 *   %FL_MESSAGE_CODEC_ERROR_OUT_OF_DATA when it ends early and
 *   %FL_MESSAGE_CODEC_ERROR_ADDITIONAL_DATA when bytes are left over. The
 *   standard codec reads the empty message as a null value.
 *
 * Returns: (transfer full) (nullable): the value, or %NULL with @error set.
 */
FlValue* fl_message_codec_decode_message(FlMessageCodec* codec,
                                         GBytes* message,
                                         GError** error);

#pragma GCC visibility pop
G_END_DECLS

#endif  // FLUTTER_LINUX_FL_MESSAGE_CODEC_H_
