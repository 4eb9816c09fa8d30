// The standard encoding against bytes written by hand from the format: each
// value kind, the size boundaries, padding at several offsets, the int32 and
// int64 boundary, nesting, method calls and the three kinds of reply.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "point_codec.h"
#include "test_support.h"

namespace {

using test_support::Bytes;
using test_support::decode_method_call;
using test_support::decode_response;
using test_support::decode_value;
using test_support::describe;
using test_support::encode_method_call;
using test_support::encode_response;
using test_support::encode_value;
using test_support::error_matches;
using test_support::from_hex;
using test_support::to_hex;
using test_support::values_equal;

struct EncodingCase {
  const char* name;
  std::function<FlValue*()> make;
  const char* hex;
};

void PrintTo(const EncodingCase& encoding, std::ostream* out) {
  *out << encoding.name;
}

FlValue* list_of(std::initializer_list<FlValue*> children) {
  FlValue* list = fl_value_new_list();
  for (FlValue* child : children) {
    fl_value_append_take(list, child);
  }
  return list;
}

FlValue* string_of_length(size_t length) {
  return fl_value_new_string(std::string(length, 'x').c_str());
}

const EncodingCase kEncodingCases[] = {
    {"null", [] { return fl_value_new_null(); }, "00"},
    {"true", [] { return fl_value_new_bool(true); }, "01"},
    {"false", [] { return fl_value_new_bool(false); }, "02"},
    {"int_zero", [] { return fl_value_new_int(0); }, "03 00 00 00 00"},
    {"int_minus_one", [] { return fl_value_new_int(-1); }, "03 ff ff ff ff"},
    {"int32_max", [] { return fl_value_new_int(2147483647); },
     "03 ff ff ff 7f"},
    {"int32_min", [] { return fl_value_new_int(-2147483648LL); },
     "03 00 00 00 80"},
    {"int32_max_plus_one", [] { return fl_value_new_int(2147483648LL); },
     "04 00 00 00 80 00 00 00 00"},
    {"int32_min_minus_one", [] { return fl_value_new_int(-2147483649LL); },
     "04 ff ff ff 7f ff ff ff ff"},
    {"int64_min", [] { return fl_value_new_int(INT64_MIN); },
     "04 00 00 00 00 00 00 00 80"},
    {"int64_max", [] { return fl_value_new_int(INT64_MAX); },
     "04 ff ff ff ff ff ff ff 7f"},
    {"float_pads_to_eight", [] { return fl_value_new_float(1.0); },
     "06 00 00 00 00 00 00 00  00 00 00 00 00 00 f0 3f"},
    {"float_negative_zero", [] { return fl_value_new_float(-0.0); },
     "06 00 00 00 00 00 00 00  00 00 00 00 00 00 00 80"},
    {"empty_string", [] { return fl_value_new_string(""); }, "07 00"},
    {"ascii_string", [] { return fl_value_new_string("abc"); },
     "07 03 61 62 63"},
    {"utf8_string_counts_bytes", [] { return fl_value_new_string("é€"); },
     "07 05 c3 a9 e2 82 ac"},
    {"uint8_list",
     [] {
       const uint8_t bytes[] = {1, 2, 255};
       return fl_value_new_uint8_list(bytes, 3);
     },
     "08 03 01 02 ff"},
    {"empty_uint8_list", [] { return fl_value_new_uint8_list(nullptr, 0); },
     "08 00"},
    {"int32_list_pads_to_four",
     [] {
       const int32_t numbers[] = {1, -1};
       return fl_value_new_int32_list(numbers, 2);
     },
     "09 02 00 00  01 00 00 00  ff ff ff ff"},
    {"empty_int32_list_still_pads",
     [] { return fl_value_new_int32_list(nullptr, 0); }, "09 00 00 00"},
    {"int64_list_pads_to_eight",
     [] {
       const int64_t numbers[] = {1};
       return fl_value_new_int64_list(numbers, 1);
     },
     "0a 01 00 00 00 00 00 00  01 00 00 00 00 00 00 00"},
    {"float_list_pads_to_eight",
     [] {
       const double numbers[] = {0.5};
       return fl_value_new_float_list(numbers, 1);
     },
     "0b 01 00 00 00 00 00 00  00 00 00 00 00 00 e0 3f"},
    {"float32_list_pads_to_four",
     [] {
       const float numbers[] = {1.0f, -2.0f};
       return fl_value_new_float32_list(numbers, 2);
     },
     "0e 02 00 00  00 00 80 3f  00 00 00 c0"},
    {"empty_list", [] { return fl_value_new_list(); }, "0c 00"},
    {"list_of_int_and_string",
     [] {
       return list_of({fl_value_new_int(1), fl_value_new_string("a")});
     },
     "0c 02 03 01 00 00 00 07 01 61"},
    {"empty_map", [] { return fl_value_new_map(); }, "0d 00"},
    {"map_of_string_to_null",
     [] {
       FlValue* map = fl_value_new_map();
       fl_value_set_take(map, fl_value_new_string("a"), fl_value_new_null());
       return map;
     },
     "0d 01 07 01 61 00"},
    {"map_keeps_insertion_order",
     [] {
       FlValue* map = fl_value_new_map();
       fl_value_set_take(map, fl_value_new_int(2), fl_value_new_bool(true));
       fl_value_set_take(map, fl_value_new_null(), fl_value_new_int(1));
       return map;
     },
     "0d 02 03 02 00 00 00 01 00 03 01 00 00 00"},
    {"nested_lists_and_maps",
     [] {
       FlValue* inner_map = fl_value_new_map();
       fl_value_set_take(inner_map, fl_value_new_string("k"),
                         list_of({fl_value_new_bool(false)}));
       return list_of({list_of({fl_value_new_bool(true)}), inner_map});
     },
     "0c 02 0c 01 01 0d 01 07 01 6b 0c 01 02"},
    // Padding is counted from the start of the message, so a typed list's
    // padding depends on what comes before it: here a string of a chosen
    // length in front of it.
    {"int32_list_padded_by_2",
     [] {
       const int32_t numbers[] = {7};
       return list_of(
           {string_of_length(0), fl_value_new_int32_list(numbers, 1)});
     },
     "0c 02 07 00  09 01 00 00  07 00 00 00"},
    {"int32_list_padded_by_1",
     [] {
       const int32_t numbers[] = {7};
       return list_of(
           {string_of_length(1), fl_value_new_int32_list(numbers, 1)});
     },
     "0c 02 07 01 78  09 01 00  07 00 00 00"},
    {"int32_list_padded_by_0",
     [] {
       const int32_t numbers[] = {7};
       return list_of(
           {string_of_length(2), fl_value_new_int32_list(numbers, 1)});
     },
     "0c 02 07 02 78 78  09 01  07 00 00 00"},
    {"int32_list_padded_by_3",
     [] {
       const int32_t numbers[] = {7};
       return list_of(
           {string_of_length(3), fl_value_new_int32_list(numbers, 1)});
     },
     "0c 02 07 03 78 78 78  09 01 00 00 00  07 00 00 00"},
    {"float32_list_padded_by_0",
     [] {
       const float numbers[] = {1.0f};
       return list_of(
           {string_of_length(2), fl_value_new_float32_list(numbers, 1)});
     },
     "0c 02 07 02 78 78  0e 01  00 00 80 3f"},
    {"int64_list_padded_by_1",
     [] {
       const int64_t numbers[] = {-2};
       return list_of(
           {string_of_length(9), fl_value_new_int64_list(numbers, 1)});
     },
     "0c 02 07 09 78 78 78 78 78 78 78 78 78  0a 01 00"
     "  fe ff ff ff ff ff ff ff"},
    {"int64_list_padded_by_7",
     [] {
       const int64_t numbers[] = {-2};
       return list_of(
           {string_of_length(3), fl_value_new_int64_list(numbers, 1)});
     },
     "0c 02 07 03 78 78 78  0a 01 00 00 00 00 00 00 00"
     "  fe ff ff ff ff ff ff ff"},
    {"float_list_padded_by_0",
     [] {
       const double numbers[] = {1.0};
       return list_of(
           {string_of_length(2), fl_value_new_float_list(numbers, 1)});
     },
     "0c 02 07 02 78 78  0b 01  00 00 00 00 00 00 f0 3f"},
    {"float_padded_by_0",
     [] {
       return list_of({string_of_length(3), fl_value_new_float(1.0)});
     },
     "0c 02 07 03 78 78 78  06  00 00 00 00 00 00 f0 3f"},
    {"float_padded_by_7",
     [] {
       return list_of({string_of_length(4), fl_value_new_float(1.0)});
     },
     "0c 02 07 04 78 78 78 78  06 00 00 00 00 00 00 00"
     "  00 00 00 00 00 00 f0 3f"},
};

class EncodingTest : public testing::TestWithParam<EncodingCase> {};

TEST_P(EncodingTest, EncodesToTheBytesOfTheFormat) {
  g_autoptr(FlValue) value = GetParam().make();
  Bytes bytes = encode_value(value);
  EXPECT_EQ(to_hex(bytes), to_hex(from_hex(GetParam().hex)));
}

TEST_P(EncodingTest, DecodesTheBytesOfTheFormat) {
  g_autoptr(FlValue) expected = GetParam().make();
  Bytes bytes = from_hex(GetParam().hex);
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlValue) decoded = decode_value(bytes, &error);
  ASSERT_NE(decoded, nullptr) << error->message;
  EXPECT_PRED_FORMAT2(values_equal, decoded, expected);
}

