#ifndef FLUTTER_LINUX_FL_BINARY_MESSENGER_H_
#define FLUTTER_LINUX_FL_BINARY_MESSENGER_H_

#if !defined(__FLUTTER_LINUX_INSIDE__) && !defined(FLUTTER_LINUX_COMPILATION)
#error "Only <flutter_linux/flutter_linux.h> can be included directly."
#endif

#include <glib-object.h>

G_BEGIN_DECLS
#pragma GCC visibility push(default)

G_DECLARE_INTERFACE(FlBinaryMessenger,
                    fl_binary_messenger,
                    FL,
                    BINARY_MESSENGER,
                    GObject)

/**
 * FlBinaryMessengerResponseHandle:
 *
 * The way back to the sender of one message. Every message handed to a
 * message handler is answered exactly once through its handle.
 */
typedef struct _FlBinaryMessengerResponseHandle FlBinaryMessengerResponseHandle;

/**
 * FlBinaryMessengerMessageHandler:
 * @messenger: the messenger that received the message.
 * @channel: the channel name the message was sent on.
 * @message: (array length=message_size): the message bytes, valid for the
 *   duration of the call.
 * @message_size: the number of bytes in @message.
 * @response_handle: (transfer none): where the reply goes.
 * @user_data: the data given with the handler.
 */
typedef void (*FlBinaryMessengerMessageHandler)(
    FlBinaryMessenger* messenger,
    const gchar* channel,
    const guint8* message,
    gsize message_size,
    FlBinaryMessengerResponseHandle* response_handle,
    gpointer user_data);

/**
 * FlBinaryMessengerInterface:
 * @set_message_handler_on_channel: installs @handler for messages on
 *   @channel, replacing (and dropping) any handler already there. The
 *   messenger calls @destroy_notify on @user_data exactly once, when it drops
 *   the handler. A %NULL @handler removes the channel's handler.
 */
struct _FlBinaryMessengerInterface {
  GTypeInterface g_iface;

  void (*set_message_handler_on_channel)(
      FlBinaryMessenger* messenger,
      const gchar* channel,
      FlBinaryMessengerMessageHandler handler,
      gpointer user_data,
      GDestroyNotify destroy_notify);
};

#pragma GCC visibility pop
G_END_DECLS

#endif  // FLUTTER_LINUX_FL_BINARY_MESSENGER_H_
