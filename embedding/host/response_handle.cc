#include "response_handle.h"

#include "embedding_host/embedding_host.h"

struct _EmbeddingHostResponseHandle {
  FlBinaryMessengerResponseHandle parent_instance;

  GMainContext* context;
  gchar* channel;
  // The sender's, until the handle is answered; taken atomically, so that
  // of two threads answering at once exactly one gets it.
  GTask* task;
};

G_DEFINE_FINAL_TYPE(EmbeddingHostResponseHandle,
                    embedding_host_response_handle,
                    fl_binary_messenger_response_handle_get_type())

// Takes the sender's task; of two threads answering at once, exactly one
// gets it.
static GTask* take_task(EmbeddingHostResponseHandle* self) {
  return static_cast<GTask*>(g_atomic_pointer_exchange(&self->task, nullptr));
}

// Lets go of the handle's reference to the sender's task once the task has
// its result, which GTask takes from any thread. It goes in the
// messenger's context: at once on the thread that owns it, later from any
// other. So the task's last reference, and with it possibly the
// messenger's, is dropped there or in the sender's context, where its
// callback runs; never on a plugin's own thread, which
// g_main_context_invoke_full() would do when it may take the context.
static void unref_task_in(GMainContext* context, GTask* task) {
  if (g_main_context_is_owner(context)) {
    g_object_unref(task);
    return;
  }
  // The reference goes with the source, run or not.
  g_autoptr(GSource) source = g_idle_source_new();
  g_source_set_priority(source, G_PRIORITY_DEFAULT);
  g_source_set_callback(
      source, [](gpointer) -> gboolean { return G_SOURCE_REMOVE; }, task,
      g_object_unref);
  g_source_attach(source, context);
}

static void embedding_host_response_handle_finalize(GObject* object) {
  EmbeddingHostResponseHandle* self = EMBEDDING_HOST_RESPONSE_HANDLE(object);
  GTask* task = take_task(self);
  if (task != nullptr) {
    g_critical("a message on channel \"%s\" was released without a response",
               self->channel);
    g_task_return_new_error(task, EMBEDDING_HOST_ERROR,
                            EMBEDDING_HOST_ERROR_NO_RESPONSE,
                            "the message on channel \"%s\" was released "
                            "without a response",
                            self->channel);
    unref_task_in(self->context, task);
  }
  g_free(self->channel);
  g_main_context_unref(self->context);
  G_OBJECT_CLASS(embedding_host_response_handle_parent_class)->finalize(object);
}

static void embedding_host_response_handle_class_init(
    EmbeddingHostResponseHandleClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = embedding_host_response_handle_finalize;
}

static void embedding_host_response_handle_init(
    EmbeddingHostResponseHandle* self) {}

FlBinaryMessengerResponseHandle* embedding_host_response_handle_new(
    GMainContext* context,
    const gchar* channel,
    GTask* task) {
  auto* self = EMBEDDING_HOST_RESPONSE_HANDLE(
      g_object_new(embedding_host_response_handle_get_type(), nullptr));
  self->context = g_main_context_ref(context);
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
  g_task_return_pointer(
      task, reply != nullptr ? g_bytes_ref(reply) : g_bytes_new(nullptr, 0),
      reinterpret_cast<GDestroyNotify>(g_bytes_unref));
  unref_task_in(self->context, task);
  return TRUE;
}
