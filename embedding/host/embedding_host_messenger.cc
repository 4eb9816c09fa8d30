#include <unistd.h>

#include "embedding_host_private.h"
#include "handler_table.h"
#include "main_context_queue.h"
#include "response_handle.h"

using PluginHandlers = HandlerTable<FlBinaryMessengerMessageHandler>;

struct _EmbeddingHostMessenger {
  GObject parent_instance;

  // The platform's main context, and the queue that delivers every message
  // there. The context is kept for as long as the messenger lives, so that
  // no message is lost with it.
  GMainContext* context;
  GSource* queue;
  PluginHandlers* plugin_handlers;
  EmbeddingHostApplicationHandler application_handler;
  gpointer application_handler_data;
};

static void embedding_host_messenger_iface_init(
    FlBinaryMessengerInterface* iface);

G_DEFINE_FINAL_TYPE_WITH_CODE(
    EmbeddingHostMessenger,
    embedding_host_messenger,
    G_TYPE_OBJECT,
    G_IMPLEMENT_INTERFACE(fl_binary_messenger_get_type(),
                          embedding_host_messenger_iface_init))

static void embedding_host_messenger_dispose(GObject* object) {
  embedding_host_messenger_shutdown(EMBEDDING_HOST_MESSENGER(object));
  G_OBJECT_CLASS(embedding_host_messenger_parent_class)->dispose(object);
}

static void embedding_host_messenger_finalize(GObject* object) {
  EmbeddingHostMessenger* self = EMBEDDING_HOST_MESSENGER(object);
  delete self->plugin_handlers;
  g_source_destroy(self->queue);
  g_source_unref(self->queue);
  g_main_context_unref(self->context);
  G_OBJECT_CLASS(embedding_host_messenger_parent_class)->finalize(object);
}

static void embedding_host_messenger_class_init(
    EmbeddingHostMessengerClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = embedding_host_messenger_dispose;
  G_OBJECT_CLASS(klass)->finalize = embedding_host_messenger_finalize;
}

static void embedding_host_messenger_init(EmbeddingHostMessenger* self) {
  self->context = g_main_context_ref_thread_default();
  self->queue = main_context_queue_new(self->context);
  self->plugin_handlers = new PluginHandlers();
}

// ---- Delivery ----

using Deliver = void (*)(EmbeddingHostMessenger* self,
                         const gchar* channel,
                         GBytes* message,
                         GTask* task);

// Hands @message on @channel to @deliver in the messenger's context, never
// inside this call; a send cancelled by then is not delivered.
static void deliver_later(EmbeddingHostMessenger* self,
                          const gchar* channel,
                          GBytes* message,
                          GTask* task,
                          Deliver deliver) {
  gchar* name = g_strdup(channel);
  GBytes* bytes =
      message != nullptr ? g_bytes_ref(message) : g_bytes_new(nullptr, 0);
  // The task keeps its source object, the messenger, until it goes.
  main_context_queue_push(self->queue, [name, bytes, task, deliver]() {
    if (!g_task_return_error_if_cancelled(task)) {
      deliver(EMBEDDING_HOST_MESSENGER(g_task_get_source_object(task)), name,
              bytes, task);
    }
    g_object_unref(task);
    g_bytes_unref(bytes);
    g_free(name);
  });
}

// Hands @message to the plugin's handler of @channel; without a handler
// the reply is empty.
static void deliver_to_plugin(EmbeddingHostMessenger* self,
                              const gchar* channel,
                              GBytes* message,
                              GTask* task) {
  const PluginHandlers::Record* record = self->plugin_handlers->find(channel);
  if (record == nullptr) {
    g_task_return_pointer(task, g_bytes_new(nullptr, 0),
                          reinterpret_cast<GDestroyNotify>(g_bytes_unref));
    return;
  }
  // The handler may keep the handle and answer later, from any thread.
  g_autoptr(FlBinaryMessengerResponseHandle) response_handle =
      embedding_host_response_handle_new(self->context, channel,
                                         G_TASK(g_object_ref(task)));
  record->handler(FL_BINARY_MESSENGER(self), channel, message, response_handle,
                  record->user_data);
}

