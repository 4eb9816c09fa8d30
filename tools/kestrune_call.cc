// kestrune-call: registers the plugin on an in-process host, sends one
// method call on the "kestrune" channel and prints the reply.

#include <kestrune/kestrune_plugin.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "embedding_host/embedding_host.h"
#include "value_text.h"

namespace {

enum ExitStatus {
  kSuccess = 0,
  kFailure = 1,
  kUsage = 2,
  kNotImplemented = 3,
  kErrorReply = 4,
};

constexpr char kUsageText[] =
    "usage: kestrune-call [OPTION...] [--] METHOD [ARGS]\n"
    "\n"
    "Registers the kestrune plugin on an in-process host, calls METHOD on\n"
    "the \"kestrune\" channel with ARGS (null when absent) and prints the\n"
    "reply.\n"
    "\n"
    "  --hex             also print the encoded reply, as hex bytes, first\n"
    "  --quoted          print a string result quoted as well, so that every\n"
    "                    result reads back as ARGS\n"
    "  --plugin LIBRARY  also load and register the plugin LIBRARY, e.g.\n"
    "                    ./libfoo_plugin.so, whose entry point is\n"
    "                    foo_plugin_register_with_registrar\n"
    "  --channel NAME    call on channel NAME instead of \"kestrune\"\n"
    "  -h, --help        print this text\n"
    "  --version         print the version\n"
    "  --                end the options, so that a METHOD or ARGS starting\n"
    "                    with '-' can follow\n"
    "\n"
    "ARGS is one value in JSON, where whole numbers are 64-bit ints and other\n"
    "numbers floats, or in a tagged form for what JSON cannot say:\n"
    "  NaN  Infinity  -Infinity\n"
    "  uint8[1, 255]  int32[-1, 2]  int64[7]  float32[0.5]  float64[1, 2.5]\n"
    "  map{1: \"one\", null: [true], uint8[]: {}}   (keys of any type)\n"
    "Tagged values may appear anywhere a value may. For example:\n"
    "  kestrune-call getPlatformVersion '{\"ids\": int32[1, 2]}'\n"
    "  kestrune-call -- setOffset -1.5\n"
    "\n"
    "The result prints in the same syntax, so that it can be pasted back as\n"
    "ARGS: strings quoted, floats with a fraction or an exponent, typed lists\n"
    "with their tags. By default a result that is one string prints as its\n"
    "bare text instead (\"Linux ...\"); --quoted prints it quoted too.\n"
    "\n"
    "Output and exit status:\n"
    "  0  success: the result on stdout\n"
    "  2  bad usage: what is wrong and this text on stderr\n"
    "  3  not implemented: 'kestrune-call: \"METHOD\" is not implemented'\n"
    "     on stderr\n"
    "  4  error reply: 'CODE: message' on stderr, then 'details: DETAILS'\n"
    "     when the reply has details, in the syntax of ARGS\n"
    "  1  the call could not be made, or the output could not be written\n";

struct CommandLine {
  bool hex = false;
  bool quoted = false;
  const gchar* plugin_library = nullptr;
  const gchar* channel = "kestrune";
  const gchar* method = nullptr;
  // ARGS as typed, or nullptr when absent.
  const gchar* args = nullptr;
};

int usage_error(const char* format, const char* argument) {
  fputs("kestrune-call: ", stderr);
  fprintf(stderr, format, argument);
  fprintf(stderr, "\n\n%s", kUsageText);
  return kUsage;
}

// Fills in @command_line. Returns the status to exit with at once (after
// --help, --version or bad usage), or nothing to go on.
std::optional<int> read_command_line(int argc,
                                     char** argv,
                                     CommandLine* command_line) {
  bool options_ended = false;
  std::vector<const gchar*> operands;
  for (int i = 1; i < argc; i++) {
    std::string_view word = argv[i];
    if (options_ended || word.empty() || word[0] != '-') {
      operands.push_back(argv[i]);
    } else if (word == "--") {
      options_ended = true;
    } else if (word == "--help" || word == "-h") {
      fputs(kUsageText, stdout);
      return kSuccess;
    } else if (word == "--version") {
      printf("kestrune-call %s\n", KESTRUNE_VERSION);
      return kSuccess;
    } else if (word == "--hex") {
      command_line->hex = true;
    } else if (word == "--quoted") {
      command_line->quoted = true;
    } else if (word == "--plugin" || word == "--channel") {
      if (i + 1 == argc) {
        return usage_error("option '%s' needs a value", argv[i]);
      }
      (word == "--plugin" ? command_line->plugin_library
                          : command_line->channel) = argv[++i];
    } else {
      return usage_error(
          "unknown option '%s' (after '--' it would be METHOD or ARGS)",
          argv[i]);
    }
  }
  if (operands.empty()) {
    return usage_error("%s is missing", "METHOD");
  }
  if (operands.size() > 2) {
    return usage_error("unexpected argument '%s'", operands[2]);
  }
  if (!g_utf8_validate(operands[0], -1, nullptr)) {
    return usage_error("%s is not valid UTF-8", "METHOD");
  }
  command_line->method = operands[0];
  command_line->args = operands.size() > 1 ? operands[1] : nullptr;
  return std::nullopt;
}

// The columns @text takes on a terminal, or nothing if it does not show as
// one line: a control character, or bytes that are not UTF-8.
std::optional<size_t> screen_width(std::string_view text) {
  if (!g_utf8_validate_len(text.data(), text.size(), nullptr)) {
    return std::nullopt;
  }
  size_t width = 0;
  const gchar* end = text.data() + text.size();
  for (const gchar* p = text.data(); p < end; p = g_utf8_next_char(p)) {
    gunichar c = g_utf8_get_char(p);
    if (g_unichar_iscntrl(c)) {
      return std::nullopt;
    }
    width += g_unichar_iswide(c) ? 2 : (g_unichar_iszerowidth(c) ? 0 : 1);
  }
  return width;
}

// Says where ARGS is malformed, and shows it with a caret under the fault
// when it fits on one line.
void print_args_error(std::string_view text, const ValueTextError& error) {
  constexpr size_t kMaxShownWidth = 100;
  fprintf(stderr, "kestrune-call: ARGS at offset %zu: %s\n", error.offset,
          error.message.c_str());
  std::optional<size_t> width = screen_width(text);
  std::optional<size_t> caret = screen_width(text.substr(0, error.offset));
  if (width && caret && *width > 0 && *width <= kMaxShownWidth) {
    fprintf(stderr, "  %.*s\n  %*s^\n", static_cast<int>(text.size()),
            text.data(), static_cast<int>(*caret), "");
  }
}

void print_hex(GBytes* bytes) {
  gsize size = 0;
  const auto* data = static_cast<const guint8*>(g_bytes_get_data(bytes, &size));
  for (gsize i = 0; i < size; i++) {
    printf(i == 0 ? "%02x" : " %02x", data[i]);
  }
  printf("\n");
}

// Whatever went wrong while writing the output makes the run a failure:
// a result that did not reach its reader was not delivered.
int finish(int status) {
  if (fflush(stdout) != 0 || ferror(stdout)) {
    fprintf(stderr, "kestrune-call: cannot write the output: %s\n",
            g_strerror(errno));
    return kFailure;
  }
  if (fflush(stderr) != 0 || ferror(stderr)) {
    return kFailure;
  }
  return status;
}

int report(const CommandLine& command_line, FlMethodResponse* response) {
  if (FL_IS_METHOD_SUCCESS_RESPONSE(response)) {
    FlValue* result = fl_method_success_response_get_result(
        FL_METHOD_SUCCESS_RESPONSE(response));
    // Bare, so that scripts get the text itself.
    if (!command_line.quoted && result != nullptr &&
        fl_value_get_type(result) == FL_VALUE_TYPE_STRING) {
      printf("%s\n", fl_value_get_string(result));
    } else {
      printf("%s\n", value_to_text(result).c_str());
    }
    return kSuccess;
  }
  if (FL_IS_METHOD_ERROR_RESPONSE(response)) {
    FlMethodErrorResponse* error = FL_METHOD_ERROR_RESPONSE(response);
    const gchar* message = fl_method_error_response_get_message(error);
    FlValue* details = fl_method_error_response_get_details(error);
    fprintf(stderr, "%s%s%s\n", fl_method_error_response_get_code(error),
            message != nullptr ? ": " : "", message != nullptr ? message : "");
    if (details != nullptr &&
        fl_value_get_type(details) != FL_VALUE_TYPE_NULL) {
      fprintf(stderr, "details: %s\n", value_to_text(details).c_str());
    }
    return kErrorReply;
  }
  fprintf(stderr, "kestrune-call: \"%s\" is not implemented\n",
          command_line.method);
  return kNotImplemented;
}

int run(int argc, char** argv) {
  CommandLine command_line;
  if (std::optional<int> status =
          read_command_line(argc, argv, &command_line)) {
    return *status;
  }
  g_autoptr(FlValue) args = nullptr;
  if (command_line.args != nullptr) {
    ValueTextError args_error;
    args = value_from_text(command_line.args, &args_error);
    if (args == nullptr) {
      print_args_error(command_line.args, args_error);
      return kUsage;
    }
  }

  g_autoptr(EmbeddingHost) host = embedding_host_new();
  embedding_host_register_plugin(host, "KestrunePlugin",
                                 kestrune_plugin_register_with_registrar);
  g_autoptr(GError) error = nullptr;
  if (command_line.plugin_library != nullptr &&
      !embedding_host_register_plugin_library(host, command_line.plugin_library,
                                              &error)) {
    fprintf(stderr, "kestrune-call: %s\n", error->message);
    return kFailure;
  }

  g_autoptr(GBytes) reply = nullptr;
  g_autoptr(FlMethodResponse) response = embedding_host_invoke_method(
      host, command_line.channel, command_line.method, args, &reply, &error);
  if (command_line.hex && reply != nullptr) {
    print_hex(reply);
  }
  if (response == nullptr) {
    fprintf(stderr, "kestrune-call: %s%s\n",
            reply != nullptr ? "undecodable reply: " : "", error->message);
    return kFailure;
  }
  int status = report(command_line, response);
  embedding_host_shutdown(host);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  return finish(run(argc, argv));
}
