// Where the platform is strict and where it accepts what an application may
// send, the stand-in must behave the same: a test platform kinder than the
// real one lets a plugin's mistake pass its tests and fail in the
// application.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <string>

#include "test_support.h"

// A standard message codec that fails without saying why, as a faulty one of
// an application's might: in writing any bool, and in reading a true.
G_DECLARE_FINAL_TYPE(TestSilentCodec,
                     test_silent_codec,
                     TEST,
                     SILENT_CODEC,
                     FlStandardMessageCodec)

struct _TestSilentCodec {
  FlStandardMessageCodec parent_instance;
};

G_DEFINE_TYPE(TestSilentCodec,
              test_silent_codec,
              fl_standard_message_codec_get_type())

static gboolean test_silent_codec_write_value(FlStandardMessageCodec* codec,
                                              GByteArray* buffer,
                                              FlValue* value,
                                              GError** error) {
  if (fl_value_get_type(value) == FL_VALUE_TYPE_BOOL) {
    return FALSE;
  }
  return FL_STANDARD_MESSAGE_CODEC_CLASS(test_silent_codec_parent_class)
      ->write_value(codec, buffer, value, error);
}

static FlValue* test_silent_codec_read_value_of_type(
    FlStandardMessageCodec* codec,
    GBytes* buffer,
    size_t* offset,
    int type,
    GError** error) {
  if (type == 1) {
    return nullptr;
  }
  return FL_STANDARD_MESSAGE_CODEC_CLASS(test_silent_codec_parent_class)
      ->read_value_of_type(codec, buffer, offset, type, error);
}

static void test_silent_codec_class_init(TestSilentCodecClass* klass) {
  FL_STANDARD_MESSAGE_CODEC_CLASS(klass)->write_value =
      test_silent_codec_write_value;
  FL_STANDARD_MESSAGE_CODEC_CLASS(klass)->read_value_of_type =
      test_silent_codec_read_value_of_type;
}

static void test_silent_codec_init(TestSilentCodec* self) {}

namespace {

using test_support::Bytes;
using test_support::decode_value;
using test_support::describe;
using test_support::encode_value;
using test_support::error_matches;
using test_support::from_hex;
using test_support::Host;
using test_support::to_hex;

// ---- What an application may send ----

struct WireCase {
  const char* name;
  const char* hex;
  const char* encoded_again;  // what the decoded value encodes to
};

void PrintTo(const WireCase& each, std::ostream* out) {
  *out << each.name;
}

class AcceptedMessageTest : public testing::TestWithParam<WireCase> {};

TEST_P(AcceptedMessageTest, DecodesAndEncodesAsThePlatformDoes) {
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlValue) value = decode_value(from_hex(GetParam().hex), &error);
  ASSERT_NE(value, nullptr) << error->message;
  EXPECT_EQ(to_hex(encode_value(value)),
            to_hex(from_hex(GetParam().encoded_again)));
}

INSTANTIATE_TEST_SUITE_P(
    Values,
    AcceptedMessageTest,
    testing::Values(
        // An application sends no bytes at all for a null message.
        WireCase{"EmptyMessageIsNull", "", "00"},
        // A string is C text: it ends at its first U+0000.
        WireCase{"StringHoldingNul", "07 03 61 00 62", "07 01 61"},
        // A map never holds two equal keys: the last value wins, in the
        // first one's place.
        WireCase{"MapWithEqualKeys",
                 "0d 03  07 01 61 03 01 00 00 00  07 01 62 00"
                 "  07 01 61 03 02 00 00 00",
                 "0d 02  07 01 61 03 02 00 00 00  07 01 62 00"},
        WireCase{"MapWithZeroAndNegativeZeroKeys",
                 "0d 02 06 00 00 00 00 00  00 00 00 00 00 00 00 00  01"
                 "  06 00 00 00 00 00 00  00 00 00 00 00 00 00 80  02",
                 "0d 01 06 00 00 00 00 00  00 00 00 00 00 00 00 80  02"}),
    [](const auto& info) { return info.param.name; });

