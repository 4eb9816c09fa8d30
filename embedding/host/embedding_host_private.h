#ifndef EMBEDDING_HOST_EMBEDDING_HOST_PRIVATE_H_
#define EMBEDDING_HOST_EMBEDDING_HOST_PRIVATE_H_

#include "embedding_host/embedding_host.h"

// What the units of the application's side call of each other, and no
// program does.

// The application's answer to a message a plugin sends it, run in the
// messenger's main context: the reply, or NULL with @error set (with
// EMBEDDING_HOST_ERROR_NO_RESPONSE when the application left it
// unanswered).
typedef GBytes* (*EmbeddingHostApplicationHandler)(
    EmbeddingHostMessenger* messenger,
    const gchar* channel,
    GBytes* message,
    GError** error,
    gpointer user_data);

// Answers what plugins send with fl_binary_messenger_send_on_channel(),
// whatever the channel, with @handler; without one (NULL, or after
// shutdown) they get the empty reply. @user_data is borrowed: whoever sets
// a handler removes it before the data goes.
void embedding_host_messenger_set_application_handler(
    EmbeddingHostMessenger* messenger,
    EmbeddingHostApplicationHandler handler,
    gpointer user_data);

// A registrar that hands out @messenger, which it keeps alive.
FlPluginRegistrar* embedding_host_registrar_new(
    EmbeddingHostMessenger* messenger);

#endif  // EMBEDDING_HOST_EMBEDDING_HOST_PRIVATE_H_
