// Random values survive encoding and decoding unchanged, and every value's
// encoding cut short anywhere is refused rather than over-read.

#include <gtest/gtest.h>

#include "random_values.h"
#include "test_support.h"

namespace {

using test_support::Bytes;
using test_support::decode_method_call;
using test_support::decode_response;
using test_support::decode_value;
using test_support::encode_method_call;
using test_support::encode_response;
using test_support::encode_value;
using test_support::RandomValues;
using test_support::to_hex;

constexpr uint64_t kSeed = 20261208;

TEST(RoundTrip, RandomValuesDecodeToEqualValuesAndTheSameBytes) {
  RandomValues values(kSeed);
  for (int i = 0; i < 5000; i++) {
    g_autoptr(FlValue) value = values.next();
    Bytes encoded = encode_value(value);
    g_autoptr(GError) error = nullptr;
    g_autoptr(FlValue) decoded = decode_value(encoded, &error);
    ASSERT_NE(decoded, nullptr)
        << "case " << i << ": " << error->message << "\n"
        << to_hex(encoded);
    ASSERT_PRED_FORMAT2(test_support::values_equal, decoded, value)
        << "case " << i;
    Bytes encoded_again = encode_value(decoded);
    ASSERT_EQ(encoded_again, encoded)
        << "case " << i << ": " << test_support::describe(value);
  }
}

TEST(RoundTrip, RandomMethodCallsKeepNameAndArguments) {
  RandomValues values(kSeed + 1);
  for (int i = 0; i < 2000; i++) {
    g_autoptr(FlValue) args = values.next();
    g_autofree gchar* name = g_strdup_printf("method-%d-é", i);
    Bytes encoded = encode_method_call(name, args);
    g_autofree gchar* decoded_name = nullptr;
    g_autoptr(FlValue) decoded_args = nullptr;
    g_autoptr(GError) error = nullptr;
    ASSERT_TRUE(
        decode_method_call(encoded, &decoded_name, &decoded_args, &error))
        << "case " << i << ": " << error->message;
    EXPECT_STREQ(decoded_name, name) << "case " << i;
    ASSERT_PRED_FORMAT2(test_support::values_equal, decoded_args, args)
        << "case " << i;
  }
}

TEST(RoundTrip, RandomRepliesOfEachKind) {
  RandomValues values(kSeed + 2);
  for (int i = 0; i < 2000; i++) {
    g_autoptr(FlValue) value = values.next();
    g_autoptr(FlMethodResponse) response = nullptr;
    switch (i % 3) {
      case 0:
        response = FL_METHOD_RESPONSE(fl_method_success_response_new(value));
        break;
      case 1:
        response = FL_METHOD_RESPONSE(fl_method_error_response_new(
            "CODE", i % 2 ? "message" : nullptr, value));
        break;
      default:
        response = FL_METHOD_RESPONSE(fl_method_not_implemented_response_new());
    }
    Bytes encoded = encode_response(response);
    g_autoptr(GError) error = nullptr;
    g_autoptr(FlMethodResponse) decoded = decode_response(encoded, &error);
    ASSERT_NE(decoded, nullptr) << error->message;
    ASSERT_EQ(G_OBJECT_TYPE(decoded), G_OBJECT_TYPE(response));
    Bytes encoded_again = encode_response(decoded);
    // A null error detail decodes as no detail, which encodes the same way.
    ASSERT_EQ(encoded_again, encoded);
  }
}

// Each prefix is copied into a buffer of exactly its size, so that a read
// past the end is caught by AddressSanitizer as well as by the result. The
// empty prefix is left out: it is the null message.
TEST(RoundTrip, EveryTruncatedEncodingIsRefused) {
  RandomValues values(kSeed + 3, 2);
  for (int i = 0; i < 300; i++) {
    g_autoptr(FlValue) value = values.next();
    Bytes encoded = encode_value(value);
    for (size_t cut = 1; cut < encoded.size(); cut++) {
      Bytes prefix(encoded.begin(), encoded.begin() + cut);
      prefix.shrink_to_fit();
      g_autoptr(GError) error = nullptr;
      g_autoptr(FlValue) decoded = decode_value(prefix, &error);
      ASSERT_EQ(decoded, nullptr) << to_hex(prefix);
      ASSERT_EQ(error->domain, FL_MESSAGE_CODEC_ERROR);
    }
  }
}

}  // namespace
