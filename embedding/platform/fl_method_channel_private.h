#ifndef EMBEDDING_PLATFORM_FL_METHOD_CHANNEL_PRIVATE_H_
#define EMBEDDING_PLATFORM_FL_METHOD_CHANNEL_PRIVATE_H_

#include "flutter_linux/fl_method_channel.h"

// Hands a decoded call to the channel's handler, or answers with the empty
// reply if it has none. @name is @name_length bytes long and copied; @args
// is taken over.
void fl_method_channel_dispatch(
    FlMethodChannel* channel,
    const gchar* name,
    size_t name_length,
    FlValue* args,
    FlBinaryMessengerResponseHandle* response_handle);

// Encodes @response with the channel's codec and sends it through
// @response_handle of the channel's messenger. Fails, leaving the handle
// unanswered, when the response cannot be encoded.
gboolean fl_method_channel_respond(
    FlMethodChannel* channel,
    FlBinaryMessengerResponseHandle* response_handle,
    FlMethodResponse* response,
    GError** error);

// The channel behind a messenger's handler and its user data, or NULL when
// the handler is not a method channel's.
FlMethodChannel* fl_method_channel_from_message_handler(
    FlBinaryMessengerMessageHandler handler,
    gpointer user_data);

// The user data of the channel's method-call handler, or NULL (borrowed).
gpointer fl_method_channel_peek_handler_data(FlMethodChannel* channel);

#endif  // EMBEDDING_PLATFORM_FL_METHOD_CHANNEL_PRIVATE_H_
