#include "flutter_linux/fl_method_call.h"

#include <cstring>

#include "fl_method_call_private.h"
#include "fl_method_channel_private.h"
#include "live_objects.h"
#include "report_failure.h"

struct _FlMethodCall {
  GObject parent_instance;

  // name_storage, or a copy of its own when the name does not fit there.
  gchar* name;
  // Method names are short: most live here, which spares an allocation for
  // each call.
  gchar name_storage[48];
  FlValue* args;
  FlMethodChannel* channel;
  FlBinaryMessengerResponseHandle* response_handle;
};

G_DEFINE_FINAL_TYPE(FlMethodCall, fl_method_call, G_TYPE_OBJECT)

// FL_IS_METHOD_RESPONSE() asks the type system about the instance's
// ancestry; the three final kinds a response nearly always is are known by
// their type alone, which is much quicker on every call.
static bool is_method_response(FlMethodResponse* response) {
  if (response == nullptr) {
    return false;
  }
  GType type = G_TYPE_FROM_INSTANCE(response);
  return type == fl_method_success_response_get_type() ||
         type == fl_method_not_implemented_response_get_type() ||
         type == fl_method_error_response_get_type() ||
         FL_IS_METHOD_RESPONSE(response);
}

// The fields never change after the call is made, and finalize only reads
// them: two threads may answer one call, and the one that loses still reads
// them while the winner's sender may be releasing the call.
static void fl_method_call_finalize(GObject* object) {
  FlMethodCall* self = FL_METHOD_CALL(object);
  if (self->name != self->name_storage) {
    g_free(self->name);
  }
  fl_value_unref(self->args);
  g_object_unref(self->response_handle);
  g_object_unref(self->channel);
  live_objects::died(live_objects::kMethodCall);
  G_OBJECT_CLASS(fl_method_call_parent_class)->finalize(object);
}

static void fl_method_call_class_init(FlMethodCallClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = fl_method_call_finalize;
}

static void fl_method_call_init(FlMethodCall* self) {
  live_objects::born(live_objects::kMethodCall);
}

FlMethodCall* fl_method_call_new(
    const gchar* name,
    size_t name_length,
    FlValue* args,
    FlMethodChannel* channel,
    FlBinaryMessengerResponseHandle* response_handle) {
  auto* self = FL_METHOD_CALL(g_object_new_with_properties(
      fl_method_call_get_type(), 0, nullptr, nullptr));
  if (name_length < sizeof(self->name_storage)) {
    memcpy(self->name_storage, name, name_length);
    self->name_storage[name_length] = '\0';
    self->name = self->name_storage;
  } else {
    self->name = g_strndup(name, name_length);
  }
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
  g_return_val_if_fail(is_method_response(response), FALSE);
  g_autoptr(GError) failure = nullptr;
  if (fl_method_channel_respond(self->channel, self->response_handle, response,
                                &failure)) {
    return TRUE;
  }
  report_failure("fl_method_call_respond", failure, error);
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