// Answers what a plugin sends on @channel with the application's handler.
static void deliver_to_application(EmbeddingHostMessenger* self,
                                   const gchar* channel,
                                   GBytes* message,
                                   GTask* task) {
  if (self->application_handler == nullptr) {
    g_task_return_pointer(task, g_bytes_new(nullptr, 0),
                          reinterpret_cast<GDestroyNotify>(g_bytes_unref));
    return;
  }
  GError* error = nullptr;
  GBytes* reply = self->application_handler(self, channel, message, &error,
                                            self->application_handler_data);
  if (reply != nullptr) {
    g_task_return_pointer(task, reply,
                          reinterpret_cast<GDestroyNotify>(g_bytes_unref));
  } else {
    g_task_return_error(task, error);
  }
}

// ---- What plugins call: FlBinaryMessenger ----

static void embedding_host_messenger_set_message_handler_on_channel(
    FlBinaryMessenger* messenger,
    const gchar* channel,
    FlBinaryMessengerMessageHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify) {
  EMBEDDING_HOST_MESSENGER(messenger)->plugin_handlers->replace(
      channel, {handler, user_data, destroy_notify});
}

static gboolean embedding_host_messenger_send_response(
    FlBinaryMessenger* messenger,
    FlBinaryMessengerResponseHandle* response_handle,
    GBytes* response,
    GError** error) {
  g_return_val_if_fail(EMBEDDING_HOST_IS_RESPONSE_HANDLE(response_handle),
                       FALSE);
  return embedding_host_response_handle_respond(
      EMBEDDING_HOST_RESPONSE_HANDLE(response_handle), response, error);
}

static void embedding_host_messenger_send_on_channel(
    FlBinaryMessenger* messenger,
    const gchar* channel,
    GBytes* message,
    GCancellable* cancellable,
    GAsyncReadyCallback callback,
    gpointer user_data) {
  EmbeddingHostMessenger* self = EMBEDDING_HOST_MESSENGER(messenger);
  deliver_later(self, channel, message,
                g_task_new(self, cancellable, callback, user_data),
                deliver_to_application);
}

static GBytes* embedding_host_messenger_send_on_channel_finish(
    FlBinaryMessenger* messenger,
    GAsyncResult* result,
    GError** error) {
  return embedding_host_messenger_send_finish(
      EMBEDDING_HOST_MESSENGER(messenger), result, error);
}

// The application's side buffers nothing: there is nothing to resize and
// nothing that overflows.
static void embedding_host_messenger_resize_channel(
    FlBinaryMessenger* messenger,
    const gchar* channel,
    int64_t new_size) {}

static void embedding_host_messenger_set_warns_on_channel_overflow(
    FlBinaryMessenger* messenger,
    const gchar* channel,
    bool warns) {}

static void embedding_host_messenger_iface_init(
    FlBinaryMessengerInterface* iface) {
  iface->set_message_handler_on_channel =
      embedding_host_messenger_set_message_handler_on_channel;
  iface->send_response = embedding_host_messenger_send_response;
  iface->send_on_channel = embedding_host_messenger_send_on_channel;
  iface->send_on_channel_finish =
      embedding_host_messenger_send_on_channel_finish;
  iface->resize_channel = embedding_host_messenger_resize_channel;
  iface->set_warns_on_channel_overflow =
      embedding_host_messenger_set_warns_on_channel_overflow;
}

// ---- What the application calls ----

EmbeddingHostMessenger* embedding_host_messenger_new(void) {
  return EMBEDDING_HOST_MESSENGER(
      g_object_new(embedding_host_messenger_get_type(), nullptr));
}

