// The "kestrune" channel, called on bytes through the stand-in as an
// application calls it.

#include <gtest/gtest.h>
#include <kestrune/kestrune_plugin.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>

#include "interposed.h"
#include "test_support.h"

namespace {

using test_support::Bytes;
using test_support::describe;
using test_support::Host;
using test_support::to_hex;
using test_support::to_vector;

class PlatformVersionTest : public testing::Test {
 protected:
  void SetUp() override {
    kestrune_plugin_register_with_registrar(host_.registrar());
    interposed::respond_calls = 0;
  }

  void TearDown() override {
    interposed::uname_errno = 0;
    interposed::uname_version.clear();
  }

  // The reply to @method on "kestrune", as bytes.
  Bytes call_bytes(const char* method, FlValue* args = nullptr) {
    return host_.send("kestrune",
                      test_support::encode_method_call(method, args));
  }

  Host host_;
};

std::string expected_text() {
  return std::string("Linux ") + interposed::kernel_uname().version;
}

struct ArgumentsCase {
  const char* name;
  std::function<FlValue*()> make;
};

void PrintTo(const ArgumentsCase& arguments, std::ostream* out) {
  *out << arguments.name;
}

class PlatformVersionArgumentsTest
    : public PlatformVersionTest,
      public testing::WithParamInterface<ArgumentsCase> {};

TEST_P(PlatformVersionArgumentsTest, RepliesLinuxAndTheKernelVersionText) {
  g_autoptr(FlValue) args = GetParam().make();
  Bytes reply = call_bytes("getPlatformVersion", args);

  // A success reply carrying one string, byte for byte.
  std::string text = expected_text();
  ASSERT_LT(text.size(), 254u);
  std::string wire =
      std::string("\x00\x07", 2) + static_cast<char>(text.size()) + text;
  Bytes expected(wire.begin(), wire.end());
  EXPECT_EQ(to_hex(reply), to_hex(expected));
  EXPECT_EQ(interposed::respond_calls, 1);
}

INSTANTIATE_TEST_SUITE_P(
    AnyArguments,
    PlatformVersionArgumentsTest,
    testing::Values(
        ArgumentsCase{"None", [] { return static_cast<FlValue*>(nullptr); }},
        ArgumentsCase{"Int", [] { return fl_value_new_int(42); }},
        ArgumentsCase{"String",
                      [] { return fl_value_new_string("getPlatformVersion"); }},
        ArgumentsCase{"List",
                      [] {
                        FlValue* list = fl_value_new_list();
                        fl_value_append_take(list, fl_value_new_bool(true));
                        return list;
                      }},
        ArgumentsCase{"Map",
                      [] {
                        FlValue* map = fl_value_new_map();
                        fl_value_set_take(map, fl_value_new_string("k"),
                                          fl_value_new_float(1.5));
                        return map;
                      }}),
    [](const auto& info) { return info.param.name; });

TEST_F(PlatformVersionTest, TextComesFromTheVersionFieldNotTheRelease) {
  struct utsname kernel = interposed::kernel_uname();
  g_autoptr(FlMethodResponse) response =
      host_.call("kestrune", "getPlatformVersion");
  FlValue* result = fl_method_response_get_result(response, nullptr);
  ASSERT_NE(result, nullptr);
  std::string text = fl_value_get_string(result);
  EXPECT_EQ(text, std::string("Linux ") + kernel.version);
  if (strcmp(kernel.version, kernel.release) != 0) {
    EXPECT_NE(text, std::string("Linux ") + kernel.release);
  }
}

class NearMissTest : public PlatformVersionTest,
                     public testing::WithParamInterface<const char*> {};

TEST_P(NearMissTest, IsNotImplemented) {
  EXPECT_EQ(call_bytes(GetParam()), Bytes());
  EXPECT_EQ(interposed::respond_calls, 1);
}

INSTANTIATE_TEST_SUITE_P(Names,
                         NearMissTest,
                         testing::Values("getplatformversion",
                                         "GetPlatformVersion",
                                         "GETPLATFORMVERSION",
                                         " getPlatformVersion",
                                         "getPlatformVersion ",
                                         "getPlatformVersion\t",
                                         "",
                                         "get",
                                         "getPlatform",
                                         "getPlatformVersio",
                                         "getPlatformVersions",
                                         "getPlatformVersion2",
                                         "getBatteryLevel"));

TEST_F(PlatformVersionTest, EachCallGetsExactlyOneReply) {
  for (int i = 0; i < 10; i++) {
    call_bytes(i % 2 == 0 ? "getPlatformVersion" : "other");
  }
  EXPECT_EQ(interposed::respond_calls, 10);
}

TEST_F(PlatformVersionTest, AFailingUnameIsReportedAsUnavailable) {
  interposed::uname_errno = EPERM;
  g_autoptr(FlMethodResponse) response =
      host_.call("kestrune", "getPlatformVersion");
  ASSERT_TRUE(FL_IS_METHOD_ERROR_RESPONSE(response)) << describe(response);
  FlMethodErrorResponse* error = FL_METHOD_ERROR_RESPONSE(response);
  EXPECT_STREQ(fl_method_error_response_get_code(error), "UNAVAILABLE");
  EXPECT_STREQ(fl_method_error_response_get_message(error),
               "uname failed: Operation not permitted");
  EXPECT_EQ(fl_method_error_response_get_details(error), nullptr);
  EXPECT_EQ(interposed::respond_calls, 1);

  // On the wire: error, code, message, null details.
  Bytes reply = call_bytes("getPlatformVersion");
  EXPECT_EQ(to_hex(Bytes(reply.begin(), reply.begin() + 15)),
            "01 07 0b 55 4e 41 56 41 49 4c 41 42 4c 45 07");
  EXPECT_EQ(reply.back(), 0x00);

  // Other names are still not implemented, and success comes back with uname.
  EXPECT_EQ(call_bytes("other"), Bytes());
  interposed::uname_errno = 0;
  g_autoptr(FlMethodResponse) recovered =
      host_.call("kestrune", "getPlatformVersion");
  EXPECT_TRUE(FL_IS_METHOD_SUCCESS_RESPONSE(recovered)) << describe(recovered);
}

// A kernel's version text is bytes; the reply must be text the
// application's decoder accepts, and must not change text that is valid.
struct KernelVersionCase {
  const char* name;
  const char* version;
  const char* reply;
};

void PrintTo(const KernelVersionCase& version, std::ostream* out) {
  *out << version.name;
}

class KernelVersionTextTest
    : public PlatformVersionTest,
      public testing::WithParamInterface<KernelVersionCase> {};

TEST_P(KernelVersionTextTest, ReplyIsValidUtf8) {
  interposed::uname_version = GetParam().version;
  g_autoptr(FlMethodResponse) response =
      host_.call("kestrune", "getPlatformVersion");
  ASSERT_TRUE(FL_IS_METHOD_SUCCESS_RESPONSE(response)) << describe(response);
  FlValue* result = fl_method_response_get_result(response, nullptr);
  EXPECT_EQ(to_hex(Bytes(fl_value_get_string(result),
                         fl_value_get_string(result) +
                             strlen(fl_value_get_string(result)))),
            to_hex(Bytes(GetParam().reply,
                         GetParam().reply + strlen(GetParam().reply))));
}

INSTANTIATE_TEST_SUITE_P(
    Versions,
    KernelVersionTextTest,
    testing::Values(
        KernelVersionCase{"Ascii", "#1 SMP PREEMPT_DYNAMIC Debian 6.1.158-1",
                          "Linux #1 SMP PREEMPT_DYNAMIC Debian 6.1.158-1"},
        KernelVersionCase{"ValidUtf8KeptAsItIs", "#2 caf\xc3\xa9 \xe2\x82\xac",
                          "Linux #2 caf\xc3\xa9 \xe2\x82\xac"},
        KernelVersionCase{"Latin1ByteBecomesReplacement", "#3 caf\xe9 x",
                          "Linux #3 caf\xef\xbf\xbd x"},
        KernelVersionCase{"EachByteOfATruncatedSequenceIsReplaced",
                          "#4 \xe2\x82", "Linux #4 \xef\xbf\xbd\xef\xbf\xbd"},
        KernelVersionCase{"StrayContinuationBytes",
                          "\x80\xbf"
                          "end",
                          "Linux \xef\xbf\xbd\xef\xbf\xbd"
                          "end"}),
    [](const auto& info) { return info.param.name; });

TEST_F(PlatformVersionTest, AMalformedMessageNeverReachesThePlugin) {
  g_autoptr(GBytes) garbage = test_support::to_bytes({0x03, 0x00});
  g_autoptr(GError) error = nullptr;
  g_autoptr(GBytes) reply = nullptr;
  {
    // The embedding warns, in whatever words its library uses, and lets the
    // call go unanswered, which the application's side reports.
    test_support::LogCapture log;
    reply = embedding_host_messenger_send(host_.messenger(), "kestrune",
                                          garbage, nullptr, &error);
  }
  EXPECT_EQ(reply, nullptr);
  EXPECT_PRED_FORMAT3(test_support::error_matches, error, EMBEDDING_HOST_ERROR,
                      EMBEDDING_HOST_ERROR_NO_RESPONSE);
  EXPECT_EQ(interposed::respond_calls, 0);
}

}  // namespace
