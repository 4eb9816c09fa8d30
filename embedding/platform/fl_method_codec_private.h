#ifndef EMBEDDING_PLATFORM_FL_METHOD_CODEC_PRIVATE_H_
#define EMBEDDING_PLATFORM_FL_METHOD_CODEC_PRIVATE_H_

#include "flutter_linux/fl_method_codec.h"

// The dispatchers of the codec's class functions, through which the
// platform's channels reach a codec. Each one that fails sets its GError.

GBytes* fl_method_codec_encode_method_call(FlMethodCodec* codec,
                                           const gchar* name,
                                           FlValue* args,
                                           GError** error);

gboolean fl_method_codec_decode_method_call(FlMethodCodec* codec,
                                            GBytes* message,
                                            gchar** name,
                                            FlValue** args,
                                            GError** error);

GBytes* fl_method_codec_encode_success_envelope(FlMethodCodec* codec,
                                                FlValue* result,
                                                GError** error);

GBytes* fl_method_codec_encode_error_envelope(FlMethodCodec* codec,
                                              const gchar* code,
                                              const gchar* message,
                                              FlValue* details,
                                              GError** error);

// The encoding of @response: a success or error envelope, or the empty
// message for the not-implemented response.
GBytes* fl_method_codec_encode_response(FlMethodCodec* codec,
                                        FlMethodResponse* response,
                                        GError** error);

FlMethodResponse* fl_method_codec_decode_response(FlMethodCodec* codec,
                                                  GBytes* message,
                                                  GError** error);

#endif  // EMBEDDING_PLATFORM_FL_METHOD_CODEC_PRIVATE_H_
