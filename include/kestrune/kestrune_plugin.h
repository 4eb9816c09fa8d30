#ifndef KESTRUNE_KESTRUNE_PLUGIN_H_
#define KESTRUNE_KESTRUNE_PLUGIN_H_

#include <flutter_linux/flutter_linux.h>

G_BEGIN_DECLS

#ifdef FLUTTER_PLUGIN_IMPL
#define KESTRUNE_PLUGIN_EXPORT __attribute__((visibility("default")))
#else
#define KESTRUNE_PLUGIN_EXPORT
#endif

/**
 * KestrunePlugin:
 *
 * The plugin inside the application's process. Registration makes one and
 * hands it to the "kestrune" channel's handler, which then holds its only
 * reference.
 */
typedef struct _KestrunePlugin KestrunePlugin;

typedef struct {
  GObjectClass parent_class;
} KestrunePluginClass;

/**
 * kestrune_plugin_get_type:
 *
 * Returns: the #GType of #KestrunePlugin, registering it on first use. Safe
 * to call from any thread.
 */
KESTRUNE_PLUGIN_EXPORT GType kestrune_plugin_get_type();

/**
 * kestrune_plugin_register_with_registrar:
 * @registrar: the registrar the application has for "KestrunePlugin".
 *
 * Opens the "kestrune" method channel on the registrar's messenger. It
 * answers "getPlatformVersion" with "Linux " and the kernel's version text,
 * and every other method as not implemented.
 */
KESTRUNE_PLUGIN_EXPORT void kestrune_plugin_register_with_registrar(
    FlPluginRegistrar* registrar);

G_END_DECLS

#endif  // KESTRUNE_KESTRUNE_PLUGIN_H_
