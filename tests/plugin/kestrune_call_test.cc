// kestrune-call as a user runs it: output and exit status for each kind of
// reply and for bad usage.

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
  EXPECT_TRUE(WIFEXITED(wait_status)) << "killed by signal";
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

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
};

void PrintTo(const UsageCase& usage, std::ostream* out) {
  *out << usage.name;
}

class BadUsageTest : public testing::TestWithParam<UsageCase> {};

TEST_P(BadUsageTest, PrintsUsageAndExitsTwo) {
  CallResult run = run_call(GetParam().args);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("usage: kestrune-call [--hex] METHOD"),
            std::string::npos)
      << run.err;
}

INSTANTIATE_TEST_SUITE_P(Arguments,
                         BadUsageTest,
                         testing::Values(UsageCase{"NoMethod", {}},
                                         UsageCase{"OnlyHex", {"--hex"}},
                                         UsageCase{"TwoMethods", {"a", "b"}},
                                         UsageCase{"UnknownOption",
                                                   {"--verbose", "a"}}),
                         [](const auto& info) { return info.param.name; });

TEST(KestruneCall, HelpDescribesTheExitStatuses) {
  CallResult run = run_call({"--help"});
  EXPECT_EQ(run.status, 0);
  for (const char* part : {"usage: kestrune-call [--hex] METHOD", "--hex",
                           "is not implemented", "CODE: message"}) {
    EXPECT_NE(run.out.find(part), std::string::npos) << part;
  }
}

TEST(KestruneCall, AMethodNamedLikeAnOptionCanFollowDoubleDash) {
  CallResult run = run_call({"--", "--hex"});
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.err, "kestrune-call: \"--hex\" is not implemented\n");
}

}  // namespace
