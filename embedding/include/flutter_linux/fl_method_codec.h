#ifndef FLUTTER_LINUX_FL_METHOD_CODEC_H_
#define FLUTTER_LINUX_FL_METHOD_CODEC_H_

#if !defined(__FLUTTER_LINUX_INSIDE__) && !defined(FLUTTER_LINUX_COMPILATION)
#error "Only <flutter_linux/flutter_linux.h> can be included directly."
#endif

#include <glib-object.h>

#include "fl_method_response.h"
#include "fl_value.h"

G_BEGIN_DECLS
#pragma GCC visibility push(default)

G_DECLARE_DERIVABLE_TYPE(FlMethodCodec,
                         fl_method_codec,
                         FL,
                         METHOD_CODEC,
                         GObject)

/**
 * FlMethodCodecClass:
 * @encode_method_call: appends the encoding of a call to @buffer.
 * @decode_method_call: decodes a call; on success sets @name and @args to
 *   new values the caller owns.
 * @encode_response: appends the encoding of a reply to @buffer.
 * @decode_response: decodes a reply into a new response.
 *
 * Each function that can fail returns %FALSE or %NULL and sets @error.
 */
struct _FlMethodCodecClass {
  GObjectClass parent_class;

  gboolean (*encode_method_call)(FlMethodCodec* codec,
                                 const gchar* name,
                                 FlValue* args,
                                 GByteArray* buffer,
                                 GError** error);
  gboolean (*decode_method_call)(FlMethodCodec* codec,
                                 const guint8* message,
                                 gsize message_size,
                                 gchar** name,
                                 FlValue** args,
                                 GError** error);
  gboolean (*encode_response)(FlMethodCodec* codec,
                              FlMethodResponse* response,
                              GByteArray* buffer,
                              GError** error);
  FlMethodResponse* (*decode_response)(FlMethodCodec* codec,
                                       const guint8* message,
                                       gsize message_size,
                                       GError** error);
};

#pragma GCC visibility pop
G_END_DECLS

#endif  // FLUTTER_LINUX_FL_METHOD_CODEC_H_
