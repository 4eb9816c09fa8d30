#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "embedding_host/embedding_host.h"
#include "embedding_host_private.h"
#include "fl_binary_messenger_private.h"
#include "fl_method_channel_private.h"
#include "handler_registration.h"
#include "handoff.h"
#include "response_handle.h"

using MessageRegistration =
    HandlerRegistration<FlBinaryMessengerMessageHandler>;
using ApplicationRegistration =
    HandlerRegistration<EmbeddingHostApplicationHandler>;

// Channel name to handler; std::less<> lets a lookup use the caller's text
// without copying it into a std::string.
template <typename Registration>
using ChannelTable = std::map<std::string, Registration*, std::less<>>;

// What the messenger shares between threads.
struct MessengerState {
  std::mutex mutex;  // guards the members below
  ChannelTable<MessageRegistration> plugin_handlers;
  ChannelTable<ApplicationRegistration> application_handlers;
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

// Puts @added (may be NULL) in @table under @channel and returns what it
// replaces, for the caller to release outside the lock: destroy
// notifications are the owner's code and may well come back here.
template <typename Registration>
static Registration* replace_in(ChannelTable<Registration>& table,
                                const gchar* channel,
                                Registration* added) {
  Registration* dropped = nullptr;
  auto entry = table.find(std::string_view(channel));
  if (entry != table.end()) {
    dropped = entry->second;
    if (added != nullptr) {
      entry->second = added;
    } else {
      table.erase(entry);
    }
  } else if (added != nullptr) {
    table.emplace(channel, added);
  }
  return dropped;
}

template <typename Registration>
static Registration* ref_in(std::mutex& mutex,
                            ChannelTable<Registration>& table,
                            const gchar* channel) {
  std::lock_guard<std::mutex> lock(mutex);
  auto entry = table.find(std::string_view(channel));
  return entry != table.end() ? entry->second->ref() : nullptr;
}

template <typename Registration>
static void install(EmbeddingHostMessenger* self,
                    ChannelTable<Registration> MessengerState::*table,
                    const gchar* channel,
                    Registration* added) {
  Registration* dropped = nullptr;
  {
    MessengerState& state = *self->state;
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.shut_down) {
      // Dropped at once, as everything is after shutdown.
      dropped = added;
    } else {
      dropped = replace_in(state.*table, channel, added);
    }
  }
  if (dropped != nullptr) {
    dropped->unref();
  }
}

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
  self->state = new MessengerState();
}

// ---- What plugins call: FlBinaryMessenger ----

static void embedding_host_messenger_set_message_handler_on_channel(
    FlBinaryMessenger* messenger,
    const gchar* channel,
    FlBinaryMessengerMessageHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify) {
  auto* added = new MessageRegistration(handler, user_data, destroy_notify);
  if (handler == nullptr) {
    added->unref();
    added = nullptr;
  }
  install(EMBEDDING_HOST_MESSENGER(messenger), &MessengerState::plugin_handlers,
          channel, added);
}

static gboolean embedding_host_messenger_send_response(
    FlBinaryMessenger* messenger,
    FlBinaryMessengerResponseHandle* response_handle,
    GBytes* response,
    GError** error) {
  g_return_val_if_fail(EMBEDDING_HOST_IS_RESPONSE_HANDLE(response_handle),
                       FALSE);
  if (response == fl_binary_messenger_refusal_reply()) {
    return embedding_host_response_handle_complete(
        response_handle, nullptr,
        fl_binary_messenger_response_handle_steal_refusal(response_handle),
        error);
  }
  return embedding_host_response_handle_complete(
      response_handle, response != nullptr ? g_bytes_ref(response) : nullptr,
      nullptr, error);
}

