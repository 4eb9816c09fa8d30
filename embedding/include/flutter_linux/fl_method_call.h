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
 *
 * Returns: (transfer none): the method name, owned by @method_call.
 */
const gchar* fl_method_call_get_name(FlMethodCall* method_call);

/**
 * fl_method_call_get_args:
 *
 * Returns: (transfer none): the arguments (a null value when there are none).
 */
FlValue* fl_method_call_get_args(FlMethodCall* method_call);

/**
 * fl_method_call_respond:
 * @method_call: the call to answer.
 * @response: the reply; the caller keeps its reference.
 * @error: (nullable): set on failure.
 *
 * Sends @response to the caller. A call is answered at most once: a second
 * response is refused with %FALSE and @error. A call released without a
 * response is answered with the not-implemented reply, with a warning.
 *
 * Returns: %TRUE if the response was sent.
 */
gboolean fl_method_call_respond(FlMethodCall* method_call,
                                FlMethodResponse* response,
                                GError** error);

#pragma GCC visibility pop
G_END_DECLS

#endif  // FLUTTER_LINUX_FL_METHOD_CALL_H_
