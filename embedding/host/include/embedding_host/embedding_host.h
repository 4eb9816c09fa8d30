#ifndef EMBEDDING_HOST_EMBEDDING_HOST_H_
#define EMBEDDING_HOST_EMBEDDING_HOST_H_

// The application's side of an embedding: what an application's engine and
// Dart code do with the plugins it hosts, for tools, tests and benchmarks.
// It is written against <flutter_linux/flutter_linux.h> alone, so it runs on
// the stand-in embedding library and on an application's real one. Plugins
// never include this header.

#include <flutter_linux/flutter_linux.h>

G_BEGIN_DECLS

/**
 * EMBEDDING_HOST_ERROR:
 *
 * The error domain of the application's side. Replies that do not decode
 * fail in %FL_MESSAGE_CODEC_ERROR instead, with the decoder's own error.
 */
#define EMBEDDING_HOST_ERROR (embedding_host_error_quark())

/**
 * EmbeddingHostError:
 * @EMBEDDING_HOST_ERROR_FAILED: any other failure, such as a plugin library
 *   that does not load.
 * @EMBEDDING_HOST_ERROR_NO_RESPONSE: the message (or the method call) was
 *   released without an answer, by a plugin or by the application.
 */
typedef enum {
  EMBEDDING_HOST_ERROR_FAILED,
  EMBEDDING_HOST_ERROR_NO_RESPONSE,
} EmbeddingHostError;

/**
 * embedding_host_error_quark:
 *
 * Returns: the quark of %EMBEDDING_HOST_ERROR.
 */
GQuark embedding_host_error_quark(void) G_GNUC_CONST;

/**
 * EmbeddingHostMessenger:
 *
 * An in-process #FlBinaryMessenger, playing the engine between the
 * application's Dart side and its plugins.
 *
 * Its context. The messenger delivers in one main context: the
 * thread-default context of the thread that made it. The thread that runs
 * that context delivers, with the context as its thread-default one, so
 * that what a handler starts (a call to the application, say) finishes
 * there. In an application that is the platform's thread, whose main loop
 * owns the context while it runs.
 *
 * Order. Messages are delivered through one source of the default priority,
 * attached to the context when the messenger is made. Each dispatch of it
 * delivers a batch: the messages that were waiting when it began, in the
 * order they were sent. Between batches the context's other sources run as
 * GLib dispatches any source: a ready one of a higher priority before the
 * next batch; one of the default priority in the same iteration as the
 * next batch, before or after it in the order the sources were attached;
 * an idle one only in an iteration where no batch is ready. The one
 * exception to send order: a main loop run inside a handler (by
 * embedding_host_messenger_send(), say) delivers the messages sent to this
 * messenger after that handler's batch began, ahead of the rest of the
 * batch, which follows when the handler returns. Order is per messenger:
 * such a loop also delivers whatever another messenger on the context has
 * waiting, as that messenger's own batch.
 *
 * Answers. A plugin may answer from any thread, once. The sender's
 * callback runs in the sender's thread-default main context, as GIO's
 * asynchronous calls do. Each message sent gets exactly one answer: the
 * plugin's reply; the empty (not-implemented) reply when no handler takes
 * its channel; %EMBEDDING_HOST_ERROR_NO_RESPONSE when its handler releases
 * it unanswered; or %G_IO_ERROR_CANCELLED when it was cancelled (see
 * embedding_host_messenger_send_async()).
 *
 * Threads. Sending and answering are safe from any thread. Everything else
 * that changes the messenger (setting or replacing a handler, with
 * fl_binary_messenger_set_message_handler_on_channel() or by making an
 * #FlMethodChannel, and shutting down) happens on the thread that runs its
 * context, while it owns the context: the handlers are kept without a
 * lock, as on the platform.
 */
G_DECLARE_FINAL_TYPE(EmbeddingHostMessenger,
                     embedding_host_messenger,
                     EMBEDDING_HOST,
                     MESSENGER,
                     GObject)

/**
 * embedding_host_messenger_new:
 *
 * Makes a messenger that delivers in the calling thread's thread-default
 * main context (the global default one when the thread pushed none).
 *
 * Returns: (transfer full): a new messenger.
 */
EmbeddingHostMessenger* embedding_host_messenger_new(void);

