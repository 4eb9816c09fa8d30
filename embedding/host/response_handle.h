#ifndef EMBEDDING_HOST_RESPONSE_HANDLE_H_
#define EMBEDDING_HOST_RESPONSE_HANDLE_H_

#include <flutter_linux/flutter_linux.h>

// The way back to the sender of one message: it returns the sender's task
// once, from whichever thread answers. Released unanswered, it tells the
// sender so and logs a critical: a message nobody answers is a mistake, a
// plugin's, or the sender's when it did not decode.
G_DECLARE_FINAL_TYPE(EmbeddingHostResponseHandle,
                     embedding_host_response_handle,
                     EMBEDDING_HOST,
                     RESPONSE_HANDLE,
                     FlBinaryMessengerResponseHandle)

// @task is the sender's, taken over; its source object, the messenger,
// lives as long as it does. The handle lets go of it in @context, the
// messenger's.
FlBinaryMessengerResponseHandle* embedding_host_response_handle_new(
    GMainContext* context,
    const gchar* channel,
    GTask* task);

// Answers the sender with @reply (NULL for the empty reply), from any
// thread. Fails with FL_BINARY_MESSENGER_ERROR_ALREADY_RESPONDED if the
// handle has been answered before.
gboolean embedding_host_response_handle_respond(
    EmbeddingHostResponseHandle* handle,
    GBytes* reply,
    GError** error);

#endif  // EMBEDDING_HOST_RESPONSE_HANDLE_H_
