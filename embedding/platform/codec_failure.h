#ifndef EMBEDDING_PLATFORM_CODEC_FAILURE_H_
#define EMBEDDING_PLATFORM_CODEC_FAILURE_H_

#include <glib.h>

#include "flutter_linux/fl_message_codec.h"

// Hands on why a codec's class function failed: moves @failure into
// @error. A class function that fails must set its GError, so that callers
// can count on one; one that does not is a mistake in the codec, which a
// critical naming @function points out, and @error then says so.
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

#endif  // EMBEDDING_PLATFORM_CODEC_FAILURE_H_
