// The text syntax of kestrune-call's ARGS: what each form reads as, where
// and why malformed text is refused, and how values print back in it.

#include "value_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <string>
#include <utility>

#include "random_values.h"
#include "test_support.h"

namespace {

FlValue* list_of(std::initializer_list<FlValue*> elements) {
  FlValue* list = fl_value_new_list();
  for (FlValue* element : elements) {
    fl_value_append_take(list, element);
  }
  return list;
}

FlValue* map_of(std::initializer_list<std::pair<FlValue*, FlValue*>> entries) {
  FlValue* map = fl_value_new_map();
  for (auto [key, value] : entries) {
    fl_value_set_take(map, key, value);
  }
  return map;
}

FlValue* text(std::string_view bytes) {
  return fl_value_new_string_sized(bytes.data(), bytes.size());
}

FlValue* nested_lists(int depth) {
  return depth == 0 ? fl_value_new_list() : list_of({nested_lists(depth - 1)});
}

struct GoodCase {
  const char* name;
  std::string text;
  std::function<FlValue*()> make;
};

void PrintTo(const GoodCase& good, std::ostream* out) {
  *out << good.name;
}

const uint8_t kBytes[] = {0, 1, 255};
const int32_t kInt32s[] = {G_MININT32, G_MAXINT32};
const int64_t kInt64s[] = {G_MININT64, G_MAXINT64};
const double kDoubles[] = {1, 2.5, -1e300};
const float kFloats[] = {0.5, -2, FLT_MAX};

const GoodCase kGoodCases[] = {
    {"Words", " null", [] { return fl_value_new_null(); }},
    {"TrueAndFalse", "[true,false]",
     [] {
       return list_of({fl_value_new_bool(true), fl_value_new_bool(false)});
     }},
    {"WholeNumberIsAnInt", "-0", [] { return fl_value_new_int(0); }},
    {"Int64Max", "9223372036854775807",
     [] { return fl_value_new_int(G_MAXINT64); }},
    {"Int64Min", "-9223372036854775808",
     [] { return fl_value_new_int(G_MININT64); }},
    {"FractionIsAFloat", "1.0", [] { return fl_value_new_float(1.0); }},
    {"ExponentIsAFloat", "-1.5E3", [] { return fl_value_new_float(-1500); }},
    {"Escapes", R"("\"\\\/\b\f\n\r\t")",
     [] { return text("\"\\/\b\f\n\r\t"); }},
    {"UnicodeEscapes", R"("\u00e9\u20AC")", [] { return text("é€"); }},
    {"SurrogatePair", R"("\ud83d\ude00")", [] { return text("😀"); }},
    {"Uint8List", "uint8[0, 1, 255]",
     [] { return fl_value_new_uint8_list(kBytes, 3); }},
    {"Int32List", "int32[-2147483648,2147483647]",
     [] { return fl_value_new_int32_list(kInt32s, 2); }},
    {"Int64List", "int64[-9223372036854775808, 9223372036854775807]",
     [] { return fl_value_new_int64_list(kInt64s, 2); }},
    {"Float64ListTakesWholeNumbers", "float64[1, 2.5, -1e300]",
     [] { return fl_value_new_float_list(kDoubles, 3); }},
    // 3.4028235e38 is the largest float32 as usually printed; as a double
    // it is a little larger, but still rounds to it.
    {"Float32List", "float32[0.5, -2, 3.4028235e38]",
     [] { return fl_value_new_float32_list(kFloats, 3); }},
    {"ObjectIsAMapWithStringKeys", "{\"a\": [], \"b\": {\"c\": null}}",
     [] {
       return map_of({{text("a"), fl_value_new_list()},
                      {text("b"), map_of({{text("c"), fl_value_new_null()}})}});
     }},
    {"TaggedMapTakesAnyKey",
     "map{1: \"one\", null: [true], uint8[]: map{}, \"1\": 2.5}",
     [] {
       return map_of({{fl_value_new_int(1), text("one")},
                      {fl_value_new_null(), list_of({fl_value_new_bool(true)})},
                      {fl_value_new_uint8_list(nullptr, 0), fl_value_new_map()},
                      {text("1"), fl_value_new_float(2.5)}});
     }},
    {"WhitespaceBetweenTokens", " \t\n\r[ 1 ,\n\"x\" ] \n",
     [] {
       return list_of({fl_value_new_int(1), text("x")});
     }},
    {"NonFiniteFloats", "[Infinity, -Infinity, float32[-Infinity]]",
     [] {
       const float infinity[] = {-INFINITY};
       return list_of({fl_value_new_float(INFINITY),
                       fl_value_new_float(-INFINITY),
                       fl_value_new_float32_list(infinity, 1)});
     }},
    {"NestedAsDeepAsTheEncodingAllows",
     std::string(512, '[') + std::string(512, ']'),
     [] { return nested_lists(511); }},
};

class GoodTextTest : public testing::TestWithParam<GoodCase> {};

