#include "response_handle.h"

#include "embedding_host/embedding_host.h"

struct _EmbeddingHostResponseHandle {
  FlBinaryMessengerResponseHandle parent_instance;

  GObject* messenger;
  MainContextQueue* queue;
  gchar* channel;
  // The sender's, until the handle is answered; taken atomically, so that
  // of two threads answering at once exactly one gets it.
  GTask* task;
};

G_DEFINE_FINAL_TYPE(EmbeddingHostResponseHandle,
                    embedding_host_response_handle,
                    fl_binary_messenger_response_handle_get_type())

static GTask* take_task(EmbeddingHostResponseHandle* self) {
  return static_cast<GTask*>(g_atomic_pointer_exchange(&self->task, nullptr));
}

void embedding_host_return_in_context(MainContextQueue* queue,
                                      GTask* task,
                                      GBytes* reply,
                                      GError* error) {
  auto return_task = [task, reply, error]() {
    if (error != nullptr) {
      g_task_return_error(task, error);
    } else {
      g_task_return_pointer(task, reply,
                            reinterpret_cast<GDestroyNotify>(g_bytes_unref));
    }
    g_object_unref(task);
  };
  if (queue->is_current()) {
    return_task();
  } else {
    queue->push(return_task);
  }
}

static void embedding_host_response_handle_finalize(GObject* object) {
  EmbeddingHostResponseHandle* self = EMBEDDING_HOST_RESPONSE_HANDLE(object);
  GTask* task = take_task(self);
  if (task != nullptr) {
    g_critical("a message on channel \"%s\" was released without a response",
               self->channel);
    embedding_host_return_in_context(
        self->queue, task, nullptr,
        g_error_new(EMBEDDING_HOST_ERROR, EMBEDDING_HOST_ERROR_NO_RESPONSE,
                    "the message on channel \"%s\" was released without a "
                    "response",
                    self->channel));
  }
  g_free(self->channel);
  // The messenger goes on the platform's thread, even when a plugin's own
  // thread lets go of the last call that kept it.
  if (self->queue->is_current()) {
    g_object_unref(self->messenger);
  } else {
    GObject* messenger = self->messenger;
    self->queue->push([messenger]() { g_object_unref(messenger); });
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
    GObject* messenger,
    MainContextQueue* queue,
    const gchar* channel,
    GTask* task) {
  auto* self = EMBEDDING_HOST_RESPONSE_HANDLE(
      g_object_new(embedding_host_response_handle_get_type(), nullptr));
  self->messenger = G_OBJECT(g_object_ref(messenger));
  self->queue = queue;
  self->channel = g_strdup(channel);
  self->task = task;
  return FL_BINARY_MESSENGER_RESPONSE_HANDLE(self);
}

gboolean embedding_host_response_handle_respond(
    EmbeddingHostResponseHandle* self,
    GBytes* reply,
    GError** error) {
  GTask* task = take_task(self);
  if (task == nullptr) {
    g_set_error(error, FL_BINARY_MESSENGER_ERROR,
                FL_BINARY_MESSENGER_ERROR_ALREADY_RESPONDED,
                "the message on channel \"%s\" has already been answered",
                self->channel);
    return FALSE;
  }
  embedding_host_return_in_context(
      self->queue, task,
      reply != nullptr ? g_bytes_ref(reply) : g_bytes_new(nullptr, 0), nullptr);
  return TRUE;
}