TEST(AcceptedMessage, AStringHoldingNulReadsUpToTheNul) {
  g_autoptr(FlValue) value = decode_value(from_hex("07 03 61 00 62"));
  ASSERT_NE(value, nullptr);
  EXPECT_STREQ(fl_value_get_string(value), "a");
}

// ---- Floats compare as C's == does ----

struct FloatCase {
  const char* name;
  double a;
  double b;
  bool equal;
};

void PrintTo(const FloatCase& each, std::ostream* out) {
  *out << each.name;
}

class FloatEqualityTest : public testing::TestWithParam<FloatCase> {};

TEST_P(FloatEqualityTest, HoldsForFloatsAndForEachKindOfFloatList) {
  const FloatCase& each = GetParam();
  g_autoptr(FlValue) a = fl_value_new_float(each.a);
  g_autoptr(FlValue) b = fl_value_new_float(each.b);
  EXPECT_EQ(fl_value_equal(a, b), each.equal);

  const double a64[] = {1.0, each.a};
  const double b64[] = {1.0, each.b};
  g_autoptr(FlValue) list_a = fl_value_new_float_list(a64, 2);
  g_autoptr(FlValue) list_b = fl_value_new_float_list(b64, 2);
  EXPECT_EQ(fl_value_equal(list_a, list_b), each.equal);

  const float a32[] = {static_cast<float>(each.a)};
  const float b32[] = {static_cast<float>(each.b)};
  g_autoptr(FlValue) list32_a = fl_value_new_float32_list(a32, 1);
  g_autoptr(FlValue) list32_b = fl_value_new_float32_list(b32, 1);
  EXPECT_EQ(fl_value_equal(list32_a, list32_b), each.equal);
}

INSTANTIATE_TEST_SUITE_P(
    Ieee,
    FloatEqualityTest,
    testing::Values(FloatCase{"NanIsNotEqualToNan", NAN, NAN, false},
                    FloatCase{"ZeroEqualsNegativeZero", 0.0, -0.0, true},
                    FloatCase{"SameNumbers", 2.5, 2.5, true},
                    FloatCase{"OtherNumbers", 2.5, 2.25, false}),
    [](const auto& info) { return info.param.name; });

TEST(FloatEquality, ANanValueIsNotEqualEvenToItself) {
  g_autoptr(FlValue) nan = fl_value_new_float(NAN);
  EXPECT_FALSE(fl_value_equal(nan, nan));
}

// ---- Floats as text ----

struct FloatTextCase {
  const char* name;
  double number;
  const char* text;          // alone, and in a float list
  const char* float32_text;  // in a float32 list
};

void PrintTo(const FloatTextCase& each, std::ostream* out) {
  *out << each.name;
}

class FloatTextTest : public testing::TestWithParam<FloatTextCase> {};

TEST_P(FloatTextTest, HasSixteenDecimalsLessTheZerosAfterTheFirst) {
  const FloatTextCase& each = GetParam();
  g_autoptr(FlValue) number = fl_value_new_float(each.number);
  g_autofree gchar* alone = fl_value_to_string(number);
  EXPECT_STREQ(alone, each.text);

  const double numbers[] = {each.number, each.number};
  g_autoptr(FlValue) list = fl_value_new_float_list(numbers, 2);
  g_autofree gchar* in_list = fl_value_to_string(list);
  EXPECT_EQ(std::string(in_list),
            std::string("[") + each.text + ", " + each.text + "]");

  const float number32 = static_cast<float>(each.number);
  g_autoptr(FlValue) list32 = fl_value_new_float32_list(&number32, 1);
  g_autofree gchar* in_list32 = fl_value_to_string(list32);
  EXPECT_EQ(std::string(in_list32), std::string("[") + each.float32_text + "]");
}

