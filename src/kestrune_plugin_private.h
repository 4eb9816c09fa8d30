#ifndef KESTRUNE_SRC_KESTRUNE_PLUGIN_PRIVATE_H_
#define KESTRUNE_SRC_KESTRUNE_PLUGIN_PRIVATE_H_

#include <flutter_linux/flutter_linux.h>

// Builds the reply to "getPlatformVersion": a success carrying "Linux " and
// the kernel's version text, or an "UNAVAILABLE" error if the kernel cannot
// be asked. Visible across the library for tests and benchmarks, never
// exported. Returns a new response the caller owns.
FlMethodResponse* get_platform_version();

#endif  // KESTRUNE_SRC_KESTRUNE_PLUGIN_PRIVATE_H_
