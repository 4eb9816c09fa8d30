#ifndef FLUTTER_LINUX_FL_STANDARD_METHOD_CODEC_H_
#define FLUTTER_LINUX_FL_STANDARD_METHOD_CODEC_H_

#if !defined(__FLUTTER_LINUX_INSIDE__) && !defined(FLUTTER_LINUX_COMPILATION)
#error "Only <flutter_linux/flutter_linux.h> can be included directly."
#endif

#include <glib-object.h>

#include "fl_method_codec.h"
#include "fl_standard_message_codec.h"

G_BEGIN_DECLS
#pragma GCC visibility push(default)

G_DECLARE_FINAL_TYPE(FlStandardMethodCodec,
                     fl_standard_method_codec,
                     FL,
                     STANDARD_METHOD_CODEC,
                     FlMethodCodec)

/**
 * fl_standard_method_codec_new:
 *
 * Returns: (transfer full): a new codec for the standard method encoding.
 */
FlStandardMethodCodec* fl_standard_method_codec_new(void);

/**
 * fl_standard_method_codec_new_with_message_codec:
 * @message_codec: (transfer none): writes and reads the values of calls
 *   and replies; the method codec keeps a reference.
 *
 * Returns: (transfer full): a new codec for the standard method encoding
 * whose values go through @message_codec, a subclass of the standard message
 * codec with types of its own, for example.
 */
FlStandardMethodCodec* fl_standard_method_codec_new_with_message_codec(
    FlStandardMessageCodec* message_codec);

#pragma GCC visibility pop
G_END_DECLS

#endif  // FLUTTER_LINUX_FL_STANDARD_METHOD_CODEC_H_
