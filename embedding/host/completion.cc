#include "completion.h"

GBytes* empty_reply() {
  static GBytes* const empty = g_bytes_new_static("", 0);
  return g_bytes_ref(empty);
}

Completion::~Completion() {
  g_clear_pointer(&reply_, g_bytes_unref);
  g_clear_error(&error_);
}

void Completion::complete(GBytes* reply, GError* error) {
  if (std::this_thread::get_id() == sender_thread_) {
    reply_ = reply;
    error_ = error;
    completed_on_sender_thread_ = true;
    return;
  }
  // Signalled under the lock: once it is released the sender may return and
  // take the completion with it.
  std::lock_guard<std::mutex> lock(mutex_);
  reply_ = reply;
  error_ = error;
  completed_ = true;
  completed_cond_.notify_one();
  if (waiting_context_ != nullptr) {
    g_main_context_wakeup(waiting_context_);
  }
}

void Completion::wait_in_main_context(GMainContext* context) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_context_ = context;
  }
  while (!completed_on_sender_thread_) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (completed_) {
        waiting_context_ = nullptr;
        return;
      }
    }
    g_main_context_iteration(context, TRUE);
  }
  std::lock_guard<std::mutex> lock(mutex_);
  waiting_context_ = nullptr;
}

GBytes* Completion::wait(GError** error) {
  if (!completed_on_sender_thread_) {
    GMainContext* context = g_main_context_ref_thread_default();
    std::unique_lock<std::mutex> lock(mutex_);
    while (!completed_) {
      lock.unlock();
      if (g_main_context_acquire(context)) {
        wait_in_main_context(context);
        g_main_context_release(context);
        lock.lock();
        break;
      }
      lock.lock();
      // Another thread owns the context. If it runs a loop, it dispatches
      // what the handler waits for; if it is a sender that waits here too,
      // it gives the context up when its own answer comes, perhaps before
      // this one's is dispatched. So the context is asked for again now and
      // then, and whoever gets it dispatches for everyone.
      completed_cond_.wait_for(lock, kRetryOwnership);
    }
    lock.unlock();
    g_main_context_unref(context);
  }
  if (error_ != nullptr) {
    g_propagate_error(error, static_cast<GError*>(g_steal_pointer(&error_)));
    return nullptr;
  }
  return reply_ != nullptr ? static_cast<GBytes*>(g_steal_pointer(&reply_))
                           : empty_reply();
}