INSTANTIATE_TEST_SUITE_P(
    Text,
    FloatTextTest,
    testing::Values(
        FloatTextCase{"Zero", 0.0, "0.0", "0.0"},
        FloatTextCase{"NegativeZero", -0.0, "-0.0", "-0.0"},
        FloatTextCase{"One", 1.0, "1.0", "1.0"},
        FloatTextCase{"OneTenth", 0.1, "0.1", "0.1000000014901161"},
        FloatTextCase{"NegativeHalf", -0.5, "-0.5", "-0.5"},
        FloatTextCase{"Pi", 3.1415926535897931, "3.1415926535897931",
                      "3.1415927410125732"},
        FloatTextCase{"BelowTheSixteenthDecimal", 1e-20, "0.0", "0.0"},
        FloatTextCase{"TwentyOneDigits", 1e20, "100000000000000000000.0",
                      "100000002004087734272.0"}),
    [](const auto& info) { return info.param.name; });

TEST(FloatText, TheLargestFloatKeepsAllItsDigits) {
  g_autoptr(FlValue) number = fl_value_new_float(-DBL_MAX);
  g_autofree gchar* text = fl_value_to_string(number);
  std::string shown = text;
  EXPECT_EQ(shown.size(), 1u + 309 + 2) << shown;
  EXPECT_EQ(shown.substr(0, 18), "-17976931348623157") << shown;
  EXPECT_EQ(shown.substr(shown.size() - 6), "8368.0") << shown;
}

// ---- What a codec gives back ----

const std::string kRefusedAsFailed =
    "refused: fl_message_codec_error_quark code 0: ";
const std::string kRefusedForNoReason =
    kRefusedAsFailed + "the codec gave no reason for its failure";
const char kSilentCritical[] = "*the codec failed without setting an error*";

// What came back, in one line: what was made, or why nothing was.
std::string outcome(GBytes* bytes, const GError* error) {
  return bytes != nullptr ? "bytes " + to_hex(bytes)
                          : "refused: " + describe(error);
}

std::string encoded_message(FlMessageCodec* codec, FlValue* value) {
  g_autoptr(GError) error = nullptr;
  g_autoptr(GBytes) bytes =
      fl_message_codec_encode_message(codec, value, &error);
  return outcome(bytes, error);
}

std::string decoded_message(FlMessageCodec* codec, const char* hex) {
  g_autoptr(GBytes) message = test_support::to_bytes(from_hex(hex));
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlValue) value =
      fl_message_codec_decode_message(codec, message, &error);
  return value != nullptr ? describe(value) : "refused: " + describe(error);
}

std::string decoded_call(FlMethodCodec* codec, const char* hex) {
  g_autoptr(GBytes) message = test_support::to_bytes(from_hex(hex));
  g_autofree gchar* name = nullptr;
  g_autoptr(FlValue) args = nullptr;
  g_autoptr(GError) error = nullptr;
  if (!embedding_host_decode_method_call(codec, message, &name, &args,
                                         &error)) {
    return "refused: " + describe(error);
  }
  return std::string("call ") + name + " " + describe(args);
}

// Takes @response.
std::string encoded_response(FlMethodCodec* codec, gpointer response) {
  g_autoptr(FlMethodResponse) owned = FL_METHOD_RESPONSE(response);
  g_autoptr(GError) error = nullptr;
  g_autoptr(GBytes) bytes =
      embedding_host_encode_response(codec, owned, &error);
  return outcome(bytes, error);
}

std::string decoded_response(FlMethodCodec* codec, const char* hex) {
  g_autoptr(GBytes) message = test_support::to_bytes(from_hex(hex));
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlMethodResponse) response =
      embedding_host_decode_response(codec, message, &error);
  return response != nullptr ? describe(response)
                             : "refused: " + describe(error);
}