INSTANTIATE_TEST_SUITE_P(ValueKinds,
                         EncodingTest,
                         testing::ValuesIn(kEncodingCases),
                         [](const auto& info) { return info.param.name; });

TEST(Encoding, DecoderAcceptsAnInt64ThatWouldFitInAnInt32) {
  Bytes bytes = from_hex("04 05 00 00 00 00 00 00 00");
  g_autoptr(FlValue) value = decode_value(bytes, nullptr);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(fl_value_get_int(value), 5);
}

TEST(Encoding, DecoderIgnoresWhatThePaddingHolds) {
  Bytes bytes = from_hex("09 01 aa bb  07 00 00 00");
  g_autoptr(FlValue) value = decode_value(bytes, nullptr);
  ASSERT_NE(value, nullptr);
  ASSERT_EQ(fl_value_get_length(value), 1u);
  EXPECT_EQ(fl_value_get_int32_list(value)[0], 7);
}

// Sizes below 254 take one byte; up to 0xffff the marker 254 and a uint16;
// above, the marker 255 and a uint32.
struct SizeCase {
  size_t length;
  const char* header_hex;
};

void PrintTo(const SizeCase& size, std::ostream* out) {
  *out << size.length;
}

class SizeBoundaryTest : public testing::TestWithParam<SizeCase> {};

