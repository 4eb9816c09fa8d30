#include "live_objects.h"
#include "handoff.h"

namespace live_objects {

std::atomic<gsize> counts[kKindCount];

}  // namespace live_objects

namespace handoff {

std::atomic<unsigned> counter{0};

}  // namespace handoff