// Through a channel that writes and reads values with @codec, on a host of
// its own: the call @call_hex arrives, @answer answers it, and this
// is what the application got back.
std::string answered_through(FlMethodCodec* codec,
                             const char* call_hex,
                             std::function<void(FlMethodCall*)> answer) {
  Host host;
  g_autoptr(FlMethodChannel) channel =
      fl_method_channel_new(host.binary_messenger(), "c", codec);
  fl_method_channel_set_method_call_handler(
      channel,
      [](FlMethodChannel*, FlMethodCall* call, gpointer user_data) {
        (*static_cast<std::function<void(FlMethodCall*)>*>(user_data))(call);
      },
      &answer, nullptr);
  g_autoptr(GBytes) call = test_support::to_bytes(from_hex(call_hex));
  g_autoptr(GError) error = nullptr;
  g_autoptr(GBytes) reply = embedding_host_messenger_send(
      host.messenger(), "c", call, nullptr, &error);
  return reply != nullptr ? "reply " + to_hex(reply)
                          : "no reply: " + describe(error);
}

// Through a channel that writes and reads values with @codec: the plugin
// calls "m" with @args on the application, which answers with @answer (a
// new response). Says what the plugin's callback got, and how often it ran.
std::string invoked_through(FlMethodCodec* codec,
                            FlValue* args,
                            FlMethodResponse* answer) {
  struct Invocation {
    int callbacks = 0;
    std::string got;
  } invocation;
  Host host;
  embedding_host_set_method_call_handler(
      host.host(), "c",
      [](EmbeddingHost*, const gchar*, const gchar*, FlValue*,
         gpointer user_data) -> FlMethodResponse* {
        return FL_METHOD_RESPONSE(g_object_ref(user_data));
      },
      answer, g_object_unref);
  g_autoptr(FlMethodChannel) channel =
      fl_method_channel_new(host.binary_messenger(), "c", codec);
  fl_method_channel_invoke_method(
      channel, "m", args, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer user_data) {
        auto* invocation = static_cast<Invocation*>(user_data);
        g_autoptr(GError) error = nullptr;
        g_autoptr(FlMethodResponse) response =
            fl_method_channel_invoke_method_finish(FL_METHOD_CHANNEL(source),
                                                   result, &error);
        invocation->callbacks++;
        invocation->got = response != nullptr ? describe(response)
                                              : "refused: " + describe(error);
      },
      &invocation);
  while (invocation.callbacks == 0) {
    g_main_context_iteration(nullptr, TRUE);
  }
  // Nothing more is on its way: a second callback would run now.
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  return invocation.got +
         " (callbacks: " + std::to_string(invocation.callbacks) + ")";
}

struct Codecs {
  FlMethodCodec* standard;
  FlMessageCodec* silent;
  FlMethodCodec* silent_method;  // writes and reads values with silent
  FlValue* truth;                // what silent cannot write
};

struct CodecCase {
  const char* name;
  std::function<std::string(const Codecs&)> outcome;
  std::string expected;
  const char* critical;  // a pattern, or nullptr for none
  // Whose critical: the platform's, or the application side's.
  const char* critical_domain = "flutter";
};

void PrintTo(const CodecCase& each, std::ostream* out) {
  *out << each.name;
}

class CodecTest : public testing::TestWithParam<CodecCase> {
 protected:
  CodecTest() {
    codecs_.standard = FL_METHOD_CODEC(fl_standard_method_codec_new());
    codecs_.silent =
        FL_MESSAGE_CODEC(g_object_new(test_silent_codec_get_type(), nullptr));
    codecs_.silent_method =
        FL_METHOD_CODEC(fl_standard_method_codec_new_with_message_codec(
            FL_STANDARD_MESSAGE_CODEC(codecs_.silent)));
    codecs_.truth = fl_value_new_bool(true);
  }
  ~CodecTest() override {
    fl_value_unref(codecs_.truth);
    g_object_unref(codecs_.silent_method);
    g_object_unref(codecs_.silent);
    g_object_unref(codecs_.standard);
  }

  Codecs codecs_;
};

