#ifndef EMBEDDING_PLATFORM_FL_METHOD_CALL_PRIVATE_H_
#define EMBEDDING_PLATFORM_FL_METHOD_CALL_PRIVATE_H_

#include "flutter_linux/fl_method_call.h"
#include "flutter_linux/fl_method_channel.h"

// Makes the call a channel hands to its handler. Takes over @name and @args;
// the reply is encoded by @channel and goes back through @response_handle
// of @messenger.
FlMethodCall* fl_method_call_new(
    gchar* name,
    FlValue* args,
    FlMethodChannel* channel,
    FlBinaryMessenger* messenger,
    FlBinaryMessengerResponseHandle* response_handle);

#endif  // EMBEDDING_PLATFORM_FL_METHOD_CALL_PRIVATE_H_