TEST_P(SizeBoundaryTest, StringSizeHeader) {
  const SizeCase& size_case = GetParam();
  std::string text(size_case.length, 'q');
  g_autoptr(FlValue) value = fl_value_new_string(text.c_str());
  Bytes encoded = encode_value(value);
  Bytes header = from_hex(std::string("07 ") + size_case.header_hex);
  ASSERT_EQ(encoded.size(), header.size() + size_case.length);
  EXPECT_EQ(to_hex(Bytes(encoded.begin(), encoded.begin() + header.size())),
            to_hex(header));

  g_autoptr(FlValue) decoded = decode_value(encoded, nullptr);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(strlen(fl_value_get_string(decoded)), size_case.length);
  EXPECT_PRED_FORMAT2(values_equal, decoded, value);
}

TEST_P(SizeBoundaryTest, ListSizeHeader) {
  const SizeCase& size_case = GetParam();
  g_autoptr(FlValue) list = fl_value_new_list();
  for (size_t i = 0; i < size_case.length; i++) {
    fl_value_append_take(list, fl_value_new_null());
  }
  Bytes encoded = encode_value(list);
  Bytes header = from_hex(std::string("0c ") + size_case.header_hex);
  ASSERT_EQ(encoded.size(), header.size() + size_case.length);
  EXPECT_EQ(to_hex(Bytes(encoded.begin(), encoded.begin() + header.size())),
            to_hex(header));
  g_autoptr(FlValue) decoded = decode_value(encoded, nullptr);
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(fl_value_get_length(decoded), size_case.length);
}

INSTANTIATE_TEST_SUITE_P(Boundaries,
                         SizeBoundaryTest,
                         testing::Values(SizeCase{253, "fd"},
                                         SizeCase{254, "fe fe 00"},
                                         SizeCase{255, "fe ff 00"},
                                         SizeCase{0xffff, "fe ff ff"},
                                         SizeCase{0x10000, "ff 00 00 01 00"}),
                         [](const auto& info) {
                           return "Length" + std::to_string(info.param.length);
                         });

