#ifndef EMBEDDING_PLATFORM_REPORT_FAILURE_H_
#define EMBEDDING_PLATFORM_REPORT_FAILURE_H_

#include <glib.h>

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

#endif  // EMBEDDING_PLATFORM_REPORT_FAILURE_H_
