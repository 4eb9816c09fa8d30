#ifndef FLUTTER_LINUX_FL_METHOD_CALL_H_
#define FLUTTER_LINUX_FL_METHOD_CALL_H_

#if !defined(__FLUTTER_LINUX_INSIDE__) && !defined(FLUTTER_LINUX_COMPILATION)
#error "Only <flutter_linux/flutter_linux.h> can be included directly."
#endif

#include <glib-object.h>

#include "fl_method_response.h"
#include "fl_value.h"

G_BEGIN_DECLS
#pragma GCC visibility push(default)

G_DECLARE_FINAL_TYPE(FlMethodCall, fl_method_call, FL, METHOD_CALL, GObject)

/**
 * fl_method_call_get_name:
 * @method_call: an #FlMethodCall.
 *
 * Returns: (transfer none): the method name, owned by @method_call.
 */
const gchar* fl_method_call_get_name(FlMethodCall* method_call);

/**
 * fl_method_call_get_args:
 * @method_call: an #FlMethodCall.
 *
 * Returns: (transfer none): the arguments (a null value when there are none).
 */
FlValue* fl_method_call_get_args(FlMethodCall* method_call);

/**
 * fl_method_call_respond:
 * @method_call: the #FlMethodCall to answer.
 * @response: (transfer none): the reply; the caller keeps its reference.
 * @error: (nullable): return location for a #GError, or %NULL; without it
 *   a failure is logged as a critical.
 *
 * Sends @response to the caller, from any thread. A call is answered once: a
 * second response fails with %FL_BINARY_MESSENGER_ERROR_ALREADY_RESPONDED,
 * and a response through a closed channel (see fl_method_channel_new()) with
 * %G_IO_ERROR_CLOSED; both are logged as criticals too. A response that
 * cannot be encoded fails with %FL_MESSAGE_CODEC_ERROR and leaves the call
 * unanswered, to be answered otherwise. Releasing a call without answering
 * it is a programming error (a critical).
 *
 * Returns: %TRUE if the response was sent.
 */
gboolean fl_method_call_respond(FlMethodCall* method_call,
                                FlMethodResponse* response,
                                GError** error);

/**
 * fl_method_call_respond_success:
 * @method_call: the #FlMethodCall to answer.
 * @result: (transfer none) (nullable): the result; %NULL stands for a null
 *   value.
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * As fl_method_call_respond() with a success response carrying @result.
 *
 * Returns: %TRUE if the response was sent.
 */
gboolean fl_method_call_respond_success(FlMethodCall* method_call,
                                        FlValue* result,
                                        GError** error);

/**
 * fl_method_call_respond_error:
 * @method_call: the #FlMethodCall to answer.
 * @code: the error code.
 * @message: (nullable): a human-readable message.
 * @details: (transfer none) (nullable): further details.
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * As fl_method_call_respond() with an error response.
 *
 * Returns: %TRUE if the response was sent.
 */
gboolean fl_method_call_respond_error(FlMethodCall* method_call,
                                      const gchar* code,
                                      const gchar* message,
                                      FlValue* details,
                                      GError** error);

/**
 * fl_method_call_respond_not_implemented:
 * @method_call: the #FlMethodCall to answer.
 * @error: (nullable): return location for a #GError, or %NULL.
 *
 * As fl_method_call_respond() with the not-implemented response.
 *
 * Returns: %TRUE if the response was sent.
 */
gboolean fl_method_call_respond_not_implemented(FlMethodCall* method_call,
                                                GError** error);

#pragma GCC visibility pop
G_END_DECLS

#endif  // FLUTTER_LINUX_FL_METHOD_CALL_H_