static void embedding_host_messenger_send_on_channel(
    FlBinaryMessenger* messenger,
    const gchar* channel,
    GBytes* message,
    GCancellable* cancellable,
    GAsyncReadyCallback callback,
    gpointer user_data) {
  EmbeddingHostMessenger* self = EMBEDDING_HOST_MESSENGER(messenger);
  g_autoptr(GTask) task = g_task_new(self, cancellable, callback, user_data);
  if (g_task_return_error_if_cancelled(task)) {
    return;
  }
  ApplicationRegistration* registration =
      ref_in(self->state->mutex, self->state->application_handlers, channel);
  if (registration == nullptr) {
    // Nothing listens there: the application's side answers with nothing.
    g_task_return_pointer(task, empty_reply(),
                          reinterpret_cast<GDestroyNotify>(g_bytes_unref));
    return;
  }
  GError* error = nullptr;
  GBytes* reply = registration->handler()(self, channel, message, &error,
                                          registration->user_data());
  registration->unref();
  // Before the task is returned: from then on another thread may finish it.
  handoff::publish();
  if (reply != nullptr) {
    g_task_return_pointer(task, reply,
                          reinterpret_cast<GDestroyNotify>(g_bytes_unref));
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

static GBytes* embedding_host_messenger_send_on_channel_finish(
    FlBinaryMessenger* messenger,
    GAsyncResult* result,
    GError** error) {
  g_return_val_if_fail(g_task_is_valid(result, messenger), nullptr);
  return static_cast<GBytes*>(g_task_propagate_pointer(G_TASK(result), error));
}

// The application's side buffers nothing here: messages are delivered at
// once, so there is nothing to resize and nothing that overflows.
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

// Looks up the handler of @channel and lets @deliver hand it the message
// with a new response handle, then waits for the reply. Without a handler
// the reply is empty.
template <typename Deliver>
static GBytes* embedding_host_messenger_deliver(EmbeddingHostMessenger* self,
                                                const gchar* channel,
                                                GError** error,
                                                Deliver deliver) {
  MessageRegistration* registration =
      ref_in(self->state->mutex, self->state->plugin_handlers, channel);
  if (registration == nullptr) {
    return empty_reply();
  }
  Completion completion(channel);
  FlBinaryMessengerResponseHandle* response_handle =
      embedding_host_response_handle_new(&completion);
  deliver(registration, response_handle);
  registration->unref();
  // The handler may keep the call and answer later, from any thread; the
  // reply is ready once the completion is, not when the handler returns.
  g_object_unref(response_handle);
  return completion.wait(error);
}

GBytes* embedding_host_messenger_send(EmbeddingHostMessenger* self,
                                      const gchar* channel,
                                      GBytes* message,
                                      GError** error) {
  g_return_val_if_fail(EMBEDDING_HOST_IS_MESSENGER(self), nullptr);
  g_return_val_if_fail(channel != nullptr, nullptr);
  g_return_val_if_fail(message != nullptr, nullptr);
  return embedding_host_messenger_deliver(
      self, channel, error,
      [&](MessageRegistration* registration,
          FlBinaryMessengerResponseHandle* response_handle) {
        registration->handler()(FL_BINARY_MESSENGER(self), channel, message,
                                response_handle, registration->user_data());
      });
}

GBytes* embedding_host_messenger_call_handler(EmbeddingHostMessenger* self,
                                              const gchar* channel,
                                              const gchar* method,
                                              FlValue* args,
                                              GError** error) {
  g_return_val_if_fail(EMBEDDING_HOST_IS_MESSENGER(self), nullptr);
  g_return_val_if_fail(channel != nullptr, nullptr);
  g_return_val_if_fail(method != nullptr, nullptr);
  return embedding_host_messenger_deliver(
      self, channel, error,
      [&](MessageRegistration* registration,
          FlBinaryMessengerResponseHandle* response_handle) {
        FlMethodChannel* method_channel =
            fl_method_channel_from_message_handler(registration->handler(),
                                                   registration->user_data());
        if (method_channel == nullptr) {
          embedding_host_response_handle_complete(
              response_handle, nullptr,
              g_error_new(EMBEDDING_HOST_ERROR,
                          EMBEDDING_HOST_ERROR_NOT_A_METHOD_CHANNEL,
                          "channel \"%s\" is not a method channel", channel),
              nullptr);
          return;
        }
        fl_method_channel_dispatch(
            method_channel, method, strlen(method),
            args != nullptr ? fl_value_ref(args) : fl_value_new_null(),
            response_handle);
      });
}

void embedding_host_messenger_shutdown(EmbeddingHostMessenger* self) {
  g_return_if_fail(EMBEDDING_HOST_IS_MESSENGER(self));
  std::vector<MessageRegistration*> plugin_handlers;
  std::vector<ApplicationRegistration*> application_handlers;
  {
    MessengerState& state = *self->state;
    std::lock_guard<std::mutex> lock(state.mutex);
    state.shut_down = true;
    for (auto& entry : state.plugin_handlers) {
      plugin_handlers.push_back(entry.second);
    }
    for (auto& entry : state.application_handlers) {
      application_handlers.push_back(entry.second);
    }
    state.plugin_handlers.clear();
    state.application_handlers.clear();
  }
  for (MessageRegistration* registration : plugin_handlers) {
    registration->unref();
  }
  for (ApplicationRegistration* registration : application_handlers) {
    registration->unref();
  }
}

gpointer embedding_host_messenger_peek_method_call_handler_data(
    EmbeddingHostMessenger* self,
    const gchar* channel) {
  g_return_val_if_fail(EMBEDDING_HOST_IS_MESSENGER(self), nullptr);
  g_return_val_if_fail(channel != nullptr, nullptr);
  MessageRegistration* registration =
      ref_in(self->state->mutex, self->state->plugin_handlers, channel);
  if (registration == nullptr) {
    return nullptr;
  }
  FlMethodChannel* method_channel = fl_method_channel_from_message_handler(
      registration->handler(), registration->user_data());
  gpointer data = method_channel != nullptr
                      ? fl_method_channel_peek_handler_data(method_channel)
                      : nullptr;
  registration->unref();
  return data;
}

void embedding_host_messenger_set_application_handler(
    EmbeddingHostMessenger* self,
    const gchar* channel,
    EmbeddingHostApplicationHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify) {
  g_return_if_fail(EMBEDDING_HOST_IS_MESSENGER(self));
  g_return_if_fail(channel != nullptr);
  auto* added = new ApplicationRegistration(handler, user_data, destroy_notify);
  if (handler == nullptr) {
    added->unref();
    added = nullptr;
  }
  install(self, &MessengerState::application_handlers, channel, added);
}
