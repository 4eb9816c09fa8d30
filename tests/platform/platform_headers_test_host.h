#ifndef KESTRUNE_TESTS_EMBEDDING_PLATFORM_HEADERS_TEST_HOST_H_
#define KESTRUNE_TESTS_EMBEDDING_PLATFORM_HEADERS_TEST_HOST_H_

#include <flutter_linux/flutter_linux.h>

// The few application-side steps the platform-header test needs, kept out
// of its unit so that it sees the platform's headers alone.
namespace header_test_host {

FlPluginRegistry* new_registry();
void call(FlPluginRegistry* registry, const char* channel, const char* method);

}  // namespace header_test_host

#endif  // KESTRUNE_TESTS_EMBEDDING_PLATFORM_HEADERS_TEST_HOST_H_
