#include "embedding_host_private.h"

G_DECLARE_FINAL_TYPE(EmbeddingHostRegistrar,
                     embedding_host_registrar,
                     EMBEDDING_HOST,
                     REGISTRAR,
                     GObject)

struct _EmbeddingHostRegistrar {
  GObject parent_instance;

  EmbeddingHostMessenger* messenger;
};

static void embedding_host_registrar_iface_init(
    FlPluginRegistrarInterface* iface);

G_DEFINE_FINAL_TYPE_WITH_CODE(
    EmbeddingHostRegistrar,
    embedding_host_registrar,
    G_TYPE_OBJECT,
    G_IMPLEMENT_INTERFACE(fl_plugin_registrar_get_type(),
                          embedding_host_registrar_iface_init))

static void embedding_host_registrar_dispose(GObject* object) {
  g_clear_object(&EMBEDDING_HOST_REGISTRAR(object)->messenger);
  G_OBJECT_CLASS(embedding_host_registrar_parent_class)->dispose(object);
}

static void embedding_host_registrar_class_init(
    EmbeddingHostRegistrarClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = embedding_host_registrar_dispose;
}

static void embedding_host_registrar_init(EmbeddingHostRegistrar* self) {}

static FlBinaryMessenger* embedding_host_registrar_get_messenger(
    FlPluginRegistrar* registrar) {
  return FL_BINARY_MESSENGER(EMBEDDING_HOST_REGISTRAR(registrar)->messenger);
}

// An application's view and textures have no stand-in: plugins that ask
// get NULL.
static FlTextureRegistrar* embedding_host_registrar_get_texture_registrar(
    FlPluginRegistrar* registrar) {
  return nullptr;
}

static FlView* embedding_host_registrar_get_view(FlPluginRegistrar* registrar) {
  return nullptr;
}

static void embedding_host_registrar_iface_init(
    FlPluginRegistrarInterface* iface) {
  iface->get_messenger = embedding_host_registrar_get_messenger;
  iface->get_texture_registrar = embedding_host_registrar_get_texture_registrar;
  iface->get_view = embedding_host_registrar_get_view;
}

FlPluginRegistrar* embedding_host_registrar_new(
    EmbeddingHostMessenger* messenger) {
  auto* self = EMBEDDING_HOST_REGISTRAR(
      g_object_new(embedding_host_registrar_get_type(), nullptr));
  self->messenger = EMBEDDING_HOST_MESSENGER(g_object_ref(messenger));
  return FL_PLUGIN_REGISTRAR(self);
}
