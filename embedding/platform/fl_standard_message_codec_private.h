#ifndef EMBEDDING_PLATFORM_FL_STANDARD_MESSAGE_CODEC_PRIVATE_H_
#define EMBEDDING_PLATFORM_FL_STANDARD_MESSAGE_CODEC_PRIVATE_H_

#include "byte_reader.h"
#include "flutter_linux/fl_standard_message_codec.h"

// The pieces of the standard encoding that the method codec writes and
// reads around the values: method names, error codes and messages, which
// are strings whatever a subclass does with values.

// Appends @text as a string value; refuses text that is not UTF-8.
gboolean fl_standard_message_codec_write_string(GByteArray* buffer,
                                                const gchar* text,
                                                GError** error);

// Reads a string's size and bytes, its type byte (at @type_offset) already
// read; @text points into the message, and its @length bytes may hold a
// U+0000, which ends the text.
bool fl_standard_message_codec_read_string_body(ByteReader& reader,
                                                size_t type_offset,
                                                const gchar** text,
                                                size_t* length);

// Reads a string value, or null when @null_allowed (then @text is NULL);
// @what names it in the error, e.g. "method name".
bool fl_standard_message_codec_read_string(ByteReader& reader,
                                           const char* what,
                                           bool null_allowed,
                                           const gchar** text,
                                           size_t* length);

#endif  // EMBEDDING_PLATFORM_FL_STANDARD_MESSAGE_CODEC_PRIVATE_H_
