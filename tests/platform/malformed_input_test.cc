// Every kind of malformed input is refused with an error that says what was
// wrong and where, for each decoder.

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

using test_support::Bytes;
using test_support::from_hex;

enum class Decoder { kValue, kMethodCall, kReply };

constexpr FlMessageCodecError kOutOfData = FL_MESSAGE_CODEC_ERROR_OUT_OF_DATA;
constexpr FlMessageCodecError kExtraData =
    FL_MESSAGE_CODEC_ERROR_ADDITIONAL_DATA;
constexpr FlMessageCodecError kUnsupported =
    FL_MESSAGE_CODEC_ERROR_UNSUPPORTED_TYPE;
constexpr FlMessageCodecError kFailed = FL_MESSAGE_CODEC_ERROR_FAILED;

struct MalformedCase {
  const char* name;
  Decoder decoder;
  std::string hex;
  FlMessageCodecError code;
  const char* message;  // the whole error message
};

void PrintTo(const MalformedCase& malformed, std::ostream* out) {
  *out << malformed.name;
}

// Runs @decoder on an exact-size copy of @bytes; returns the error.
GError* decode(Decoder decoder, const Bytes& bytes) {
  GError* error = nullptr;
  switch (decoder) {
    case Decoder::kValue: {
      g_autoptr(FlValue) value = test_support::decode_value(bytes, &error);
      EXPECT_EQ(value, nullptr);
      break;
    }
    case Decoder::kMethodCall: {
      g_autoptr(FlMethodCodec) codec =
          FL_METHOD_CODEC(fl_standard_method_codec_new());
      g_autoptr(GBytes) message = test_support::to_bytes(bytes);
      g_autofree gchar* name = nullptr;
      g_autoptr(FlValue) args = nullptr;
      EXPECT_FALSE(embedding_host_decode_method_call(codec, message, &name,
                                                     &args, &error));
      EXPECT_EQ(name, nullptr);
      EXPECT_EQ(args, nullptr);
      break;
    }
    case Decoder::kReply: {
      g_autoptr(FlMethodResponse) response =
          test_support::decode_response(bytes, &error);
      EXPECT_EQ(response, nullptr);
      break;
    }
  }
  return error;
}

std::string deep_lists(int depth) {
  std::string hex;
  for (int i = 0; i < depth; i++) {
    hex += "0c 01 ";
  }
  return hex + "00";
}

