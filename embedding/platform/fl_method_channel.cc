#include "flutter_linux/fl_method_channel.h"

#include <cstring>
#include <mutex>

#include "fl_binary_messenger_private.h"
#include "fl_method_call_private.h"
#include "fl_method_channel_private.h"
#include "fl_method_codec_private.h"
#include "handler_registration.h"
#include "handoff.h"
#include "live_objects.h"

using MethodCallRegistration =
    HandlerRegistration<FlMethodChannelMethodCallHandler>;

// What a channel shares between the threads that deliver calls to it and
// the plugin that sets its handler.
struct MethodChannelState {
  std::mutex mutex;  // guards the members below
  MethodCallRegistration* registration = nullptr;
  // Set when the messenger lets go of the channel: another channel took its
  // name over, or the messenger shut down. Nothing reaches it any more.
  bool closed = false;
};

struct _FlMethodChannel {
  GObject parent_instance;

  gchar* name;
  FlMethodCodec* codec;
  // Kept for as long as the channel lives: its calls answer through it. The
  // messenger in turn keeps the channel while it serves the name; shutting
  // the messenger down, or another channel taking the name, ends that.
  FlBinaryMessenger* messenger;
  MethodChannelState* state;
};

G_DEFINE_FINAL_TYPE(FlMethodChannel, fl_method_channel, G_TYPE_OBJECT)

// Swaps in @registration (may be NULL) and lets go of the one it replaces,
// outside the lock: its destroy notification is the owner's code. On a
// closed channel @registration is let go of instead, and FALSE returned;
// @close closes the channel.
static bool fl_method_channel_replace_registration(
    FlMethodChannel* self,
    MethodCallRegistration* registration,
    bool close = false) {
  MethodCallRegistration* dropped = nullptr;
  bool installed = true;
  {
    std::lock_guard<std::mutex> lock(self->state->mutex);
    if (registration != nullptr && self->state->closed) {
      dropped = registration;
      installed = false;
    } else {
      dropped = self->state->registration;
      self->state->registration = registration;
    }
    self->state->closed = self->state->closed || close;
  }
  if (dropped != nullptr) {
    dropped->unref();
  }
  return installed;
}

static MethodCallRegistration* fl_method_channel_ref_registration(
    FlMethodChannel* self) {
  std::lock_guard<std::mutex> lock(self->state->mutex);
  MethodCallRegistration* registration = self->state->registration;
  return registration != nullptr ? registration->ref() : nullptr;
}

static void fl_method_channel_dispose(GObject* object) {
  FlMethodChannel* self = FL_METHOD_CHANNEL(object);
  fl_method_channel_replace_registration(self, nullptr);
  g_clear_object(&self->messenger);
  G_OBJECT_CLASS(fl_method_channel_parent_class)->dispose(object);
}

static void fl_method_channel_finalize(GObject* object) {
  FlMethodChannel* self = FL_METHOD_CHANNEL(object);
  g_free(self->name);
  g_object_unref(self->codec);
  delete self->state;
  live_objects::died(live_objects::kChannel);
  G_OBJECT_CLASS(fl_method_channel_parent_class)->finalize(object);
}

static void fl_method_channel_class_init(FlMethodChannelClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = fl_method_channel_dispose;
  G_OBJECT_CLASS(klass)->finalize = fl_method_channel_finalize;
}

static void fl_method_channel_init(FlMethodChannel* self) {
  live_objects::born(live_objects::kChannel);
  self->state = new MethodChannelState();
}

void fl_method_channel_dispatch(
    FlMethodChannel* self,
    const gchar* name,
    size_t name_length,
    FlValue* args,
    FlBinaryMessengerResponseHandle* response_handle) {
  g_autoptr(FlValue) owned_args = args;
  MethodCallRegistration* registration =
      fl_method_channel_ref_registration(self);
  if (registration == nullptr) {
    fl_binary_messenger_send_response(self->messenger, response_handle, nullptr,
                                      nullptr);
    return;
  }
  g_autoptr(FlMethodCall) call = fl_method_call_new(
      name, name_length, static_cast<FlValue*>(g_steal_pointer(&owned_args)),
      self, response_handle);
  registration->handler()(self, call, registration->user_data());
  registration->unref();
}

// Decodes a call with the channel's codec; @name points into @owned_name.
static gboolean fl_method_channel_decode(FlMethodChannel* self,
                                         GBytes* message,
                                         const gchar** name,
                                         size_t* name_length,
                                         gchar** owned_name,
                                         FlValue** args,
                                         GError** error) {
  if (!fl_method_codec_decode_method_call(self->codec, message, owned_name,
                                          args, error)) {
    return FALSE;
  }
  *name = *owned_name;
  *name_length = strlen(*owned_name);
  return TRUE;
}

static void fl_method_channel_message_cb(
    FlBinaryMessenger* messenger,
    const gchar* channel_name,
    GBytes* message,
    FlBinaryMessengerResponseHandle* response_handle,
    gpointer user_data) {
  FlMethodChannel* self = FL_METHOD_CHANNEL(user_data);
  const gchar* name = nullptr;
  size_t name_length = 0;
  g_autofree gchar* owned_name = nullptr;
  FlValue* args = nullptr;
  GError* error = nullptr;
  if (!fl_method_channel_decode(self, message, &name, &name_length, &owned_name,
                                &args, &error)) {
    // A call that does not decode never reaches the handler; the sender is
    // told why along with the empty reply.
    fl_binary_messenger_response_handle_set_refusal(response_handle, error);
    fl_binary_messenger_send_response(messenger, response_handle,
                                      fl_binary_messenger_refusal_reply(),
                                      nullptr);
    return;
  }
  fl_method_channel_dispatch(self, name, name_length, args, response_handle);
}

