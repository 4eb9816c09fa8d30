#ifndef EMBEDDING_SRC_FL_METHOD_CHANNEL_PRIVATE_H_
#define EMBEDDING_SRC_FL_METHOD_CHANNEL_PRIVATE_H_

#include "flutter_linux/fl_method_channel.h"

// Hands a decoded call to the channel's handler, or answers with the empty
// reply if it has none. Takes over @name and @args.
void fl_method_channel_dispatch(
    FlMethodChannel* channel,
    gchar* name,
    FlValue* args,
    FlBinaryMessengerResponseHandle* response_handle);

// The user data of the channel's method-call handler, or NULL (borrowed).
gpointer fl_method_channel_peek_handler_data(FlMethodChannel* channel);

#endif  // EMBEDDING_SRC_FL_METHOD_CHANNEL_PRIVATE_H_
