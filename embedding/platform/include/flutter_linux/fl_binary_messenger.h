#ifndef FLUTTER_LINUX_FL_BINARY_MESSENGER_H_
#define FLUTTER_LINUX_FL_BINARY_MESSENGER_H_

#if !defined(__FLUTTER_LINUX_INSIDE__) && !defined(FLUTTER_LINUX_COMPILATION)
#error "Only <flutter_linux/flutter_linux.h> can be included directly."
#endif

#include <gio/gio.h>
#include <glib-object.h>
#include <stdbool.h>
#include <stdint.h>

G_BEGIN_DECLS
#pragma GCC visibility push(default)

/**
 * FL_BINARY_MESSENGER_ERROR:
 *
 * The error domain of #FlBinaryMessenger.
 */
#define FL_BINARY_MESSENGER_ERROR fl_binary_messenger_codec_error_quark()

/**
 * FlBinaryMessengerError:
 * @FL_BINARY_MESSENGER_ERROR_ALREADY_RESPONDED: a response was sent through
 *   a handle that has already been answered.
 */
typedef enum {
  FL_BINARY_MESSENGER_ERROR_ALREADY_RESPONDED,
} FlBinaryMessengerError;

/**
 * fl_binary_messenger_codec_error_quark:
 *
 * Returns: the quark of %FL_BINARY_MESSENGER_ERROR (the name says "codec",
 * as the platform's does).
 */
GQuark fl_binary_messenger_codec_error_quark(void) G_GNUC_CONST;

G_DECLARE_INTERFACE(FlBinaryMessenger,
                    fl_binary_messenger,
                    FL,
                    BINARY_MESSENGER,
                    GObject)

/**
 * FlBinaryMessengerResponseHandle:
 *
 * The way back to the sender of one message. Each message handed to a
 * message handler is answered once through its handle, now or later, from
 * any thread.
 */
G_DECLARE_DERIVABLE_TYPE(FlBinaryMessengerResponseHandle,
                         fl_binary_messenger_response_handle,
                         FL,
                         BINARY_MESSENGER_RESPONSE_HANDLE,
                         GObject)

struct _FlBinaryMessengerResponseHandleClass {
  GObjectClass parent_class;
};

/**
 * FlBinaryMessengerMessageHandler:
 * @messenger: the messenger that received the message.
 * @channel: the channel name the message was sent on.
 * @message: the message.
 * @response_handle: (transfer none): where the reply goes; take a reference
 *   to answer after the handler has returned.
 * @user_data: the data given with the handler.
 */
typedef void (*FlBinaryMessengerMessageHandler)(
    FlBinaryMessenger* messenger,
    const gchar* channel,
    GBytes* message,
    FlBinaryMessengerResponseHandle* response_handle,
    gpointer user_data);

/**
 * FlBinaryMessengerInterface:
 * @set_message_handler_on_channel: see
 *   fl_binary_messenger_set_message_handler_on_channel().
 * @send_response: see fl_binary_messenger_send_response().
 * @send_on_channel: see fl_binary_messenger_send_on_channel().
 * @send_on_channel_finish: see fl_binary_messenger_send_on_channel_finish().
 * @resize_channel: see fl_binary_messenger_resize_channel().
 * @set_warns_on_channel_overflow: see
 *   fl_binary_messenger_set_warns_on_channel_overflow().
 */
struct _FlBinaryMessengerInterface {
  GTypeInterface parent_iface;

  void (*set_message_handler_on_channel)(
      FlBinaryMessenger* messenger,
      const gchar* channel,
      FlBinaryMessengerMessageHandler handler,
      gpointer user_data,
      GDestroyNotify destroy_notify);

  gboolean (*send_response)(FlBinaryMessenger* messenger,
                            FlBinaryMessengerResponseHandle* response_handle,
                            GBytes* response,
                            GError** error);

  void (*send_on_channel)(FlBinaryMessenger* messenger,
                          const gchar* channel,
                          GBytes* message,
                          GCancellable* cancellable,
                          GAsyncReadyCallback callback,
                          gpointer user_data);

