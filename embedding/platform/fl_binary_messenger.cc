#include "flutter_linux/fl_binary_messenger.h"

#include "fl_binary_messenger_private.h"
#include "live_objects.h"

G_DEFINE_QUARK(fl_binary_messenger_codec_error_quark,
               fl_binary_messenger_codec_error)

G_DEFINE_INTERFACE(FlBinaryMessenger, fl_binary_messenger, G_TYPE_OBJECT)

G_DEFINE_TYPE(FlBinaryMessengerResponseHandle,
              fl_binary_messenger_response_handle,
              G_TYPE_OBJECT)

static void fl_binary_messenger_default_init(
    FlBinaryMessengerInterface* iface) {}

static void fl_binary_messenger_response_handle_finalize(GObject* object) {
  live_objects::died(live_objects::kResponseHandle);
  G_OBJECT_CLASS(fl_binary_messenger_response_handle_parent_class)
      ->finalize(object);
}

static void fl_binary_messenger_response_handle_class_init(
    FlBinaryMessengerResponseHandleClass* klass) {
  G_OBJECT_CLASS(klass)->finalize =
      fl_binary_messenger_response_handle_finalize;
}

static void fl_binary_messenger_response_handle_init(
    FlBinaryMessengerResponseHandle* self) {
  live_objects::born(live_objects::kResponseHandle);
}

void fl_binary_messenger_set_message_handler_on_channel(
    FlBinaryMessenger* self,
    const gchar* channel,
    FlBinaryMessengerMessageHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify) {
  g_return_if_fail(FL_IS_BINARY_MESSENGER(self));
  g_return_if_fail(channel != nullptr);
  FL_BINARY_MESSENGER_GET_IFACE(self)->set_message_handler_on_channel(
      self, channel, handler, user_data, destroy_notify);
}

gboolean fl_binary_messenger_send_response(
    FlBinaryMessenger* self,
    FlBinaryMessengerResponseHandle* response_handle,
    GBytes* response,
    GError** error) {
  g_return_val_if_fail(FL_IS_BINARY_MESSENGER(self), FALSE);
  g_return_val_if_fail(FL_IS_BINARY_MESSENGER_RESPONSE_HANDLE(response_handle),
                       FALSE);
  return FL_BINARY_MESSENGER_GET_IFACE(self)->send_response(
      self, response_handle, response, error);
}

void fl_binary_messenger_send_on_channel(FlBinaryMessenger* self,
                                         const gchar* channel,
                                         GBytes* message,
                                         GCancellable* cancellable,
                                         GAsyncReadyCallback callback,
                                         gpointer user_data) {
  g_return_if_fail(FL_IS_BINARY_MESSENGER(self));
  g_return_if_fail(channel != nullptr);
  FL_BINARY_MESSENGER_GET_IFACE(self)->send_on_channel(
      self, channel, message, cancellable, callback, user_data);
}

GBytes* fl_binary_messenger_send_on_channel_finish(FlBinaryMessenger* self,
                                                   GAsyncResult* result,
                                                   GError** error) {
  g_return_val_if_fail(FL_IS_BINARY_MESSENGER(self), nullptr);
  return FL_BINARY_MESSENGER_GET_IFACE(self)->send_on_channel_finish(
      self, result, error);
}

void fl_binary_messenger_resize_channel(FlBinaryMessenger* self,
                                        const gchar* channel,
                                        int64_t new_size) {
  g_return_if_fail(FL_IS_BINARY_MESSENGER(self));
  g_return_if_fail(channel != nullptr);
  FL_BINARY_MESSENGER_GET_IFACE(self)->resize_channel(self, channel, new_size);
}

void fl_binary_messenger_set_warns_on_channel_overflow(FlBinaryMessenger* self,
                                                       const gchar* channel,
                                                       bool warns) {
  g_return_if_fail(FL_IS_BINARY_MESSENGER(self));
  g_return_if_fail(channel != nullptr);
  FL_BINARY_MESSENGER_GET_IFACE(self)->set_warns_on_channel_overflow(
      self, channel, warns);
}

// Kept as object data: only a refused message pays for it.
static GQuark refusal_quark() {
  static GQuark quark =
      g_quark_from_static_string("fl-binary-messenger-refusal");
  return quark;
}

void fl_binary_messenger_response_handle_set_refusal(
    FlBinaryMessengerResponseHandle* self,
    GError* error) {
  g_object_set_qdata_full(G_OBJECT(self), refusal_quark(), error,
                          reinterpret_cast<GDestroyNotify>(g_error_free));
}

GError* fl_binary_messenger_response_handle_steal_refusal(
    FlBinaryMessengerResponseHandle* self) {
  return static_cast<GError*>(
      g_object_steal_qdata(G_OBJECT(self), refusal_quark()));
}

GBytes* fl_binary_messenger_refusal_reply() {
  static GBytes* const refusal = g_bytes_new_static("", 0);
  return refusal;
}
