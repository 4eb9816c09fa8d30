#include "platform_headers_test_host.h"

#include <gtest/gtest.h>

#include "embedding_host/embedding_host.h"

namespace header_test_host {

FlPluginRegistry* new_registry() {
  return FL_PLUGIN_REGISTRY(embedding_host_new());
}

void call(FlPluginRegistry* registry, const char* channel, const char* method) {
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlMethodResponse) response = embedding_host_invoke_method(
      EMBEDDING_HOST(registry), channel, method, nullptr, nullptr, &error);
  EXPECT_NE(response, nullptr) << error->message;
}

}  // namespace header_test_host
