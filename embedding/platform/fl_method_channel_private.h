#ifndef EMBEDDING_PLATFORM_FL_METHOD_CHANNEL_PRIVATE_H_
#define EMBEDDING_PLATFORM_FL_METHOD_CHANNEL_PRIVATE_H_

#include "flutter_linux/fl_method_channel.h"

// Encodes @response with the channel's codec and sends it through
// @response_handle of the channel's messenger. Fails, leaving the handle
// unanswered, when the response cannot be encoded, or with
// G_IO_ERROR_CLOSED when the channel is closed.
gboolean fl_method_channel_respond(
    FlMethodChannel* channel,
    FlBinaryMessengerResponseHandle* response_handle,
    FlMethodResponse* response,
    GError** error);

#endif  // EMBEDDING_PLATFORM_FL_METHOD_CHANNEL_PRIVATE_H_
