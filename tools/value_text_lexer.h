#ifndef TOOLS_VALUE_TEXT_LEXER_H_
#define TOOLS_VALUE_TEXT_LEXER_H_

// The tokens of the syntax of value_text.h, and the lexer that cuts a text
// into them, resolving string escapes on the way.

#include <glib.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "value_text.h"

// Fills in @error and returns false, so that callers can return its result.
bool value_text_fail(ValueTextError* error,
                     size_t offset,
                     const char* format,
                     ...) G_GNUC_PRINTF(3, 4);

struct Token {
  enum class Kind { kEnd, kPunctuation, kString, kNumber, kWord };

  bool is(char punctuation) const {
    return kind == Kind::kPunctuation && text[0] == punctuation;
  }

  Kind kind = Kind::kEnd;
  size_t offset = 0;
  // The token as written.
  std::string_view text;
  // A string's bytes, escapes resolved.
  std::string string;
  // A number with neither a fraction nor an exponent.
  bool whole = false;
  // NaN, Infinity or -Infinity: a float that no digits can write.
  bool non_finite = false;
};

// Cuts the text into tokens, skipping JSON whitespace between them. The text
// is known to be UTF-8 without NUL bytes, so string contents are copied as
// they are and '\0' can stand for the end.
class Lexer {
 public:
  Lexer(std::string_view text, ValueTextError* error)
      : text_(text), error_(error) {}

  // Reads the next token; false once the error is filled in.
  bool next(Token* token);

 private:
  char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  size_t skip_digits();
  size_t skip_word();
  bool read_number(Token* token);
  bool read_string(Token* token);
  bool read_escape(std::string* out);
  bool read_hex4(size_t escape_offset, gunichar* code);
  bool unexpected_character();

  std::string_view text_;
  ValueTextError* error_;
  size_t pos_ = 0;
};

#endif  // TOOLS_VALUE_TEXT_LEXER_H_
