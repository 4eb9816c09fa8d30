// An application's runner, reduced to registering the plugin the way a
// generated registrant does and calling it once. Exits 0 when the reply is
// "Linux " and the kernel's version text.

#include <kestrune/kestrune_plugin.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "embedding_host/embedding_host.h"

namespace {

// What an application's generated registrant does for each plugin.
void register_plugins(FlPluginRegistry* registry) {
  FlPluginRegistrar* registrar =
      fl_plugin_registry_get_registrar_for_plugin(registry, "KestrunePlugin");
  kestrune_plugin_register_with_registrar(registrar);
  g_object_unref(registrar);
}

}  // namespace

int main() {
  EmbeddingHost* host = embedding_host_new();
  register_plugins(FL_PLUGIN_REGISTRY(host));

  struct utsname kernel;
  memset(&kernel, 0, sizeof(kernel));
  syscall(SYS_uname, &kernel);
  std::string expected = std::string("Linux ") + kernel.version;

  GError* error = NULL;
  FlMethodResponse* response = embedding_host_invoke_method(
      host, "kestrune", "getPlatformVersion", NULL, NULL, &error);
  FlValue* result =
      response != NULL ? fl_method_response_get_result(response, NULL) : NULL;
  int status = 1;
  if (result != NULL && fl_value_get_type(result) == FL_VALUE_TYPE_STRING &&
      expected == fl_value_get_string(result)) {
    printf("runner: %s\n", fl_value_get_string(result));
    status = 0;
  } else {
    gchar* got = result != NULL ? fl_value_to_string(result) : NULL;
    fprintf(stderr,
            "runner: unexpected reply to getPlatformVersion\n"
            "  expected: %s\n"
            "  got:      %s\n",
            expected.c_str(),
            got != NULL     ? got
            : error != NULL ? error->message
                            : "a reply that is not a success");
    g_free(got);
  }

  g_clear_error(&error);
  if (response != NULL) {
    g_object_unref(response);
  }
  g_object_unref(host);
  return status;
}
