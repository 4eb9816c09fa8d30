#include <map>
#include <string>
#include <utility>

#include "embedding_host/embedding_host.h"
#include "embedding_host_messenger_private.h"
#include "main_context_queue.h"
#include "response_handle.h"

namespace {

// A handler with its user data, released when the handler is replaced or
// dropped.
template <typename Handler>
struct Registration {
  Handler handler;
  gpointer user_data;
  GDestroyNotify destroy_notify;

  void release() const {
    if (destroy_notify != nullptr) {
      destroy_notify(user_data);
    }
  }
};

using PluginRegistration = Registration<FlBinaryMessengerMessageHandler>;
using ApplicationRegistration = Registration<EmbeddingHostApplicationHandler>;

// Channel name to handler. Read and written in the messenger's main context
// only, as the platform's own tables are.
template <typename Handler>
using ChannelTable = std::map<std::string, Registration<Handler>>;

// Puts @added in @table under @channel (removes the entry when its handler
// is NULL) and then releases what it replaced, whose destroy notification
// may well come back here.
template <typename Handler>
void replace_in(ChannelTable<Handler>& table,
                const gchar* channel,
                const Registration<Handler>& added) {
  Registration<Handler> dropped{};
  auto entry = table.find(channel);
  if (entry != table.end()) {
    dropped = entry->second;
    table.erase(entry);
  }
  if (added.handler != nullptr) {
    table.emplace(channel, added);
  } else {
    added.release();
  }
  dropped.release();
}

template <typename Handler>
const Registration<Handler>* find_in(const ChannelTable<Handler>& table,
                                     const gchar* channel) {
  auto entry = table.find(channel);
  return entry != table.end() ? &entry->second : nullptr;
}

template <typename Handler>
void release_all(ChannelTable<Handler>& table) {
  ChannelTable<Handler> dropped;
  dropped.swap(table);
  for (auto& entry : dropped) {
    entry.second.release();
  }
}

}  // namespace

struct MessengerState {
  explicit MessengerState(GMainContext* context)
      : queue(context), platform_thread(g_thread_self()) {}

  MainContextQueue queue;
  // The thread the messenger was made on, which runs its context.
  GThread* platform_thread;
  ChannelTable<FlBinaryMessengerMessageHandler> plugin_handlers;
  ChannelTable<EmbeddingHostApplicationHandler> application_handlers;
  bool shut_down = false;
};

struct _EmbeddingHostMessenger {
  GObject parent_instance;

  MessengerState* state;
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
  delete EMBEDDING_HOST_MESSENGER(object)->state;
  G_OBJECT_CLASS(embedding_host_messenger_parent_class)->finalize(object);
}

static void embedding_host_messenger_class_init(
    EmbeddingHostMessengerClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = embedding_host_messenger_dispose;
  G_OBJECT_CLASS(klass)->finalize = embedding_host_messenger_finalize;
}

static void embedding_host_messenger_init(EmbeddingHostMessenger* self) {
  g_autoptr(GMainContext) context = g_main_context_ref_thread_default();
  self->state = new MessengerState(context);
}

// Hands @message on @channel to @deliver in the messenger's context, later,
// keeping what it needs until then; a cancelled send is not delivered.
template <typename Deliver>
static void deliver_later(EmbeddingHostMessenger* self,
                          const gchar* channel,
                          GBytes* message,
                          GTask* task,
                          Deliver deliver) {
  g_object_ref(self);
  gchar* name = g_strdup(channel);
  GBytes* bytes =
      message != nullptr ? g_bytes_ref(message) : g_bytes_new(nullptr, 0);
  self->state->queue.push([self, name, bytes, task, deliver]() {
    if (!g_task_return_error_if_cancelled(task)) {
      deliver(self, name, bytes, task);
    }
    g_object_unref(task);
    g_bytes_unref(bytes);
    g_free(name);
    g_object_unref(self);
  });
}

static void return_reply(GTask* task, GBytes* reply) {
  g_task_return_pointer(task, reply,
                        reinterpret_cast<GDestroyNotify>(g_bytes_unref));
}

// ---- What plugins call: FlBinaryMessenger ----

