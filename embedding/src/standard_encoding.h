#ifndef EMBEDDING_SRC_STANDARD_ENCODING_H_
#define EMBEDDING_SRC_STANDARD_ENCODING_H_

// The standard encoding of values, method calls and replies on bytes.
//
// Writers append to a buffer that holds the message from its first byte, so
// that padding is counted from the start of the message. Readers never look
// past the end of their input and turn every malformed input into an
// EMBEDDING_HOST_ERROR_MALFORMED_MESSAGE error naming what was wrong and
// where.

#include <glib.h>

#include "flutter_linux/flutter_linux.h"

namespace standard_encoding {

// Deeper nesting than this is refused: it would only serve to exhaust the
// stack of the reader or of whoever walks the value afterwards.
constexpr int kMaxNesting = 512;

void write_value(GByteArray* buffer, FlValue* value);
void write_method_call(GByteArray* buffer, const gchar* name, FlValue* args);
void write_response(GByteArray* buffer, FlMethodResponse* response);

// Reads exactly one value that fills the whole message.
FlValue* read_value(const guint8* message, gsize size, GError** error);

// On success sets @name (g_free) and @args (fl_value_unref).
bool read_method_call(const guint8* message,
                      gsize size,
                      gchar** name,
                      FlValue** args,
                      GError** error);

FlMethodResponse* read_response(const guint8* message,
                                gsize size,
                                GError** error);

}  // namespace standard_encoding

#endif  // EMBEDDING_SRC_STANDARD_ENCODING_H_
