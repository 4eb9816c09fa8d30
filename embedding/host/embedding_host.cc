// The application in miniature: the one entry point of the application's
// side, and the encoding it shares with tools and tests.

#include "embedding_host/embedding_host.h"

#include <dlfcn.h>

#include <string>

#include "embedding_host_private.h"
#include "handler_table.h"

G_DEFINE_QUARK(embedding_host_error_quark, embedding_host_error)

struct _EmbeddingHost {
  GObject parent_instance;

  EmbeddingHostMessenger* messenger;
  // Encodes the calls the application makes and the answers it gives.
  FlMethodCodec* codec;
  // The application's handlers of the calls plugins make, by channel.
  HandlerTable<EmbeddingHostMethodCallHandler>* method_call_handlers;
};

static void embedding_host_registry_iface_init(
    FlPluginRegistryInterface* iface);

G_DEFINE_FINAL_TYPE_WITH_CODE(
    EmbeddingHost,
    embedding_host,
    G_TYPE_OBJECT,
    G_IMPLEMENT_INTERFACE(fl_plugin_registry_get_type(),
                          embedding_host_registry_iface_init))

// Answers what a plugin sends on @channel with the handler set for it, or
// with the empty (not-implemented) reply.
static GBytes* embedding_host_answer_method_call(
    EmbeddingHostMessenger* messenger,
    const gchar* channel,
    GBytes* message,
    GError** error,
    gpointer user_data) {
  auto* self = static_cast<EmbeddingHost*>(user_data);
  const auto* record = self->method_call_handlers->find(channel);
  if (record == nullptr) {
    return g_bytes_new(nullptr, 0);
  }
  // The application's handler may let the host go.
  g_autoptr(FlMethodCodec) codec = FL_METHOD_CODEC(g_object_ref(self->codec));
  g_autofree gchar* method = nullptr;
  g_autoptr(FlValue) args = nullptr;
  if (!embedding_host_decode_method_call(codec, message, &method, &args,
                                         error)) {
    return nullptr;
  }
  g_autoptr(FlMethodResponse) response =
      record->handler(self, channel, method, args, record->user_data);
  if (response == nullptr) {
    g_set_error(error, EMBEDDING_HOST_ERROR, EMBEDDING_HOST_ERROR_NO_RESPONSE,
                "the application left the message on channel \"%s\" unanswered",
                channel);
    return nullptr;
  }
  return embedding_host_encode_response(codec, response, error);
}

static void embedding_host_dispose(GObject* object) {
  EmbeddingHost* self = EMBEDDING_HOST(object);
  if (self->messenger != nullptr) {
    embedding_host_shutdown(self);
  }
  g_clear_object(&self->messenger);
  g_clear_object(&self->codec);
  G_OBJECT_CLASS(embedding_host_parent_class)->dispose(object);
}

static void embedding_host_finalize(GObject* object) {
  delete EMBEDDING_HOST(object)->method_call_handlers;
  G_OBJECT_CLASS(embedding_host_parent_class)->finalize(object);
}

static void embedding_host_class_init(EmbeddingHostClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = embedding_host_dispose;
  G_OBJECT_CLASS(klass)->finalize = embedding_host_finalize;
}

static void embedding_host_init(EmbeddingHost* self) {
  self->messenger = embedding_host_messenger_new();
  self->codec = FL_METHOD_CODEC(fl_standard_method_codec_new());
  self->method_call_handlers =
      new HandlerTable<EmbeddingHostMethodCallHandler>();
  // Not a reference: the host shuts its messenger down, which drops this,
  // before it goes.
  embedding_host_messenger_set_application_handler(
      self->messenger, embedding_host_answer_method_call, self);
}

// Every plugin gets a registrar of its own, all on the one messenger.
static FlPluginRegistrar* embedding_host_get_registrar_for_plugin(
    FlPluginRegistry* registry,
    const gchar* name) {
  return embedding_host_registrar_new(EMBEDDING_HOST(registry)->messenger);
}

static void embedding_host_registry_iface_init(
    FlPluginRegistryInterface* iface) {
  iface->get_registrar_for_plugin = embedding_host_get_registrar_for_plugin;
}

EmbeddingHost* embedding_host_new(void) {
  return EMBEDDING_HOST(g_object_new(embedding_host_get_type(), nullptr));
}

EmbeddingHostMessenger* embedding_host_get_messenger(EmbeddingHost* self) {
  g_return_val_if_fail(EMBEDDING_IS_HOST(self), nullptr);
  return self->messenger;
}

FlMethodCodec* embedding_host_get_codec(EmbeddingHost* self) {
  g_return_val_if_fail(EMBEDDING_IS_HOST(self), nullptr);
  return self->codec;
}

void embedding_host_register_plugin(
    EmbeddingHost* self,
    const gchar* name,
    EmbeddingHostRegisterFunction register_function) {
  g_return_if_fail(EMBEDDING_IS_HOST(self));
  g_return_if_fail(name != nullptr);
  g_return_if_fail(register_function != nullptr);
  g_autoptr(FlPluginRegistrar) registrar =
      fl_plugin_registry_get_registrar_for_plugin(FL_PLUGIN_REGISTRY(self),
                                                  name);
  register_function(registrar);
}

