#include "flutter_linux/fl_binary_messenger.h"

#include "fl_binary_messenger_private.h"

G_DEFINE_INTERFACE(FlBinaryMessenger, fl_binary_messenger, G_TYPE_OBJECT)

static void fl_binary_messenger_default_init(
    FlBinaryMessengerInterface* iface) {}

void fl_binary_messenger_set_message_handler_on_channel(
    FlBinaryMessenger* messenger,
    const gchar* channel,
    FlBinaryMessengerMessageHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify) {
  g_return_if_fail(FL_IS_BINARY_MESSENGER(messenger));
  g_return_if_fail(channel != nullptr);
  FL_BINARY_MESSENGER_GET_IFACE(messenger)->set_message_handler_on_channel(
      messenger, channel, handler, user_data, destroy_notify);
}

_FlBinaryMessengerResponseHandle::_FlBinaryMessengerResponseHandle(
    GByteArray* reply)
    : reply_(reply) {}

_FlBinaryMessengerResponseHandle::~_FlBinaryMessengerResponseHandle() {
  g_clear_error(&refusal_);
}

void _FlBinaryMessengerResponseHandle::complete() {
  if (std::this_thread::get_id() == sender_thread_) {
    completed_on_sender_thread_ = true;
    return;
  }
  // Signalled under the lock: once it is released the sender may return and
  // take the handle with it.
  std::lock_guard<std::mutex> lock(mutex_);
  completed_ = true;
  completed_cond_.notify_one();
}

void _FlBinaryMessengerResponseHandle::refuse(GError* error) {
  g_byte_array_set_size(reply_, 0);
  refusal_ = error;
  complete();
}

GError* _FlBinaryMessengerResponseHandle::wait() {
  if (!completed_on_sender_thread_) {
    std::unique_lock<std::mutex> lock(mutex_);
    completed_cond_.wait(lock, [this] { return completed_; });
  }
  return static_cast<GError*>(g_steal_pointer(&refusal_));
}
