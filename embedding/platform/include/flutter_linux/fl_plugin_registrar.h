#ifndef FLUTTER_LINUX_FL_PLUGIN_REGISTRAR_H_
#define FLUTTER_LINUX_FL_PLUGIN_REGISTRAR_H_

#if !defined(__FLUTTER_LINUX_INSIDE__) && !defined(FLUTTER_LINUX_COMPILATION)
#error "Only <flutter_linux/flutter_linux.h> can be included directly."
#endif

#include <glib-object.h>

#include "fl_binary_messenger.h"

G_BEGIN_DECLS
#pragma GCC visibility push(default)

/**
 * FlTextureRegistrar:
 *
 * Where a plugin registers textures. The stand-in has none to offer.
 */
typedef struct _FlTextureRegistrar FlTextureRegistrar;

/**
 * FlView:
 *
 * The application's view. The stand-in has none to offer.
 */
typedef struct _FlView FlView;

G_DECLARE_INTERFACE(FlPluginRegistrar,
                    fl_plugin_registrar,
                    FL,
                    PLUGIN_REGISTRAR,
                    GObject)

/**
 * FlPluginRegistrarInterface:
 * @get_messenger: returns the messenger plugins open their channels on.
 * @get_texture_registrar: returns the texture registrar, or %NULL.
 * @get_view: returns the application's view, or %NULL.
 */
struct _FlPluginRegistrarInterface {
  GTypeInterface parent_iface;

  FlBinaryMessenger* (*get_messenger)(FlPluginRegistrar* registrar);
  FlTextureRegistrar* (*get_texture_registrar)(FlPluginRegistrar* registrar);
  FlView* (*get_view)(FlPluginRegistrar* registrar);
};

/**
 * fl_plugin_registrar_get_messenger:
 * @registrar: the #FlPluginRegistrar a plugin was given.
 *
 * Returns: (transfer none): the messenger to open channels on. The registrar
 * keeps it alive; callers do not release it.
 */
FlBinaryMessenger* fl_plugin_registrar_get_messenger(
    FlPluginRegistrar* registrar);

/**
 * fl_plugin_registrar_get_texture_registrar:
 * @registrar: the #FlPluginRegistrar a plugin was given.
 *
 * Returns: (transfer none) (nullable): the texture registrar, or %NULL when
 * the application has none to offer.
 */
FlTextureRegistrar* fl_plugin_registrar_get_texture_registrar(
    FlPluginRegistrar* registrar);

/**
 * fl_plugin_registrar_get_view:
 * @registrar: the #FlPluginRegistrar a plugin was given.
 *
 * Returns: (transfer none) (nullable): the application's view, or %NULL
 * when it has none.
 */
FlView* fl_plugin_registrar_get_view(FlPluginRegistrar* registrar);

#pragma GCC visibility pop
G_END_DECLS

#endif  // FLUTTER_LINUX_FL_PLUGIN_REGISTRAR_H_
