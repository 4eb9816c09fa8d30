#ifndef EMBEDDING_PLATFORM_REPORT_FAILURE_H_
#define EMBEDDING_PLATFORM_REPORT_FAILURE_H_

#include <glib.h>

#include "flutter_linux/fl_message_codec.h"

// Hands @failure (kept by the caller) to whoever asked for errors: into
// @error when given, otherwise as a critical naming @function. A response
// that cannot be encoded or sent is the plugin's mistake; with no GError to
// report it in, it must not pass unseen.
inline void report_failure(const char* function,
                           const GError* failure,
                           GError** error) {
  if (failure == nullptr) {
    return;
  }
  if (error == nullptr) {
    g_critical("%s: %s", function, failure->message);
    return;
  }
  g_propagate_error(error, g_error_copy(failure));
}

// Hands on why a codec's class function failed: moves @failure into
// @error. A class function that fails must set its GError, so that callers
// can count on one; one that does not is a mistake in the codec, which a
// critical points out, and @error then says so.
inline void pass_on_codec_failure(const char* function,
                                  GError** failure,
                                  GError** error) {
  if (*failure != nullptr) {
    g_propagate_error(error, static_cast<GError*>(g_steal_pointer(failure)));
    return;
  }
  g_critical("%s: the codec failed without setting an error", function);
  g_set_error_literal(error, FL_MESSAGE_CODEC_ERROR,
                      FL_MESSAGE_CODEC_ERROR_FAILED,
                      "the codec gave no reason for its failure");
}

#endif  // EMBEDDING_PLATFORM_REPORT_FAILURE_H_
