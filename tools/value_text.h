#ifndef TOOLS_VALUE_TEXT_H_
#define TOOLS_VALUE_TEXT_H_

// A text syntax for one FlValue of any type, for typing values on a command
// line and printing them back. It is JSON with a few tagged forms and words
// for what JSON cannot say:
//
//   null  true  false  42  -1.5e3  "text\n\u00e9"  [1, "a"]  {"key": 1}
//   NaN  Infinity  -Infinity
//   uint8[1, 255]  int32[-1, 2]  int64[...]  float32[0.5]  float64[1, 2.5]
//   map{1: "one", null: [true], uint8[]: {}}   (keys of any type)
//
// Whole numbers are ints (64-bit), numbers with a fraction or an exponent
// are floats. A string holds no U+0000: a string value ends at its first.

#include <flutter_linux/flutter_linux.h>

#include <cstddef>
#include <string>
#include <string_view>

// Lists and maps nested deeper than this are refused, as the standard
// encoding's decoder refuses them.
constexpr int kValueTextMaxNesting = 512;

// Why a text is not a value.
struct ValueTextError {
  // Bytes from the start of the text to where the offending token starts.
  size_t offset = 0;
  // What was expected there, e.g. "expected ',' or ']' after a list element".
  std::string message;
};

/**
 * value_from_text:
 * @text: one value, with optional whitespace around it; UTF-8.
 * @error: (nullable): filled in when @text is not a value.
 *
 * Reads the value that @text writes down.
 *
 * Returns: (transfer full) (nullable): the new value, or %NULL if @text is
 * malformed.
 */
FlValue* value_from_text(std::string_view text, ValueTextError* error);

/**
 * value_to_text:
 * @value: (nullable): the value to write; %NULL writes null.
 *
 * Writes @value on one line, in a form that value_from_text() reads back as
 * a value with the same encoding: strings quoted, floats with a fraction or
 * an exponent, typed lists with their tags, maps whose keys are not all
 * strings as map{...}. Two things no text keeps: a NaN's sign and payload,
 * and string bytes that are not UTF-8 (each shows as U+FFFD).
 *
 * Returns: the text.
 */
std::string value_to_text(FlValue* value);

#endif  // TOOLS_VALUE_TEXT_H_
