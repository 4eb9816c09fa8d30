// The syntax of value_text.h: a recursive-descent grammar over the tokens of
// value_text_lexer.h that builds a value, stopping at the first fault, and
// the printer that writes a value back in it.

#include "value_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "value_text_lexer.h"

namespace {

// Reads the whole of @number into @value, exactly and in any locale; fails
// when it does not fit, as a float whose magnitude rounds to infinity or
// underflows to zero.
template <typename Number>
bool read_number(std::string_view number, Number* value) {
  const char* end = number.data() + number.size();
  auto [stop, error] = std::from_chars(number.data(), end, *value);
  return error == std::errc() && stop == end;
}

// The tagged typed lists. Lists of whole numbers take ints from least to
// most; lists of floats take any number that their element type holds.
struct TypedList {
  const char* name;
  FlValueType type;
  int64_t least;
  int64_t most;

  bool holds_floats() const {
    return type == FL_VALUE_TYPE_FLOAT32_LIST ||
           type == FL_VALUE_TYPE_FLOAT_LIST;
  }

  // Reads a float element, as a float32 in a float32 list.
  bool read_float(std::string_view number, double* value) const {
    if (type == FL_VALUE_TYPE_FLOAT_LIST) {
      return read_number(number, value);
    }
    float single = 0;
    bool read = read_number(number, &single);
    *value = single;
    return read;
  }
};

constexpr TypedList kTypedLists[] = {
    {"uint8", FL_VALUE_TYPE_UINT8_LIST, 0, G_MAXUINT8},
    {"int32", FL_VALUE_TYPE_INT32_LIST, G_MININT32, G_MAXINT32},
    {"int64", FL_VALUE_TYPE_INT64_LIST, G_MININT64, G_MAXINT64},
    {"float32", FL_VALUE_TYPE_FLOAT32_LIST, 0, 0},
    {"float64", FL_VALUE_TYPE_FLOAT_LIST, 0, 0},
};

FlValue* new_typed_list(FlValueType type,
                        const std::vector<int64_t>& whole,
                        const std::vector<double>& floats) {
  switch (type) {
    case FL_VALUE_TYPE_UINT8_LIST: {
      std::vector<uint8_t> elements(whole.begin(), whole.end());
      return fl_value_new_uint8_list(elements.data(), elements.size());
    }
    case FL_VALUE_TYPE_INT32_LIST: {
      std::vector<int32_t> elements(whole.begin(), whole.end());
      return fl_value_new_int32_list(elements.data(), elements.size());
    }
    case FL_VALUE_TYPE_INT64_LIST:
      return fl_value_new_int64_list(whole.data(), whole.size());
    case FL_VALUE_TYPE_FLOAT32_LIST: {
      std::vector<float> elements(floats.begin(), floats.end());
      return fl_value_new_float32_list(elements.data(), elements.size());
    }
    default:
      return fl_value_new_float_list(floats.data(), floats.size());
  }
}

// The grammar over the lexer's tokens, with one token of look-ahead. Each
// parse_* function returns a new value, or nullptr once the error is filled
// in.
class Parser {
 public:
  Parser(std::string_view text, ValueTextError* error)
      : lexer_(text, error), error_(error) {}

  FlValue* parse_text();

 private:
  // The next token, left in place; nullptr after a fault in the lexer.
  const Token* peek();
  // Moves the next token into @token.
  bool take(Token* token);
  void drop() { have_look_ahead_ = false; }
  bool expect(char punctuation, const char* after);
  bool check_depth(size_t offset, int depth);

  FlValue* parse_value(int depth);
  FlValue* parse_number(const Token& number);
  FlValue* parse_word(const Token& word, int depth);
  FlValue* parse_list(int depth);
  FlValue* parse_map(bool any_keys, int depth);
  bool parse_entry(FlValue* map, bool any_keys, int depth);
  FlValue* parse_typed_list(const TypedList& kind);
  // Reads elements separated by commas up to @close, after the opening
  // bracket. @parse_element reads one and returns false on a fault.
  template <typename ParseElement>
  bool parse_sequence(char close,
                      const char* element_name,
                      ParseElement parse_element);

