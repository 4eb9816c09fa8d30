#ifndef EMBEDDING_HOST_COMPLETION_H_
#define EMBEDDING_HOST_COMPLETION_H_

#include <glib.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// The empty reply, which the application reads as "not implemented"; one
// shared instance (transfer full).
GBytes* empty_reply();

// The reply to one message, as its sender waits for it. It lives on the
// sender's stack: the sender hands it to the message's response handle and
// waits until it is completed, so whoever completes it must not touch it
// afterwards.
class Completion {
 public:
  explicit Completion(const gchar* channel) : channel_(channel) {}
  ~Completion();
  Completion(const Completion&) = delete;
  Completion& operator=(const Completion&) = delete;

  const gchar* channel() const { return channel_; }

  // Called once, from any thread, with the reply or why there is none.
  // Takes over @reply and @error.
  void complete(GBytes* reply, GError* error);

  // Blocks until completed, running the thread's main context meanwhile if
  // this thread can own it: a handler may answer only once a reply of the
  // application's has been dispatched there. Returns the reply (transfer
  // full), or NULL with @error set.
  GBytes* wait(GError** error);

 private:
  // How long a sender waits before it asks again for a main context that
  // another thread owns.
  static constexpr std::chrono::milliseconds kRetryOwnership{5};

  void wait_in_main_context(GMainContext* context);

  const gchar* channel_;
  GBytes* reply_ = nullptr;
  GError* error_ = nullptr;

  // Most messages are answered on the sender's own thread, while its handler
  // runs: that needs no lock.
  const std::thread::id sender_thread_ = std::this_thread::get_id();
  bool completed_on_sender_thread_ = false;

  // An answer from another thread, for which the sender may be waiting.
  std::mutex mutex_;  // guards the members below
  std::condition_variable completed_cond_;
  bool completed_ = false;
  GMainContext* waiting_context_ = nullptr;
};

#endif  // EMBEDDING_HOST_COMPLETION_H_
