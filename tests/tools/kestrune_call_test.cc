// kestrune-call as a user runs it: output and exit status for each kind of
// reply and for bad usage, and replies that paste back as ARGS.

#include <glib.h>
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct CallResult {
  int status;
  std::string out;
  std::string err;
};

CallResult run_call(const std::vector<std::string>& args,
                    bool failing_uname = false) {
  std::vector<std::string> words = {KESTRUNE_CALL};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) {
    argv.push_back(word.data());
  }
  argv.push_back(nullptr);

  g_auto(GStrv) environment = g_get_environ();
  if (failing_uname) {
    environment = g_environ_setenv(environment, "LD_PRELOAD",
                                   FAILING_UNAME_LIBRARY, TRUE);
  }
  g_autofree gchar* out = nullptr;
  g_autofree gchar* err = nullptr;
  gint wait_status = 0;
  g_autoptr(GError) error = nullptr;
  EXPECT_TRUE(g_spawn_sync(nullptr, argv.data(), environment, G_SPAWN_DEFAULT,
                           nullptr, nullptr, &out, &err, &wait_status, &error))
      << error->message;
  EXPECT_TRUE(WIFEXITED(wait_status))
      << "killed by signal " << WTERMSIG(wait_status) << "; stderr: " << err;
  return {WEXITSTATUS(wait_status), out != nullptr ? out : "",
          err != nullptr ? err : ""};
}

std::string kernel_version() {
  struct utsname name;
  memset(&name, 0, sizeof(name));
  syscall(SYS_uname, &name);
  return name.version;
}

TEST(KestruneCall, PrintsThePlatformVersionAlone) {
  CallResult run = run_call({"getPlatformVersion"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "Linux " + kernel_version() + "\n");
  EXPECT_EQ(run.err, "");
}

TEST(KestruneCall, HexPrintsTheReplyBytesFirst) {
  CallResult run = run_call({"--hex", "getPlatformVersion"});
  EXPECT_EQ(run.status, 0);
  std::string text = "Linux " + kernel_version();
  char header[16];
  snprintf(header, sizeof(header), "00 07 %02x", static_cast<int>(text.size()));
  std::string hex = header;
  for (unsigned char c : text) {
    char byte[4];
    snprintf(byte, sizeof(byte), " %02x", c);
    hex += byte;
  }
  EXPECT_EQ(run.out, hex + "\n" + text + "\n");
}

TEST(KestruneCall, NotImplementedExitsThree) {
  CallResult run = run_call({"getBatteryLevel"});
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "kestrune-call: \"getBatteryLevel\" is not implemented\n");
}

TEST(KestruneCall, ErrorReplyPrintsCodeAndMessageAndExitsFour) {
  CallResult run = run_call({"getPlatformVersion"}, /*failing_uname=*/true);
  EXPECT_EQ(run.status, 4);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "UNAVAILABLE: uname failed: Function not implemented\n");
}

// Bad usage names the argument at fault, then shows the usage.
struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  const char* fault;
};

void PrintTo(const UsageCase& usage, std::ostream* out) {
  *out << usage.name;
}

class BadUsageTest : public testing::TestWithParam<UsageCase> {};

constexpr char kUsageLine[] =
    "usage: kestrune-call [OPTION...] [--] METHOD [ARGS]";

TEST_P(BadUsageTest, NamesTheFaultAndExitsTwo) {
  CallResult run = run_call(GetParam().args);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err.rfind(
                std::string("kestrune-call: ") + GetParam().fault + "\n", 0),
            0u)
      << run.err;
  EXPECT_NE(run.err.find(kUsageLine), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Arguments,
    BadUsageTest,
    testing::Values(
        UsageCase{"NoMethod", {}, "METHOD is missing"},
        UsageCase{"OnlyHex", {"--hex"}, "METHOD is missing"},
        UsageCase{"TooManyArguments",
                  {"a", "1", "b"},
                  "unexpected argument 'b'"},
        UsageCase{"UnknownOption",
                  {"--verbose", "a"},
                  "unknown option '--verbose' (after '--' it would be METHOD "
                  "or ARGS)"},
        UsageCase{"OptionWithoutItsValue",
                  {"getPlatformVersion", "--channel"},
                  "option '--channel' needs a value"},
        UsageCase{"MethodNotUtf8", {"get\xff"}, "METHOD is not valid UTF-8"}),
    [](const auto& info) { return info.param.name; });

