#ifndef FLUTTER_LINUX_FL_METHOD_RESPONSE_H_
#define FLUTTER_LINUX_FL_METHOD_RESPONSE_H_

#if !defined(__FLUTTER_LINUX_INSIDE__) && !defined(FLUTTER_LINUX_COMPILATION)
#error "Only <flutter_linux/flutter_linux.h> can be included directly."
#endif

#include <glib-object.h>

#include "fl_value.h"

G_BEGIN_DECLS
#pragma GCC visibility push(default)

/**
 * FL_METHOD_RESPONSE_ERROR:
 *
 * The error domain of fl_method_response_get_result() and of the results of
 * calls a plugin makes to the application.
 */
#define FL_METHOD_RESPONSE_ERROR fl_method_response_error_quark()

/**
 * FlMethodResponseError:
 * @FL_METHOD_RESPONSE_ERROR_FAILED: the call failed.
 * @FL_METHOD_RESPONSE_ERROR_REMOTE_ERROR: the reply is an error reply.
 * @FL_METHOD_RESPONSE_ERROR_NOT_IMPLEMENTED: the method does not exist.
 */
typedef enum {
  FL_METHOD_RESPONSE_ERROR_FAILED,
  FL_METHOD_RESPONSE_ERROR_REMOTE_ERROR,
  FL_METHOD_RESPONSE_ERROR_NOT_IMPLEMENTED,
} FlMethodResponseError;

/**
 * fl_method_response_error_quark:
 *
 * Returns: the quark of %FL_METHOD_RESPONSE_ERROR.
 */
GQuark fl_method_response_error_quark(void) G_GNUC_CONST;

G_DECLARE_DERIVABLE_TYPE(FlMethodResponse,
                         fl_method_response,
                         FL,
                         METHOD_RESPONSE,
                         GObject)

struct _FlMethodResponseClass {
  GObjectClass parent_class;
};

G_DECLARE_FINAL_TYPE(FlMethodSuccessResponse,
                     fl_method_success_response,
                     FL,
                     METHOD_SUCCESS_RESPONSE,
                     FlMethodResponse)

G_DECLARE_FINAL_TYPE(FlMethodErrorResponse,
                     fl_method_error_response,
                     FL,
                     METHOD_ERROR_RESPONSE,
                     FlMethodResponse)

G_DECLARE_FINAL_TYPE(FlMethodNotImplementedResponse,
                     fl_method_not_implemented_response,
                     FL,
                     METHOD_NOT_IMPLEMENTED_RESPONSE,
                     FlMethodResponse)

/**
 * fl_method_response_get_result:
 * @response: an #FlMethodResponse.
 * @error: (nullable): return location for a #GError, or %NULL; set when
 *   @response is not a success.
 *
 * Returns: (transfer none) (nullable): the result of a success response, or
 * %NULL with @error set: %FL_METHOD_RESPONSE_ERROR_REMOTE_ERROR for an error
 * response, %FL_METHOD_RESPONSE_ERROR_NOT_IMPLEMENTED for not implemented.
 */
FlValue* fl_method_response_get_result(FlMethodResponse* response,
                                       GError** error);

/**
 * fl_method_success_response_new:
 * @result: (transfer none) (nullable): the result; %NULL stands for a null
 *   value.
 *
 * Returns: (transfer full): a new response holding its own reference to
 * @result.
 */
FlMethodSuccessResponse* fl_method_success_response_new(FlValue* result);

/**
 * fl_method_success_response_get_result:
 * @response: an #FlMethodSuccessResponse.
 *
 * Returns: (transfer none) (nullable): the result value, or %NULL when the
 * response was made without one, which is sent as a null value.
 */
FlValue* fl_method_success_response_get_result(
    FlMethodSuccessResponse* response);

/**
 * fl_method_error_response_new:
 * @code: the error code.
 * @message: (nullable): a human-readable message.
 * @details: (transfer none) (nullable): further details.
 *
 * Returns: (transfer full): a new error response holding copies of @code and
 * @message and its own reference to @details.
 */
FlMethodErrorResponse* fl_method_error_response_new(const gchar* code,
                                                    const gchar* message,
                                                    FlValue* details);

/**
 * fl_method_error_response_get_code:
 * @response: an #FlMethodErrorResponse.
 *
 * Returns: (transfer none): the error code.
 */
const gchar* fl_method_error_response_get_code(FlMethodErrorResponse* response);

/**
 * fl_method_error_response_get_message:
 * @response: an #FlMethodErrorResponse.
 *
 * Returns: (transfer none) (nullable): the message, or %NULL if none.
 */
const gchar* fl_method_error_response_get_message(
    FlMethodErrorResponse* response);

/**
 * fl_method_error_response_get_details:
 * @response: an #FlMethodErrorResponse.
 *
 * Returns: (transfer none) (nullable): the details, or %NULL if none.
 */
FlValue* fl_method_error_response_get_details(FlMethodErrorResponse* response);

/**
 * fl_method_not_implemented_response_new:
 *
 * Returns: (transfer full): a new response saying the method does not exist.
 */
FlMethodNotImplementedResponse* fl_method_not_implemented_response_new(void);

#pragma GCC visibility pop
G_END_DECLS

#endif  // FLUTTER_LINUX_FL_METHOD_RESPONSE_H_
