#ifndef EMBEDDING_HOST_EMBEDDING_HOST_H_
#define EMBEDDING_HOST_EMBEDDING_HOST_H_

// The application's side of the stand-in embedding: what an application's
// engine and Dart code do with the plugins it hosts, for tools, tests and
// benchmarks. Plugins never include this header; they see only
// <flutter_linux/flutter_linux.h>.

#include <flutter_linux/flutter_linux.h>

G_BEGIN_DECLS
#pragma GCC visibility push(default)

/**
 * EMBEDDING_HOST_ERROR:
 *
 * The error domain of the application's side. Messages that do not decode
 * fail in %FL_MESSAGE_CODEC_ERROR instead, with the decoder's own error.
 */
#define EMBEDDING_HOST_ERROR (embedding_host_error_quark())

/**
 * EmbeddingHostError:
 * @EMBEDDING_HOST_ERROR_FAILED: any other failure.
 * @EMBEDDING_HOST_ERROR_NO_RESPONSE: the plugin released the message (or
 *   the method call) without answering it.
 * @EMBEDDING_HOST_ERROR_NOT_A_METHOD_CHANNEL: the channel is served by
 *   something other than a method channel.
 */
typedef enum {
  EMBEDDING_HOST_ERROR_FAILED,
  EMBEDDING_HOST_ERROR_NO_RESPONSE,
  EMBEDDING_HOST_ERROR_NOT_A_METHOD_CHANNEL,
} EmbeddingHostError;

GQuark embedding_host_error_quark(void) G_GNUC_CONST;

/**
 * EmbeddingHostMessenger:
 *
 * An in-process #FlBinaryMessenger. Messages are delivered on the sending
 * thread; any number of threads may send at once, on one channel or several.
 * A handler may keep a message and answer it later, from any thread: the
 * sender waits for the answer, running its thread's main context meanwhile
 * when it can, so that a plugin may call the application and answer once
 * the application has replied.
 */
G_DECLARE_FINAL_TYPE(EmbeddingHostMessenger,
                     embedding_host_messenger,
                     EMBEDDING_HOST,
                     MESSENGER,
                     GObject)

/** embedding_host_messenger_new: Returns: (transfer full): a new messenger. */
EmbeddingHostMessenger* embedding_host_messenger_new(void);

/**
 * embedding_host_messenger_send:
 * @messenger: the messenger.
 * @channel: the channel name.
 * @message: the encoded message.
 * @error: (nullable): set when no reply came.
 *
 * Delivers @message to the handler of @channel and waits for its reply. A
 * channel without a handler gives the empty (not-implemented) reply. A
 * method call that does not decode never reaches the channel's handler: the
 * send fails with the decoder's %FL_MESSAGE_CODEC_ERROR. A message released
 * without an answer fails with %EMBEDDING_HOST_ERROR_NO_RESPONSE.
 *
 * Returns: (transfer full) (nullable): the encoded reply, or %NULL with
 * @error set.
 */
GBytes* embedding_host_messenger_send(EmbeddingHostMessenger* messenger,
                                      const gchar* channel,
                                      GBytes* message,
                                      GError** error);

/**
 * embedding_host_messenger_call_handler:
 * @messenger: the messenger.
 * @channel: the name of a method channel.
 * @method: the method name.
 * @args: (nullable): the arguments; %NULL stands for a null value.
 * @error: (nullable): set as for embedding_host_messenger_send(), or with
 *   %EMBEDDING_HOST_ERROR_NOT_A_METHOD_CHANNEL.
 *
 * Hands a method call straight to the channel's handler, without encoding
 * and decoding it first; the reply is encoded as usual. For measuring the
 * handler apart from the wire.
 *
 * Returns: (transfer full) (nullable): the encoded reply, or %NULL with
 * @error set.
 */
GBytes* embedding_host_messenger_call_handler(EmbeddingHostMessenger* messenger,
                                              const gchar* channel,
                                              const gchar* method,
                                              FlValue* args,
                                              GError** error);

/**
 * embedding_host_messenger_shutdown:
 *
 * Drops every handler, as an engine does when it stops: each destroy
 * notification runs once. Later messages get the empty reply and later
 * handlers are dropped at once. A method channel keeps its messenger while
 * the messenger serves the channel's name, so a messenger with channels
 * lives until it is shut down; an #EmbeddingHost shuts its own down when it
 * goes.
 */
void embedding_host_messenger_shutdown(EmbeddingHostMessenger* messenger);

/**
 * embedding_host_messenger_peek_method_call_handler_data:
 *
 * Returns: (transfer none) (nullable): the user data of the method-call
 * handler on the method channel that currently serves @channel, or %NULL.
 * For tests that follow the life of what a plugin hands to its channel.
 */
gpointer embedding_host_messenger_peek_method_call_handler_data(
    EmbeddingHostMessenger* messenger,
    const gchar* channel);

/**
 * EmbeddingHost:
 *
 * An application in miniature: a messenger, a registrar for each plugin
 * (it is an #FlPluginRegistry, as an application's engine is), and the
 * standard method codec to call plugins and to answer their calls with.
 */
G_DECLARE_FINAL_TYPE(EmbeddingHost, embedding_host, EMBEDDING, HOST, GObject)

/** embedding_host_new: Returns: (transfer full): a new host. */
EmbeddingHost* embedding_host_new(void);

/**
 * embedding_host_get_messenger:
 *
 * Returns: (transfer none): the host's messenger.
 */
EmbeddingHostMessenger* embedding_host_get_messenger(EmbeddingHost* host);

/**
 * embedding_host_invoke_method:
 * @host: the host.
 * @channel: the channel name.
 * @method: the method name.
 * @args: (nullable): the arguments; %NULL stands for a null value.
 * @error: (nullable): set when no reply came or it does not decode.
 *
 * Calls a plugin's method the way the application's Dart side does: encodes
 * the call with the standard method codec, sends it, waits for the reply
 * and decodes it.
 *
 * Returns: (transfer full) (nullable): the plugin's success, error or
 * not-implemented response, or %NULL with @error set.
 */
FlMethodResponse* embedding_host_invoke_method(EmbeddingHost* host,
                                               const gchar* channel,
                                               const gchar* method,
                                               FlValue* args,
                                               GError** error);

/**
 * EmbeddingHostMethodCallHandler:
 * @host: the host.
 * @channel: the channel the plugin called on.
 * @method: the method name.
 * @args: (transfer none): the arguments (a null value when there are none).
 * @user_data: the data given with the handler.
 *
 * Answers a call a plugin makes to the application.
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

/**
 * EmbeddingHostLiveObjects:
 * @values: #FlValue instances.
 * @method_calls: #FlMethodCall instances.
 * @responses: #FlMethodResponse instances of every kind.
 * @channels: #FlMethodChannel instances.
 * @codecs: #FlMethodCodec instances.
 * @message_codecs: #FlMessageCodec instances.
 * @response_handles: #FlBinaryMessengerResponseHandle instances.
 *
 * How many of the stand-in's objects exist (made and not yet freed), for
 * leak checks.
 */
typedef struct {
  gsize values;
  gsize method_calls;
  gsize responses;
  gsize channels;
  gsize codecs;
  gsize message_codecs;
  gsize response_handles;
} EmbeddingHostLiveObjects;

/** embedding_host_get_live_objects: Fills @counts with the current counts. */
void embedding_host_get_live_objects(EmbeddingHostLiveObjects* counts);

#pragma GCC visibility pop
G_END_DECLS

#endif  // EMBEDDING_HOST_EMBEDDING_HOST_H_