TEST(Encoding, SizeHeaderShiftsThePaddingOfTheElements) {
  // 254 int32 elements: type byte, 3-byte size, so the elements start at
  // offset 4 with no padding.
  std::vector<int32_t> numbers(254, 1);
  g_autoptr(FlValue) value =
      fl_value_new_int32_list(numbers.data(), numbers.size());
  Bytes encoded = encode_value(value);
  ASSERT_EQ(encoded.size(), 4u + 254 * 4);
  EXPECT_EQ(to_hex(Bytes(encoded.begin(), encoded.begin() + 8)),
            "09 fe fe 00 01 00 00 00");
}

TEST(MethodCallEncoding, NameThenArguments) {
  Bytes no_args = encode_method_call("getPlatformVersion", nullptr);
  EXPECT_EQ(to_hex(no_args),
            "07 12 67 65 74 50 6c 61 74 66 6f 72 6d 56 65 72 73 69 6f 6e 00");

  g_autoptr(FlValue) args = fl_value_new_int(-1);
  Bytes with_args = encode_method_call("m", args);
  EXPECT_EQ(to_hex(with_args), "07 01 6d 03 ff ff ff ff");
}

TEST(MethodCallEncoding, DecodesNameAndArguments) {
  Bytes bytes = from_hex("07 02 6f 6b 0c 01 01");
  g_autofree gchar* name = nullptr;
  g_autoptr(FlValue) args = nullptr;
  g_autoptr(GError) error = nullptr;
  ASSERT_TRUE(decode_method_call(bytes, &name, &args, &error));
  EXPECT_STREQ(name, "ok");
  ASSERT_EQ(fl_value_get_type(args), FL_VALUE_TYPE_LIST);
  EXPECT_TRUE(fl_value_get_bool(fl_value_get_list_value(args, 0)));
}

TEST(ReplyEncoding, SuccessIsZeroThenTheResult) {
  g_autoptr(FlValue) result = fl_value_new_string("abc");
  g_autoptr(FlMethodResponse) response =
      FL_METHOD_RESPONSE(fl_method_success_response_new(result));
  Bytes bytes = encode_response(response);
  EXPECT_EQ(to_hex(bytes), "00 07 03 61 62 63");

  g_autoptr(FlMethodResponse) null_result =
      FL_METHOD_RESPONSE(fl_method_success_response_new(nullptr));
  Bytes null_bytes = encode_response(null_result);
  EXPECT_EQ(to_hex(null_bytes), "00 00");
}

TEST(ReplyEncoding, ErrorIsOneThenCodeMessageAndDetails) {
  g_autoptr(FlValue) details = fl_value_new_bool(true);
  g_autoptr(FlMethodResponse) full =
      FL_METHOD_RESPONSE(fl_method_error_response_new("CODE", "msg", details));
  Bytes full_bytes = encode_response(full);
  EXPECT_EQ(to_hex(full_bytes), "01 07 04 43 4f 44 45 07 03 6d 73 67 01");

  g_autoptr(FlMethodResponse) bare =
      FL_METHOD_RESPONSE(fl_method_error_response_new("E", nullptr, nullptr));
  Bytes bare_bytes = encode_response(bare);
  EXPECT_EQ(to_hex(bare_bytes), "01 07 01 45 00 00");
}

TEST(ReplyEncoding, NotImplementedIsTheEmptyMessage) {
  g_autoptr(FlMethodResponse) response =
      FL_METHOD_RESPONSE(fl_method_not_implemented_response_new());
  Bytes bytes = encode_response(response);
  EXPECT_TRUE(bytes.empty());

  g_autoptr(FlMethodResponse) decoded = decode_response(Bytes(), nullptr);
  EXPECT_TRUE(FL_IS_METHOD_NOT_IMPLEMENTED_RESPONSE(decoded))
      << describe(decoded);
}

TEST(ReplyEncoding, DecodesSuccess) {
  Bytes bytes = from_hex("00 03 2a 00 00 00");
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlMethodResponse) response = decode_response(bytes, &error);
  ASSERT_TRUE(FL_IS_METHOD_SUCCESS_RESPONSE(response))
      << "response " << describe(response) << ", error " << describe(error);
  FlValue* result = fl_method_response_get_result(response, nullptr);
  EXPECT_EQ(fl_value_get_int(result), 42);
}

