#include "kestrune/kestrune_plugin.h"

#include <flutter_linux/flutter_linux.h>
#include <sys/utsname.h>

#include <cerrno>
#include <cstring>

#include "kestrune_plugin_private.h"

#define KESTRUNE_PLUGIN(obj)                                     \
  (G_TYPE_CHECK_INSTANCE_CAST((obj), kestrune_plugin_get_type(), \
                              KestrunePlugin))

struct _KestrunePlugin {
  GObject parent_instance;
};

G_DEFINE_TYPE(KestrunePlugin, kestrune_plugin, G_TYPE_OBJECT)

static void kestrune_plugin_dispose(GObject* object) {
  G_OBJECT_CLASS(kestrune_plugin_parent_class)->dispose(object);
}

static void kestrune_plugin_class_init(KestrunePluginClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = kestrune_plugin_dispose;
}

static void kestrune_plugin_init(KestrunePlugin* self) {}

FlMethodResponse* get_platform_version() {
  struct utsname uname_data;
  memset(&uname_data, 0, sizeof(uname_data));
  if (uname(&uname_data) != 0) {
    // Saying "Linux " with nothing after it would report a kernel that does
    // not exist; tell the application the version is not to be had.
    g_autofree gchar* message =
        g_strdup_printf("uname failed: %s", g_strerror(errno));
    return FL_METHOD_RESPONSE(
        fl_method_error_response_new("UNAVAILABLE", message, nullptr));
  }
  // The application's decoder refuses a string that is not UTF-8, and with
  // it the whole reply. A kernel may be built with any bytes in its version
  // text, so each invalid sequence becomes U+FFFD; valid text, which every
  // usual kernel has, stays as it is byte for byte.
  const gchar* kernel_version = uname_data.version;
  g_autofree gchar* repaired = nullptr;
  if (!g_utf8_validate(kernel_version, -1, nullptr)) {
    repaired = g_utf8_make_valid(kernel_version, -1);
    kernel_version = repaired;
  }
  g_autofree gchar* version = g_strdup_printf("Linux %s", kernel_version);
  g_autoptr(FlValue) result = fl_value_new_string(version);
  return FL_METHOD_RESPONSE(fl_method_success_response_new(result));
}

static void method_call_cb(FlMethodChannel* channel,
                           FlMethodCall* method_call,
                           gpointer user_data) {
  const gchar* method = fl_method_call_get_name(method_call);

  g_autoptr(FlMethodResponse) response = nullptr;
  if (strcmp(method, "getPlatformVersion") == 0) {
    response = get_platform_version();
  } else {
    response = FL_METHOD_RESPONSE(fl_method_not_implemented_response_new());
  }

  fl_method_call_respond(method_call, response, nullptr);
}

void kestrune_plugin_register_with_registrar(FlPluginRegistrar* registrar) {
  // Checked before anything is made, so that misuse costs one critical and
  // leaks nothing.
  g_return_if_fail(FL_IS_PLUGIN_REGISTRAR(registrar));

  KestrunePlugin* plugin =
      KESTRUNE_PLUGIN(g_object_new(kestrune_plugin_get_type(), nullptr));

  g_autoptr(FlStandardMethodCodec) codec = fl_standard_method_codec_new();
  g_autoptr(FlMethodChannel) channel =
      fl_method_channel_new(fl_plugin_registrar_get_messenger(registrar),
                            "kestrune", FL_METHOD_CODEC(codec));
  fl_method_channel_set_method_call_handler(
      channel, method_call_cb, g_object_ref(plugin), g_object_unref);

  g_object_unref(plugin);
}
