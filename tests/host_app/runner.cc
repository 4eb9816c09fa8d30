// An application's runner, reduced to registering the plugin and calling it
// once. Exits 0 when the reply is "Linux " and the kernel's version text.

#include <kestrune/kestrune_plugin.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "embedding_host/embedding_host.h"

int main() {
  EmbeddingHostMessenger* messenger = embedding_host_messenger_new();
  FlPluginRegistrar* registrar = embedding_host_registrar_new(messenger);
  kestrune_plugin_register_with_registrar(registrar);

  GBytes* call = embedding_host_encode_method_call("getPlatformVersion", NULL);
  GByteArray* reply = g_byte_array_new();
  gsize size = 0;
  const guint8* data =
      static_cast<const guint8*>(g_bytes_get_data(call, &size));
  int status = 1;
  if (embedding_host_messenger_send(messenger, "kestrune", data, size, reply,
                                    NULL)) {
    FlMethodResponse* response =
        embedding_host_decode_response(reply->data, reply->len, NULL);
    FlValue* result =
        response != NULL ? fl_method_response_get_result(response, NULL) : NULL;
    struct utsname kernel;
    memset(&kernel, 0, sizeof(kernel));
    syscall(SYS_uname, &kernel);
    std::string expected = std::string("Linux ") + kernel.version;
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
              expected.c_str(), got != NULL ? got : "no success reply");
      g_free(got);
    }
    if (response != NULL) {
      g_object_unref(response);
    }
  } else {
    fprintf(stderr, "runner: the call was refused\n");
  }

  g_byte_array_unref(reply);
  g_bytes_unref(call);
  g_object_unref(registrar);
  g_object_unref(messenger);
  return status;
}
