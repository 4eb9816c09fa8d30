#ifndef EMBEDDING_SRC_FL_METHOD_CALL_PRIVATE_H_
#define EMBEDDING_SRC_FL_METHOD_CALL_PRIVATE_H_

#include "flutter_linux/fl_method_call.h"
#include "flutter_linux/fl_method_codec.h"

// Makes the call a channel hands to its handler. Takes over @name and @args;
// the reply is encoded with @codec and goes back through @response_handle.
FlMethodCall* fl_method_call_new(
    gchar* name,
    FlValue* args,
    FlMethodCodec* codec,
    FlBinaryMessengerResponseHandle* response_handle);

#endif  // EMBEDDING_SRC_FL_METHOD_CALL_PRIVATE_H_
