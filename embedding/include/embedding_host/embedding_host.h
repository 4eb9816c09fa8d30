#ifndef EMBEDDING_HOST_EMBEDDING_HOST_H_
#define EMBEDDING_HOST_EMBEDDING_HOST_H_

// The host side of the stand-in embedding: what an application's Dart side
// and engine do, for demos, tests and benchmarks. Plugins never include this
// header; they see only <flutter_linux/flutter_linux.h>.

#include <flutter_linux/flutter_linux.h>

G_BEGIN_DECLS
#pragma GCC visibility push(default)

/**
 * EMBEDDING_HOST_ERROR:
 *
 * The error domain of the stand-in embedding: malformed messages, repeated
 * responses, and replies that are not a success.
 */
#define EMBEDDING_HOST_ERROR (embedding_host_error_quark())

typedef enum {
  EMBEDDING_HOST_ERROR_FAILED,
  EMBEDDING_HOST_ERROR_MALFORMED_MESSAGE,
  EMBEDDING_HOST_ERROR_ALREADY_RESPONDED,
  EMBEDDING_HOST_ERROR_REMOTE_ERROR,
  EMBEDDING_HOST_ERROR_NOT_IMPLEMENTED,
} EmbeddingHostError;

GQuark embedding_host_error_quark(void);

/**
 * EmbeddingHostMessenger:
 *
 * An in-process #FlBinaryMessenger. Messages are delivered on the sending
 * thread; any number of threads may send at once, on one channel or several.
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
 * @message: (array length=message_size): the encoded message.
 * @message_size: its length in bytes.
 * @reply: the encoded reply is written here, replacing what it held.
 * @error: (nullable): set when the message was refused.
 *
 * Delivers @message to the handler of @channel and waits for its reply. A
 * channel without a handler gives the empty (not-implemented) reply. A
 * message that does not decode never reaches a handler: @reply is left
 * empty and the function fails with %EMBEDDING_HOST_ERROR_MALFORMED_MESSAGE
 * saying why.
 *
 * Returns: %TRUE if a handler (or the lack of one) produced the reply.
 */
gboolean embedding_host_messenger_send(EmbeddingHostMessenger* messenger,
                                       const gchar* channel,
                                       const guint8* message,
                                       gsize message_size,
                                       GByteArray* reply,
                                       GError** error);

/**
 * embedding_host_messenger_call_handler:
 * @messenger: the messenger.
 * @channel: the name of a method channel.
 * @method: the method name.
 * @args: (nullable): the arguments; %NULL stands for a null value.
 * @reply: the encoded reply is written here, replacing what it held.
 * @error: (nullable): set if @channel is served by something other than a
 *   method channel.
 *
 * Hands a method call straight to the channel's handler, without encoding
 * and decoding it first; the reply is encoded as usual. For measuring the
 * handler apart from the wire.
 *
 * Returns: %TRUE if the handler (or the lack of one) produced the reply.
 */
gboolean embedding_host_messenger_call_handler(
    EmbeddingHostMessenger* messenger,
    const gchar* channel,
    const gchar* method,
    FlValue* args,
    GByteArray* reply,
    GError** error);

/**
 * embedding_host_messenger_shutdown:
 *
 * Drops every handler, as an engine does when it stops: each destroy
 * notification runs once. Later messages get the empty reply and later
 * handlers are dropped at once.
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
 * embedding_host_registrar_new:
 *
 * Returns: (transfer full): a registrar that hands out @messenger, which it
 * keeps alive.
 */
FlPluginRegistrar* embedding_host_registrar_new(
    EmbeddingHostMessenger* messenger);

/** embedding_host_encode_value: Returns: (transfer full): @value's bytes. */
GBytes* embedding_host_encode_value(FlValue* value);

/**
 * embedding_host_decode_value:
 *
 * Decodes exactly one value filling all of @message.
 *
 * Returns: (transfer full) (nullable): the value, or %NULL with @error set.
 */
FlValue* embedding_host_decode_value(const guint8* message,
                                     gsize message_size,
                                     GError** error);

/**
 * embedding_host_encode_method_call:
 * @name: the method name.
 * @args: (nullable): the arguments; %NULL encodes a null value.
 *
 * Returns: (transfer full): the encoded call.
 */
GBytes* embedding_host_encode_method_call(const gchar* name, FlValue* args);

/**
 * embedding_host_decode_method_call:
 *
 * Returns: %TRUE and new @name and @args, or %FALSE with @error set.
 */
gboolean embedding_host_decode_method_call(const guint8* message,
                                           gsize message_size,
                                           gchar** name,
                                           FlValue** args,
                                           GError** error);

/** embedding_host_encode_response: Returns: (transfer full): the reply. */
GBytes* embedding_host_encode_response(FlMethodResponse* response);

/**
 * embedding_host_decode_response:
 *
 * Decodes a reply: a success, an error (with or without a stack trace) or
 * the empty not-implemented reply.
 *
 * Returns: (transfer full) (nullable): the response, or %NULL with @error.
 */
FlMethodResponse* embedding_host_decode_response(const guint8* message,
                                                 gsize message_size,
                                                 GError** error);

/**
 * EmbeddingHostLiveObjects:
 * @values: #FlValue instances.
 * @method_calls: #FlMethodCall instances.
 * @responses: #FlMethodResponse instances of every kind.
 * @channels: #FlMethodChannel instances.
 * @codecs: #FlMethodCodec instances.
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
} EmbeddingHostLiveObjects;

/** embedding_host_get_live_objects: Fills @counts with the current counts. */
void embedding_host_get_live_objects(EmbeddingHostLiveObjects* counts);

#pragma GCC visibility pop
G_END_DECLS

#endif  // EMBEDDING_HOST_EMBEDDING_HOST_H_
