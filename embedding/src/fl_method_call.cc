#include "flutter_linux/fl_method_call.h"

#include <atomic>
#include <new>

#include "embedding_host/embedding_host.h"
#include "fl_binary_messenger_private.h"
#include "fl_method_call_private.h"
#include "fl_method_codec_private.h"
#include "live_objects.h"

struct _FlMethodCall {
  GObject parent_instance;

  gchar* name;
  FlValue* args;
  FlMethodCodec* codec;

  // The way back, taken by whoever answers the call: at most one does.
  std::atomic<FlBinaryMessengerResponseHandle*> response_handle;
};

G_DEFINE_FINAL_TYPE(FlMethodCall, fl_method_call, G_TYPE_OBJECT)

static void fl_method_call_dispose(GObject* object) {
  FlMethodCall* self = FL_METHOD_CALL(object);

  // A caller waits for every call it made: one released unanswered gets the
  // empty reply, which reads as "not implemented".
  FlBinaryMessengerResponseHandle* handle =
      self->response_handle.exchange(nullptr);
  if (handle != nullptr) {
    g_warning(
        "method call \"%s\" was released without a response; "
        "replying not implemented",
        self->name);
    handle->complete();
  }

  g_clear_object(&self->codec);
  G_OBJECT_CLASS(fl_method_call_parent_class)->dispose(object);
}

static void fl_method_call_finalize(GObject* object) {
  FlMethodCall* self = FL_METHOD_CALL(object);
  g_clear_pointer(&self->name, g_free);
  g_clear_pointer(&self->args, fl_value_unref);
  live_objects::died(live_objects::kMethodCall);
  G_OBJECT_CLASS(fl_method_call_parent_class)->finalize(object);
}

static void fl_method_call_class_init(FlMethodCallClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = fl_method_call_dispose;
  G_OBJECT_CLASS(klass)->finalize = fl_method_call_finalize;
}

static void fl_method_call_init(FlMethodCall* self) {
  live_objects::born(live_objects::kMethodCall);
  new (&self->response_handle)
      std::atomic<FlBinaryMessengerResponseHandle*>(nullptr);
}

FlMethodCall* fl_method_call_new(
    gchar* name,
    FlValue* args,
    FlMethodCodec* codec,
    FlBinaryMessengerResponseHandle* response_handle) {
  auto* self = FL_METHOD_CALL(g_object_new(fl_method_call_get_type(), nullptr));
  self->name = name;
  self->args = args;
  self->codec = FL_METHOD_CODEC(g_object_ref(codec));
  self->response_handle.store(response_handle);
  return self;
}

const gchar* fl_method_call_get_name(FlMethodCall* self) {
  g_return_val_if_fail(FL_IS_METHOD_CALL(self), nullptr);
  return self->name;
}

FlValue* fl_method_call_get_args(FlMethodCall* self) {
  g_return_val_if_fail(FL_IS_METHOD_CALL(self), nullptr);
  return self->args;
}

gboolean fl_method_call_respond(FlMethodCall* self,
                                FlMethodResponse* response,
                                GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CALL(self), FALSE);
  g_return_val_if_fail(FL_IS_METHOD_RESPONSE(response), FALSE);

  // Read before the handle is taken: once this call is answered, the sender
  // may release the call from its own thread. Taking the handle then orders
  // this read before that release in a way thread checkers can see, which
  // GObject's reference counting is not.
  FlMethodCodec* codec = self->codec;
  FlBinaryMessengerResponseHandle* handle =
      self->response_handle.exchange(nullptr);
  if (handle == nullptr) {
    g_set_error(error, EMBEDDING_HOST_ERROR,
                EMBEDDING_HOST_ERROR_ALREADY_RESPONDED,
                "method call \"%s\" has already been answered", self->name);
    return FALSE;
  }
  if (!fl_method_codec_encode_response(codec, response, handle->reply(),
                                       error)) {
    // Not answered after all: the call may still be answered otherwise.
    g_byte_array_set_size(handle->reply(), 0);
    self->response_handle.store(handle);
    return FALSE;
  }
  handle->complete();
  return TRUE;
}
