#ifndef EMBEDDING_PLATFORM_FL_BINARY_MESSENGER_PRIVATE_H_
#define EMBEDDING_PLATFORM_FL_BINARY_MESSENGER_PRIVATE_H_

#include "flutter_linux/fl_binary_messenger.h"

// Why a message is answered with nothing: a method channel that cannot
// decode a call says so here before it sends the empty reply, and the
// stand-in's messenger hands the reason to the sender. Takes over @error.
void fl_binary_messenger_response_handle_set_refusal(
    FlBinaryMessengerResponseHandle* response_handle,
    GError* error);

// The reason set above, if any (transfer full).
GError* fl_binary_messenger_response_handle_steal_refusal(
    FlBinaryMessengerResponseHandle* response_handle);

#endif  // EMBEDDING_PLATFORM_FL_BINARY_MESSENGER_PRIVATE_H_
