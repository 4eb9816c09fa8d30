#include "second_plugin.h"

#include <cstring>

G_DECLARE_FINAL_TYPE(SecondPlugin, second_plugin, SECOND, PLUGIN, GObject)

struct _SecondPlugin {
  GObject parent_instance;

  // Kept to call the application; the channel's handler keeps the plugin,
  // and both go when the messenger drops the channel.
  FlMethodChannel* channel;
};

G_DEFINE_TYPE(SecondPlugin, second_plugin, G_TYPE_OBJECT)

static void second_plugin_dispose(GObject* object) {
  g_clear_object(&SECOND_PLUGIN(object)->channel);
  G_OBJECT_CLASS(second_plugin_parent_class)->dispose(object);
}

static void second_plugin_class_init(SecondPluginClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = second_plugin_dispose;
}

static void second_plugin_init(SecondPlugin* self) {}

static void greet(FlMethodCall* method_call) {
  FlValue* args = fl_method_call_get_args(method_call);
  FlValue* name = fl_value_get_type(args) == FL_VALUE_TYPE_MAP
                      ? fl_value_lookup_string(args, "name")
                      : nullptr;
  if (name == nullptr || fl_value_get_type(name) != FL_VALUE_TYPE_STRING) {
    fl_method_call_respond_error(method_call, "BAD_ARGUMENTS",
                                 "expected a map with a string \"name\"", args,
                                 nullptr);
    return;
  }
  g_autofree gchar* greeting =
      g_strdup_printf("Hello, %s", fl_value_get_string(name));
  g_autoptr(FlValue) result = fl_value_new_string(greeting);
  fl_method_call_respond_success(method_call, result, nullptr);
}

// The application has answered "answer"; @user_data is the call to reply to.
static void answer_cb(GObject* source,
                      GAsyncResult* result,
                      gpointer user_data) {
  g_autoptr(FlMethodCall) method_call = FL_METHOD_CALL(user_data);
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlMethodResponse) response = fl_method_channel_invoke_method_finish(
      FL_METHOD_CHANNEL(source), result, &error);
  FlValue* answer = response != nullptr
                        ? fl_method_response_get_result(response, &error)
                        : nullptr;
  if (answer == nullptr) {
    fl_method_call_respond_error(method_call, "APPLICATION_ERROR",
                                 error->message, nullptr, nullptr);
    return;
  }
  fl_method_call_respond_success(method_call, answer, nullptr);
}

static void ask(SecondPlugin* self, FlMethodCall* method_call) {
  fl_method_channel_invoke_method(self->channel, "answer",
                                  fl_method_call_get_args(method_call), nullptr,
                                  answer_cb, g_object_ref(method_call));
}

static void method_call_cb(FlMethodChannel* channel,
                           FlMethodCall* method_call,
                           gpointer user_data) {
  const gchar* method = fl_method_call_get_name(method_call);
  if (strcmp(method, "greet") == 0) {
    greet(method_call);
  } else if (strcmp(method, "echo") == 0) {
    fl_method_call_respond_success(
        method_call, fl_method_call_get_args(method_call), nullptr);
  } else if (strcmp(method, "ask") == 0) {
    ask(SECOND_PLUGIN(user_data), method_call);
  } else {
    fl_method_call_respond_not_implemented(method_call, nullptr);
  }
}

void second_plugin_register_with_registrar(FlPluginRegistrar* registrar) {
  g_return_if_fail(FL_IS_PLUGIN_REGISTRAR(registrar));
  SecondPlugin* plugin =
      SECOND_PLUGIN(g_object_new(second_plugin_get_type(), nullptr));
  g_autoptr(FlStandardMethodCodec) codec = fl_standard_method_codec_new();
  plugin->channel =
      fl_method_channel_new(fl_plugin_registrar_get_messenger(registrar),
                            "second", FL_METHOD_CODEC(codec));
  fl_method_channel_set_method_call_handler(plugin->channel, method_call_cb,
                                            plugin, g_object_unref);
}
