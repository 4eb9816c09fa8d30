#include "standard_encoding.h"

#include <cstring>

#include "embedding_host/embedding_host.h"
#include "fl_value_private.h"

namespace standard_encoding {

namespace {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "numbers are copied to and from the wire as they lie in memory");

enum TypeByte : guint8 {
  kNull = 0,
  kTrue = 1,
  kFalse = 2,
  kInt32 = 3,
  kInt64 = 4,
  kFloat64 = 6,
  kString = 7,
  kUint8List = 8,
  kInt32List = 9,
  kInt64List = 10,
  kFloat64List = 11,
  kList = 12,
  kMap = 13,
  kFloat32List = 14,
};

enum ReplyKind : guint8 {
  kSuccessReply = 0,
  kErrorReply = 1,
};

constexpr guint8 kSize16Marker = 254;
constexpr guint8 kSize32Marker = 255;

// ---- Writing ----

void put_bytes(GByteArray* buffer, const void* bytes, size_t length) {
  g_byte_array_append(buffer, static_cast<const guint8*>(bytes),
                      static_cast<guint>(length));
}

void put_byte(GByteArray* buffer, guint8 byte) {
  put_bytes(buffer, &byte, 1);
}

// Numbers are little-endian on the wire as in memory (asserted above).
template <typename T>
void put_number(GByteArray* buffer, T number) {
  put_bytes(buffer, &number, sizeof(number));
}

void put_size(GByteArray* buffer, size_t size) {
  if (size < kSize16Marker) {
    put_byte(buffer, static_cast<guint8>(size));
  } else if (size <= 0xffff) {
    put_byte(buffer, kSize16Marker);
    put_number(buffer, static_cast<guint16>(size));
  } else {
    put_byte(buffer, kSize32Marker);
    put_number(buffer, static_cast<guint32>(size));
  }
}

void put_padding(GByteArray* buffer, size_t alignment) {
  static const guint8 zeros[8] = {};
  size_t remainder = buffer->len % alignment;
  if (remainder != 0) {
    put_bytes(buffer, zeros, alignment - remainder);
  }
}

void put_string(GByteArray* buffer, const gchar* text, size_t length) {
  put_byte(buffer, kString);
  put_size(buffer, length);
  put_bytes(buffer, text, length);
}

void put_typed_list(GByteArray* buffer,
                    guint8 type_byte,
                    const void* elements,
                    size_t length,
                    size_t element_size) {
  put_byte(buffer, type_byte);
  put_size(buffer, length);
  if (element_size > 1) {
    put_padding(buffer, element_size);
  }
  put_bytes(buffer, elements, length * element_size);
}

void put_value_or_null(GByteArray* buffer, FlValue* value) {
  if (value == nullptr) {
    put_byte(buffer, kNull);
  } else {
    write_value(buffer, value);
  }
}

// ---- Reading ----

class Reader {
 public:
  Reader(const guint8* data, gsize size, GError** error)
      : data_(data), size_(size), error_(error) {}

  gsize offset() const { return offset_; }
  gsize left() const { return size_ - offset_; }
  bool at_end() const { return offset_ == size_; }

  bool read_bytes(void* out, gsize length) {
    if (!ensure(length)) {
      return false;
    }
    memcpy(out, data_ + offset_, length);
    offset_ += length;
    return true;
  }

  bool read_byte(guint8* out) { return read_bytes(out, 1); }

  bool peek_byte(guint8* out) {
    if (!ensure(1)) {
      return false;
    }
    *out = data_[offset_];
    return true;
  }

  template <typename T>
  bool read_number(T* out) {
    return read_bytes(out, sizeof(T));
  }

  bool read_size(guint32* size) {
    guint8 first = 0;
    if (!read_byte(&first)) {
      return false;
    }
    if (first < kSize16Marker) {
      *size = first;
      return true;
    }
    if (first == kSize16Marker) {
      guint16 size16 = 0;
      if (!read_number(&size16)) {
        return false;
      }
      *size = size16;
      return true;
    }
    return read_number(size);
  }

  bool skip_padding(gsize alignment) {
    gsize remainder = offset_ % alignment;
    if (remainder == 0) {
      return true;
    }
    if (!ensure(alignment - remainder)) {
      return false;
    }
    offset_ += alignment - remainder;
    return true;
  }

