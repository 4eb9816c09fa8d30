// The application in miniature: the one entry point of the application's
// side, and the encoding helpers it shares with tools and tests.

#include "embedding_host/embedding_host.h"

#include "embedding_host_private.h"
#include "fl_method_codec_private.h"
#include "live_objects.h"

G_DEFINE_QUARK(embedding_host_error_quark, embedding_host_error)

struct _EmbeddingHost {
  GObject parent_instance;

  EmbeddingHostMessenger* messenger;
  // Encodes the calls the application makes and the answers it gives.
  FlMethodCodec* codec;
};

static void embedding_host_registry_iface_init(
    FlPluginRegistryInterface* iface);

G_DEFINE_FINAL_TYPE_WITH_CODE(
    EmbeddingHost,
    embedding_host,
    G_TYPE_OBJECT,
    G_IMPLEMENT_INTERFACE(fl_plugin_registry_get_type(),
                          embedding_host_registry_iface_init))

static void embedding_host_dispose(GObject* object) {
  EmbeddingHost* self = EMBEDDING_HOST(object);
  if (self->messenger != nullptr) {
    embedding_host_messenger_shutdown(self->messenger);
  }
  g_clear_object(&self->messenger);
  g_clear_object(&self->codec);
  G_OBJECT_CLASS(embedding_host_parent_class)->dispose(object);
}

static void embedding_host_class_init(EmbeddingHostClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = embedding_host_dispose;
}

static void embedding_host_init(EmbeddingHost* self) {
  self->messenger = embedding_host_messenger_new();
  self->codec = FL_METHOD_CODEC(fl_standard_method_codec_new());
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

FlMethodResponse* embedding_host_invoke_method(EmbeddingHost* self,
                                               const gchar* channel,
                                               const gchar* method,
                                               FlValue* args,
                                               GError** error) {
  g_return_val_if_fail(EMBEDDING_IS_HOST(self), nullptr);
  g_return_val_if_fail(channel != nullptr, nullptr);
  g_return_val_if_fail(method != nullptr, nullptr);
  g_autoptr(GBytes) message =
      fl_method_codec_encode_method_call(self->codec, method, args, error);
  if (message == nullptr) {
    return nullptr;
  }
  g_autoptr(GBytes) reply =
      embedding_host_messenger_send(self->messenger, channel, message, error);
  if (reply == nullptr) {
    return nullptr;
  }
  return fl_method_codec_decode_response(self->codec, reply, error);
}

// ---- Answering the calls plugins make ----

namespace {

// What embedding_host_set_method_call_handler() installs on the messenger.
struct MethodCallHandler {
  // Not a reference: the host's messenger holds this, and shuts down, which
  // drops it, before the host goes. A call that is being answered then
  // still has the codec of its own.
  EmbeddingHost* host;
  FlMethodCodec* codec;
  EmbeddingHostMethodCallHandler handler;
  gpointer user_data;
  GDestroyNotify destroy_notify;

  static void destroy(gpointer data) {
    auto* self = static_cast<MethodCallHandler*>(data);
    if (self->destroy_notify != nullptr) {
      self->destroy_notify(self->user_data);
    }
    g_object_unref(self->codec);
    delete self;
  }
};

GBytes* answer_method_call(EmbeddingHostMessenger* messenger,
                           const gchar* channel,
                           GBytes* message,
                           GError** error,
                           gpointer user_data) {
  auto* handler = static_cast<MethodCallHandler*>(user_data);
  FlMethodCodec* codec = handler->codec;
  g_autofree gchar* method = nullptr;
  g_autoptr(FlValue) args = nullptr;
  if (!fl_method_codec_decode_method_call(codec, message, &method, &args,
                                          error)) {
    return nullptr;
  }
  g_autoptr(FlMethodResponse) response = handler->handler(
      handler->host, channel, method, args, handler->user_data);
  if (response == nullptr) {
    return nullptr;
  }
  return embedding_host_encode_response(codec, response, error);
}

}  // namespace

void embedding_host_set_method_call_handler(
    EmbeddingHost* self,
    const gchar* channel,
    EmbeddingHostMethodCallHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify) {
  g_return_if_fail(EMBEDDING_IS_HOST(self));
  g_return_if_fail(channel != nullptr);
  if (handler == nullptr) {
    if (destroy_notify != nullptr) {
      destroy_notify(user_data);
    }
    embedding_host_messenger_set_application_handler(self->messenger, channel,
                                                     nullptr, nullptr, nullptr);
    return;
  }
  auto* installed =
      new MethodCallHandler{self, FL_METHOD_CODEC(g_object_ref(self->codec)),
                            handler, user_data, destroy_notify};
  embedding_host_messenger_set_application_handler(
      self->messenger, channel, answer_method_call, installed,
      MethodCallHandler::destroy);
}

void embedding_host_shutdown(EmbeddingHost* self) {
  g_return_if_fail(EMBEDDING_IS_HOST(self));
  embedding_host_messenger_shutdown(self->messenger);
}

// ---- Encoding, through a codec ----

GBytes* embedding_host_encode_method_call(FlMethodCodec* codec,
                                          const gchar* name,
                                          FlValue* args,
                                          GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(codec), nullptr);
  g_return_val_if_fail(name != nullptr, nullptr);
  return fl_method_codec_encode_method_call(codec, name, args, error);
}

gboolean embedding_host_decode_method_call(FlMethodCodec* codec,
                                           GBytes* message,
                                           gchar** name,
                                           FlValue** args,
                                           GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(codec), FALSE);
  g_return_val_if_fail(message != nullptr, FALSE);
  g_return_val_if_fail(name != nullptr && args != nullptr, FALSE);
  return fl_method_codec_decode_method_call(codec, message, name, args, error);
}

GBytes* embedding_host_encode_response(FlMethodCodec* codec,
                                       FlMethodResponse* response,
                                       GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(codec), nullptr);
  g_return_val_if_fail(FL_IS_METHOD_RESPONSE(response), nullptr);
  if (FL_IS_METHOD_NOT_IMPLEMENTED_RESPONSE(response)) {
    return g_bytes_new(nullptr, 0);
  }
  return fl_method_codec_encode_response(codec, response, error);
}

FlMethodResponse* embedding_host_decode_response(FlMethodCodec* codec,
                                                 GBytes* message,
                                                 GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CODEC(codec), nullptr);
  g_return_val_if_fail(message != nullptr, nullptr);
  return fl_method_codec_decode_response(codec, message, error);
}

void embedding_host_get_live_objects(EmbeddingHostLiveObjects* counts) {
  g_return_if_fail(counts != nullptr);
  counts->values = live_objects::counts[live_objects::kValue].load();
  counts->method_calls = live_objects::counts[live_objects::kMethodCall].load();
  counts->responses = live_objects::counts[live_objects::kResponse].load();
  counts->channels = live_objects::counts[live_objects::kChannel].load();
  counts->codecs = live_objects::counts[live_objects::kCodec].load();
  counts->message_codecs =
      live_objects::counts[live_objects::kMessageCodec].load();
  counts->response_handles =
      live_objects::counts[live_objects::kResponseHandle].load();
}
