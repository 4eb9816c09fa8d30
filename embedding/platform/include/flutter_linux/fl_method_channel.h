#ifndef FLUTTER_LINUX_FL_METHOD_CHANNEL_H_
#define FLUTTER_LINUX_FL_METHOD_CHANNEL_H_

#if !defined(__FLUTTER_LINUX_INSIDE__) && !defined(FLUTTER_LINUX_COMPILATION)
#error "Only <flutter_linux/flutter_linux.h> can be included directly."
#endif

#include <gio/gio.h>
#include <glib-object.h>

#include "fl_binary_messenger.h"
#include "fl_method_call.h"
#include "fl_method_codec.h"

G_BEGIN_DECLS
#pragma GCC visibility push(default)

G_DECLARE_FINAL_TYPE(FlMethodChannel,
                     fl_method_channel,
                     FL,
                     METHOD_CHANNEL,
                     GObject)

/**
 * FlMethodChannelMethodCallHandler:
 * @channel: the #FlMethodChannel the call arrived on.
 * @method_call: (transfer none): the call; take a reference to answer it
 *   after the handler has returned.
 * @user_data: the data given with the handler.
 *
 * Called for each method call arriving on a channel. The handler answers
 * with fl_method_call_respond(), now or later.
 */
typedef void (*FlMethodChannelMethodCallHandler)(FlMethodChannel* channel,
                                                 FlMethodCall* method_call,
                                                 gpointer user_data);

/**
 * fl_method_channel_new:
 * @messenger: (transfer none): the #FlBinaryMessenger to listen on; the
 *   channel keeps a reference.
 * @name: the channel name, copied.
 * @codec: (transfer none): the #FlMethodCodec for calls and replies; the
 *   channel keeps a reference.
 *
 * Opens a channel. The messenger keeps the channel for as long as it serves
 * the name, so a handler stays in force after the caller drops its
 * reference. Opening another channel under the same name takes the name
 * over, and shutting the messenger down ends it too: the channel is closed.
 * Its handler is dropped; setting one afterwards is refused with a warning,
 * and answering its calls or calling the application through it fails with
 * a critical.
 *
 * Returns: (transfer full): a new channel.
 */
FlMethodChannel* fl_method_channel_new(FlBinaryMessenger* messenger,
                                       const gchar* name,
                                       FlMethodCodec* codec);

/**
 * fl_method_channel_set_method_call_handler:
 * @channel: an #FlMethodChannel.
 * @handler: (nullable): the handler, or %NULL to remove it.
 * @user_data: (closure): data passed to @handler.
 * @destroy_notify: (nullable): called on @user_data exactly once, when the
 *   handler is replaced or dropped.
 */
void fl_method_channel_set_method_call_handler(
    FlMethodChannel* channel,
    FlMethodChannelMethodCallHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify);

/**
 * fl_method_channel_invoke_method:
 * @channel: an #FlMethodChannel.
 * @method: the method name.
 * @args: (transfer none) (nullable): the arguments; %NULL stands for none.
 * @cancellable: (nullable): a #GCancellable, to give up waiting for the
 *   reply.
 * @callback: (scope async) (nullable): called with the result, in the
 *   thread-default main context of the caller.
 * @user_data: (closure): data passed to @callback.
 *
 * Calls @method on the application's side of the channel. On a closed
 * channel it logs a critical, and @callback gets %G_IO_ERROR_CLOSED
 * (%G_IO_ERROR_CANCELLED if @cancellable was cancelled, as for any call).
 */
void fl_method_channel_invoke_method(FlMethodChannel* channel,
                                     const gchar* method,
                                     FlValue* args,
                                     GCancellable* cancellable,
                                     GAsyncReadyCallback callback,
                                     gpointer user_data);

/**
 * fl_method_channel_invoke_method_finish:
 * @channel: the #FlMethodChannel that made the call.
 * @result: the #GAsyncResult given to the callback.
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * Finishes fl_method_channel_invoke_method(). The empty reply is the
 * not-implemented response.
 *
 * Returns: (transfer full) (nullable): the application's reply, a success,
 * error or not-implemented response; or %NULL with @error set when the call
 * failed, was cancelled or was left unanswered.
 */
FlMethodResponse* fl_method_channel_invoke_method_finish(
    FlMethodChannel* channel,
    GAsyncResult* result,
    GError** error);

#pragma GCC visibility pop
G_END_DECLS

#endif  // FLUTTER_LINUX_FL_METHOD_CHANNEL_H_
