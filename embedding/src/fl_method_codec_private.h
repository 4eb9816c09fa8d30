#ifndef EMBEDDING_SRC_FL_METHOD_CODEC_PRIVATE_H_
#define EMBEDDING_SRC_FL_METHOD_CODEC_PRIVATE_H_

#include "flutter_linux/fl_method_codec.h"

// Dispatch to the codec's class functions; the channel and the method call
// reach the codec only through these.

gboolean fl_method_codec_decode_method_call(FlMethodCodec* codec,
                                            const guint8* message,
                                            gsize message_size,
                                            gchar** name,
                                            FlValue** args,
                                            GError** error);

gboolean fl_method_codec_encode_response(FlMethodCodec* codec,
                                         FlMethodResponse* response,
                                         GByteArray* buffer,
                                         GError** error);

#endif  // EMBEDDING_SRC_FL_METHOD_CODEC_PRIVATE_H_