gboolean embedding_host_register_plugin_library(EmbeddingHost* self,
                                                const gchar* path,
                                                GError** error) {
  g_return_val_if_fail(EMBEDDING_IS_HOST(self), FALSE);
  g_return_val_if_fail(path != nullptr, FALSE);
  void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    g_set_error(error, EMBEDDING_HOST_ERROR, EMBEDDING_HOST_ERROR_FAILED,
                "cannot load %s: %s", path, dlerror());
    return FALSE;
  }
  // libfoo_plugin.so: the plugin foo_plugin, registered by
  // foo_plugin_register_with_registrar().
  g_autofree gchar* file = g_path_get_basename(path);
  std::string name = g_str_has_prefix(file, "lib") ? file + 3 : file;
  name = name.substr(0, name.find('.'));
  std::string entry_point = name + "_register_with_registrar";
  auto register_function = reinterpret_cast<EmbeddingHostRegisterFunction>(
      dlsym(library, entry_point.c_str()));
  if (register_function == nullptr) {
    g_set_error(error, EMBEDDING_HOST_ERROR, EMBEDDING_HOST_ERROR_FAILED,
                "%s has no %s", path, entry_point.c_str());
    dlclose(library);
    return FALSE;
  }
  embedding_host_register_plugin(self, name.c_str(), register_function);
  return TRUE;
}

FlMethodResponse* embedding_host_invoke_method(EmbeddingHost* self,
                                               const gchar* channel,
                                               const gchar* method,
                                               FlValue* args,
                                               GBytes** reply,
                                               GError** error) {
  g_return_val_if_fail(EMBEDDING_IS_HOST(self), nullptr);
  g_return_val_if_fail(channel != nullptr, nullptr);
  g_return_val_if_fail(method != nullptr, nullptr);
  if (reply != nullptr) {
    *reply = nullptr;
  }
  // A handler that runs meanwhile may let the host go.
  g_autoptr(FlMethodCodec) codec = FL_METHOD_CODEC(g_object_ref(self->codec));
  g_autoptr(GBytes) message =
      embedding_host_encode_method_call(codec, method, args, error);
  if (message == nullptr) {
    return nullptr;
  }
  g_autoptr(GBytes) answer = embedding_host_messenger_send(
      self->messenger, channel, message, nullptr, error);
  if (answer == nullptr) {
    return nullptr;
  }
  if (reply != nullptr) {
    *reply = g_bytes_ref(answer);
  }
  return embedding_host_decode_response(codec, answer, error);
}

// ---- Answering the calls plugins make ----

void embedding_host_set_method_call_handler(
    EmbeddingHost* self,
    const gchar* channel,
    EmbeddingHostMethodCallHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify) {
  g_return_if_fail(EMBEDDING_IS_HOST(self));
  g_return_if_fail(channel != nullptr);
  self->method_call_handlers->replace(channel,
                                      {handler, user_data, destroy_notify});
}

void embedding_host_shutdown(EmbeddingHost* self) {
  g_return_if_fail(EMBEDDING_IS_HOST(self));
  embedding_host_messenger_shutdown(self->messenger);
  self->method_call_handlers->close();
}

// ---- Encoding, through a codec's own class functions ----

GBytes* embedding_host_encode_method_call(FlMethodCodec* codec,
                                          const gchar* name,
                                          FlValue* args,
                                          GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(codec), nullptr);
  g_return_val_if_fail(name != nullptr, nullptr);
  g_autoptr(FlValue) null_args =
      args == nullptr ? fl_value_new_null() : nullptr;
  return FL_METHOD_CODEC_GET_CLASS(codec)->encode_method_call(
      codec, name, args != nullptr ? args : null_args, error);
}

gboolean embedding_host_decode_method_call(FlMethodCodec* codec,
                                           GBytes* message,
                                           gchar** name,
                                           FlValue** args,
                                           GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(codec), FALSE);
  g_return_val_if_fail(message != nullptr, FALSE);
  g_return_val_if_fail(name != nullptr && args != nullptr, FALSE);
  return FL_METHOD_CODEC_GET_CLASS(codec)->decode_method_call(
      codec, message, name, args, error);
}

GBytes* embedding_host_encode_response(FlMethodCodec* codec,
                                       FlMethodResponse* response,
                                       GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(codec), nullptr);
  g_return_val_if_fail(FL_IS_METHOD_RESPONSE(response), nullptr);
  FlMethodCodecClass* codec_class = FL_METHOD_CODEC_GET_CLASS(codec);
  if (FL_IS_METHOD_SUCCESS_RESPONSE(response)) {
    FlValue* result = fl_method_success_response_get_result(
        FL_METHOD_SUCCESS_RESPONSE(response));
    g_autoptr(FlValue) null_result =
        result == nullptr ? fl_value_new_null() : nullptr;
    return codec_class->encode_success_envelope(
        codec, result != nullptr ? result : null_result, error);
  }
  if (FL_IS_METHOD_ERROR_RESPONSE(response)) {
    FlMethodErrorResponse* failure = FL_METHOD_ERROR_RESPONSE(response);
    return codec_class->encode_error_envelope(
        codec, fl_method_error_response_get_code(failure),
        fl_method_error_response_get_message(failure),
        fl_method_error_response_get_details(failure), error);
  }
  return g_bytes_new(nullptr, 0);
}

FlMethodResponse* embedding_host_decode_response(FlMethodCodec* codec,
                                                 GBytes* message,
                                                 GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(codec), nullptr);
  g_return_val_if_fail(message != nullptr, nullptr);
  // The empty reply is the reader's to interpret, not the codec's.
  if (g_bytes_get_size(message) == 0) {
    return FL_METHOD_RESPONSE(fl_method_not_implemented_response_new());
  }
  return FL_METHOD_CODEC_GET_CLASS(codec)->decode_response(codec, message,
                                                           error);
}
