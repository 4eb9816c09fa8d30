#include "live_objects.h"

namespace live_objects {

std::atomic<gsize> counts[kKindCount];

}  // namespace live_objects
