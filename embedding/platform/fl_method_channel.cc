#include "flutter_linux/fl_method_channel.h"

#include "fl_method_call_private.h"
#include "fl_method_channel_private.h"
#include "fl_method_codec_private.h"

struct _FlMethodChannel {
  GObject parent_instance;

  gchar* name;
  FlMethodCodec* codec;
  // Kept for as long as the channel lives. The messenger in turn keeps the
  // channel while it serves the name; shutting the messenger down, or
  // another channel taking the name, ends that.
  FlBinaryMessenger* messenger;
  // Set, atomically, once the messenger has let go of the channel. From then
  // on the channel is closed, as on the platform: a handler set on it would
  // never run, and an answer or a call through it fails. Answers may come
  // from any thread.
  gint closed;

  FlMethodChannelMethodCallHandler method_call_handler;
  gpointer method_call_handler_data;
  GDestroyNotify method_call_handler_destroy_notify;
};

G_DEFINE_FINAL_TYPE(FlMethodChannel, fl_method_channel, G_TYPE_OBJECT)

// Installs the handler triple and releases the data of the one it replaces
// at once, even while that handler is running: as the platform does.
static void fl_method_channel_replace_handler(
    FlMethodChannel* self,
    FlMethodChannelMethodCallHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify) {
  gpointer old_data = self->method_call_handler_data;
  GDestroyNotify old_destroy_notify = self->method_call_handler_destroy_notify;
  self->method_call_handler = handler;
  self->method_call_handler_data = user_data;
  self->method_call_handler_destroy_notify = destroy_notify;
  if (old_destroy_notify != nullptr) {
    old_destroy_notify(old_data);
  }
}

static void fl_method_channel_dispose(GObject* object) {
  FlMethodChannel* self = FL_METHOD_CHANNEL(object);
  fl_method_channel_replace_handler(self, nullptr, nullptr, nullptr);
  g_clear_object(&self->messenger);
  G_OBJECT_CLASS(fl_method_channel_parent_class)->dispose(object);
}

static void fl_method_channel_finalize(GObject* object) {
  FlMethodChannel* self = FL_METHOD_CHANNEL(object);
  g_free(self->name);
  g_object_unref(self->codec);
  G_OBJECT_CLASS(fl_method_channel_parent_class)->finalize(object);
}

static void fl_method_channel_class_init(FlMethodChannelClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = fl_method_channel_dispose;
  G_OBJECT_CLASS(klass)->finalize = fl_method_channel_finalize;
}

static void fl_method_channel_init(FlMethodChannel* self) {}

static void fl_method_channel_message_cb(
    FlBinaryMessenger* messenger,
    const gchar* channel_name,
    GBytes* message,
    FlBinaryMessengerResponseHandle* response_handle,
    gpointer user_data) {
  FlMethodChannel* self = FL_METHOD_CHANNEL(user_data);
  g_autofree gchar* method = nullptr;
  g_autoptr(FlValue) args = nullptr;
  g_autoptr(GError) error = nullptr;
  // A call that does not decode, or that no handler takes, is released
  // unanswered, as on the platform; the messenger reports the release.
  if (!fl_method_codec_decode_method_call(self->codec, message, &method, &args,
                                          &error)) {
    g_warning("Failed to decode method call on channel \"%s\": %s", self->name,
              error->message);
    return;
  }
  if (self->method_call_handler == nullptr) {
    return;
  }
  g_autoptr(FlMethodCall) call =
      fl_method_call_new(method, static_cast<FlValue*>(g_steal_pointer(&args)),
                         self, response_handle);
  self->method_call_handler(self, call, self->method_call_handler_data);
}

// The messenger lets go of the channel: when another channel takes the name
// over, or when the messenger shuts down. The handler goes with it.
static void fl_method_channel_closed_cb(gpointer user_data) {
  FlMethodChannel* self = FL_METHOD_CHANNEL(user_data);
  g_atomic_int_set(&self->closed, TRUE);
  fl_method_channel_replace_handler(self, nullptr, nullptr, nullptr);
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
  self->messenger = FL_BINARY_MESSENGER(g_object_ref(messenger));
  fl_binary_messenger_set_message_handler_on_channel(
      messenger, name, fl_method_channel_message_cb, g_object_ref(self),
      fl_method_channel_closed_cb);
  return self;
}

void fl_method_channel_set_method_call_handler(
    FlMethodChannel* self,
    FlMethodChannelMethodCallHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify) {
  g_return_if_fail(FL_IS_METHOD_CHANNEL(self));
  if (g_atomic_int_get(&self->closed)) {
    g_warning(
        "Attempted to set a method call handler on channel \"%s\", which "
        "another channel has taken over or whose messenger has shut down",
        self->name);
    if (destroy_notify != nullptr) {
      destroy_notify(user_data);
    }
    return;
  }
  fl_method_channel_replace_handler(self, handler, user_data, destroy_notify);
}

gboolean fl_method_channel_respond(
    FlMethodChannel* self,
    FlBinaryMessengerResponseHandle* response_handle,
    FlMethodResponse* response,
    GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CHANNEL(self), FALSE);
  g_return_val_if_fail(FL_IS_BINARY_MESSENGER_RESPONSE_HANDLE(response_handle),
                       FALSE);
  g_return_val_if_fail(FL_IS_METHOD_RESPONSE(response), FALSE);
  if (g_atomic_int_get(&self->closed)) {
    g_set_error(error, G_IO_ERROR, G_IO_ERROR_CLOSED,
                "channel \"%s\" is closed: another channel has taken its "
                "name over, or its messenger has shut down",
                self->name);
    return FALSE;
  }
  // The not-implemented response has no bytes of its own: the messenger
  // sends the empty reply.
  g_autoptr(GBytes) message = nullptr;
  if (!FL_IS_METHOD_NOT_IMPLEMENTED_RESPONSE(response)) {
    message = fl_method_codec_encode_response(self->codec, response, error);
    if (message == nullptr) {
      return FALSE;
    }
  }
  return fl_binary_messenger_send_response(self->messenger, response_handle,
                                           message, error);
}

// ---- Calls towards the application ----

static void fl_method_channel_invoke_method_cb(GObject* source,
                                               GAsyncResult* result,
                                               gpointer user_data) {
  g_autoptr(GTask) task = G_TASK(user_data);
  FlMethodChannel* self = FL_METHOD_CHANNEL(g_task_get_source_object(task));
  GError* error = nullptr;
  g_autoptr(GBytes) reply = fl_binary_messenger_send_on_channel_finish(
      FL_BINARY_MESSENGER(source), result, &error);
  FlMethodResponse* response = nullptr;
  if (reply != nullptr && g_bytes_get_size(reply) == 0) {
    response = FL_METHOD_RESPONSE(fl_method_not_implemented_response_new());
  } else if (reply != nullptr) {
    response = fl_method_codec_decode_response(self->codec, reply, &error);
  }
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
  // The platform drops such a call, and its caller would wait for ever.
  if (g_atomic_int_get(&self->closed)) {
    g_critical(
        "Attempted to call method \"%s\" on channel \"%s\", which another "
        "channel has taken over or whose messenger has shut down",
        method, self->name);
    g_task_return_new_error(task, G_IO_ERROR, G_IO_ERROR_CLOSED,
                            "channel \"%s\" is closed", self->name);
    return;
  }
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
  return FL_METHOD_RESPONSE(g_task_propagate_pointer(G_TASK(result), error));
}
