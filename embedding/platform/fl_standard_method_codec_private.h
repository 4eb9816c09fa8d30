#ifndef EMBEDDING_PLATFORM_FL_STANDARD_METHOD_CODEC_PRIVATE_H_
#define EMBEDDING_PLATFORM_FL_STANDARD_METHOD_CODEC_PRIVATE_H_

#include "flutter_linux/fl_standard_method_codec.h"

// Decodes a call as the codec's decode_method_call does, but leaves the
// name in @message: @name points at its @name_length bytes there. A channel
// copies it into the call it makes, most often without an allocation.
gboolean fl_standard_method_codec_decode_method_call_in_place(
    FlStandardMethodCodec* codec,
    GBytes* message,
    const gchar** name,
    size_t* name_length,
    FlValue** args,
    GError** error);

#endif  // EMBEDDING_PLATFORM_FL_STANDARD_METHOD_CODEC_PRIVATE_H_