TEST_P(GoodTextTest, ReadsAsTheValueItWrites) {
  ValueTextError error;
  g_autoptr(FlValue) value = value_from_text(GetParam().text, &error);
  ASSERT_NE(value, nullptr) << "at " << error.offset << ": " << error.message;
  g_autoptr(FlValue) expected = GetParam().make();
  g_autofree gchar* shown = fl_value_to_string(value);
  EXPECT_EQ(fl_value_get_type(value), fl_value_get_type(expected)) << shown;
  EXPECT_TRUE(fl_value_equal(value, expected)) << shown;
}

INSTANTIATE_TEST_SUITE_P(ValueText,
                         GoodTextTest,
                         testing::ValuesIn(kGoodCases),
                         [](const auto& info) { return info.param.name; });

std::string repeat(std::string_view part, int times) {
  std::string whole;
  for (int i = 0; i < times; i++) {
    whole += part;
  }
  return whole;
}

struct BadCase {
  const char* name;
  std::string text;
  size_t offset;
  const char* message;
};

void PrintTo(const BadCase& bad, std::ostream* out) {
  *out << bad.name;
}

const BadCase kBadCases[] = {
    {"Empty", "", 0, "expected a value"},
    {"TrailingComma", "[1,]", 3, "expected a value"},
    {"MissingComma", "[1 2]", 3, "expected ',' or ']' after a list element"},
    {"MissingEntryComma", "{\"a\": 1 \"b\": 2}", 8,
     "expected ',' or '}' after a map entry"},
    {"MissingColon", "{\"a\" 1}", 5, "expected ':' after a map key"},
    {"ObjectKeyNotAString", "{1: 2}", 1, "expected a string key"},
    {"TwoValues", "1 2", 2, "expected the end of the text"},
    {"IntTooLarge", "[9223372036854775808]", 1,
     "integer 9223372036854775808 is out of range"},
    {"FloatTooLarge", "1e309", 0, "float 1e309 is out of range"},
    {"FloatTooSmall", "1e-400", 0, "float 1e-400 is out of range"},
    {"LeadingZero", "01", 0, "malformed number '01'"},
    {"LettersStickToANumber", "[1x]", 1, "malformed number '1x'"},
    {"BareFraction", "1.", 0, "malformed number '1.'"},
    {"UnknownWord", "[true, nul]", 7, "unknown word 'nul'"},
    {"OnlyInfinityTakesAMinus", "-NaN", 0, "malformed number '-NaN'"},
    {"InfinityInAnIntList", "int64[Infinity]", 6, "is not a whole number"},
    {"SingleQuotes", "'a'", 0, "unexpected character '''"},
    {"UnclosedString", "[\"abc", 1, "expected '\"' to close the string"},
    {"RawControlCharacter", "\"a\nb\"", 2, "control character U+000A"},
    {"UnknownEscape", R"("ab\x")", 3, "expected one of"},
    {"ShortUnicodeEscape", R"("\u12")", 1, "four hex digits"},
    {"LoneHighSurrogate", R"("\uD800")", 1, "lone surrogate \\uD800"},
    {"LoneLowSurrogate", R"("\udc00\udc00")", 1, "lone surrogate \\uDC00"},
    {"HighSurrogateThenOther", R"("\ud83d\u0041")", 1, "lone surrogate"},
    // Sent, the string would end there: what follows would be lost.
    {"Nul", R"("a\u0000b")", 2, "\\u0000 would end the string there"},
    {"InvalidUtf8", "[\"a\xff\"]", 3, "not valid UTF-8"},
    {"DuplicateStringKey", "{\"a\": 1, \"a\": 2}", 9, "duplicate key"},
    {"DuplicateListKey", "map{[1]: 1, [1]: 2}", 12, "duplicate key"},
    {"Uint8TooLarge", "uint8[1, 256]", 9,
     "uint8 element 256 is not a whole number from 0 to 255"},
    {"Int32Fraction", "int32[1.5]", 6, "int32 element 1.5 is not a whole"},
    {"Int64TooLarge", "int64[9223372036854775808]", 6, "is not a whole"},
    {"Float32TooLarge", "float32[3.5e38]", 8,
     "float32 element 3.5e38 is out of range"},
    {"NotANumberInATypedList", "uint8[\"1\"]", 6, "expected a number"},
    {"TagWithoutItsBracket", "uint8{1}", 5, "expected '[' after uint8"},
    {"TooDeep", std::string(513, '[') + std::string(513, ']'), 512,
     "nested deeper than 512"},
    // Keys count as nesting too.
    {"TooDeepThroughMapKeys", repeat("map{", 513), 4 * 512,
     "nested deeper than 512"},
    {"HostileNesting", std::string(100000, '['), 512, "nested deeper than 512"},
};

class BadTextTest : public testing::TestWithParam<BadCase> {};

TEST_P(BadTextTest, IsRefusedWhereTheFaultIs) {
  ValueTextError error;
  g_autoptr(FlValue) value = value_from_text(GetParam().text, &error);
  EXPECT_EQ(value, nullptr);
  EXPECT_EQ(error.offset, GetParam().offset) << error.message;
  EXPECT_NE(error.message.find(GetParam().message), std::string::npos)
      << error.message;
}

