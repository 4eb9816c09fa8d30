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
  std::mutex* mutex;  // guards pending
  std::deque<Work>* pending;
};

gboolean dispatch(GSource* source, GSourceFunc callback, gpointer user_data) {
  auto* self = reinterpret_cast<QueueSource*>(source);
  std::deque<Work> batch;
  {
    std::lock_guard<std::mutex> lock(*self->mutex);
    batch.swap(*self->pending);
    // Not ready again until more work comes, which sets it ready again.
    g_source_set_ready_time(source, -1);
  }
  for (Work& work : batch) {
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

GSource* main_context_queue_new(GMainContext* context) {
  GSource* queue = g_source_new(&queue_source_funcs, sizeof(QueueSource));
  auto* queue_source = reinterpret_cast<QueueSource*>(queue);
  queue_source->mutex = new std::mutex();
  queue_source->pending = new std::deque<Work>();
  g_source_set_name(queue, "embedding host messages");
  // A handler may wait for a reply of its own, running the context again.
  g_source_set_can_recurse(queue, TRUE);
  g_source_attach(queue, context);
  return queue;
}

void main_context_queue_push(GSource* queue, std::function<void()> work) {
  auto* queue_source = reinterpret_cast<QueueSource*>(queue);
  std::lock_guard<std::mutex> lock(*queue_source->mutex);
  queue_source->pending->push_back(std::move(work));
  // Ready at once; setting the ready time wakes the context up.
  g_source_set_ready_time(queue, 0);
}