  GBytes* (*send_on_channel_finish)(FlBinaryMessenger* messenger,
                                    GAsyncResult* result,
                                    GError** error);

  void (*resize_channel)(FlBinaryMessenger* messenger,
                         const gchar* channel,
                         int64_t new_size);

  void (*set_warns_on_channel_overflow)(FlBinaryMessenger* messenger,
                                        const gchar* channel,
                                        bool warns);
};

/**
 * fl_binary_messenger_set_message_handler_on_channel:
 * @messenger: an #FlBinaryMessenger.
 * @channel: the channel name.
 * @handler: (nullable): the handler, or %NULL to remove the channel's one.
 * @user_data: (closure): data passed to @handler.
 * @destroy_notify: (nullable): called on @user_data exactly once, when the
 *   messenger drops the handler: when it is replaced or removed, or when the
 *   messenger shuts down.
 *
 * Installs @handler for the messages the application sends on @channel.
 */
void fl_binary_messenger_set_message_handler_on_channel(
    FlBinaryMessenger* messenger,
    const gchar* channel,
    FlBinaryMessengerMessageHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify);

/**
 * fl_binary_messenger_send_response:
 * @messenger: the #FlBinaryMessenger the message came from.
 * @response_handle: (transfer none): the message's handle.
 * @response: (transfer none) (nullable): the reply; %NULL sends the empty
 *   reply, which the application reads as "not implemented".
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * Answers a message. A handle is answered once: a second response fails with
 * %FL_BINARY_MESSENGER_ERROR_ALREADY_RESPONDED.
 *
 * Returns: %TRUE if the reply was sent.
 */
gboolean fl_binary_messenger_send_response(
    FlBinaryMessenger* messenger,
    FlBinaryMessengerResponseHandle* response_handle,
    GBytes* response,
    GError** error);

/**
 * fl_binary_messenger_send_on_channel:
 * @messenger: an #FlBinaryMessenger.
 * @channel: the channel name.
 * @message: (transfer none) (nullable): the message; %NULL sends the empty
 *   message.
 * @cancellable: (nullable): a #GCancellable, to give up waiting for the
 *   reply.
 * @callback: (scope async) (nullable): called with the reply, in the
 *   thread-default main context of the caller.
 * @user_data: (closure): data passed to @callback.
 *
 * Sends a message to the application.
 */
void fl_binary_messenger_send_on_channel(FlBinaryMessenger* messenger,
                                         const gchar* channel,
                                         GBytes* message,
                                         GCancellable* cancellable,
                                         GAsyncReadyCallback callback,
                                         gpointer user_data);

/**
 * fl_binary_messenger_send_on_channel_finish:
 * @messenger: the #FlBinaryMessenger that sent the message.
 * @result: the #GAsyncResult given to the callback.
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * Finishes fl_binary_messenger_send_on_channel().
 *
 * Returns: (transfer full) (nullable): the application's reply (empty when
 * nothing on the application's side handles the channel), or %NULL with
 * @error set.
 */
GBytes* fl_binary_messenger_send_on_channel_finish(FlBinaryMessenger* messenger,
                                                   GAsyncResult* result,
                                                   GError** error);

/**
 * fl_binary_messenger_resize_channel:
 * @messenger: an #FlBinaryMessenger.
 * @channel: the channel name.
 * @new_size: the number of messages to buffer.
 *
 * Sets how many messages the application side buffers on @channel while
 * nothing listens there.
 */
void fl_binary_messenger_resize_channel(FlBinaryMessenger* messenger,
                                        const gchar* channel,
                                        int64_t new_size);

/**
 * fl_binary_messenger_set_warns_on_channel_overflow:
 * @messenger: an #FlBinaryMessenger.
 * @channel: the channel name.
 * @warns: whether to warn.
 *
 * Says whether the application side warns when the buffer of @channel
 * overflows.
 */
void fl_binary_messenger_set_warns_on_channel_overflow(
    FlBinaryMessenger* messenger,
    const gchar* channel,
    bool warns);

#pragma GCC visibility pop
G_END_DECLS

#endif  // FLUTTER_LINUX_FL_BINARY_MESSENGER_H_
