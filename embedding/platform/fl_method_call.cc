#include "flutter_linux/fl_method_call.h"

#include "fl_method_call_private.h"
#include "fl_method_channel_private.h"

struct _FlMethodCall {
  GObject parent_instance;

  gchar* name;
  FlValue* args;
  FlMethodChannel* channel;
  FlBinaryMessengerResponseHandle* response_handle;
};

G_DEFINE_FINAL_TYPE(FlMethodCall, fl_method_call, G_TYPE_OBJECT)

static void fl_method_call_dispose(GObject* object) {
  FlMethodCall* self = FL_METHOD_CALL(object);
  g_clear_object(&self->response_handle);
  g_clear_object(&self->channel);
  G_OBJECT_CLASS(fl_method_call_parent_class)->dispose(object);
}

static void fl_method_call_finalize(GObject* object) {
  FlMethodCall* self = FL_METHOD_CALL(object);
  g_free(self->name);
  fl_value_unref(self->args);
  G_OBJECT_CLASS(fl_method_call_parent_class)->finalize(object);
}

static void fl_method_call_class_init(FlMethodCallClass* klass) {
  G_OBJECT_CLASS(klass)->dispose = fl_method_call_dispose;
  G_OBJECT_CLASS(klass)->finalize = fl_method_call_finalize;
}

static void fl_method_call_init(FlMethodCall* self) {}

FlMethodCall* fl_method_call_new(
    const gchar* name,
    FlValue* args,
    FlMethodChannel* channel,
    FlBinaryMessengerResponseHandle* response_handle) {
  g_return_val_if_fail(name != nullptr, nullptr);
  g_return_val_if_fail(args != nullptr, nullptr);
  g_return_val_if_fail(FL_IS_METHOD_CHANNEL(channel), nullptr);
  g_return_val_if_fail(FL_IS_BINARY_MESSENGER_RESPONSE_HANDLE(response_handle),
                       nullptr);
  auto* self = FL_METHOD_CALL(g_object_new(fl_method_call_get_type(), nullptr));
  self->name = g_strdup(name);
  self->args = args;
  self->channel = FL_METHOD_CHANNEL(g_object_ref(channel));
  self->response_handle =
      FL_BINARY_MESSENGER_RESPONSE_HANDLE(g_object_ref(response_handle));
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
  g_autoptr(GError) failure = nullptr;
  if (fl_method_channel_respond(self->channel, self->response_handle, response,
                                &failure)) {
    return TRUE;
  }
  if (failure == nullptr) {
    // A messenger that failed without saying why.
    g_set_error_literal(&failure, FL_METHOD_RESPONSE_ERROR,
                        FL_METHOD_RESPONSE_ERROR_FAILED,
                        "the response could not be sent");
  }
  // Answering twice, or through a closed channel, is a mistake whether or
  // not the caller asked for the error; any other failure is logged only
  // when nobody asked for it.
  if (error == nullptr ||
      g_error_matches(failure, FL_BINARY_MESSENGER_ERROR,
                      FL_BINARY_MESSENGER_ERROR_ALREADY_RESPONDED) ||
      g_error_matches(failure, G_IO_ERROR, G_IO_ERROR_CLOSED)) {
    g_critical("Failed to send method call response: %s", failure->message);
  }
  g_propagate_error(error, static_cast<GError*>(g_steal_pointer(&failure)));
  return FALSE;
}

gboolean fl_method_call_respond_success(FlMethodCall* self,
                                        FlValue* result,
                                        GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CALL(self), FALSE);
  g_autoptr(FlMethodResponse) response =
      FL_METHOD_RESPONSE(fl_method_success_response_new(result));
  return fl_method_call_respond(self, response, error);
}

gboolean fl_method_call_respond_error(FlMethodCall* self,
                                      const gchar* code,
                                      const gchar* message,
                                      FlValue* details,
                                      GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CALL(self), FALSE);
  g_return_val_if_fail(code != nullptr, FALSE);
  g_autoptr(FlMethodResponse) response =
      FL_METHOD_RESPONSE(fl_method_error_response_new(code, message, details));
  return fl_method_call_respond(self, response, error);
}

gboolean fl_method_call_respond_not_implemented(FlMethodCall* self,
                                                GError** error) {
  g_return_val_if_fail(FL_IS_METHOD_CALL(self), FALSE);
  g_autoptr(FlMethodResponse) response =
      FL_METHOD_RESPONSE(fl_method_not_implemented_response_new());
  return fl_method_call_respond(self, response, error);
}