// The messenger lets go of the channel: when another channel takes the name
// over, or when the messenger shuts down. The handler goes with it.
static void fl_method_channel_released_cb(gpointer user_data) {
  FlMethodChannel* self = FL_METHOD_CHANNEL(user_data);
  fl_method_channel_replace_registration(self, nullptr, true);
  g_object_unref(self);
}

FlMethodChannel* fl_method_channel_from_message_handler(
    FlBinaryMessengerMessageHandler handler,
    gpointer user_data) {
  return handler == fl_method_channel_message_cb ? FL_METHOD_CHANNEL(user_data)
                                                 : nullptr;
}

FlMethodChannel* fl_method_channel_new(FlBinaryMessenger* messenger,
                                       const gchar* name,
                                       FlMethodCodec* codec) {
  g_return_val_if_fail(FL_IS_BINARY_MESSENGER(messenger), nullptr);
  g_return_val_if_fail(name != nullptr, nullptr);
  g_return_val_if_fail(FL_IS_METHOD_CODEC(codec), nullptr);

  auto* self =
      FL_METHOD_CHANNEL(g_object_new(fl_method_channel_get_type(), nullptr));
  self->name = g_strdup(name);
  self->codec = FL_METHOD_CODEC(g_object_ref(codec));
  self->messenger = FL_BINARY_MESSENGER(g_object_ref(messenger));
  fl_binary_messenger_set_message_handler_on_channel(
      messenger, name, fl_method_channel_message_cb, g_object_ref(self),
      fl_method_channel_released_cb);
  return self;
}

void fl_method_channel_set_method_call_handler(
    FlMethodChannel* self,
    FlMethodChannelMethodCallHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify) {
  g_return_if_fail(FL_IS_METHOD_CHANNEL(self));
  auto* registration =
      new MethodCallRegistration(handler, user_data, destroy_notify);
  if (handler == nullptr) {
    // Removing the handler: the data given with it is of no further use.
    registration->unref();
    registration = nullptr;
  }
  if (!fl_method_channel_replace_registration(self, registration)) {
    g_warning(
        "Attempted to set a method call handler on channel \"%s\", which "
        "another channel has taken over or whose messenger has shut down",
        self->name);
  }
}

gboolean fl_method_channel_respond(
    FlMethodChannel* self,
    FlBinaryMessengerResponseHandle* response_handle,
    FlMethodResponse* response,
    GError** error) {
  GError* encode_error = nullptr;
  g_autoptr(GBytes) message =
      fl_method_codec_encode_response(self->codec, response, &encode_error);
  if (encode_error != nullptr) {
    g_propagate_error(error, encode_error);
    return FALSE;
  }
  // Straight to the messenger's own function: the messenger and the handle
  // are the ones it gave this channel.
  return FL_BINARY_MESSENGER_GET_IFACE(self->messenger)
      ->send_response(self->messenger, response_handle, message, error);
}

gpointer fl_method_channel_peek_handler_data(FlMethodChannel* self) {
  g_return_val_if_fail(FL_IS_METHOD_CHANNEL(self), nullptr);
  std::lock_guard<std::mutex> lock(self->state->mutex);
  MethodCallRegistration* registration = self->state->registration;
  return registration != nullptr ? registration->user_data() : nullptr;
}

// ---- Calls towards the application ----

static void fl_method_channel_invoke_method_cb(GObject* source,
                                               GAsyncResult* result,
                                               gpointer user_data) {
  handoff::receive();
  g_autoptr(GTask) task = G_TASK(user_data);
  FlMethodChannel* self = FL_METHOD_CHANNEL(g_task_get_source_object(task));
  GError* error = nullptr;
  g_autoptr(GBytes) reply = fl_binary_messenger_send_on_channel_finish(
      FL_BINARY_MESSENGER(source), result, &error);
  FlMethodResponse* response =
      reply != nullptr
          ? fl_method_codec_decode_response(self->codec, reply, &error)
          : nullptr;
  // Before the task is returned: from then on another thread may finish it.
  handoff::publish();
  if (response == nullptr) {
    g_task_return_error(task, error);
    return;
  }
  g_task_return_pointer(task, response, g_object_unref);
}

void fl_method_channel_invoke_method(FlMethodChannel* self,
                                     const gchar* method,
                                     FlValue* args,
                                     GCancellable* cancellable,
                                     GAsyncReadyCallback callback,
                                     gpointer user_data) {
  g_return_if_fail(FL_IS_METHOD_CHANNEL(self));
  g_return_if_fail(method != nullptr);

  g_autoptr(GTask) task = g_task_new(self, cancellable, callback, user_data);
  g_task_set_source_tag(
      task, reinterpret_cast<gpointer>(fl_method_channel_invoke_method));
  GError* error = nullptr;
  g_autoptr(GBytes) message =
      fl_method_codec_encode_method_call(self->codec, method, args, &error);
  if (message == nullptr) {
    g_task_return_error(task, error);
    return;
  }
  fl_binary_messenger_send_on_channel(
      self->messenger, self->name, message, cancellable,
      fl_method_channel_invoke_method_cb, g_steal_pointer(&task));
}

FlMethodResponse* fl_method_channel_invoke_method_finish(FlMethodChannel* self,
                                                         GAsyncResult* result,
                                                         GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CHANNEL(self), nullptr);
  g_return_val_if_fail(g_task_is_valid(result, self), nullptr);
  handoff::receive();
  return FL_METHOD_RESPONSE(g_task_propagate_pointer(G_TASK(result), error));
}
