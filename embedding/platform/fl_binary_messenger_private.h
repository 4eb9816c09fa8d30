#ifndef EMBEDDING_PLATFORM_FL_BINARY_MESSENGER_PRIVATE_H_
#define EMBEDDING_PLATFORM_FL_BINARY_MESSENGER_PRIVATE_H_

#include "flutter_linux/fl_binary_messenger.h"

// Why a message is answered with nothing: a method channel that cannot
// decode a call keeps the reason on the handle (taking over @error) and
// sends the refusal reply below; the stand-in's messenger hands the reason
// to the sender. Any other messenger sees an empty reply.
void fl_binary_messenger_response_handle_set_refusal(
    FlBinaryMessengerResponseHandle* response_handle,
    GError* error);

// The reason set above, if any (transfer full).
GError* fl_binary_messenger_response_handle_steal_refusal(
    FlBinaryMessengerResponseHandle* response_handle);

// The empty reply that says "look for the refusal", one shared instance
// (transfer none): telling it apart by its address keeps the look out of
// every other reply's way.
GBytes* fl_binary_messenger_refusal_reply();

#endif  // EMBEDDING_PLATFORM_FL_BINARY_MESSENGER_PRIVATE_H_
