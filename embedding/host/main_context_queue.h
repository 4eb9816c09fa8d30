#ifndef EMBEDDING_HOST_MAIN_CONTEXT_QUEUE_H_
#define EMBEDDING_HOST_MAIN_CONTEXT_QUEUE_H_

#include <glib.h>

#include <functional>

// Work handed to one main context from any thread, run there in the order
// it was handed over, as the platform's task runner runs its tasks: each
// dispatch runs the work that was waiting when it began, one piece after
// another, with the context pushed as the thread-default one. The queue is
// one source of the default priority, attached to @context until it is
// destroyed; the context's other sources run between dispatches as GLib
// schedules them.
GSource* main_context_queue_new(GMainContext* context);

// Makes @context the calling thread's thread-default main context for as
// long as it lives, unless it is already; the calling thread owns @context
// or can take it.
class ThreadDefaultContext {
 public:
  explicit ThreadDefaultContext(GMainContext* context);
  ~ThreadDefaultContext();
  ThreadDefaultContext(const ThreadDefaultContext&) = delete;
  ThreadDefaultContext& operator=(const ThreadDefaultContext&) = delete;

 private:
  GMainContext* pushed_;
};

// Runs @work in @queue's context, later: never inside this call. A main
// loop that runs inside a piece of work runs the work handed over after
// that piece's dispatch began, not the rest of its own.
void main_context_queue_push(GSource* queue, std::function<void()> work);

#endif  // EMBEDDING_HOST_MAIN_CONTEXT_QUEUE_H_