TEST_P(CodecTest, GivesBackWhatThePlatformGives) {
  if (GetParam().critical != nullptr) {
    g_test_expect_message(GetParam().critical_domain, G_LOG_LEVEL_CRITICAL,
                          GetParam().critical);
  }
  std::string got = GetParam().outcome(codecs_);
  g_test_assert_expected_messages();
  EXPECT_EQ(got, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Messages,
    CodecTest,
    testing::Values(
        CodecCase{
            "ASuccessWithoutAResultHoldsNoValue",
            [](const Codecs& codecs) {
              g_autoptr(FlMethodResponse) response =
                  FL_METHOD_RESPONSE(fl_method_success_response_new(nullptr));
              g_autoptr(GError) error = nullptr;
              FlValue* result = fl_method_response_get_result(response, &error);
              return describe(response) + ", result " + describe(result) +
                     ", error " + describe(error) + ", " +
                     encoded_response(codecs.standard, g_object_ref(response));
            },
            "success: none, result none, error none, bytes 00 00", nullptr},
        // The message codec refuses left-over bytes as additional data, the
        // method codec as a failure of its own.
        CodecCase{
            "ExtraDataAfterACall",
            [](const Codecs& codecs) {
              return decoded_call(codecs.standard, "07 01 6d 00 00");
            },
            kRefusedAsFailed + "Unexpected extra data: 1 bytes at offset 4",
            nullptr},
        CodecCase{
            "ExtraDataAfterASuccess",
            [](const Codecs& codecs) {
              return decoded_response(codecs.standard, "00 00 00");
            },
            kRefusedAsFailed + "Unexpected extra data: 1 bytes at offset 2",
            nullptr},
        CodecCase{
            "ExtraDataAfterAnError",
            [](const Codecs& codecs) {
              return decoded_response(codecs.standard,
                                      "01 07 01 45 00 00 07 01 73");
            },
            kRefusedAsFailed + "Unexpected extra data: 3 bytes at offset 6",
            nullptr},
        // The empty reply means "not implemented" to whoever reads replies
        // (the channel, the application's side), not to the codec.
        CodecCase{"AnEmptyReplyIsNotTheCodecsToRead",
                  [](const Codecs& codecs) {
                    g_autoptr(GBytes) empty = g_bytes_new(nullptr, 0);
                    g_autoptr(GError) error = nullptr;
                    g_autoptr(FlMethodResponse) response =
                        FL_METHOD_CODEC_GET_CLASS(codecs.standard)
                            ->decode_response(codecs.standard, empty, &error);
                    return describe(response) + ", " + describe(error);
                  },
                  "none, fl_message_codec_error_quark code 1: message ends "
                  "early: 1 bytes needed at offset 0, 0 left",
                  nullptr},
        // A codec that fails without saying why is a programming error; a
        // caller still gets an error to act on.
        CodecCase{"SilentEncodeMessage",
                  [](const Codecs& codecs) {
                    return encoded_message(codecs.silent, codecs.truth);
                  },
                  kRefusedForNoReason, kSilentCritical},
        CodecCase{"SilentDecodeMessage",
                  [](const Codecs& codecs) {
                    return decoded_message(codecs.silent, "01");
                  },
                  kRefusedForNoReason, kSilentCritical},
        // Through a channel: the plugin is told, the call stays open to be
        // answered otherwise, and a callback runs once.
        CodecCase{"SilentEncodeSuccess",
                  [](const Codecs& codecs) {
                    return answered_through(
                        codecs.silent_method, "07 01 6d 00",
                        [&codecs](FlMethodCall* call) {
                          g_autoptr(GError) error = nullptr;
                          EXPECT_FALSE(fl_method_call_respond_success(
                              call, codecs.truth, &error));
                          EXPECT_EQ("refused: " + describe(error),
                                    kRefusedForNoReason);
                          fl_method_call_respond_not_implemented(call, nullptr);
                        });
                  },
                  "reply ", kSilentCritical},
        CodecCase{"SilentEncodeError",
                  [](const Codecs& codecs) {
                    return answered_through(
                        codecs.silent_method, "07 01 6d 00",
                        [&codecs](FlMethodCall* call) {
                          g_autoptr(GError) error = nullptr;
                          EXPECT_FALSE(fl_method_call_respond_error(
                              call, "E", nullptr, codecs.truth, &error));
                          EXPECT_EQ("refused: " + describe(error),
                                    kRefusedForNoReason);
                          fl_method_call_respond_success(call, nullptr,
                                                         nullptr);
                        });
                  },
                  "reply 00 00", kSilentCritical},
        CodecCase{"SilentDecodeMethodCall",
                  [](const Codecs& codecs) {
                    g_test_expect_message("flutter", G_LOG_LEVEL_WARNING,
                                          "*Failed to decode method call*");
                    g_test_expect_message("embedding-host",
                                          G_LOG_LEVEL_CRITICAL,
                                          "*released without a response*");
                    return answered_through(
                        codecs.silent_method, "07 01 6d 01",
                        [](FlMethodCall*) { ADD_FAILURE() << "delivered"; });
                  },
                  "no reply: embedding_host_error_quark code 1: the message "
                  "on channel \"c\" was released without a response",
                  kSilentCritical},
        CodecCase{"SilentEncodeMethodCall",
                  [](const Codecs& codecs) {
                    return invoked_through(
                        codecs.silent_method, codecs.truth,
                        FL_METHOD_RESPONSE(
                            fl_method_not_implemented_response_new()));
                  },
                  kRefusedForNoReason + " (callbacks: 1)", kSilentCritical},
        CodecCase{"SilentDecodeResponse",
                  [](const Codecs& codecs) {
                    return invoked_through(
                        codecs.silent_method, nullptr,
                        FL_METHOD_RESPONSE(fl_method_error_response_new(
                            "E", nullptr, codecs.truth)));
                  },
                  kRefusedForNoReason + " (callbacks: 1)", kSilentCritical},
        // A call on a channel whose handler was set to NULL is released
        // unanswered; the NULL handler's data goes as any handler's does.
        CodecCase{"ACallOnAChannelWhoseHandlerIsNull",
                  [](const Codecs& codecs) {
                    int destroyed = 0;
                    std::string got;
                    {
                      Host host;
                      g_autoptr(FlMethodChannel) channel =
                          fl_method_channel_new(host.binary_messenger(), "c",
                                                codecs.standard);
                      fl_method_channel_set_method_call_handler(
                          channel, nullptr, &destroyed,
                          [](gpointer data) { (*static_cast<int*>(data))++; });
                      g_autoptr(GBytes) call =
                          test_support::to_bytes(from_hex("07 01 6d 00"));
                      g_autoptr(GError) error = nullptr;
                      g_autoptr(GBytes) reply = embedding_host_messenger_send(
                          host.messenger(), "c", call, nullptr, &error);
                      got = outcome(reply, error) +
                            ", data released: " + std::to_string(destroyed);
                    }
                    return got + " then " + std::to_string(destroyed);
                  },
                  "refused: embedding_host_error_quark code 1: the message on "
                  "channel \"c\" was released without a response, data "
                  "released: 0 then 1",
                  "*released without a response*", "embedding-host"},
        // A handler that replaces itself sees its data released at once,
        // before it returns: touching it afterwards is the plugin's mistake.
        CodecCase{
            "AHandlerReplacedWhileItRuns",
            [](const Codecs& codecs) {
              struct Replaced {
                FlMethodChannel* channel;
                int destroyed = 0;
                int destroyed_before_return = -1;
              } replaced;
              Host host;
              g_autoptr(FlMethodChannel) channel = fl_method_channel_new(
                  host.binary_messenger(), "c", codecs.standard);
              replaced.channel = channel;
              fl_method_channel_set_method_call_handler(
                  channel,
                  [](FlMethodChannel*, FlMethodCall* call, gpointer data) {
                    auto* replaced = static_cast<Replaced*>(data);
                    fl_method_channel_set_method_call_handler(
                        replaced->channel, nullptr, nullptr, nullptr);
                    replaced->destroyed_before_return = replaced->destroyed;
                    fl_method_call_respond_not_implemented(call, nullptr);
                  },
                  &replaced,
                  [](gpointer data) {
                    static_cast<Replaced*>(data)->destroyed++;
                  });
              g_autoptr(GBytes) call =
                  test_support::to_bytes(from_hex("07 01 6d 00"));
              g_autoptr(GBytes) reply = embedding_host_messenger_send(
                  host.messenger(), "c", call, nullptr, nullptr);
              return outcome(reply, nullptr) + ", released before return: " +
                     std::to_string(replaced.destroyed_before_return);
            },
            "bytes , released before return: 1", nullptr}),
    [](const auto& info) { return info.param.name; });

// ---- Programming errors are criticals ----

struct MisuseCase {
  const char* name;
  std::function<void(FlValue* string, FlValue* map)> misuse;
  const char* critical;  // a pattern for the message
};

void PrintTo(const MisuseCase& each, std::ostream* out) {
  *out << each.name;
}

class ValueMisuseTest : public testing::TestWithParam<MisuseCase> {};

TEST_P(ValueMisuseTest, LogsACritical) {
  g_autoptr(FlValue) string = fl_value_new_string("text");
  g_autoptr(FlValue) map = fl_value_new_map();
  g_test_expect_message("flutter", G_LOG_LEVEL_CRITICAL, GetParam().critical);
  GetParam().misuse(string, map);
  g_test_assert_expected_messages();
}

INSTANTIATE_TEST_SUITE_P(
    Getters,
    ValueMisuseTest,
    testing::Values(MisuseCase{"LengthOfAString",
                               [](FlValue* string, FlValue*) {
                                 EXPECT_EQ(fl_value_get_length(string), 0u);
                               },
                               "*fl_value_get_length*"},
                    MisuseCase{"IntOfAString",
                               [](FlValue* string, FlValue*) {
                                 EXPECT_EQ(fl_value_get_int(string), 0);
                               },
                               "*fl_value_get_int*"},
                    MisuseCase{"StringOfAMap",
                               [](FlValue*, FlValue* map) {
                                 EXPECT_EQ(fl_value_get_string(map), nullptr);
                               },
                               "*fl_value_get_string*"},
                    MisuseCase{"AppendToAMap",
                               [](FlValue* string, FlValue* map) {
                                 fl_value_append(map, string);
                               },
                               "*fl_value_append*"},
                    MisuseCase{"LookUpInAString",
                               [](FlValue* string, FlValue*) {
                                 EXPECT_EQ(fl_value_lookup_string(string, "k"),
                                           nullptr);
                               },
                               "*fl_value_lookup_string*"}),
    [](const auto& info) { return info.param.name; });

// ---- How a call may be answered, and how not ----

// What the application got: the reply's bytes, or the error instead.
std::string describe_reply(GBytes* reply, GError* error) {
  if (reply == nullptr) {
    return std::string("no reply: ") + g_quark_to_string(error->domain) + ": " +
           error->message;
  }
  return "reply: " + to_hex(reply);
}

FlValue* nested_lists(int depth) {
  FlValue* value = fl_value_new_null();
  for (int i = 0; i < depth; i++) {
    FlValue* list = fl_value_new_list();
    fl_value_append_take(list, value);
    value = list;
  }
  return value;
}

struct AnswerCase {
  const char* name;
  std::function<void(FlMethodCall*)> answer;
  std::string reply;
  const char* critical;  // a pattern, or nullptr for none
  // Whose critical: the platform's, or the application side's.
  const char* critical_domain = "flutter";
};

void PrintTo(const AnswerCase& each, std::ostream* out) {
  *out << each.name;
}

class AnswerTest : public testing::TestWithParam<AnswerCase> {
 protected:
  static void answer_cb(FlMethodChannel* channel,
                        FlMethodCall* method_call,
                        gpointer user_data) {
    static_cast<const AnswerCase*>(user_data)->answer(method_call);
  }

  Host host_;
};

TEST_P(AnswerTest, GivesTheApplicationWhatThePlatformGives) {
  g_autoptr(FlStandardMethodCodec) codec = fl_standard_method_codec_new();
  g_autoptr(FlMethodChannel) channel = fl_method_channel_new(
      host_.binary_messenger(), "c", FL_METHOD_CODEC(codec));
  fl_method_channel_set_method_call_handler(
      channel, answer_cb, const_cast<AnswerCase*>(&GetParam()), nullptr);
  if (GetParam().critical != nullptr) {
    g_test_expect_message(GetParam().critical_domain, G_LOG_LEVEL_CRITICAL,
                          GetParam().critical);
  }
  g_autoptr(GBytes) call =
      test_support::to_bytes(test_support::encode_method_call("m"));
  g_autoptr(GError) error = nullptr;
  g_autoptr(GBytes) reply = embedding_host_messenger_send(
      host_.messenger(), "c", call, nullptr, &error);
  g_test_assert_expected_messages();
  EXPECT_EQ(describe_reply(reply, error), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    Calls,
    AnswerTest,
    testing::Values(
        AnswerCase{"AnsweredTwice",
                   [](FlMethodCall* call) {
                     EXPECT_TRUE(fl_method_call_respond_success(call, nullptr,
                                                                nullptr));
                     // A critical as well: it is a mistake either way.
                     g_autoptr(GError) error = nullptr;
                     EXPECT_FALSE(
                         fl_method_call_respond_not_implemented(call, &error));
                     EXPECT_PRED_FORMAT3(
                         error_matches, error, FL_BINARY_MESSENGER_ERROR,
                         FL_BINARY_MESSENGER_ERROR_ALREADY_RESPONDED);
                   },
                   "reply: 00 00", "*already been answered*"},
        // Where the platform would crash on the missing GError.
        AnswerCase{"AnsweredTwiceWithoutAGError",
                   [](FlMethodCall* call) {
                     fl_method_call_respond_success(call, nullptr, nullptr);
                     EXPECT_FALSE(
                         fl_method_call_respond_not_implemented(call, nullptr));
                   },
                   "reply: 00 00", "*already been answered*"},
        AnswerCase{"ReleasedUnanswered", [](FlMethodCall*) {},
                   "no reply: embedding_host_error_quark: the message on "
                   "channel \"c\" was released without a response",
                   "*released without a response*", "embedding-host"},
        // What the encoder writes, its decoder must read: the call stays
        // open and is answered otherwise.
        AnswerCase{
            "AStringThatIsNotUtf8IsRefused",
            [](FlMethodCall* call) {
              g_autoptr(FlValue) text = fl_value_new_string_sized("\xff", 1);
              EXPECT_FALSE(fl_method_call_respond_success(call, text, nullptr));
              fl_method_call_respond_not_implemented(call, nullptr);
            },
            "reply: ", "*not valid UTF-8*"},
        AnswerCase{
            "NestingPastTheLimitIsRefused",
            [](FlMethodCall* call) {
              g_autoptr(FlValue) deep = nested_lists(513);
              g_autoptr(GError) error = nullptr;
              EXPECT_FALSE(fl_method_call_respond_success(call, deep, &error));
              EXPECT_PRED_FORMAT3(error_matches, error, FL_MESSAGE_CODEC_ERROR,
                                  FL_MESSAGE_CODEC_ERROR_FAILED);
              g_autoptr(FlValue) limit = nested_lists(512);
              EXPECT_TRUE(fl_method_call_respond_success(call, limit, nullptr));
            },
            "reply: 00" +
                [] {
                  std::string lists;
                  for (int i = 0; i < 512; i++) {
                    lists += " 0c 01";
                  }
                  return lists;
                }() +
                " 00",
            nullptr},
        AnswerCase{"AnErrorWithItsDetails",
                   [](FlMethodCall* call) {
                     g_autoptr(FlValue) details = fl_value_new_bool(true);
                     EXPECT_TRUE(fl_method_call_respond_error(
                         call, "E", "m", details, nullptr));
                   },
                   "reply: 01 07 01 45 07 01 6d 01", nullptr}),
    [](const auto& info) { return info.param.name; });

}  // namespace