  // Checks that @count items of at least @item_size bytes each can still
  // follow, before anything is allocated for them. @size_offset is where the
  // size was read, for the message.
  bool check_size(gsize size_offset, guint64 count, guint64 item_size) {
    if (count * item_size <= left()) {
      return true;
    }
    return fail("size %" G_GUINT64_FORMAT " at offset %" G_GSIZE_FORMAT
                " needs %" G_GUINT64_FORMAT " bytes but only %" G_GSIZE_FORMAT
                " are left",
                count, size_offset, count * item_size, left());
  }

  // Reads a string's size and bytes; @text points into the message.
  bool read_string_body(gsize type_offset, const gchar** text, gsize* length) {
    gsize size_offset = offset_;
    guint32 size = 0;
    if (!read_size(&size) || !check_size(size_offset, size, 1)) {
      return false;
    }
    const gchar* start = reinterpret_cast<const gchar*>(data_ + offset_);
    if (!g_utf8_validate_len(start, size, nullptr)) {
      return fail("string at offset %" G_GSIZE_FORMAT " is not valid UTF-8",
                  type_offset);
    }
    offset_ += size;
    *text = start;
    *length = size;
    return true;
  }

  FlValue* read_value(int depth) {
    gsize type_offset = offset_;
    guint8 type = 0;
    if (!read_byte(&type)) {
      return nullptr;
    }
    switch (type) {
      case kNull:
        return fl_value_new_null();
      case kTrue:
        return fl_value_new_bool(true);
      case kFalse:
        return fl_value_new_bool(false);
      case kInt32: {
        gint32 number = 0;
        return read_number(&number) ? fl_value_new_int(number) : nullptr;
      }
      case kInt64: {
        gint64 number = 0;
        return read_number(&number) ? fl_value_new_int(number) : nullptr;
      }
      case kFloat64: {
        double number = 0;
        return skip_padding(8) && read_number(&number)
                   ? fl_value_new_float(number)
                   : nullptr;
      }
      case kString: {
        const gchar* text = nullptr;
        gsize length = 0;
        return read_string_body(type_offset, &text, &length)
                   ? fl_value_new_string_sized(text, length)
                   : nullptr;
      }
      case kUint8List:
        return read_typed_list(FL_VALUE_TYPE_UINT8_LIST, 1);
      case kInt32List:
        return read_typed_list(FL_VALUE_TYPE_INT32_LIST, 4);
      case kInt64List:
        return read_typed_list(FL_VALUE_TYPE_INT64_LIST, 8);
      case kFloat64List:
        return read_typed_list(FL_VALUE_TYPE_FLOAT_LIST, 8);
      case kFloat32List:
        return read_typed_list(FL_VALUE_TYPE_FLOAT32_LIST, 4);
      case kList:
      case kMap:
        return read_container(type == kMap, type_offset, depth);
      default:
        fail("unknown type byte %u at offset %" G_GSIZE_FORMAT, type,
             type_offset);
        return nullptr;
    }
  }

  bool expect_end() {
    if (at_end()) {
      return true;
    }
    return fail("%" G_GSIZE_FORMAT " bytes left over at offset %" G_GSIZE_FORMAT
                " after the last value",
                left(), offset_);
  }

  bool fail(const gchar* format, ...) G_GNUC_PRINTF(2, 3) {
    if (error_ != nullptr && *error_ == nullptr) {
      va_list args;
      va_start(args, format);
      g_autofree gchar* text = g_strdup_vprintf(format, args);
      va_end(args);
      g_set_error_literal(error_, EMBEDDING_HOST_ERROR,
                          EMBEDDING_HOST_ERROR_MALFORMED_MESSAGE, text);
    }
    return false;
  }

 private:
  bool ensure(gsize length) {
    if (length <= left()) {
      return true;
    }
    return fail("message ends early: %" G_GSIZE_FORMAT
                " bytes needed at offset %" G_GSIZE_FORMAT ", %" G_GSIZE_FORMAT
                " left",
                length, offset_, left());
  }

  FlValue* read_typed_list(FlValueType type, gsize element_size) {
    gsize size_offset = offset_;
    guint32 count = 0;
    if (!read_size(&count)) {
      return nullptr;
    }
    if (element_size > 1 && !skip_padding(element_size)) {
      return nullptr;
    }
    if (!check_size(size_offset, count, element_size)) {
      return nullptr;
    }
    void* elements = nullptr;
    FlValue* value =
        fl_value_new_typed_list_uninitialised(type, count, &elements);
    read_bytes(elements, count * element_size);
    return value;
  }

