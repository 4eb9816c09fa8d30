#ifndef FLUTTER_LINUX_FL_STANDARD_MESSAGE_CODEC_H_
#define FLUTTER_LINUX_FL_STANDARD_MESSAGE_CODEC_H_

#if !defined(__FLUTTER_LINUX_INSIDE__) && !defined(FLUTTER_LINUX_COMPILATION)
#error "Only <flutter_linux/flutter_linux.h> can be included directly."
#endif

#include <glib-object.h>
#include <stdint.h>

#include "fl_message_codec.h"

G_BEGIN_DECLS
#pragma GCC visibility push(default)

/**
 * FlStandardMessageCodec:
 *
 * The standard encoding of values. A subclass adds type bytes of its own by
 * overriding @write_value and @read_value_of_type and chaining up for the
 * rest; lists and maps reach the subclass for each of their elements.
 */
G_DECLARE_DERIVABLE_TYPE(FlStandardMessageCodec,
                         fl_standard_message_codec,
                         FL,
                         STANDARD_MESSAGE_CODEC,
                         FlMessageCodec)

/**
 * FlStandardMessageCodecClass:
 * @write_value: appends the encoding of @value (its type byte first) to
 *   @buffer, which holds the message from its first byte.
 * @read_value_of_type: reads the value whose type byte @type has just been
 *   read; @offset is just past the type byte and is moved past the value.
 */
struct _FlStandardMessageCodecClass {
  FlMessageCodecClass parent_class;

  gboolean (*write_value)(FlStandardMessageCodec* codec,
                          GByteArray* buffer,
                          FlValue* value,
                          GError** error);

  FlValue* (*read_value_of_type)(FlStandardMessageCodec* codec,
                                 GBytes* buffer,
                                 size_t* offset,
                                 int type,
                                 GError** error);
};

/**
 * fl_standard_message_codec_new:
 *
 * Returns: (transfer full): a new codec for the standard encoding.
 */
FlStandardMessageCodec* fl_standard_message_codec_new(void);

/**
 * fl_standard_message_codec_write_size:
 * @codec: an #FlStandardMessageCodec.
 * @buffer: the message being written.
 * @size: the size to write.
 *
 * Appends a size as the encoding writes it: one byte below 254, the byte
 * 254 and a uint16 up to 0xffff, the byte 255 and a uint32 above.
 */
void fl_standard_message_codec_write_size(FlStandardMessageCodec* codec,
                                          GByteArray* buffer,
                                          uint32_t size);

/**
 * fl_standard_message_codec_read_size:
 * @codec: an #FlStandardMessageCodec.
 * @buffer: (transfer none): the whole message.
 * @offset: (inout): where the size starts, from the start of the message.
 * @value: (out): return location for the size.
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * Reads a size at @offset and moves @offset past it.
 *
 * Returns: %TRUE, or %FALSE with @error set when the message ends early.
 */
gboolean fl_standard_message_codec_read_size(FlStandardMessageCodec* codec,
                                             GBytes* buffer,
                                             size_t* offset,
                                             uint32_t* value,
                                             GError** error);

/**
 * fl_standard_message_codec_write_value:
 * @codec: an #FlStandardMessageCodec.
 * @buffer: the message being written, from its first byte, which padding
 *   is counted from.
 * @value: (transfer none) (nullable): the value; %NULL stands for a null
 *   value.
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * Appends @value through the codec's @write_value. Refuses, with
 * %FL_MESSAGE_CODEC_ERROR, what its own decoder would refuse: strings that
 * are not UTF-8, lists and maps nested more than 512 deep, and sizes that do
 * not fit in 32 bits.
 *
 * Returns: %TRUE, or %FALSE with @error set.
 */
gboolean fl_standard_message_codec_write_value(FlStandardMessageCodec* codec,
                                               GByteArray* buffer,
                                               FlValue* value,
                                               GError** error);

/**
 * fl_standard_message_codec_read_value:
 * @codec: an #FlStandardMessageCodec.
 * @buffer: (transfer none): the whole message.
 * @offset: (inout): where the value starts, from the start of the message.
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * Reads the type byte at @offset and the value it starts through the codec's
 * @read_value_of_type, and moves @offset past the value. An unknown type
 * byte fails with %FL_MESSAGE_CODEC_ERROR_UNSUPPORTED_TYPE.
 *
 * Returns: (transfer full) (nullable): the value, or %NULL with @error set.
 */
FlValue* fl_standard_message_codec_read_value(FlStandardMessageCodec* codec,
                                              GBytes* buffer,
                                              size_t* offset,
                                              GError** error);

#pragma GCC visibility pop
G_END_DECLS

#endif  // FLUTTER_LINUX_FL_STANDARD_MESSAGE_CODEC_H_
