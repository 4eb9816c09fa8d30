#include "main_context_queue.h"

#include <deque>
#include <mutex>
#include <utility>

namespace {

// The work lives with the source, which GLib keeps alive while it
// dispatches: work that lets go of the queue does not pull the list away
// from under the loop running it.
struct QueueSource {
  GSource source;
  std::mutex* mutex;  // guards pending
  std::deque<std::function<void()>>* pending;
};

gboolean dispatch(GSource* source, GSourceFunc callback, gpointer user_data) {
  auto* self = reinterpret_cast<QueueSource*>(source);
  // Not ready again until more work comes; work pushed from now on sets it
  // ready again, so none is left waiting.
  g_source_set_ready_time(source, -1);
  // One piece at a time, so that a handler that runs the context again
  // (waiting for a reply of its own) carries on in order.
  for (;;) {
    std::function<void()> work;
    {
      std::lock_guard<std::mutex> lock(*self->mutex);
      if (self->pending->empty()) {
        break;
      }
      work = std::move(self->pending->front());
      self->pending->pop_front();
    }
    work();
  }
  return G_SOURCE_CONTINUE;
}

void finalize(GSource* source) {
  auto* self = reinterpret_cast<QueueSource*>(source);
  delete self->pending;
  delete self->mutex;
}

GSourceFuncs queue_source_funcs = {nullptr,  nullptr, dispatch,
                                   finalize, nullptr, nullptr};

}  // namespace

MainContextQueue::MainContextQueue(GMainContext* context)
    : context_(g_main_context_ref(context)) {
  source_ = g_source_new(&queue_source_funcs, sizeof(QueueSource));
  auto* queue_source = reinterpret_cast<QueueSource*>(source_);
  queue_source->mutex = new std::mutex();
  queue_source->pending = new std::deque<std::function<void()>>();
  g_source_set_name(source_, "embedding host messages");
  // A handler may wait for a reply of its own, running the context again.
  g_source_set_can_recurse(source_, TRUE);
  g_source_attach(source_, context_);
}

MainContextQueue::~MainContextQueue() {
  g_source_destroy(source_);
  g_source_unref(source_);
  g_main_context_unref(context_);
}

void MainContextQueue::push(std::function<void()> work) {
  auto* queue_source = reinterpret_cast<QueueSource*>(source_);
  {
    std::lock_guard<std::mutex> lock(*queue_source->mutex);
    queue_source->pending->push_back(std::move(work));
  }
  // Ready at once; setting the ready time wakes the context up.
  g_source_set_ready_time(source_, 0);
}