struct ErrorReplyCase {
  const char* name;
  const char* hex;
  const char* code;
  const char* message;  // nullptr: none
  bool has_details;
};

void PrintTo(const ErrorReplyCase& reply, std::ostream* out) {
  *out << reply.name;
}

class ErrorReplyTest : public testing::TestWithParam<ErrorReplyCase> {};

TEST_P(ErrorReplyTest, Decodes) {
  const ErrorReplyCase& reply = GetParam();
  Bytes bytes = from_hex(reply.hex);
  g_autoptr(GError) error = nullptr;
  g_autoptr(FlMethodResponse) response = decode_response(bytes, &error);
  ASSERT_TRUE(FL_IS_METHOD_ERROR_RESPONSE(response))
      << "response " << describe(response) << ", error " << describe(error);
  FlMethodErrorResponse* error_response = FL_METHOD_ERROR_RESPONSE(response);
  EXPECT_STREQ(fl_method_error_response_get_code(error_response), reply.code);
  EXPECT_STREQ(fl_method_error_response_get_message(error_response),
               reply.message);
  EXPECT_EQ(fl_method_error_response_get_details(error_response) != nullptr,
            reply.has_details);

  g_autoptr(GError) result_error = nullptr;
  EXPECT_EQ(fl_method_response_get_result(response, &result_error), nullptr);
  EXPECT_PRED_FORMAT3(error_matches, result_error, FL_METHOD_RESPONSE_ERROR,
                      FL_METHOD_RESPONSE_ERROR_REMOTE_ERROR);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds,
    ErrorReplyTest,
    testing::Values(
        ErrorReplyCase{"CodeOnly", "01 07 01 45 00 00", "E", nullptr, false},
        ErrorReplyCase{"MessageAndDetails", "01 07 01 45 07 02 68 69 0c 01 00",
                       "E", "hi", true},
        ErrorReplyCase{"NullMessageAndDetails", "01 07 02 45 32 00 00", "E2",
                       nullptr, false}),
    [](const auto& info) { return info.param.name; });

}  // namespace

namespace {

// A subclass adds a type of its own; lists and maps pass each element
// through it, and the method codec writes and reads values with it.
TEST(SubclassedCodec, ItsTypeGoesThroughListsMapsAndMethodCalls) {
  g_autoptr(TestPointCodec) points = test_point_codec_new();
  const double coordinates[] = {1.0, -2.0};
  g_autoptr(FlValue) args = fl_value_new_list();
  fl_value_append_take(args, fl_value_new_float_list(coordinates, 2));
  g_autoptr(FlValue) map = fl_value_new_map();
  fl_value_set_string_take(map, "at", fl_value_new_float_list(coordinates, 2));
  fl_value_append(args, map);

  g_autoptr(FlStandardMethodCodec) codec =
      fl_standard_method_codec_new_with_message_codec(
          FL_STANDARD_MESSAGE_CODEC(points));
  g_autoptr(GError) error = nullptr;
  g_autoptr(GBytes) call = embedding_host_encode_method_call(
      FL_METHOD_CODEC(codec), "p", args, &error);
  ASSERT_NE(call, nullptr) << error->message;
  const std::string point =
      "80 00 00 00 00 00 00 f0 3f 00 00 00 00 00 00 00 c0";
  EXPECT_EQ(to_hex(call),
            "07 01 70 0c 02 " + point + " 0d 01 07 02 61 74 " + point);

  g_autofree gchar* name = nullptr;
  g_autoptr(FlValue) decoded = nullptr;
  ASSERT_TRUE(embedding_host_decode_method_call(FL_METHOD_CODEC(codec), call,
                                                &name, &decoded, &error))
      << error->message;
  EXPECT_PRED_FORMAT2(values_equal, decoded, args);

  // The standard codec alone does not know the type.
  g_autofree gchar* plain_name = nullptr;
  g_autoptr(FlValue) plain_args = nullptr;
  EXPECT_FALSE(test_support::decode_method_call(
      test_support::to_vector(call), &plain_name, &plain_args, &error));
  EXPECT_PRED_FORMAT3(error_matches, error, FL_MESSAGE_CODEC_ERROR,
                      FL_MESSAGE_CODEC_ERROR_UNSUPPORTED_TYPE);
  EXPECT_STREQ(error->message, "unknown type byte 128 at offset 5");
}

}  // namespace
