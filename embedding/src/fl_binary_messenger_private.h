#ifndef EMBEDDING_SRC_FL_BINARY_MESSENGER_PRIVATE_H_
#define EMBEDDING_SRC_FL_BINARY_MESSENGER_PRIVATE_H_

#include <condition_variable>
#include <mutex>
#include <thread>

#include "flutter_linux/fl_binary_messenger.h"

// The way back to one sender. It lives on the sender's stack: the sender
// hands it to the channel's handler and then waits until it is completed,
// so whoever completes it must not touch it afterwards.
struct _FlBinaryMessengerResponseHandle {
 public:
  // The reply is written straight into @reply, which the sender owns.
  explicit _FlBinaryMessengerResponseHandle(GByteArray* reply);
  ~_FlBinaryMessengerResponseHandle();

  _FlBinaryMessengerResponseHandle(const _FlBinaryMessengerResponseHandle&) =
      delete;
  _FlBinaryMessengerResponseHandle& operator=(
      const _FlBinaryMessengerResponseHandle&) = delete;

  // Where the responder writes the reply bytes before completing.
  GByteArray* reply() const { return reply_; }

  // Completes with whatever reply() holds (nothing: the empty reply).
  void complete();

  // Completes with the empty reply and tells the sender why its message was
  // refused. Takes over @error.
  void refuse(GError* error);

  // Blocks until completed; returns the refusal, if any (transfer full).
  GError* wait();

 private:
  GByteArray* reply_;
  GError* refusal_ = nullptr;

  // Most calls are answered on the sender's own thread, while its handler
  // runs and before it waits: that needs no lock.
  const std::thread::id sender_thread_ = std::this_thread::get_id();
  bool completed_on_sender_thread_ = false;

  // An answer from another thread, for which the sender may be waiting.
  std::mutex mutex_;  // guards completed_
  std::condition_variable completed_cond_;
  bool completed_ = false;
};

void fl_binary_messenger_set_message_handler_on_channel(
    FlBinaryMessenger* messenger,
    const gchar* channel,
    FlBinaryMessengerMessageHandler handler,
    gpointer user_data,
    GDestroyNotify destroy_notify);

#endif  // EMBEDDING_SRC_FL_BINARY_MESSENGER_PRIVATE_H_