/**
 * embedding_host_messenger_send_async:
 * @messenger: an #EmbeddingHostMessenger.
 * @channel: the name of the channel to send on.
 * @message: (transfer none): the encoded message; the messenger keeps its
 *   own reference.
 * @cancellable: (nullable): a #GCancellable. A send cancelled before its
 *   turn to be delivered is not delivered: it finishes with
 *   %G_IO_ERROR_CANCELLED when its turn comes, after shutdown too. One
 *   cancelled later finishes only when the plugin answers or releases the
 *   message, and then with %G_IO_ERROR_CANCELLED.
 * @callback: (scope async) (nullable): called with the result, in the
 *   thread-default main context of the calling thread.
 * @user_data: (closure): data passed to @callback.
 *
 * Sends @message to the plugin that handles @channel, as the application's
 * Dart side does, and returns at once. Any thread may send.
 */
void embedding_host_messenger_send_async(EmbeddingHostMessenger* messenger,
                                         const gchar* channel,
                                         GBytes* message,
                                         GCancellable* cancellable,
                                         GAsyncReadyCallback callback,
                                         gpointer user_data);

/**
 * embedding_host_messenger_send_finish:
 * @messenger: the #EmbeddingHostMessenger that sent the message.
 * @result: the #GAsyncResult given to the callback.
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * Finishes embedding_host_messenger_send_async(). A channel without a
 * handler gives the empty (not-implemented) reply. A message released
 * without an answer fails with %EMBEDDING_HOST_ERROR_NO_RESPONSE, a
 * cancelled one with %G_IO_ERROR_CANCELLED.
 *
 * Returns: (transfer full) (nullable): the encoded reply, or %NULL with
 * @error set.
 */
GBytes* embedding_host_messenger_send_finish(EmbeddingHostMessenger* messenger,
                                             GAsyncResult* result,
                                             GError** error);

/**
 * embedding_host_messenger_send:
 * @messenger: an #EmbeddingHostMessenger.
 * @channel: the name of the channel to send on.
 * @message: (transfer none): the encoded message.
 * @cancellable: (nullable): a #GCancellable, as for
 *   embedding_host_messenger_send_async().
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * embedding_host_messenger_send_async() for tools and tests: returns when
 * the answer has come, from any thread. The thread that runs the
 * messenger's context runs it meanwhile, so that handlers run inside this
 * call: a thread that owns the context (running it, inside a handler say;
 * holding it with g_main_context_acquire(); or having pushed it as its
 * thread-default context), or the main thread when the context is the
 * global default one and the main thread pushed no context of its own.
 * While another thread holds the context, the sending thread looks every
 * millisecond whether it may take it; the holder may deliver the message
 * meanwhile. Any other thread waits, in a context of its own, for the
 * thread that runs the messenger's context to deliver, and never runs that
 * context itself: while no thread runs it, such a send waits for ever.
 *
 * Returns: (transfer full) (nullable): as
 * embedding_host_messenger_send_finish().
 */
GBytes* embedding_host_messenger_send(EmbeddingHostMessenger* messenger,
                                      const gchar* channel,
                                      GBytes* message,
                                      GCancellable* cancellable,
                                      GError** error);

/**
 * embedding_host_messenger_shutdown:
 * @messenger: an #EmbeddingHostMessenger.
 *
 * Drops every handler, as an engine does when it stops: each destroy
 * notification runs once, and a handler set later is dropped at once. A
 * message delivered before keeps its response handle, through which its
 * plugin may still answer; an #FlMethodChannel is closed by then, so an
 * answer through it fails and its message gets
 * %EMBEDDING_HOST_ERROR_NO_RESPONSE. A message not yet delivered, or sent
 * later, gets the empty reply (%G_IO_ERROR_CANCELLED if it was cancelled),
 * and so do the messages plugins send. A method channel keeps its
 * messenger until the messenger lets go of it here, so a messenger with
 * channels lives until it is shut down; an #EmbeddingHost shuts its own
 * down when it goes. Call it on the thread that runs the messenger's
 * context; it may be called more than once.
 *
 * Disposing of the messenger shuts it down too, on whichever thread drops
 * the last reference. A send holds one until its callback has run, in the
 * sender's context (an answer lets go of it in the messenger's context,
 * whichever thread answers): shut the messenger down on the thread that
 * runs its context before a sending thread may be the last to let it go.
 */
