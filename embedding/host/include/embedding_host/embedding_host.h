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
 *   released without an answer, or the messenger shut down first.
 */
typedef enum {
  EMBEDDING_HOST_ERROR_FAILED,
  EMBEDDING_HOST_ERROR_NO_RESPONSE,
} EmbeddingHostError;

GQuark embedding_host_error_quark(void) G_GNUC_CONST;

/**
 * EmbeddingHostMessenger:
 *
 * An in-process #FlBinaryMessenger. It delivers every message, whoever sent
 * it and from whichever thread, in the main context that was the
 * thread-default one when it was made: the platform's main thread. A
 * handler never runs inside the call that sent its message. A plugin may
 * answer from any thread; the answer reaches the sender through that
 * context, and the sender's callback runs in the sender's thread-default
 * main context, as GIO's asynchronous calls do.
 */
G_DECLARE_FINAL_TYPE(EmbeddingHostMessenger,
                     embedding_host_messenger,
                     EMBEDDING_HOST,
                     MESSENGER,
                     GObject)

/**
 * embedding_host_messenger_new:
 *
 * Returns: (transfer full): a messenger that delivers in the caller's
 * thread-default main context.
 */
EmbeddingHostMessenger* embedding_host_messenger_new(void);

/**
 * embedding_host_messenger_send_async:
 * @messenger: the messenger.
 * @channel: the channel name.
 * @message: the encoded message.
 * @cancellable: (nullable): a send cancelled before it is delivered is not
 *   delivered; once delivered, it finishes when the plugin answers or lets
 *   the message go, and then with %G_IO_ERROR_CANCELLED.
 * @callback: called with the result, in the caller's thread-default main
 *   context.
 * @user_data: passed to @callback.
 *
 * Sends @message to the plugin that handles @channel, as the application's
 * Dart side does. Any thread may send.
 */
void embedding_host_messenger_send_async(EmbeddingHostMessenger* messenger,
                                         const gchar* channel,
                                         GBytes* message,
                                         GCancellable* cancellable,
                                         GAsyncReadyCallback callback,
                                         gpointer user_data);

/**
 * embedding_host_messenger_send_finish:
 *
 * A channel without a handler gives the empty (not-implemented) reply. A
 * message released without an answer fails with
 * %EMBEDDING_HOST_ERROR_NO_RESPONSE; a cancelled one with
 * %G_IO_ERROR_CANCELLED.
 *
 * Returns: (transfer full) (nullable): the encoded reply, or %NULL with
 * @error set.
 */
GBytes* embedding_host_messenger_send_finish(EmbeddingHostMessenger* messenger,
                                             GAsyncResult* result,
                                             GError** error);

/**
 * embedding_host_messenger_send:
 *
 * embedding_host_messenger_send_async() for tools and tests: waits for the
 * reply. On the thread that made the messenger (the platform's thread) it
 * runs the messenger's main context meanwhile; on any other thread it runs
 * a context of its own, and the platform's thread must be running the
 * messenger's context to deliver the message.
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
 *
 * Drops every handler, as an engine does when it stops: each destroy
 * notification runs once. Later messages get the empty reply and later
 * handlers are dropped at once. A method channel keeps its messenger while
 * the messenger serves the channel's name, so a messenger with channels
 * lives until it is shut down; an #EmbeddingHost shuts its own down when it
 * goes. Call it on the platform's thread.
 */
void embedding_host_messenger_shutdown(EmbeddingHostMessenger* messenger);

/**
 * EmbeddingHost:
 *
 * An application in miniature: a messenger, a registrar for each plugin
 * (it is an #FlPluginRegistry, as an application's engine is), and the
 * standard method codec to call plugins and to answer their calls with.
 */
G_DECLARE_FINAL_TYPE(EmbeddingHost, embedding_host, EMBEDDING, HOST, GObject)

/**
 * embedding_host_new:
 *
 * Returns: (transfer full): a new host, whose messenger delivers in the
 * caller's thread-default main context.
 */
EmbeddingHost* embedding_host_new(void);

/**
 * embedding_host_get_messenger:
 *
 * Returns: (transfer none): the host's messenger.
 */
EmbeddingHostMessenger* embedding_host_get_messenger(EmbeddingHost* host);

