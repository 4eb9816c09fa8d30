#ifndef EMBEDDING_HOST_RESPONSE_HANDLE_H_
#define EMBEDDING_HOST_RESPONSE_HANDLE_H_

#include <flutter_linux/flutter_linux.h>

#include "completion.h"

// The stand-in messenger's way back to the sender of one message: it
// completes the sender's Completion once. Released unanswered, it tells
// the sender so and logs a critical, for that is a plugin's mistake.
G_DECLARE_FINAL_TYPE(EmbeddingHostResponseHandle,
                     embedding_host_response_handle,
                     EMBEDDING_HOST,
                     RESPONSE_HANDLE,
                     FlBinaryMessengerResponseHandle)

FlBinaryMessengerResponseHandle* embedding_host_response_handle_new(
    Completion* completion);

// Completes the sender's wait with @reply (may be NULL) or @error; takes
// over both. Fails with FL_BINARY_MESSENGER_ERROR_ALREADY_RESPONDED if the
// handle has been answered before.
gboolean embedding_host_response_handle_complete(
    FlBinaryMessengerResponseHandle* handle,
    GBytes* reply,
    GError* error,
    GError** already_responded);

#endif  // EMBEDDING_HOST_RESPONSE_HANDLE_H_
