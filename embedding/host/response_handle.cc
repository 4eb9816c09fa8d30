#include "response_handle.h"

#include "embedding_host/embedding_host.h"

struct _EmbeddingHostResponseHandle {
  FlBinaryMessengerResponseHandle parent_instance;

  // The sender's, until the handle is answered; taken atomically, so that
  // of two threads answering at once exactly one gets it.
  Completion* completion;
};

G_DEFINE_FINAL_TYPE(EmbeddingHostResponseHandle,
                    embedding_host_response_handle,
                    fl_binary_messenger_response_handle_get_type())

static Completion* take_completion(EmbeddingHostResponseHandle* self) {
  return static_cast<Completion*>(
      g_atomic_pointer_exchange(&self->completion, nullptr));
}

static void embedding_host_response_handle_finalize(GObject* object) {
  Completion* completion =
      take_completion(EMBEDDING_HOST_RESPONSE_HANDLE(object));
  if (completion != nullptr) {
    g_critical("a message on channel \"%s\" was released without a response",
               completion->channel());
    completion->complete(
        nullptr,
        g_error_new(EMBEDDING_HOST_ERROR, EMBEDDING_HOST_ERROR_NO_RESPONSE,
                    "the message on channel \"%s\" was released without a "
                    "response",
                    completion->channel()));
  }
  G_OBJECT_CLASS(embedding_host_response_handle_parent_class)->finalize(object);
}

static void embedding_host_response_handle_class_init(
    EmbeddingHostResponseHandleClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = embedding_host_response_handle_finalize;
}

static void embedding_host_response_handle_init(
    EmbeddingHostResponseHandle* self) {}

FlBinaryMessengerResponseHandle* embedding_host_response_handle_new(
    Completion* completion) {
  auto* self = EMBEDDING_HOST_RESPONSE_HANDLE(g_object_new_with_properties(
      embedding_host_response_handle_get_type(), 0, nullptr, nullptr));
  self->completion = completion;
  return FL_BINARY_MESSENGER_RESPONSE_HANDLE(self);
}

gboolean embedding_host_response_handle_complete(
    FlBinaryMessengerResponseHandle* handle,
    GBytes* reply,
    GError* error,
    GError** already_responded) {
  Completion* completion =
      take_completion(EMBEDDING_HOST_RESPONSE_HANDLE(handle));
  if (completion == nullptr) {
    g_clear_pointer(&reply, g_bytes_unref);
    g_clear_error(&error);
    g_set_error_literal(already_responded, FL_BINARY_MESSENGER_ERROR,
                        FL_BINARY_MESSENGER_ERROR_ALREADY_RESPONDED,
                        "the message has already been answered");
    return FALSE;
  }
  completion->complete(reply, error);
  return TRUE;
}