TEST(KestruneCall, HelpDescribesTheExitStatusesAndTheOptions) {
  for (const char* option : {"--help", "-h"}) {
    CallResult run = run_call({option});
    EXPECT_EQ(run.status, 0);
    for (const char* part :
         {kUsageLine, "--hex", "--quoted", "--plugin LIBRARY", "--",
          "is not implemented", "CODE: message", "details: DETAILS"}) {
      EXPECT_NE(run.out.find(part), std::string::npos)
          << option << ": " << part;
    }
  }
}

TEST(KestruneCall, VersionIsTheProjectsVersion) {
  CallResult run = run_call({"--version"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, std::string("kestrune-call ") + KESTRUNE_VERSION + "\n");
}

TEST(KestruneCall, AnOutputThatCannotBeWrittenFailsTheRun) {
  // /dev/full takes the open but refuses every write.
  g_autofree gchar* command = g_strdup_printf(
      "'%s' getPlatformVersion >/dev/full 2>&1; echo $?", KESTRUNE_CALL);
  const char* argv[] = {"/bin/sh", "-c", command, nullptr};
  g_autofree gchar* out = nullptr;
  g_autoptr(GError) error = nullptr;
  ASSERT_TRUE(g_spawn_sync(nullptr, const_cast<gchar**>(argv), nullptr,
                           G_SPAWN_DEFAULT, nullptr, nullptr, &out, nullptr,
                           nullptr, &error))
      << error->message;
  EXPECT_STREQ(out, "1\n");

  g_free(g_steal_pointer(&out));
  g_autofree gchar* err = nullptr;
  g_autofree gchar* to_stderr =
      g_strdup_printf("'%s' getPlatformVersion >/dev/full", KESTRUNE_CALL);
  const char* argv_err[] = {"/bin/sh", "-c", to_stderr, nullptr};
  gint status = 0;
  ASSERT_TRUE(g_spawn_sync(nullptr, const_cast<gchar**>(argv_err), nullptr,
                           G_SPAWN_DEFAULT, nullptr, nullptr, nullptr, &err,
                           &status, &error))
      << error->message;
  EXPECT_EQ(WEXITSTATUS(status), 1) << err;
  EXPECT_STREQ(err,
               "kestrune-call: cannot write the output: No space left on "
               "device\n");
}

// The plugin ignores arguments, so any value gets the version.
struct ArgumentsCase {
  const char* name;
  std::vector<std::string> args;
};

void PrintTo(const ArgumentsCase& arguments, std::ostream* out) {
  *out << arguments.name;
}

class ArgumentsTest : public testing::TestWithParam<ArgumentsCase> {};

TEST_P(ArgumentsTest, AreSentAndTheVersionPrinted) {
  CallResult run = run_call(GetParam().args);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Linux " + kernel_version() + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    KestruneCall,
    ArgumentsTest,
    testing::Values(
        ArgumentsCase{"Json",
                      {"getPlatformVersion", R"({"ignored": [1, 2.5, "x"]})"}},
        ArgumentsCase{
            "TaggedValues",
            {"getPlatformVersion", "map{null: int64[1], 2: float32[0.5]}"}},
        ArgumentsCase{"AfterDoubleDash", {"--", "getPlatformVersion", "-1"}}),
    [](const auto& info) { return info.param.name; });

struct MalformedCase {
  const char* name;
  std::string args;
  std::string err;
};

void PrintTo(const MalformedCase& malformed, std::ostream* out) {
  *out << malformed.name;
}

class MalformedArgumentsTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedArgumentsTest, ExitTwoShowingWhereTheFaultIs) {
  CallResult run = run_call({"getPlatformVersion", GetParam().args});
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    KestruneCall,
    MalformedArgumentsTest,
    testing::Values(
        MalformedCase{"CaretUnderTheFault", R"({"a": 1 "b": 2})",
                      "kestrune-call: ARGS at offset 8: expected ',' or '}' "
                      "after a map entry\n"
                      "  {\"a\": 1 \"b\": 2}\n"
                      "          ^\n"},
        // The caret counts characters, not bytes.
        MalformedCase{"CaretAfterTwoByteCharacters", R"(["été" 2])",
                      "kestrune-call: ARGS at offset 9: expected ',' or ']' "
                      "after a list element\n"
                      "  [\"été\" 2]\n"
                      "         ^\n"},
        MalformedCase{"NoCaretUnderSeveralLines", "[1,\n2 3]",
                      "kestrune-call: ARGS at offset 6: expected ',' or ']' "
                      "after a list element\n"}),
    [](const auto& info) { return info.param.name; });