/**
 * embedding_host_get_codec:
 *
 * Returns: (transfer none): the standard method codec the host calls plugins
 * and answers their calls with, for programs that encode a call once and
 * send its bytes many times.
 */
FlMethodCodec* embedding_host_get_codec(EmbeddingHost* host);

/**
 * EmbeddingHostRegisterFunction:
 *
 * A plugin's entry point, such as kestrune_plugin_register_with_registrar().
 */
typedef void (*EmbeddingHostRegisterFunction)(FlPluginRegistrar* registrar);

/**
 * embedding_host_register_plugin:
 * @host: the host.
 * @name: the plugin's name, as the application's registrant gives it.
 * @register_function: the plugin's entry point.
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
 * @host: the host.
 * @path: a plugin library: libfoo_plugin.so, whose entry point is
 *   foo_plugin_register_with_registrar().
 * @error: (nullable): set with %EMBEDDING_HOST_ERROR_FAILED when the library
 *   does not load or has no such entry point.
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
 * @host: the host.
 * @channel: the channel name.
 * @method: the method name.
 * @args: (nullable): the arguments; %NULL stands for a null value.
 * @reply: (out) (optional) (nullable) (transfer full): the reply's bytes,
 *   when a reply came, whether or not it decodes.
 * @error: (nullable): set when no reply came or it does not decode.
 *
 * Calls a plugin's method the way the application's Dart side does: encodes
 * the call with the standard method codec, sends it with
 * embedding_host_messenger_send() and decodes the reply.
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
 * @host: the host.
 * @channel: the channel the plugin called on.
 * @method: the method name.
 * @args: (transfer none): the arguments (a null value when there are none).
 * @user_data: the data given with the handler.
 *
 * Answers a call a plugin makes to the application. It runs in the
 * messenger's main context.
 *
 * Returns: (transfer full) (nullable): the response, or %NULL to leave the
 * call unanswered.
 */
typedef FlMethodResponse* (*EmbeddingHostMethodCallHandler)(
    EmbeddingHost* host,
    const gchar* channel,
    const gchar* method,
    FlValue* args,
    gpointer user_data);

/**
 * embedding_host_set_method_call_handler:
 * @host: the host.
 * @channel: the channel name.
 * @handler: (nullable): the handler, or %NULL to remove it.
 * @user_data: passed to @handler.
 * @destroy_notify: (nullable): called on @user_data once, when the handler
 *   is replaced or removed, or the host shuts down.
 *
 * Answers the calls plugins make on @channel with
 * fl_method_channel_invoke_method(). Without a handler such a call gets the
 * not-implemented response.
 */
void embedding_host_set_method_call_handler(
    EmbeddingHost* host,
    const gchar* channel,
    EmbeddingHostMethodCallHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify);

/**
 * embedding_host_shutdown:
 *
 * Shuts the messenger down (see embedding_host_messenger_shutdown()) and
 * drops the application's handlers.
 */
void embedding_host_shutdown(EmbeddingHost* host);

/**
 * embedding_host_encode_method_call:
 * @codec: the codec to encode with.
 * @name: the method name.
 * @args: (nullable): the arguments; %NULL encodes a null value.
 *
 * The codec's own encoding, as the application's side uses it.
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
 *
 * Returns: %TRUE and new @name and @args, or %FALSE with @error set.
 */
gboolean embedding_host_decode_method_call(FlMethodCodec* codec,
                                           GBytes* message,
                                           gchar** name,
                                           FlValue** args,
                                           GError** error);

/**
 * embedding_host_encode_response:
 *
 * Encodes a success or error envelope, or the empty not-implemented reply.
 *
 * Returns: (transfer full) (nullable): the reply, or %NULL with @error set.
 */
GBytes* embedding_host_encode_response(FlMethodCodec* codec,
                                       FlMethodResponse* response,
                                       GError** error);

/**
 * embedding_host_decode_response:
 *
 * Returns: (transfer full) (nullable): the response, or %NULL with @error.
 */
FlMethodResponse* embedding_host_decode_response(FlMethodCodec* codec,
                                                 GBytes* message,
                                                 GError** error);

G_END_DECLS

#endif  // EMBEDDING_HOST_EMBEDDING_HOST_H_