  Lexer lexer_;
  ValueTextError* error_;
  Token look_ahead_;
  bool have_look_ahead_ = false;
};

FlValue* Parser::parse_text() {
  g_autoptr(FlValue) value = parse_value(0);
  const Token* token = value != nullptr ? peek() : nullptr;
  if (token == nullptr) {
    return nullptr;
  }
  if (token->kind != Token::Kind::kEnd) {
    value_text_fail(error_, token->offset,
                    "expected the end of the text after the value");
    return nullptr;
  }
  return static_cast<FlValue*>(g_steal_pointer(&value));
}

const Token* Parser::peek() {
  if (!have_look_ahead_) {
    if (!lexer_.next(&look_ahead_)) {
      return nullptr;
    }
    have_look_ahead_ = true;
  }
  return &look_ahead_;
}

bool Parser::take(Token* token) {
  if (peek() == nullptr) {
    return false;
  }
  *token = std::move(look_ahead_);
  drop();
  return true;
}

bool Parser::expect(char punctuation, const char* after) {
  const Token* token = peek();
  if (token == nullptr) {
    return false;
  }
  if (!token->is(punctuation)) {
    return value_text_fail(error_, token->offset, "expected '%c' after %s",
                           punctuation, after);
  }
  drop();
  return true;
}

// The standard encoding refuses deeper values, and the limit keeps this
// recursive parser's stack small whatever the text.
bool Parser::check_depth(size_t offset, int depth) {
  return depth < kValueTextMaxNesting ||
         value_text_fail(error_, offset, "lists and maps nested deeper than %d",
                         kValueTextMaxNesting);
}

FlValue* Parser::parse_value(int depth) {
  Token token;
  if (!take(&token)) {
    return nullptr;
  }
  switch (token.kind) {
    case Token::Kind::kString:
      return fl_value_new_string_sized(token.string.data(),
                                       token.string.size());
    case Token::Kind::kNumber:
      return parse_number(token);
    case Token::Kind::kWord:
      return parse_word(token, depth);
    case Token::Kind::kPunctuation:
      if (token.is('[') || token.is('{')) {
        if (!check_depth(token.offset, depth)) {
          return nullptr;
        }
        return token.is('[') ? parse_list(depth) : parse_map(false, depth);
      }
      break;
    case Token::Kind::kEnd:
      break;
  }
  value_text_fail(error_, token.offset, "expected a value");
  return nullptr;
}

FlValue* Parser::parse_number(const Token& number) {
  int text_size = static_cast<int>(number.text.size());
  if (number.whole) {
    int64_t value = 0;
    if (!read_number(number.text, &value)) {
      value_text_fail(error_, number.offset, "integer %.*s is out of range",
                      text_size, number.text.data());
      return nullptr;
    }
    return fl_value_new_int(value);
  }
  double value = 0;
  if (!read_number(number.text, &value)) {
    value_text_fail(error_, number.offset, "float %.*s is out of range",
                    text_size, number.text.data());
    return nullptr;
  }
  return fl_value_new_float(value);
}

FlValue* Parser::parse_word(const Token& word, int depth) {
  if (word.text == "null") {
    return fl_value_new_null();
  }
  if (word.text == "true" || word.text == "false") {
    return fl_value_new_bool(word.text == "true");
  }
  if (word.text == "map") {
    return check_depth(word.offset, depth) && expect('{', "map")
               ? parse_map(true, depth)
               : nullptr;
  }
  for (const TypedList& kind : kTypedLists) {
    if (word.text == kind.name) {
      return expect('[', kind.name) ? parse_typed_list(kind) : nullptr;
    }
  }
  value_text_fail(error_, word.offset, "unknown word '%.*s'",
                  static_cast<int>(word.text.size()), word.text.data());
  return nullptr;
}

template <typename ParseElement>
bool Parser::parse_sequence(char close,
                            const char* element_name,
                            ParseElement parse_element) {
  const Token* token = peek();
  if (token != nullptr && token->is(close)) {
    drop();
    return true;
  }
  while (token != nullptr) {
    if (!parse_element()) {
      return false;
    }
    token = peek();
    if (token == nullptr) {
      return false;
    }
    if (token->is(close)) {
      drop();
      return true;
    }
    if (!token->is(',')) {
      return value_text_fail(error_, token->offset,
                             "expected ',' or '%c' after %s", close,
                             element_name);
    }
    drop();
    token = peek();
  }
  return false;
}

FlValue* Parser::parse_list(int depth) {
  g_autoptr(FlValue) list = fl_value_new_list();
  bool parsed = parse_sequence(']', "a list element", [&] {
    FlValue* element = parse_value(depth + 1);
    if (element != nullptr) {
      fl_value_append_take(list, element);
    }
    return element != nullptr;
  });
  return parsed ? static_cast<FlValue*>(g_steal_pointer(&list)) : nullptr;
}

// A JSON object when !@any_keys, the body of map{...} otherwise.
FlValue* Parser::parse_map(bool any_keys, int depth) {
  g_autoptr(FlValue) map = fl_value_new_map();
  bool parsed = parse_sequence(
      '}', "a map entry", [&] { return parse_entry(map, any_keys, depth); });
  return parsed ? static_cast<FlValue*>(g_steal_pointer(&map)) : nullptr;
}

bool Parser::parse_entry(FlValue* map, bool any_keys, int depth) {
  const Token* token = peek();
  if (token == nullptr) {
    return false;
  }
  size_t key_offset = token->offset;
  if (!any_keys && token->kind != Token::Kind::kString) {
    return value_text_fail(
        error_, key_offset,
        "expected a string key (map{...} takes keys of any type)");
  }
  g_autoptr(FlValue) key = parse_value(depth + 1);
  if (key == nullptr) {
    return false;
  }
  // fl_value_set would quietly replace the first value; a key typed twice
  // is more likely a mistake.
  if (fl_value_lookup(map, key) != nullptr) {
    return value_text_fail(error_, key_offset, "duplicate key in a map");
  }
  if (!expect(':', "a map key")) {
    return false;
  }
  FlValue* value = parse_value(depth + 1);
  if (value == nullptr) {
    return false;
  }
  fl_value_set_take(map, static_cast<FlValue*>(g_steal_pointer(&key)), value);
  return true;
}

FlValue* Parser::parse_typed_list(const TypedList& kind) {
  std::vector<int64_t> whole;
  std::vector<double> floats;
  bool parsed = parse_sequence(']', "a list element", [&] {
    Token number;
    if (!take(&number)) {
      return false;
    }
    int text_size = static_cast<int>(number.text.size());
    if (number.kind != Token::Kind::kNumber) {
      return value_text_fail(error_, number.offset,
                             "expected a number in %s[...]", kind.name);
    }
    if (kind.holds_floats()) {
      floats.push_back(0);
      return kind.read_float(number.text, &floats.back()) ||
             value_text_fail(error_, number.offset,
                             "%s element %.*s is out of range", kind.name,
                             text_size, number.text.data());
    }
    int64_t value = 0;
    if (!number.whole || !read_number(number.text, &value) ||
        value < kind.least || value > kind.most) {
      return value_text_fail(error_, number.offset,
                             "%s element %.*s is not a whole number from "
                             "%" G_GINT64_FORMAT " to %" G_GINT64_FORMAT,
                             kind.name, text_size, number.text.data(),
                             kind.least, kind.most);
    }
    whole.push_back(value);
    return true;
  });
  return parsed ? new_typed_list(kind.type, whole, floats) : nullptr;
}

const TypedList* typed_list(FlValueType type) {
  for (const TypedList& kind : kTypedLists) {
    if (kind.type == type) {
      return &kind;
    }
  }
  return nullptr;
}

// The shortest text that reads back as @value (as a float32 when
// @single), always with a fraction or an exponent so that it does not read
// as an int.
void append_float(std::string* out, double value, bool single) {
  if (std::isnan(value)) {
    *out += "NaN";
    return;
  }
  if (std::isinf(value)) {
    *out += value > 0 ? "Infinity" : "-Infinity";
    return;
  }
  char text[32];
  char* end =
      single
          ? std::to_chars(text, std::end(text), static_cast<float>(value)).ptr
          : std::to_chars(text, std::end(text), value).ptr;
  std::string_view shortest(text, end - text);
  *out += shortest;
  if (shortest.find_first_of(".e") == std::string_view::npos) {
    *out += ".0";
  }
}

void append_escape(std::string* out, gunichar c) {
  gchar escape[8];
  g_snprintf(escape, sizeof(escape), "\\u%04x", c);
  *out += escape;
}

// JSON's quoting. Control characters are escaped so that the text stays on
// one line and sets no terminal mode; bytes that are not UTF-8, which no
// text can write, show as U+FFFD.
void append_quoted(std::string* out, std::string_view text) {
  constexpr std::string_view kEscaped = "\"\\\b\f\n\r\t";
  constexpr std::string_view kEscapes = "\"\\bfnrt";
  out->push_back('"');
  const gchar* end = text.data() + text.size();
  for (const gchar* p = text.data(); p < end;) {
    gunichar c = static_cast<guchar>(*p);
    size_t escaped = kEscaped.find(*p);
    if (c >= 0x80) {
      c = g_utf8_get_char_validated(p, end - p);
    }
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
      append_escape(out, 0xfffd);
      p++;
      continue;
    }
    const gchar* next = c < 0x80 ? p + 1 : g_utf8_next_char(p);
    if (c < 0x80 && escaped != std::string_view::npos) {
      out->push_back('\\');
      out->push_back(kEscapes[escaped]);
    } else if (c < 0x20 || (c >= 0x7f && c < 0xa0)) {
      append_escape(out, c);
    } else {
      out->append(p, next);
    }
    p = next;
  }
  out->push_back('"');
}