  FlValue* read_container(bool is_map, gsize type_offset, int depth) {
    if (depth >= kMaxNesting) {
      fail("lists and maps nested deeper than %d at offset %" G_GSIZE_FORMAT,
           kMaxNesting, type_offset);
      return nullptr;
    }
    gsize size_offset = offset_;
    guint32 count = 0;
    if (!read_size(&count) || !check_size(size_offset, count, is_map ? 2 : 1)) {
      return nullptr;
    }
    g_autoptr(FlValue) container =
        is_map ? fl_value_new_map() : fl_value_new_list();
    for (guint32 i = 0; i < count; i++) {
      FlValue* first = read_value(depth + 1);
      if (first == nullptr) {
        return nullptr;
      }
      if (!is_map) {
        fl_value_append_take(container, first);
        continue;
      }
      FlValue* second = read_value(depth + 1);
      if (second == nullptr) {
        fl_value_unref(first);
        return nullptr;
      }
      fl_value_map_append_take(container, first, second);
    }
    return static_cast<FlValue*>(g_steal_pointer(&container));
  }

  const guint8* data_;
  gsize size_;
  gsize offset_ = 0;
  GError** error_;
};

// Reads a value that must be a string or null (the message of an error reply
// and its stack trace); @text is left NULL for null.
bool read_optional_string(Reader& reader, const char* what, gchar** text) {
  gsize type_offset = reader.offset();
  guint8 type = 0;
  if (!reader.read_byte(&type)) {
    return false;
  }
  if (type == kNull) {
    return true;
  }
  if (type != kString) {
    return reader.fail("%s at offset %" G_GSIZE_FORMAT
                       " is neither a string nor null (type byte %u)",
                       what, type_offset, type);
  }
  const gchar* start = nullptr;
  gsize length = 0;
  if (!reader.read_string_body(type_offset, &start, &length)) {
    return false;
  }
  *text = g_strndup(start, length);
  return true;
}

FlMethodResponse* read_error_reply(Reader& reader) {
  gsize code_offset = reader.offset();
  guint8 type = 0;
  if (!reader.peek_byte(&type)) {
    return nullptr;
  }
  if (type != kString) {
    reader.fail("error code at offset %" G_GSIZE_FORMAT
                " is not a string (type byte %u)",
                code_offset, type);
    return nullptr;
  }
  reader.read_byte(&type);
  const gchar* code_start = nullptr;
  gsize code_length = 0;
  if (!reader.read_string_body(code_offset, &code_start, &code_length)) {
    return nullptr;
  }
  g_autofree gchar* code = g_strndup(code_start, code_length);
  g_autofree gchar* message = nullptr;
  if (!read_optional_string(reader, "error message", &message)) {
    return nullptr;
  }
  g_autoptr(FlValue) details = reader.read_value(0);
  if (details == nullptr) {
    return nullptr;
  }
  if (!reader.at_end()) {
    g_autofree gchar* stack_trace = nullptr;
    if (!read_optional_string(reader, "stack trace", &stack_trace)) {
      return nullptr;
    }
  }
  if (!reader.expect_end()) {
    return nullptr;
  }
  FlValue* kept_details =
      fl_value_get_type(details) == FL_VALUE_TYPE_NULL ? nullptr : details;
  return FL_METHOD_RESPONSE(
      fl_method_error_response_new(code, message, kept_details));
}

}  // namespace

