#ifndef EMBEDDING_SHARED_HANDOFF_H_
#define EMBEDDING_SHARED_HANDOFF_H_

#include <atomic>

// A result handed to a GLib main context is taken up by whichever thread
// dispatches that context, behind locks of GLib's that ThreadSanitizer
// cannot see, for GLib is not built for it. What the handing thread wrote
// before is ordered before what the dispatching thread reads through this
// counter, which the sanitizer does see: the handing thread publishes just
// before it hands the result over, the other receives before it looks at
// it. It costs
// an atomic operation for each call a plugin makes to the application.
namespace handoff {

extern std::atomic<unsigned> counter;

inline void publish() {
  counter.fetch_add(1, std::memory_order_release);
}

inline void receive() {
  counter.load(std::memory_order_acquire);
}

}  // namespace handoff

#endif  // EMBEDDING_SHARED_HANDOFF_H_
