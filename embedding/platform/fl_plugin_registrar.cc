#include "flutter_linux/fl_plugin_registrar.h"

G_DEFINE_INTERFACE(FlPluginRegistrar, fl_plugin_registrar, G_TYPE_OBJECT)

static void fl_plugin_registrar_default_init(
    FlPluginRegistrarInterface* iface) {}

FlBinaryMessenger* fl_plugin_registrar_get_messenger(
    FlPluginRegistrar* registrar) {
  g_return_val_if_fail(FL_IS_PLUGIN_REGISTRAR(registrar), nullptr);
  return FL_PLUGIN_REGISTRAR_GET_IFACE(registrar)->get_messenger(registrar);
}

FlTextureRegistrar* fl_plugin_registrar_get_texture_registrar(
    FlPluginRegistrar* registrar) {
  g_return_val_if_fail(FL_IS_PLUGIN_REGISTRAR(registrar), nullptr);
  FlPluginRegistrarInterface* iface = FL_PLUGIN_REGISTRAR_GET_IFACE(registrar);
  return iface->get_texture_registrar != nullptr
             ? iface->get_texture_registrar(registrar)
             : nullptr;
}

FlView* fl_plugin_registrar_get_view(FlPluginRegistrar* registrar) {
  g_return_val_if_fail(FL_IS_PLUGIN_REGISTRAR(registrar), nullptr);
  FlPluginRegistrarInterface* iface = FL_PLUGIN_REGISTRAR_GET_IFACE(registrar);
  return iface->get_view != nullptr ? iface->get_view(registrar) : nullptr;
}