TEST(KestruneCall, CallsAnotherPluginWithAMapArgument) {
  CallResult greeted =
      run_call({"--plugin", SECOND_PLUGIN_LIBRARY, "--channel", "second",
                "greet", R"({"name": "Ada", "ignored": uint8[1, 2]})"});
  EXPECT_EQ(greeted.status, 0) << greeted.err;
  EXPECT_EQ(greeted.out, "Hello, Ada\n");

  CallResult refused = run_call({"--plugin", SECOND_PLUGIN_LIBRARY, "--channel",
                                 "second", "greet", R"({"name": 1.0})"});
  EXPECT_EQ(refused.status, 4);
  EXPECT_EQ(refused.err,
            "BAD_ARGUMENTS: expected a map with a string \"name\"\n"
            "details: {\"name\": 1.0}\n");
}

// What the second plugin's "echo" answers with the ARGS it is sent.
struct EchoCase {
  const char* name;
  std::string args;
  std::string printed;
};

void PrintTo(const EchoCase& echo, std::ostream* out) {
  *out << echo.name;
}

class EchoTest : public testing::TestWithParam<EchoCase> {};

TEST_P(EchoTest, ReplyPastedBackAsArgsGivesTheSameBytes) {
  auto echo = [](const std::string& args) {
    return run_call({"--hex", "--quoted", "--plugin", SECOND_PLUGIN_LIBRARY,
                     "--channel", "second", "echo", args});
  };
  CallResult first = echo(GetParam().args);
  ASSERT_EQ(first.status, 0) << first.err;
  size_t hex_end = first.out.find('\n');
  EXPECT_EQ(first.out.substr(hex_end + 1), GetParam().printed + "\n");

  CallResult again = echo(first.out.substr(hex_end + 1));
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, first.out);
}

INSTANTIATE_TEST_SUITE_P(
    KestruneCall,
    EchoTest,
    testing::Values(
        EchoCase{"StringsThatLookLikeOtherValues",
                 R"({"a": 1, "1": "1", "n": null, "s": "null"})",
                 R"({"a": 1, "1": "1", "n": null, "s": "null"})"},
        EchoCase{"FloatsAndTypedLists", R"([1.0, 1, "1", float64[0.5, 2]])",
                 R"([1.0, 1, "1", float64[0.5, 2.0]])"},
        EchoCase{"QuotedString", R"("tab\there")", R"("tab\there")"},
        EchoCase{"KeysOfMixedTypes", R"(map{1: -0.0, "x": {"y": NaN}})",
                 R"(map{1: -0.0, "x": {"y": NaN}})"}),
    [](const auto& info) { return info.param.name; });

TEST(KestruneCall, APluginLibraryWithoutItsEntryPointFails) {
  CallResult run =
      run_call({"--plugin", FAILING_UNAME_LIBRARY, "getPlatformVersion"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("has no failing_uname_register_with_registrar"),
            std::string::npos)
      << run.err;
}

TEST(KestruneCall, AMethodNamedLikeAnOptionCanFollowDoubleDash) {
  CallResult run = run_call({"--", "--hex"});
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.err, "kestrune-call: \"--hex\" is not implemented\n");
}

}  // namespace
