#include "flutter_linux/fl_method_channel.h"

#include <mutex>
#include <new>

#include "fl_binary_messenger_private.h"
#include "fl_method_call_private.h"
#include "fl_method_channel_private.h"
#include "fl_method_codec_private.h"
#include "handler_registration.h"
#include "live_objects.h"

using MethodCallRegistration =
    HandlerRegistration<FlMethodChannelMethodCallHandler>;

struct _FlMethodChannel {
  GObject parent_instance;

  gchar* name;
  FlMethodCodec* codec;

  // Guards registration, which deliveries read while it may be replaced.
  std::mutex mutex;
  MethodCallRegistration* registration;
};

G_DEFINE_FINAL_TYPE(FlMethodChannel, fl_method_channel, G_TYPE_OBJECT)

// Swaps in @registration (may be NULL) and lets go of the one it replaces,
// outside the lock: its destroy notification is the owner's code.
static void fl_method_channel_replace_registration(
    FlMethodChannel* self,
    MethodCallRegistration* registration) {
  MethodCallRegistration* old = nullptr;
  {
    std::lock_guard<std::mutex> lock(self->mutex);
    old = self->registration;
    self->registration = registration;
  }
  if (old != nullptr) {
    old->unref();
  }
}

static MethodCallRegistration* fl_method_channel_ref_registration(
    FlMethodChannel* self) {
  std::lock_guard<std::mutex> lock(self->mutex);
  return self->registration != nullptr ? self->registration->ref() : nullptr;
}

static void fl_method_channel_dispose(GObject* object) {
  fl_method_channel_replace_registration(FL_METHOD_CHANNEL(object), nullptr);
  G_OBJECT_CLASS(fl_method_channel_parent_class)->dispose(object);
}

static void fl_method_channel_finalize(GObject* object) {
  FlMethodChannel* self = FL_METHOD_CHANNEL(object);
  g_clear_pointer(&self->name, g_free);
  g_clear_object(&self->codec);
  self->mutex.~mutex();
  live_objects::died(live_objects::kChannel);
  G_OBJECT_CLASS(fl_method_channel_parent_class)->finalize(object);
}

static void fl_method_channel_class_init(FlMethodChannelClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = fl_method_channel_dispose;
  G_OBJECT_CLASS(klass)->finalize = fl_method_channel_finalize;
}

static void fl_method_channel_init(FlMethodChannel* self) {
  live_objects::born(live_objects::kChannel);
  new (&self->mutex) std::mutex();
}

void fl_method_channel_dispatch(
    FlMethodChannel* self,
    gchar* name,
    FlValue* args,
    FlBinaryMessengerResponseHandle* response_handle) {
  g_autofree gchar* owned_name = name;
  g_autoptr(FlValue) owned_args = args;
  MethodCallRegistration* registration =
      fl_method_channel_ref_registration(self);
  if (registration == nullptr) {
    response_handle->complete();
    return;
  }
  g_autoptr(FlMethodCall) call =
      fl_method_call_new(static_cast<gchar*>(g_steal_pointer(&owned_name)),
                         static_cast<FlValue*>(g_steal_pointer(&owned_args)),
                         self->codec, response_handle);
  registration->handler()(self, call, registration->user_data());
  registration->unref();
}

static void fl_method_channel_message_cb(
    FlBinaryMessenger* messenger,
    const gchar* channel_name,
    const guint8* message,
    gsize message_size,
    FlBinaryMessengerResponseHandle* response_handle,
    gpointer user_data) {
  FlMethodChannel* self = FL_METHOD_CHANNEL(user_data);
  gchar* name = nullptr;
  FlValue* args = nullptr;
  GError* error = nullptr;
  if (!fl_method_codec_decode_method_call(self->codec, message, message_size,
                                          &name, &args, &error)) {
    response_handle->refuse(error);
    return;
  }
  fl_method_channel_dispatch(self, name, args, response_handle);
}

// The messenger lets go of the channel: when another channel takes the name
// over, or when the messenger shuts down. The handler goes with it.
static void fl_method_channel_released_cb(gpointer user_data) {
  FlMethodChannel* self = FL_METHOD_CHANNEL(user_data);
  fl_method_channel_replace_registration(self, nullptr);
  g_object_unref(self);
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
  fl_method_channel_replace_registration(self, registration);
}

gpointer fl_method_channel_peek_handler_data(FlMethodChannel* self) {
  g_return_val_if_fail(FL_IS_METHOD_CHANNEL(self), nullptr);
  std::lock_guard<std::mutex> lock(self->mutex);
  return self->registration != nullptr ? self->registration->user_data()
                                       : nullptr;
}