void embedding_host_messenger_shutdown(EmbeddingHostMessenger* messenger);

/**
 * EmbeddingHost:
 *
 * An application in miniature: a messenger, a registrar for each plugin
 * (it is an #FlPluginRegistry, as an application's engine is), and the
 * standard method codec to call plugins and to answer their calls with.
 * What #EmbeddingHostMessenger says of threads holds for it too: calling
 * plugins is safe from any thread; registering plugins, setting handlers
 * and shutting down belong to the thread that runs the messenger's context.
 */
G_DECLARE_FINAL_TYPE(EmbeddingHost, embedding_host, EMBEDDING, HOST, GObject)

/**
 * embedding_host_new:
 *
 * Makes a host whose messenger delivers in the calling thread's
 * thread-default main context.
 *
 * Returns: (transfer full): a new host.
 */
EmbeddingHost* embedding_host_new(void);

/**
 * embedding_host_get_messenger:
 * @host: an #EmbeddingHost.
 *
 * Returns: (transfer none): the host's messenger.
 */
EmbeddingHostMessenger* embedding_host_get_messenger(EmbeddingHost* host);

/**
 * embedding_host_get_codec:
 * @host: an #EmbeddingHost.
 *
 * The standard method codec the host calls plugins and answers their calls
 * with, for programs that encode a call once and send its bytes many
 * times.
 *
 * Returns: (transfer none): the host's codec.
 */
FlMethodCodec* embedding_host_get_codec(EmbeddingHost* host);

/**
 * EmbeddingHostRegisterFunction:
 * @registrar: (transfer none): the registrar for the plugin.
 *
 * A plugin's entry point, such as kestrune_plugin_register_with_registrar().
 */
typedef void (*EmbeddingHostRegisterFunction)(FlPluginRegistrar* registrar);

/**
 * embedding_host_register_plugin:
 * @host: an #EmbeddingHost.
 * @name: the plugin's name, as the application's registrant gives it.
 * @register_function: (scope call): the plugin's entry point.
 *
 * Registers a plugin as an application's generated registrant does: gets a
 * registrar for @name, calls @register_function with it and releases it.
 */
void embedding_host_register_plugin(
    EmbeddingHost* host,
    const gchar* name,
    EmbeddingHostRegisterFunction register_function);

/**
 * embedding_host_register_plugin_library:
 * @host: an #EmbeddingHost.
 * @path: the file of a plugin library, libfoo_plugin.so, whose entry point
 *   is foo_plugin_register_with_registrar().
 * @error: (nullable): return location for a #GError, or %NULL; set with
 *   %EMBEDDING_HOST_ERROR_FAILED when the library does not load or has no
 *   such entry point.
 *
 * Loads @path and registers the plugin in it under the name foo_plugin. The
 * library stays loaded, as plugins do.
 *
 * Returns: %TRUE if the plugin was registered.
 */
gboolean embedding_host_register_plugin_library(EmbeddingHost* host,
                                                const gchar* path,
                                                GError** error);

/**
 * embedding_host_invoke_method:
 * @host: an #EmbeddingHost.
 * @channel: the name of the plugin's channel.
 * @method: the method name.
 * @args: (transfer none) (nullable): the arguments; %NULL stands for a null
 *   value.
 * @reply: (out) (optional) (nullable) (transfer full): return location for
 *   the reply's bytes when a reply came, whether or not it decodes; %NULL
 *   otherwise.
 * @error: (nullable): return location for a #GError, or %NULL; set when no
 *   reply came or it does not decode.
 *
 * Calls a plugin's method the way the application's Dart side does: encodes
 * the call with the host's codec, sends it with
 * embedding_host_messenger_send() (whose rules on threads hold) and decodes
 * the reply; the empty reply is the not-implemented response.
 *
 * Returns: (transfer full) (nullable): the plugin's success, error or
 * not-implemented response, or %NULL with @error set.
 */
FlMethodResponse* embedding_host_invoke_method(EmbeddingHost* host,
                                               const gchar* channel,
                                               const gchar* method,
                                               FlValue* args,
                                               GBytes** reply,
                                               GError** error);

