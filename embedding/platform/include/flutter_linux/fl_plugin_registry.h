#ifndef FLUTTER_LINUX_FL_PLUGIN_REGISTRY_H_
#define FLUTTER_LINUX_FL_PLUGIN_REGISTRY_H_

#if !defined(__FLUTTER_LINUX_INSIDE__) && !defined(FLUTTER_LINUX_COMPILATION)
#error "Only <flutter_linux/flutter_linux.h> can be included directly."
#endif

#include <glib-object.h>

#include "fl_plugin_registrar.h"

G_BEGIN_DECLS
#pragma GCC visibility push(default)

/**
 * FlPluginRegistry:
 *
 * What an application's generated plugin registrant is given: it asks for
 * one registrar per plugin, registers the plugin with it and releases it.
 */
G_DECLARE_INTERFACE(FlPluginRegistry,
                    fl_plugin_registry,
                    FL,
                    PLUGIN_REGISTRY,
                    GObject)

/**
 * FlPluginRegistryInterface:
 * @get_registrar_for_plugin: see
 *   fl_plugin_registry_get_registrar_for_plugin().
 */
struct _FlPluginRegistryInterface {
  GTypeInterface g_iface;

  FlPluginRegistrar* (*get_registrar_for_plugin)(FlPluginRegistry* registry,
                                                 const gchar* name);
};

/**
 * fl_plugin_registry_get_registrar_for_plugin:
 * @registry: an #FlPluginRegistry.
 * @name: the plugin's name, e.g. "KestrunePlugin".
 *
 * Returns: (transfer full): a registrar for the plugin.
 */
FlPluginRegistrar* fl_plugin_registry_get_registrar_for_plugin(
    FlPluginRegistry* registry,
    const gchar* name);

#pragma GCC visibility pop
G_END_DECLS

#endif  // FLUTTER_LINUX_FL_PLUGIN_REGISTRY_H_
