#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "embedding_host/embedding_host.h"
#include "fl_binary_messenger_private.h"
#include "fl_method_channel_private.h"
#include "handler_registration.h"

using MessageRegistration =
    HandlerRegistration<FlBinaryMessengerMessageHandler>;

// Channel name to handler; std::less<> lets a lookup use the caller's text
// without copying it into a std::string.
using ChannelTable = std::map<std::string, MessageRegistration*, std::less<>>;

// What the messenger shares between threads.
struct ChannelState {
  std::mutex mutex;  // guards the members below
  ChannelTable channels;
  bool shut_down = false;
};

struct _EmbeddingHostMessenger {
  GObject parent_instance;

  ChannelState* state;
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
  delete self->state;
  G_OBJECT_CLASS(embedding_host_messenger_parent_class)->finalize(object);
}

static void embedding_host_messenger_class_init(
    EmbeddingHostMessengerClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = embedding_host_messenger_dispose;
  G_OBJECT_CLASS(klass)->finalize = embedding_host_messenger_finalize;
}

static void embedding_host_messenger_init(EmbeddingHostMessenger* self) {
  self->state = new ChannelState();
}

static void embedding_host_messenger_set_message_handler_on_channel(
    FlBinaryMessenger* messenger,
    const gchar* channel,
    FlBinaryMessengerMessageHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify) {
  EmbeddingHostMessenger* self = EMBEDDING_HOST_MESSENGER(messenger);
  auto* added = new MessageRegistration(handler, user_data, destroy_notify);
  MessageRegistration* dropped = nullptr;

  bool install = false;
  {
    ChannelState& state = *self->state;
    std::lock_guard<std::mutex> lock(state.mutex);
    install = handler != nullptr && !state.shut_down;
    auto entry = state.channels.find(std::string_view(channel));
    if (entry != state.channels.end()) {
      dropped = entry->second;
      if (install) {
        entry->second = added;
      } else {
        state.channels.erase(entry);
      }
    } else if (install) {
      state.channels.emplace(channel, added);
    }
  }

  // Destroy notifications run outside the lock: they are the owner's code
  // and may well come back to this messenger.
  if (dropped != nullptr) {
    dropped->unref();
  }
  if (!install) {
    added->unref();
  }
}

static void embedding_host_messenger_iface_init(
    FlBinaryMessengerInterface* iface) {
  iface->set_message_handler_on_channel =
      embedding_host_messenger_set_message_handler_on_channel;
}

EmbeddingHostMessenger* embedding_host_messenger_new(void) {
  return EMBEDDING_HOST_MESSENGER(
      g_object_new(embedding_host_messenger_get_type(), nullptr));
}

static MessageRegistration* embedding_host_messenger_ref_registration(
    EmbeddingHostMessenger* self,
    const gchar* channel) {
  ChannelState& state = *self->state;
  std::lock_guard<std::mutex> lock(state.mutex);
  auto entry = state.channels.find(std::string_view(channel));
  return entry != state.channels.end() ? entry->second->ref() : nullptr;
}

// Looks up the handler of @channel and lets @deliver hand it the message,
// then waits for the reply. Without a handler the reply is empty.
template <typename Deliver>
static gboolean embedding_host_messenger_deliver(EmbeddingHostMessenger* self,
                                                 const gchar* channel,
                                                 GByteArray* reply,
                                                 GError** error,
                                                 Deliver deliver) {
  g_byte_array_set_size(reply, 0);
  MessageRegistration* registration =
      embedding_host_messenger_ref_registration(self, channel);
  if (registration == nullptr) {
    return TRUE;
  }

  FlBinaryMessengerResponseHandle response_handle(reply);
  deliver(registration, &response_handle);
  registration->unref();

  // The handler may keep the call and answer from another thread; the reply
  // is ready once the handle is completed, not when the handler returns.
  GError* refusal = response_handle.wait();
  if (refusal != nullptr) {
    g_propagate_error(error, refusal);
    return FALSE;
  }
  return TRUE;
}

gboolean embedding_host_messenger_send(EmbeddingHostMessenger* self,
                                       const gchar* channel,
                                       const guint8* message,
                                       gsize message_size,
                                       GByteArray* reply,
                                       GError** error) {
  g_return_val_if_fail(EMBEDDING_HOST_IS_MESSENGER(self), FALSE);
  g_return_val_if_fail(channel != nullptr, FALSE);
  g_return_val_if_fail(message != nullptr || message_size == 0, FALSE);
  g_return_val_if_fail(reply != nullptr, FALSE);

  return embedding_host_messenger_deliver(
      self, channel, reply, error,
      [&](MessageRegistration* registration,
          FlBinaryMessengerResponseHandle* response_handle) {
        registration->handler()(FL_BINARY_MESSENGER(self), channel, message,
                                message_size, response_handle,
                                registration->user_data());
      });
}

gboolean embedding_host_messenger_call_handler(EmbeddingHostMessenger* self,
                                               const gchar* channel,
                                               const gchar* method,
                                               FlValue* args,
                                               GByteArray* reply,
                                               GError** error) {
  g_return_val_if_fail(EMBEDDING_HOST_IS_MESSENGER(self), FALSE);
  g_return_val_if_fail(channel != nullptr, FALSE);
  g_return_val_if_fail(method != nullptr, FALSE);
  g_return_val_if_fail(reply != nullptr, FALSE);

  return embedding_host_messenger_deliver(
      self, channel, reply, error,
      [&](MessageRegistration* registration,
          FlBinaryMessengerResponseHandle* response_handle) {
        if (!FL_IS_METHOD_CHANNEL(registration->user_data())) {
          response_handle->refuse(
              g_error_new(EMBEDDING_HOST_ERROR, EMBEDDING_HOST_ERROR_FAILED,
                          "channel \"%s\" is not a method channel", channel));
          return;
        }
        fl_method_channel_dispatch(
            FL_METHOD_CHANNEL(registration->user_data()), g_strdup(method),
            args != nullptr ? fl_value_ref(args) : fl_value_new_null(),
            response_handle);
      });
}

void embedding_host_messenger_shutdown(EmbeddingHostMessenger* self) {
  g_return_if_fail(EMBEDDING_HOST_IS_MESSENGER(self));
  std::vector<MessageRegistration*> dropped;
  {
    ChannelState& state = *self->state;
    std::lock_guard<std::mutex> lock(state.mutex);
    state.shut_down = true;
    for (auto& entry : state.channels) {
      dropped.push_back(entry.second);
    }
    state.channels.clear();
  }
  for (MessageRegistration* registration : dropped) {
    registration->unref();
  }
}

gpointer embedding_host_messenger_peek_method_call_handler_data(
    EmbeddingHostMessenger* self,
    const gchar* channel) {
  g_return_val_if_fail(EMBEDDING_HOST_IS_MESSENGER(self), nullptr);
  g_return_val_if_fail(channel != nullptr, nullptr);
  MessageRegistration* registration =
      embedding_host_messenger_ref_registration(self, channel);
  if (registration == nullptr) {
    return nullptr;
  }
  gpointer data = nullptr;
  if (FL_IS_METHOD_CHANNEL(registration->user_data())) {
    data = fl_method_channel_peek_handler_data(
        FL_METHOD_CHANNEL(registration->user_data()));
  }
  registration->unref();
  return data;
}
