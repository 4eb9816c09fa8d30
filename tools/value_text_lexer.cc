#include "value_text_lexer.h"

#include <algorithm>
#include <cstdarg>

namespace {

bool is_word_character(char c) {
  return g_ascii_isalnum(c) || c == '_';
}

// The words JavaScript writes for the floats that JSON cannot say.
bool is_non_finite(std::string_view word) {
  return word == "NaN" || word == "Infinity" || word == "-Infinity";
}

}  // namespace

bool value_text_fail(ValueTextError* error,
                     size_t offset,
                     const char* format,
                     ...) {
  va_list args;
  va_start(args, format);
  g_autofree gchar* message = g_strdup_vprintf(format, args);
  va_end(args);
  *error = {offset, message};
  return false;
}

bool Lexer::next(Token* token) {
  pos_ = std::min(text_.find_first_not_of(" \t\n\r", pos_), text_.size());
  *token = Token();
  token->offset = pos_;
  if (pos_ == text_.size()) {
    return true;
  }
  char c = text_[pos_];
  if (std::string_view("[]{},:").find(c) != std::string_view::npos) {
    token->kind = Token::Kind::kPunctuation;
    token->text = text_.substr(pos_++, 1);
    return true;
  }
  if (c == '"') {
    return read_string(token);
  }
  if (c == '-' || g_ascii_isdigit(c)) {
    return read_number(token);
  }
  if (g_ascii_isalpha(c)) {
    size_t start = pos_;
    token->text = text_.substr(start, skip_word());
    token->non_finite = is_non_finite(token->text);
    token->kind = token->non_finite ? Token::Kind::kNumber : Token::Kind::kWord;
    return true;
  }
  return unexpected_character();
}

size_t Lexer::skip_digits() {
  size_t start = pos_;
  while (g_ascii_isdigit(peek())) {
    pos_++;
  }
  return pos_ - start;
}

size_t Lexer::skip_word() {
  size_t start = pos_;
  while (is_word_character(peek())) {
    pos_++;
  }
  return pos_ - start;
}

// JSON's number grammar: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?,
// and -Infinity.
bool Lexer::read_number(Token* token) {
  size_t start = pos_;
  if (peek() == '-') {
    pos_++;
  }
  if (g_ascii_isalpha(peek())) {
    skip_word();
    token->kind = Token::Kind::kNumber;
    token->text = text_.substr(start, pos_ - start);
    token->non_finite = token->text == "-Infinity";
    return token->non_finite ||
           value_text_fail(error_, start, "malformed number '%.*s'",
                           static_cast<int>(token->text.size()),
                           token->text.data());
  }
  size_t integer_start = pos_;
  size_t digits = skip_digits();
  bool valid = digits == 1 || (digits > 1 && text_[integer_start] != '0');
  token->whole = true;
  if (valid && peek() == '.') {
    pos_++;
    token->whole = false;
    valid = skip_digits() > 0;
  }
  if (valid && (peek() == 'e' || peek() == 'E')) {
    pos_++;
    token->whole = false;
    if (peek() == '+' || peek() == '-') {
      pos_++;
    }
    valid = skip_digits() > 0;
  }
  // What sticks to a number is part of it, so that "01", "1x" or "1.2.3" is
  // reported as one malformed number rather than as a surprise after it.
  while (is_word_character(peek()) || peek() == '.' || peek() == '+' ||
         peek() == '-') {
    pos_++;
    valid = false;
  }
  token->kind = Token::Kind::kNumber;
  token->text = text_.substr(start, pos_ - start);
  return valid || value_text_fail(error_, start, "malformed number '%.*s'",
                                  static_cast<int>(token->text.size()),
                                  token->text.data());
}

bool Lexer::read_string(Token* token) {
  size_t start = pos_++;
  while (true) {
    char c = peek();
    if (pos_ == text_.size()) {
      return value_text_fail(error_, start,
                             "expected '\"' to close the string");
    }
    if (c == '"') {
      break;
    }
    if (c == '\\') {
      if (!read_escape(&token->string)) {
        return false;
      }
      continue;
    }
    if (static_cast<unsigned char>(c) < 0x20) {
      return value_text_fail(
          error_, pos_,
          "control character U+%04X in a string; write it as an "
          "escape",
          static_cast<unsigned>(c));
    }
    token->string.push_back(c);
    pos_++;
  }
  pos_++;
  token->kind = Token::Kind::kString;
  token->text = text_.substr(start, pos_ - start);
  return true;
}

bool Lexer::read_escape(std::string* out) {
  constexpr std::string_view kEscapes = "\"\\/bfnrt";
  constexpr std::string_view kMeanings = "\"\\/\b\f\n\r\t";
  size_t escape_offset = pos_++;
  char c = peek();
  pos_ = std::min(pos_ + 1, text_.size());
  size_t index = kEscapes.find(c);
  if (index != std::string_view::npos) {
    out->push_back(kMeanings[index]);
    return true;
  }
  if (c != 'u') {
    return value_text_fail(
        error_, escape_offset,
        "expected one of \\\" \\\\ \\/ \\b \\f \\n \\r \\t \\uXXXX");
  }
  gunichar code = 0;
  if (!read_hex4(escape_offset, &code)) {
    return false;
  }
  // A character beyond U+FFFF is written as a surrogate pair; half a pair
  // is not a character and would not be valid UTF-8.
  if (code >= 0xd800 && code <= 0xdfff) {
    gunichar low = 0;
    bool paired = code <= 0xdbff && text_.substr(pos_, 2) == "\\u";
    if (paired) {
      pos_ += 2;
      if (!read_hex4(pos_ - 2, &low)) {
        return false;
      }
      paired = low >= 0xdc00 && low <= 0xdfff;
    }
    if (!paired) {
      return value_text_fail(error_, escape_offset, "lone surrogate \\u%04X",
                             code);
    }
    code = 0x10000 + ((code - 0xd800) << 10) + (low - 0xdc00);
  }
  // A string value is C text: it would end here, and what follows would not
  // be sent.
  if (code == 0) {
    return value_text_fail(error_, escape_offset,
                           "\\u0000 would end the string there: a string "
                           "value holds no U+0000");
  }
  gchar utf8[6];
  out->append(utf8, g_unichar_to_utf8(code, utf8));
  return true;
}

bool Lexer::read_hex4(size_t escape_offset, gunichar* code) {
  for (int i = 0; i < 4; i++) {
    int digit = g_ascii_xdigit_value(peek());
    if (digit < 0) {
      return value_text_fail(error_, escape_offset,
                             "expected four hex digits after \\u");
    }
    *code = *code * 16 + digit;
    pos_++;
  }
  return true;
}

bool Lexer::unexpected_character() {
  gunichar c = g_utf8_get_char(text_.data() + pos_);
  if (g_unichar_isgraph(c) && c < 0x80) {
    return value_text_fail(error_, pos_, "unexpected character '%c'",
                           static_cast<char>(c));
  }
  return value_text_fail(error_, pos_, "unexpected character U+%04X", c);
}
