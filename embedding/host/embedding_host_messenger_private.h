#ifndef EMBEDDING_HOST_EMBEDDING_HOST_MESSENGER_PRIVATE_H_
#define EMBEDDING_HOST_EMBEDDING_HOST_MESSENGER_PRIVATE_H_

#include "embedding_host/embedding_host.h"

// The application's answer to a message a plugin sends it, run in the
// messenger's main context: the reply, or NULL with @error set, or NULL
// alone to leave the message unanswered.
typedef GBytes* (*EmbeddingHostApplicationHandler)(
    EmbeddingHostMessenger* messenger,
    const gchar* channel,
    GBytes* message,
    GError** error,
    gpointer user_data);

// Installs @handler for what plugins send on @channel with
// fl_binary_messenger_send_on_channel(), replacing (and dropping) any
// handler there. A NULL @handler removes it. Shutdown drops it too.
void embedding_host_messenger_set_application_handler(
    EmbeddingHostMessenger* messenger,
    const gchar* channel,
    EmbeddingHostApplicationHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify);

// A registrar that hands out @messenger, which it keeps alive.
FlPluginRegistrar* embedding_host_registrar_new(
    EmbeddingHostMessenger* messenger);

#endif  // EMBEDDING_HOST_EMBEDDING_HOST_MESSENGER_PRIVATE_H_
