#ifndef EMBEDDING_SHARED_LIVE_OBJECTS_H_
#define EMBEDDING_SHARED_LIVE_OBJECTS_H_

#include <glib.h>

#include <atomic>

// Counts of the stand-in's objects in existence: the platform's code counts
// them, the application's side reports them for leak checks. Relaxed
// atomics: the counts are read once the work is done.
namespace live_objects {

enum Kind {
  kValue,
  kMethodCall,
  kResponse,
  kChannel,
  kCodec,
  kMessageCodec,
  kResponseHandle,
  kKindCount
};

extern std::atomic<gsize> counts[kKindCount];

inline void born(Kind kind) {
  counts[kind].fetch_add(1, std::memory_order_relaxed);
}

inline void died(Kind kind) {
  counts[kind].fetch_sub(1, std::memory_order_relaxed);
}

}  // namespace live_objects

#endif  // EMBEDDING_SHARED_LIVE_OBJECTS_H_