void embedding_host_messenger_send_async(EmbeddingHostMessenger* self,
                                         const gchar* channel,
                                         GBytes* message,
                                         GCancellable* cancellable,
                                         GAsyncReadyCallback callback,
                                         gpointer user_data) {
  g_return_if_fail(EMBEDDING_HOST_IS_MESSENGER(self));
  g_return_if_fail(channel != nullptr);
  g_return_if_fail(message != nullptr);
  GTask* task = g_task_new(self, cancellable, callback, user_data);
  g_task_set_source_tag(
      task, reinterpret_cast<gpointer>(embedding_host_messenger_send_async));
  deliver_later(self, channel, message, task, deliver_to_plugin);
}

GBytes* embedding_host_messenger_send_finish(EmbeddingHostMessenger* self,
                                             GAsyncResult* result,
                                             GError** error) {
  g_return_val_if_fail(EMBEDDING_HOST_IS_MESSENGER(self), nullptr);
  g_return_val_if_fail(g_task_is_valid(result, self), nullptr);
  return static_cast<GBytes*>(g_task_propagate_pointer(G_TASK(result), error));
}

static void store_result(GObject* source,
                         GAsyncResult* result,
                         gpointer user_data) {
  g_atomic_pointer_set(static_cast<GAsyncResult**>(user_data),
                       G_ASYNC_RESULT(g_object_ref(result)));
}

// Whether the calling thread runs @context: it owns it (it is running it,
// holds it, or pushed it as its thread-default context), or @context is
// the global default one, which belongs to the main thread, and this is
// the main thread, with no context of its own pushed.
static bool runs_context(GMainContext* context) {
  return g_main_context_is_owner(context) ||
         (context == g_main_context_default() &&
          g_main_context_get_thread_default() == nullptr &&
          gettid() == getpid());
}

GBytes* embedding_host_messenger_send(EmbeddingHostMessenger* self,
                                      const gchar* channel,
                                      GBytes* message,
                                      GCancellable* cancellable,
                                      GError** error) {
  g_return_val_if_fail(EMBEDDING_HOST_IS_MESSENGER(self), nullptr);
  g_return_val_if_fail(channel != nullptr, nullptr);
  g_return_val_if_fail(message != nullptr, nullptr);
  // The thread that runs the messenger's context runs it until the reply
  // comes, delivering meanwhile. Any other thread never touches it: it
  // waits in a context of its own, where the reply's callback runs.
  g_autoptr(GMainContext) context = runs_context(self->context)
                                        ? g_main_context_ref(self->context)
                                        : g_main_context_new();
  // The reply's callback runs in the thread-default context.
  ThreadDefaultContext thread_default(context);
  GAsyncResult* result = nullptr;
  embedding_host_messenger_send_async(self, channel, message, cancellable,
                                      store_result, &result);
  // Only a thread that owns @context runs the reply's callback, so the
  // result is looked at again once the context is ours, before waiting in
  // it. Should another thread hold the messenger's context meanwhile, it
  // may deliver the message and run the callback: this thread looks every
  // millisecond until it can take the context, or the result has come.
  while (g_atomic_pointer_get(&result) == nullptr) {
    if (!g_main_context_acquire(context)) {
      g_usleep(1000);
      continue;
    }
    if (g_atomic_pointer_get(&result) == nullptr) {
      g_main_context_iteration(context, TRUE);
    }
    g_main_context_release(context);
  }
  GBytes* reply = embedding_host_messenger_send_finish(self, result, error);
  g_object_unref(result);
  return reply;
}

void embedding_host_messenger_shutdown(EmbeddingHostMessenger* self) {
  g_return_if_fail(EMBEDDING_HOST_IS_MESSENGER(self));
  // The handlers may hold the last references to the messenger: a channel
  // holds one until the messenger lets go of it.
  g_object_ref(self);
  self->application_handler = nullptr;
  self->application_handler_data = nullptr;
  self->plugin_handlers->close();
  g_object_unref(self);
}

void embedding_host_messenger_set_application_handler(
    EmbeddingHostMessenger* self,
    EmbeddingHostApplicationHandler handler,
    gpointer user_data) {
  self->application_handler = handler;
  self->application_handler_data = user_data;
}