// Writes values in the syntax that value_from_text() reads.
class Printer {
 public:
  void append_value(FlValue* value);

  std::string text;

 private:
  void append_typed_list(FlValue* value);
  void append_map(FlValue* map);
};

void Printer::append_value(FlValue* value) {
  FlValueType type =
      value != nullptr ? fl_value_get_type(value) : FL_VALUE_TYPE_NULL;
  switch (type) {
    case FL_VALUE_TYPE_NULL:
      text += "null";
      return;
    case FL_VALUE_TYPE_BOOL:
      text += fl_value_get_bool(value) ? "true" : "false";
      return;
    case FL_VALUE_TYPE_INT:
      text += std::to_string(fl_value_get_int(value));
      return;
    case FL_VALUE_TYPE_FLOAT:
      append_float(&text, fl_value_get_float(value), false);
      return;
    case FL_VALUE_TYPE_STRING:
      append_quoted(&text, fl_value_get_string(value));
      return;
    case FL_VALUE_TYPE_LIST:
      text += '[';
      for (size_t i = 0; i < fl_value_get_length(value); i++) {
        text += i == 0 ? "" : ", ";
        append_value(fl_value_get_list_value(value, i));
      }
      text += ']';
      return;
    case FL_VALUE_TYPE_MAP:
      append_map(value);
      return;
    default:
      append_typed_list(value);
      return;
  }
}