INSTANTIATE_TEST_SUITE_P(ValueText,
                         BadTextTest,
                         testing::ValuesIn(kBadCases),
                         [](const auto& info) { return info.param.name; });

// How a value prints: the text expected, or the ARGS themselves when
// @printed is empty.
struct PrintCase {
  const char* name;
  std::string args;
  std::string printed;
};

void PrintTo(const PrintCase& print, std::ostream* out) {
  *out << print.name;
}

const PrintCase kPrintCases[] = {
    {"Null", "null", ""},
    {"Bools", "[true, false]", ""},
    {"IntsEitherSideOf32Bits",
     "[0, -1, 2147483647, 2147483648, -9223372036854775808]", ""},
    {"FloatsKeepAFractionOrAnExponent", "[1.0, 1, 0.1, 1e300, 5e-324, 2.5E-7]",
     "[1.0, 1, 0.1, 1e+300, 5e-324, 2.5e-07]"},
    {"NegativeZero", "-0.0", ""},
    {"NonFiniteFloats", "[NaN, Infinity, -Infinity]", ""},
    {"StringsThatLookLikeOtherValues",
     R"(["1", "1.0", "null", "true", "NaN", "", "int32[]"])", ""},
    {"StringEscapes", R"("\"\\\/\b\f\n\r\t \u0001\u007F\u0085 é😀")",
     R"("\"\\/\b\f\n\r\t \u0001\u007f\u0085 é😀")"},
    {"TypedLists",
     "[uint8[], uint8[0, 255], int32[-2147483648, 2147483647], "
     "int64[-9223372036854775808], float64[1, -0.0, 0.1, NaN]]",
     "[uint8[], uint8[0, 255], int32[-2147483648, 2147483647], "
     "int64[-9223372036854775808], float64[1.0, -0.0, 0.1, NaN]]"},
    // Each in the fewest digits that read back as the same float32.
    {"Float32List", "float32[0.1, 3.4028235e38, 1e-45, -0.0, -Infinity]",
     "float32[0.1, 3.4028235e+38, 1e-45, -0.0, -Infinity]"},
    {"StringKeysMakeAnObject", R"({"a": 1, "1": "1", "n": null, "s": "null"})",
     ""},
    {"OtherKeysMakeATaggedMap",
     R"(map{"a": 1, 1: "a", 1.0: null, null: [], [1]: {}, {}: uint8[1]})", ""},
    {"NestedMapsWithMixedKeys",
     R"({"outer": map{1: {"inner": map{true: -0.0}}, "k": {}}})", ""},
    {"EmptyTaggedMapIsAnObject", "map{}", "{}"},
};

class PrintedTextTest : public testing::TestWithParam<PrintCase> {};

// The property kestrune-call's output keeps: a reply printed and read back
// as ARGS encodes to the bytes the reply came in.
TEST_P(PrintedTextTest, ReadsBackAsTheSameBytes) {
  ValueTextError error;
  g_autoptr(FlValue) args = value_from_text(GetParam().args, &error);
  ASSERT_NE(args, nullptr) << "at " << error.offset << ": " << error.message;
  test_support::Bytes sent = test_support::encode_value(args);
  g_autoptr(FlValue) reply = test_support::decode_value(sent);
  ASSERT_NE(reply, nullptr);

  std::string printed = value_to_text(reply);
  EXPECT_EQ(printed,
            GetParam().printed.empty() ? GetParam().args : GetParam().printed);
  g_autoptr(FlValue) read_back = value_from_text(printed, &error);
  ASSERT_NE(read_back, nullptr)
      << printed << "\nat " << error.offset << ": " << error.message;
  EXPECT_EQ(test_support::to_hex(test_support::encode_value(read_back)),
            test_support::to_hex(sent));
}

INSTANTIATE_TEST_SUITE_P(ValueText,
                         PrintedTextTest,
                         testing::ValuesIn(kPrintCases),
                         [](const auto& info) { return info.param.name; });

TEST(PrintedText, RandomValuesReadBackAsTheSameBytes) {
  test_support::RandomValues random(20260101);
  for (int i = 0; i < 2000; i++) {
    g_autoptr(FlValue) value = random.next();
    std::string printed = value_to_text(value);
    ValueTextError error;
    g_autoptr(FlValue) read_back = value_from_text(printed, &error);
    ASSERT_NE(read_back, nullptr)
        << printed << "\nat " << error.offset << ": " << error.message;
    ASSERT_EQ(test_support::to_hex(test_support::encode_value(read_back)),
              test_support::to_hex(test_support::encode_value(value)))
        << printed;
  }
}

TEST(PrintedText, BytesThatAreNotUtf8ShowAsTheReplacementCharacter) {
  g_autoptr(FlValue) value = text("a\xff\xe2\x82");
  EXPECT_EQ(value_to_text(value), R"("a\ufffd\ufffd\ufffd")");
}

}  // namespace
