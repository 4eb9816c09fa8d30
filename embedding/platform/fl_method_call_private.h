#ifndef EMBEDDING_PLATFORM_FL_METHOD_CALL_PRIVATE_H_
#define EMBEDDING_PLATFORM_FL_METHOD_CALL_PRIVATE_H_

#include "flutter_linux/fl_method_call.h"
#include "flutter_linux/fl_method_channel.h"

// Makes the call a channel hands to its handler. Takes over @args; the
// reply goes back through @channel and @response_handle.
FlMethodCall* fl_method_call_new(
    const gchar* name,
    FlValue* args,
    FlMethodChannel* channel,
    FlBinaryMessengerResponseHandle* response_handle);

#endif  // EMBEDDING_PLATFORM_FL_METHOD_CALL_PRIVATE_H_