void Printer::append_typed_list(FlValue* value) {
  const TypedList* kind = typed_list(fl_value_get_type(value));
  if (kind == nullptr) {
    // A type this syntax has no form for: shown, though it cannot be read.
    g_autofree gchar* shown = fl_value_to_string(value);
    text += shown;
    return;
  }
  text += kind->name;
  text += '[';
  for (size_t i = 0; i < fl_value_get_length(value); i++) {
    text += i == 0 ? "" : ", ";
    switch (kind->type) {
      case FL_VALUE_TYPE_UINT8_LIST:
        text += std::to_string(fl_value_get_uint8_list(value)[i]);
        break;
      case FL_VALUE_TYPE_INT32_LIST:
        text += std::to_string(fl_value_get_int32_list(value)[i]);
        break;
      case FL_VALUE_TYPE_INT64_LIST:
        text += std::to_string(fl_value_get_int64_list(value)[i]);
        break;
      case FL_VALUE_TYPE_FLOAT32_LIST:
        append_float(&text, fl_value_get_float32_list(value)[i], true);
        break;
      default:
        append_float(&text, fl_value_get_float_list(value)[i], false);
        break;
    }
  }
  text += ']';
}

// A JSON object when every key is a string, map{...} otherwise.
void Printer::append_map(FlValue* map) {
  size_t length = fl_value_get_length(map);
  bool string_keys = true;
  for (size_t i = 0; i < length; i++) {
    string_keys = string_keys && fl_value_get_type(fl_value_get_map_key(
                                     map, i)) == FL_VALUE_TYPE_STRING;
  }
  text += string_keys ? "{" : "map{";
  for (size_t i = 0; i < length; i++) {
    text += i == 0 ? "" : ", ";
    append_value(fl_value_get_map_key(map, i));
    text += ": ";
    append_value(fl_value_get_map_value(map, i));
  }
  text += '}';
}

}  // namespace

std::string value_to_text(FlValue* value) {
  Printer printer;
  printer.append_value(value);
  return std::move(printer.text);
}

FlValue* value_from_text(std::string_view text, ValueTextError* error) {
  ValueTextError ignored;
  if (error == nullptr) {
    error = &ignored;
  }
  const gchar* end = nullptr;
  if (!text.empty() && !g_utf8_validate_len(text.data(), text.size(), &end)) {
    value_text_fail(error, end - text.data(), "the text is not valid UTF-8");
    return nullptr;
  }
  return Parser(text, error).parse_text();
}