/**
 * EmbeddingHostMethodCallHandler:
 * @host: the #EmbeddingHost.
 * @channel: the channel the plugin called on.
 * @method: the method name.
 * @args: (transfer none): the arguments (a null value when there are none).
 * @user_data: the data given with the handler.
 *
 * Answers a call a plugin makes to the application. It runs in the
 * messenger's main context, and may drop the last reference to @host.
 *
 * Returns: (transfer full) (nullable): the response, or %NULL to leave the
 * call unanswered, which the plugin gets as an error.
 */
typedef FlMethodResponse* (*EmbeddingHostMethodCallHandler)(
    EmbeddingHost* host,
    const gchar* channel,
    const gchar* method,
    FlValue* args,
    gpointer user_data);

/**
 * embedding_host_set_method_call_handler:
 * @host: an #EmbeddingHost.
 * @channel: the channel name.
 * @handler: (nullable): the handler, or %NULL to remove it.
 * @user_data: (closure): data passed to @handler.
 * @destroy_notify: (nullable): called on @user_data once: when the handler
 *   is replaced or removed, or the host shuts down; at once when @handler
 *   is %NULL or the host has shut down.
 *
 * Answers the calls plugins make on @channel with
 * fl_method_channel_invoke_method(). Without a handler such a call gets the
 * not-implemented response. Call it on the thread that runs the messenger's
 * context.
 */
void embedding_host_set_method_call_handler(
    EmbeddingHost* host,
    const gchar* channel,
    EmbeddingHostMethodCallHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify);

/**
 * embedding_host_shutdown:
 * @host: an #EmbeddingHost.
 *
 * Shuts the messenger down (see embedding_host_messenger_shutdown()) and
 * drops the application's handlers, each destroy notification once. Call
 * it on the thread that runs the messenger's context; disposing of the
 * host does it too.
 */
void embedding_host_shutdown(EmbeddingHost* host);

/**
 * embedding_host_encode_method_call:
 * @codec: the #FlMethodCodec to encode with.
 * @name: the method name.
 * @args: (transfer none) (nullable): the arguments; %NULL encodes a null
 *   value.
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * Encodes a method call through the codec's own class function, as the
 * application's side does.
 *
 * Returns: (transfer full) (nullable): the encoded call, or %NULL with
 * @error set.
 */
GBytes* embedding_host_encode_method_call(FlMethodCodec* codec,
                                          const gchar* name,
                                          FlValue* args,
                                          GError** error);

/**
 * embedding_host_decode_method_call:
 * @codec: the #FlMethodCodec to decode with.
 * @message: (transfer none): the encoded call.
 * @name: (out) (transfer full): return location for the method name.
 * @args: (out) (transfer full): return location for the arguments.
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * Decodes a method call through the codec's own class function.
 *
 * Returns: %TRUE with @name and @args set, or %FALSE with @error set.
 */
gboolean embedding_host_decode_method_call(FlMethodCodec* codec,
                                           GBytes* message,
                                           gchar** name,
                                           FlValue** args,
                                           GError** error);

/**
 * embedding_host_encode_response:
 * @codec: the #FlMethodCodec to encode with.
 * @response: (transfer none): a success, error or not-implemented response.
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * Encodes a success or error envelope through the codec's own class
 * functions, or the empty reply for the not-implemented response.
 *
 * Returns: (transfer full) (nullable): the reply, or %NULL with @error set.
 */
GBytes* embedding_host_encode_response(FlMethodCodec* codec,
                                       FlMethodResponse* response,
                                       GError** error);

/**
 * embedding_host_decode_response:
 * @codec: the #FlMethodCodec to decode with.
 * @message: (transfer none): the reply.
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * Reads a reply as the application's Dart side does: the empty reply is
 * the not-implemented response, any other goes through the codec's own
 * class function.
 *
 * Returns: (transfer full) (nullable): the response, or %NULL with @error
 * set.
 */
FlMethodResponse* embedding_host_decode_response(FlMethodCodec* codec,
                                                 GBytes* message,
                                                 GError** error);

G_END_DECLS

#endif  // EMBEDDING_HOST_EMBEDDING_HOST_H_
