// kestrune-call: registers the plugin on an in-process host, sends one
// method call on the "kestrune" channel and prints the reply.

#include <kestrune/kestrune_plugin.h>

#include <cstdio>
#include <cstring>

#include "embedding_host/embedding_host.h"

namespace {

enum ExitStatus {
  kSuccess = 0,
  kFailure = 1,
  kUsage = 2,
  kNotImplemented = 3,
  kErrorReply = 4,
};

constexpr char kUsageText[] =
    "usage: kestrune-call [--hex] METHOD\n"
    "\n"
    "Registers the kestrune plugin on an in-process host, calls METHOD on\n"
    "the \"kestrune\" channel with no arguments and prints the reply.\n"
    "\n"
    "  --hex    also print the encoded reply, as hex bytes, on the first line\n"
    "  --help   print this text\n"
    "\n"
    "Output and exit status:\n"
    "  0  success: the result on stdout (a string as it is)\n"
    "  2  bad usage: this text on stderr\n"
    "  3  not implemented: 'kestrune-call: \"METHOD\" is not implemented'\n"
    "     on stderr\n"
    "  4  error reply: 'CODE: message' on stderr\n"
    "  1  the call could not be made\n";

void print_hex(GByteArray* bytes) {
  for (guint i = 0; i < bytes->len; i++) {
    printf(i == 0 ? "%02x" : " %02x", bytes->data[i]);
  }
  printf("\n");
}

int report(const gchar* method, FlMethodResponse* response) {
  if (FL_IS_METHOD_SUCCESS_RESPONSE(response)) {
    FlValue* result = fl_method_success_response_get_result(
        FL_METHOD_SUCCESS_RESPONSE(response));
    g_autofree gchar* text = fl_value_to_string(result);
    printf("%s\n", text);
    return kSuccess;
  }
  if (FL_IS_METHOD_ERROR_RESPONSE(response)) {
    FlMethodErrorResponse* error = FL_METHOD_ERROR_RESPONSE(response);
    const gchar* message = fl_method_error_response_get_message(error);
    fprintf(stderr, "%s: %s\n", fl_method_error_response_get_code(error),
            message != nullptr ? message : "");
    return kErrorReply;
  }
  fprintf(stderr, "kestrune-call: \"%s\" is not implemented\n", method);
  return kNotImplemented;
}

}  // namespace

int main(int argc, char** argv) {
  bool hex = false;
  const gchar* method = nullptr;
  for (int i = 1; i < argc; i++) {
    if (strcmp(argv[i], "--help") == 0) {
      fputs(kUsageText, stdout);
      return kSuccess;
    }
    if (strcmp(argv[i], "--hex") == 0) {
      hex = true;
    } else if (strcmp(argv[i], "--") == 0 && i + 1 == argc - 1) {
      method = argv[++i];
    } else if (argv[i][0] == '-' || method != nullptr) {
      fprintf(stderr, "kestrune-call: unexpected argument '%s'\n\n%s", argv[i],
              kUsageText);
      return kUsage;
    } else {
      method = argv[i];
    }
  }
  if (method == nullptr) {
    fputs(kUsageText, stderr);
    return kUsage;
  }

  g_autoptr(EmbeddingHostMessenger) messenger = embedding_host_messenger_new();
  g_autoptr(FlPluginRegistrar) registrar =
      embedding_host_registrar_new(messenger);
  kestrune_plugin_register_with_registrar(registrar);

  g_autoptr(GBytes) call = embedding_host_encode_method_call(method, nullptr);
  g_autoptr(GByteArray) reply = g_byte_array_new();
  g_autoptr(GError) error = nullptr;
  gsize call_size = 0;
  const auto* call_data =
      static_cast<const guint8*>(g_bytes_get_data(call, &call_size));
  if (!embedding_host_messenger_send(messenger, "kestrune", call_data,
                                     call_size, reply, &error)) {
    fprintf(stderr, "kestrune-call: %s\n", error->message);
    return kFailure;
  }
  if (hex) {
    print_hex(reply);
  }
  g_autoptr(FlMethodResponse) response =
      embedding_host_decode_response(reply->data, reply->len, &error);
  if (response == nullptr) {
    fprintf(stderr, "kestrune-call: undecodable reply: %s\n", error->message);
    return kFailure;
  }
  int status = report(method, response);

  embedding_host_messenger_shutdown(messenger);
  return status;
}