void write_value(GByteArray* buffer, FlValue* value) {
  switch (fl_value_get_type(value)) {
    case FL_VALUE_TYPE_NULL:
      put_byte(buffer, kNull);
      break;
    case FL_VALUE_TYPE_BOOL:
      put_byte(buffer, fl_value_get_bool(value) ? kTrue : kFalse);
      break;
    case FL_VALUE_TYPE_INT: {
      int64_t number = fl_value_get_int(value);
      if (number >= G_MININT32 && number <= G_MAXINT32) {
        put_byte(buffer, kInt32);
        put_number(buffer, static_cast<gint32>(number));
      } else {
        put_byte(buffer, kInt64);
        put_number(buffer, number);
      }
      break;
    }
    case FL_VALUE_TYPE_FLOAT:
      put_byte(buffer, kFloat64);
      put_padding(buffer, 8);
      put_number(buffer, fl_value_get_float(value));
      break;
    case FL_VALUE_TYPE_STRING:
      put_string(buffer, fl_value_get_string(value),
                 fl_value_get_length(value));
      break;
    case FL_VALUE_TYPE_UINT8_LIST:
      put_typed_list(buffer, kUint8List, fl_value_get_uint8_list(value),
                     fl_value_get_length(value), 1);
      break;
    case FL_VALUE_TYPE_INT32_LIST:
      put_typed_list(buffer, kInt32List, fl_value_get_int32_list(value),
                     fl_value_get_length(value), 4);
      break;
    case FL_VALUE_TYPE_INT64_LIST:
      put_typed_list(buffer, kInt64List, fl_value_get_int64_list(value),
                     fl_value_get_length(value), 8);
      break;
    case FL_VALUE_TYPE_FLOAT_LIST:
      put_typed_list(buffer, kFloat64List, fl_value_get_float_list(value),
                     fl_value_get_length(value), 8);
      break;
    case FL_VALUE_TYPE_FLOAT32_LIST:
      put_typed_list(buffer, kFloat32List, fl_value_get_float32_list(value),
                     fl_value_get_length(value), 4);
      break;
    case FL_VALUE_TYPE_LIST: {
      size_t length = fl_value_get_length(value);
      put_byte(buffer, kList);
      put_size(buffer, length);
      for (size_t i = 0; i < length; i++) {
        write_value(buffer, fl_value_get_list_value(value, i));
      }
      break;
    }
    case FL_VALUE_TYPE_MAP: {
      size_t length = fl_value_get_length(value);
      put_byte(buffer, kMap);
      put_size(buffer, length);
      for (size_t i = 0; i < length; i++) {
        write_value(buffer, fl_value_get_map_key(value, i));
        write_value(buffer, fl_value_get_map_value(value, i));
      }
      break;
    }
  }
}

void write_method_call(GByteArray* buffer, const gchar* name, FlValue* args) {
  put_string(buffer, name, strlen(name));
  put_value_or_null(buffer, args);
}

void write_response(GByteArray* buffer, FlMethodResponse* response) {
  if (FL_IS_METHOD_SUCCESS_RESPONSE(response)) {
    put_byte(buffer, kSuccessReply);
    write_value(buffer, fl_method_success_response_get_result(
                            FL_METHOD_SUCCESS_RESPONSE(response)));
  } else if (FL_IS_METHOD_ERROR_RESPONSE(response)) {
    FlMethodErrorResponse* error = FL_METHOD_ERROR_RESPONSE(response);
    const gchar* code = fl_method_error_response_get_code(error);
    const gchar* message = fl_method_error_response_get_message(error);
    put_byte(buffer, kErrorReply);
    put_string(buffer, code, strlen(code));
    if (message == nullptr) {
      put_byte(buffer, kNull);
    } else {
      put_string(buffer, message, strlen(message));
    }
    put_value_or_null(buffer, fl_method_error_response_get_details(error));
  }
  // The not-implemented reply is the empty message.
}

FlValue* read_value(const guint8* message, gsize size, GError** error) {
  Reader reader(message, size, error);
  g_autoptr(FlValue) value = reader.read_value(0);
  if (value == nullptr || !reader.expect_end()) {
    return nullptr;
  }
  return static_cast<FlValue*>(g_steal_pointer(&value));
}

bool read_method_call(const guint8* message,
                      gsize size,
                      gchar** name,
                      FlValue** args,
                      GError** error) {
  Reader reader(message, size, error);
  guint8 type = 0;
  if (!reader.read_byte(&type)) {
    return false;
  }
  if (type != kString) {
    return reader.fail("method name at offset 0 is not a string (type byte %u)",
                       type);
  }
  const gchar* name_start = nullptr;
  gsize name_length = 0;
  if (!reader.read_string_body(0, &name_start, &name_length)) {
    return false;
  }
  g_autoptr(FlValue) decoded_args = reader.read_value(0);
  if (decoded_args == nullptr || !reader.expect_end()) {
    return false;
  }
  *name = g_strndup(name_start, name_length);
  *args = static_cast<FlValue*>(g_steal_pointer(&decoded_args));
  return true;
}

FlMethodResponse* read_response(const guint8* message,
                                gsize size,
                                GError** error) {
  if (size == 0) {
    return FL_METHOD_RESPONSE(fl_method_not_implemented_response_new());
  }
  Reader reader(message, size, error);
  guint8 kind = 0;
  reader.read_byte(&kind);
  if (kind == kErrorReply) {
    return read_error_reply(reader);
  }
  if (kind != kSuccessReply) {
    reader.fail("unknown reply kind %u at offset 0", kind);
    return nullptr;
  }
  g_autoptr(FlValue) result = reader.read_value(0);
  if (result == nullptr || !reader.expect_end()) {
    return nullptr;
  }
  return FL_METHOD_RESPONSE(fl_method_success_response_new(result));
}

}  // namespace standard_encoding