static void embedding_host_messenger_set_message_handler_on_channel(
    FlBinaryMessenger* messenger,
    const gchar* channel,
    FlBinaryMessengerMessageHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify) {
  MessengerState* state = EMBEDDING_HOST_MESSENGER(messenger)->state;
  PluginRegistration added{handler, user_data, destroy_notify};
  if (state->shut_down) {
    // Dropped at once, as everything is after shutdown.
    added.release();
    return;
  }
  replace_in(state->plugin_handlers, channel, added);
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

// Answers what a plugin sends on @channel with the application's handler,
// in the messenger's context.
static void embedding_host_messenger_answer_plugin(EmbeddingHostMessenger* self,
                                                   const gchar* channel,
                                                   GBytes* message,
                                                   GTask* task) {
  const ApplicationRegistration* registration =
      find_in(self->state->application_handlers, channel);
  if (registration == nullptr) {
    // Nothing listens there: the application's side answers with nothing.
    return_reply(task, g_bytes_new(nullptr, 0));
    return;
  }
  GError* error = nullptr;
  GBytes* reply = registration->handler(self, channel, message, &error,
                                        registration->user_data);
  if (reply != nullptr) {
    return_reply(task, reply);
  } else if (error != nullptr) {
    g_task_return_error(task, error);
  } else {
    g_task_return_new_error(task, EMBEDDING_HOST_ERROR,
                            EMBEDDING_HOST_ERROR_NO_RESPONSE,
                            "the application left the message on channel "
                            "\"%s\" unanswered",
                            channel);
  }
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
                embedding_host_messenger_answer_plugin);
}

static GBytes* embedding_host_messenger_send_on_channel_finish(
    FlBinaryMessenger* messenger,
    GAsyncResult* result,
    GError** error) {
  g_return_val_if_fail(g_task_is_valid(result, messenger), nullptr);
  return static_cast<GBytes*>(g_task_propagate_pointer(G_TASK(result), error));
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

// Hands @message to the plugin's handler of @channel, in the messenger's
// context; without a handler the reply is empty.
static void embedding_host_messenger_deliver(EmbeddingHostMessenger* self,
                                             const gchar* channel,
                                             GBytes* message,
                                             GTask* task) {
  const PluginRegistration* registration =
      find_in(self->state->plugin_handlers, channel);
  if (registration == nullptr) {
    return_reply(task, g_bytes_new(nullptr, 0));
    return;
  }
  // The handler may keep the handle and answer later, from any thread.
  g_autoptr(FlBinaryMessengerResponseHandle) response_handle =
      embedding_host_response_handle_new(G_OBJECT(self), &self->state->queue,
                                         channel, G_TASK(g_object_ref(task)));
  registration->handler(FL_BINARY_MESSENGER(self), channel, message,
                        response_handle, registration->user_data);
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
  deliver_later(self, channel, message, task, embedding_host_messenger_deliver);
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
  *static_cast<GAsyncResult**>(user_data) =
      G_ASYNC_RESULT(g_object_ref(result));
}

GBytes* embedding_host_messenger_send(EmbeddingHostMessenger* self,
                                      const gchar* channel,
                                      GBytes* message,
                                      GCancellable* cancellable,
                                      GError** error) {
  g_return_val_if_fail(EMBEDDING_HOST_IS_MESSENGER(self), nullptr);
  g_return_val_if_fail(channel != nullptr, nullptr);
  g_return_val_if_fail(message != nullptr, nullptr);
  // On the platform's thread the reply comes through its own context, which
  // this thread runs; elsewhere through one of the caller's, while the
  // platform's thread delivers.
  GMainContext* platform = self->state->queue.context();
  bool on_platform_thread = g_thread_self() == self->state->platform_thread;
  GMainContext* context =
      on_platform_thread ? g_main_context_ref(platform) : g_main_context_new();
  GMainContext* caller_context = g_main_context_get_thread_default();
  bool push = (caller_context != nullptr ? caller_context
                                         : g_main_context_default()) != context;
  if (push) {
    g_main_context_push_thread_default(context);
  }
  GAsyncResult* result = nullptr;
  embedding_host_messenger_send_async(self, channel, message, cancellable,
                                      store_result, &result);
  while (result == nullptr) {
    g_main_context_iteration(context, TRUE);
  }
  if (push) {
    g_main_context_pop_thread_default(context);
  }
  g_main_context_unref(context);
  GBytes* reply = embedding_host_messenger_send_finish(self, result, error);
  g_object_unref(result);
  return reply;
}

void embedding_host_messenger_shutdown(EmbeddingHostMessenger* self) {
  g_return_if_fail(EMBEDDING_HOST_IS_MESSENGER(self));
  MessengerState* state = self->state;
  state->shut_down = true;
  release_all(state->plugin_handlers);
  release_all(state->application_handlers);
}

void embedding_host_messenger_set_application_handler(
    EmbeddingHostMessenger* self,
    const gchar* channel,
    EmbeddingHostApplicationHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify) {
  g_return_if_fail(EMBEDDING_HOST_IS_MESSENGER(self));
  g_return_if_fail(channel != nullptr);
  ApplicationRegistration added{handler, user_data, destroy_notify};
  if (self->state->shut_down) {
    added.release();
    return;
  }
  replace_in(self->state->application_handlers, channel, added);
}
