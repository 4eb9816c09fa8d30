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
 * @encode_method_call: encodes a call to @name with @args (%NULL: none).
 * @decode_method_call: decodes a call; on success sets @name (g_free()) and
 *   @args (fl_value_unref()).
 * @encode_success_envelope: encodes a success reply carrying @result
 *   (%NULL: a null value).
 * @encode_error_envelope: encodes an error reply; @message and @details may
 *   be %NULL.
 * @decode_response: decodes a reply into a new response. The empty reply,
 *   which whoever reads replies takes as "not implemented", is refused with
 *   %FL_MESSAGE_CODEC_ERROR_OUT_OF_DATA.
 *
 * Each function that can fail returns %NULL or %FALSE with @error set, in
 * the domain %FL_MESSAGE_CODEC_ERROR.
 */
struct _FlMethodCodecClass {
  GObjectClass parent_class;

  GBytes* (*encode_method_call)(FlMethodCodec* codec,
                                const gchar* name,
                                FlValue* args,
                                GError** error);

  gboolean (*decode_method_call)(FlMethodCodec* codec,
                                 GBytes* message,
                                 gchar** name,
                                 FlValue** args,
                                 GError** error);

  GBytes* (*encode_success_envelope)(FlMethodCodec* codec,
                                     FlValue* result,
                                     GError** error);

  GBytes* (*encode_error_envelope)(FlMethodCodec* codec,
                                   const gchar* code,
                                   const gchar* message,
                                   FlValue* details,
                                   GError** error);

  FlMethodResponse* (*decode_response)(FlMethodCodec* codec,
                                       GBytes* message,
                                       GError** error);
};

#pragma GCC visibility pop
G_END_DECLS

#endif  // FLUTTER_LINUX_FL_METHOD_CODEC_H_
