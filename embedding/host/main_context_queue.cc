#include "main_context_queue.h"

#include <utility>

namespace {

struct QueueSource {
  GSource source;
  MainContextQueue* queue;
};

}  // namespace

MainContextQueue::MainContextQueue(GMainContext* context)
    : context_(g_main_context_ref(context)) {
  static GSourceFuncs funcs = {nullptr, nullptr, dispatch,
                               nullptr, nullptr, nullptr};
  source_ = g_source_new(&funcs, sizeof(QueueSource));
  reinterpret_cast<QueueSource*>(source_)->queue = this;
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
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.push_back(std::move(work));
  }
  // Ready at once; setting the ready time wakes the context up.
  g_source_set_ready_time(source_, 0);
}

gboolean MainContextQueue::dispatch(GSource* source,
                                    GSourceFunc callback,
                                    gpointer user_data) {
  MainContextQueue* self = reinterpret_cast<QueueSource*>(source)->queue;
  // Not ready again until more work comes; work pushed from now on sets it
  // ready again, so none is left waiting.
  g_source_set_ready_time(source, -1);
  std::deque<std::function<void()>> ready;
  {
    std::lock_guard<std::mutex> lock(self->mutex_);
    ready.swap(self->pending_);
  }
  for (std::function<void()>& work : ready) {
    work();
  }
  return G_SOURCE_CONTINUE;
}
