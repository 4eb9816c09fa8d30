#ifndef EMBEDDING_HOST_MAIN_CONTEXT_QUEUE_H_
#define EMBEDDING_HOST_MAIN_CONTEXT_QUEUE_H_

#include <glib.h>

#include <functional>

// Work handed to one main context from any thread, run there in the order
// it was handed over: the one place where the application's side crosses
// threads. One source stays attached for all of it.
class MainContextQueue {
 public:
  explicit MainContextQueue(GMainContext* context);
  ~MainContextQueue();
  MainContextQueue(const MainContextQueue&) = delete;
  MainContextQueue& operator=(const MainContextQueue&) = delete;

  GMainContext* context() const { return context_; }

  // Whether the calling thread is the one dispatching the context now.
  bool is_current() const { return g_main_context_is_owner(context_); }

  // Runs @work in the context, later: never inside this call.
  void push(std::function<void()> work);

 private:
  GMainContext* context_;
  GSource* source_;  // holds the work, see main_context_queue.cc
};

#endif  // EMBEDDING_HOST_MAIN_CONTEXT_QUEUE_H_
