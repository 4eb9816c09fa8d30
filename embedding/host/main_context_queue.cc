#include "main_context_queue.h"

#include <deque>
#include <mutex>
#include <utility>

namespace {

using Work = std::function<void()>;

// The waiting work lives with the source, which GLib keeps alive while it
// dispatches: work that lets go of the queue does not pull the list away
// from under the dispatch running it.
struct QueueSource {
  GSource source;
  struct Pending {
    std::mutex mutex;  // guards work
    std::deque<Work> work;
  } * pending;
};

gboolean dispatch(GSource* source, GSourceFunc callback, gpointer user_data) {
  auto* self = reinterpret_cast<QueueSource*>(source);
  std::deque<Work> batch;
  {
    std::lock_guard<std::mutex> lock(self->pending->mutex);
    batch.swap(self->pending->work);
    // Not ready again until more work comes, which sets it ready again.
    g_source_set_ready_time(source, -1);
  }
  // Whatever the work starts finishes in this context, whichever thread
  // runs it.
  ThreadDefaultContext thread_default(g_source_get_context(source));
  for (Work& work : batch) {
    work();
  }
  return G_SOURCE_CONTINUE;
}

void finalize(GSource* source) {
  delete reinterpret_cast<QueueSource*>(source)->pending;
}

GSourceFuncs queue_source_funcs = {nullptr,  nullptr, dispatch,
                                   finalize, nullptr, nullptr};

}  // namespace

GSource* main_context_queue_new(GMainContext* context) {
  GSource* queue = g_source_new(&queue_source_funcs, sizeof(QueueSource));
  reinterpret_cast<QueueSource*>(queue)->pending = new QueueSource::Pending();
  // A handler may wait for a reply of its own, running the context again.
  g_source_set_can_recurse(queue, TRUE);
  g_source_attach(queue, context);
  return queue;
}

void main_context_queue_push(GSource* queue, std::function<void()> work) {
  QueueSource::Pending* pending =
      reinterpret_cast<QueueSource*>(queue)->pending;
  std::lock_guard<std::mutex> lock(pending->mutex);
  pending->work.push_back(std::move(work));
  // Ready at once; setting the ready time wakes the context up.
  g_source_set_ready_time(queue, 0);
}

ThreadDefaultContext::ThreadDefaultContext(GMainContext* context)
    : pushed_(nullptr) {
  GMainContext* current = g_main_context_get_thread_default();
  if ((current != nullptr ? current : g_main_context_default()) != context) {
    g_main_context_push_thread_default(context);
    pushed_ = context;
  }
}

ThreadDefaultContext::~ThreadDefaultContext() {
  if (pushed_ != nullptr) {
    g_main_context_pop_thread_default(pushed_);
  }
}