const MalformedCase kCases[] = {
    {"TruncatedInt32", Decoder::kValue, "03 01 02", kOutOfData,
     "message ends early: 4 bytes needed at offset 1, 2 left"},
    {"TruncatedInt64", Decoder::kValue, "04 01 02 03 04 05 06 07", kOutOfData,
     "message ends early: 8 bytes needed at offset 1, 7 left"},
    {"TruncatedFloatPadding", Decoder::kValue, "06 00 00", kOutOfData,
     "message ends early: 7 bytes needed at offset 1, 2 left"},
    {"TruncatedSize16", Decoder::kValue, "07 fe 01", kOutOfData,
     "message ends early: 2 bytes needed at offset 2, 1 left"},
    {"TruncatedSize32", Decoder::kValue, "08 ff 01 00", kOutOfData,
     "message ends early: 4 bytes needed at offset 2, 2 left"},
    {"UnknownTypeByte5", Decoder::kValue, "05 00", kUnsupported,
     "unknown type byte 5 at offset 0"},
    {"UnknownTypeByte15", Decoder::kValue, "0c 01 0f", kUnsupported,
     "unknown type byte 15 at offset 2"},
    {"UnknownTypeByte255", Decoder::kValue, "ff", kUnsupported,
     "unknown type byte 255 at offset 0"},
    {"StringLongerThanMessage", Decoder::kValue, "07 05 61 62", kOutOfData,
     "size 5 at offset 1 needs 5 bytes but only 2 are left"},
    {"HugeStringSize", Decoder::kValue, "07 ff ff ff ff ff 61", kOutOfData,
     "size 4294967295 at offset 1 needs 4294967295 bytes but only 1 are left"},
    {"Int32ListLongerThanMessage", Decoder::kValue, "09 02 00 00 01 00 00 00",
     kOutOfData, "size 2 at offset 1 needs 8 bytes but only 4 are left"},
    {"Float64ListLongerThanMessage", Decoder::kValue,
     "0b 01 00 00 00 00 00 00 01", kOutOfData,
     "size 1 at offset 1 needs 8 bytes but only 1 are left"},
    {"ListLongerThanMessage", Decoder::kValue, "0c 03 00 00", kOutOfData,
     "size 3 at offset 1 needs 3 bytes but only 2 are left"},
    {"MapLongerThanMessage", Decoder::kValue, "0d 02 00 00 00", kOutOfData,
     "size 2 at offset 1 needs 4 bytes but only 3 are left"},
    {"MapMissingItsLastValue", Decoder::kValue, "0d 01 07 01 61", kOutOfData,
     "message ends early: 1 bytes needed at offset 5, 0 left"},
    {"LeftOverBytes", Decoder::kValue, "00 00", kExtraData,
     "Unexpected extra data: 1 bytes at offset 1"},
    {"InvalidUtf8", Decoder::kValue, "07 02 c3 28", kFailed,
     "string at offset 0 is not valid UTF-8"},
    {"TooDeep", Decoder::kValue, deep_lists(600), kFailed,
     "lists and maps nested deeper than 512 at offset 1024"},
    {"EmptyCall", Decoder::kMethodCall, "", kOutOfData,
     "message ends early: 1 bytes needed at offset 0, 0 left"},
    {"NameNotAString", Decoder::kMethodCall, "03 00 00 00 00 00", kFailed,
     "method name at offset 0 is not a string (type byte 3)"},
    {"NameIsNull", Decoder::kMethodCall, "00 00", kFailed,
     "method name at offset 0 is not a string (type byte 0)"},
    {"CallWithoutArguments", Decoder::kMethodCall, "07 03 61 62 63", kOutOfData,
     "message ends early: 1 bytes needed at offset 5, 0 left"},
    {"NameHoldingNul", Decoder::kMethodCall, "07 03 61 00 62 00", kFailed,
     "method name at offset 0 holds U+0000"},
    {"CallNameTooLong", Decoder::kMethodCall, "07 09 61 00", kOutOfData,
     "size 9 at offset 1 needs 9 bytes but only 2 are left"},
    {"CallLeftOverBytes", Decoder::kMethodCall, "07 01 61 00 00", kFailed,
     "Unexpected extra data: 1 bytes at offset 4"},
    {"UnknownReplyKind", Decoder::kReply, "02 00", kFailed,
     "unknown reply kind 2 at offset 0"},
    {"SuccessWithoutResult", Decoder::kReply, "00", kOutOfData,
     "message ends early: 1 bytes needed at offset 1, 0 left"},
    {"SuccessLeftOverBytes", Decoder::kReply, "00 00 00", kFailed,
     "Unexpected extra data: 1 bytes at offset 2"},
    {"ErrorWithoutCode", Decoder::kReply, "01", kOutOfData,
     "message ends early: 1 bytes needed at offset 1, 0 left"},
    {"ErrorCodeNotAString", Decoder::kReply, "01 00 00 00", kFailed,
     "error code at offset 1 is not a string (type byte 0)"},
    {"ErrorMessageNotAString", Decoder::kReply, "01 07 01 45 01 00", kFailed,
     "error message at offset 4 is not a string or null (type byte 1)"},
    {"ErrorWithoutDetails", Decoder::kReply, "01 07 01 45 00", kOutOfData,
     "message ends early: 1 bytes needed at offset 5, 0 left"},
    // What the platform refuses after the details, a stack trace included.
    {"ErrorWithAStackTrace", Decoder::kReply, "01 07 01 45 00 00 07 01 73",
     kFailed, "Unexpected extra data: 3 bytes at offset 6"},
    {"ErrorLeftOverBytes", Decoder::kReply, "01 07 01 45 00 00 00 00", kFailed,
     "Unexpected extra data: 2 bytes at offset 6"},
};

class MalformedInputTest : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedInputTest, IsRefusedWithWhatAndWhere) {
  const MalformedCase& malformed = GetParam();
  g_autoptr(GError) error = decode(malformed.decoder, from_hex(malformed.hex));
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->domain, FL_MESSAGE_CODEC_ERROR);
  EXPECT_EQ(error->code, malformed.code) << error->message;
  EXPECT_STREQ(error->message, malformed.message);
}

INSTANTIATE_TEST_SUITE_P(Rules,
                         MalformedInputTest,
                         testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });

TEST(MalformedInput, NestingUpToTheLimitIsAccepted) {
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlValue) value =
      test_support::decode_value(from_hex(deep_lists(512)), &error);
  EXPECT_NE(value, nullptr) << error->message;
}

TEST(MalformedInput, NothingIsLeftAliveAfterARefusal) {
  // A map whose third entry is broken: the two complete entries and the
  // first key must be released, which the sanitizers and valgrind check.
  Bytes bytes = from_hex("0d 03 07 01 61 01 07 01 62 02 07 01 63 05");
  g_autoptr(GError) error = decode(Decoder::kValue, bytes);
  ASSERT_NE(error, nullptr);
}

TEST(MalformedInput, AHugeDeclaredSizeAllocatesNothing) {
  // Four billion int64 elements declared in a six-byte message: refused
  // before any allocation is attempted (which would abort the process).
  Bytes bytes = from_hex("0a ff ff ff ff ff 00 00");
  g_autoptr(GError) error = decode(Decoder::kValue, bytes);
  ASSERT_NE(error, nullptr);
  EXPECT_NE(strstr(error->message, "size 4294967295"), nullptr)
      << error->message;
}

}  // namespace
