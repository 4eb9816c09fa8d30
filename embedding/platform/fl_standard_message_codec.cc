#include "flutter_linux/fl_standard_message_codec.h"

#include <cstring>

#include "byte_reader.h"
#include "fl_standard_message_codec_private.h"
#include "fl_value_private.h"
#include "value_types.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "numbers are copied to and from the wire as they lie in memory");

G_DEFINE_TYPE(FlStandardMessageCodec,
              fl_standard_message_codec,
              fl_message_codec_get_type())

namespace {

using value_types::kSize16Marker;
using value_types::kSize32Marker;

// Deeper nesting than this is refused, written or read: it would only serve
// to exhaust the stack of the reader or of whoever walks the value later.
constexpr int kMaxNesting = 512;

// Counts the lists and maps being written or read on this thread, so that
// the limit holds through a subclass's own functions too.
class NestingGuard {
 public:
  NestingGuard() : within_limit_(++depth_ <= kMaxNesting) {}
  ~NestingGuard() { --depth_; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

  bool within_limit() const { return within_limit_; }

 private:
  static thread_local int depth_;
  bool within_limit_;
};

thread_local int NestingGuard::depth_ = 0;

// ---- Writing ----

void put_bytes(GByteArray* buffer, const void* bytes, size_t length) {
  g_byte_array_append(buffer, static_cast<const guint8*>(bytes),
                      static_cast<guint>(length));
}

void put_byte(GByteArray* buffer, guint8 byte) {
  put_bytes(buffer, &byte, 1);
}

template <typename T>
void put_number(GByteArray* buffer, T number) {
  put_bytes(buffer, &number, sizeof(number));
}

void put_size(GByteArray* buffer, uint32_t size) {
  if (size < kSize16Marker) {
    put_byte(buffer, static_cast<guint8>(size));
  } else if (size <= 0xffff) {
    put_byte(buffer, kSize16Marker);
    put_number(buffer, static_cast<guint16>(size));
  } else {
    put_byte(buffer, kSize32Marker);
    put_number(buffer, size);
  }
}

void put_padding(GByteArray* buffer, size_t alignment) {
  static const guint8 zeros[8] = {};
  size_t remainder = buffer->len % alignment;
  if (remainder != 0) {
    put_bytes(buffer, zeros, alignment - remainder);
  }
}

// Sizes have 32 bits in the encoding, and a message is a GByteArray, which
// holds at most 4 GiB: an element count or a byte count past either would
// be cut short without a word.
bool check_length(size_t length,
                  size_t element_size,
                  const char* what,
                  GError** error) {
  if (length <= G_MAXUINT32 && length <= G_MAXUINT / element_size) {
    return true;
  }
  g_set_error(error, FL_MESSAGE_CODEC_ERROR, FL_MESSAGE_CODEC_ERROR_FAILED,
              "a %s of %zu elements is too long for the encoding, whose sizes "
              "have 32 bits",
              what, length);
  return false;
}

bool write_container(FlStandardMessageCodec* self,
                     GByteArray* buffer,
                     FlValue* value,
                     GError** error) {
  NestingGuard nesting;
  if (!nesting.within_limit()) {
    g_set_error(error, FL_MESSAGE_CODEC_ERROR, FL_MESSAGE_CODEC_ERROR_FAILED,
                "lists and maps nested deeper than %d cannot be encoded",
                kMaxNesting);
    return false;
  }
  bool is_map = fl_value_get_type(value) == FL_VALUE_TYPE_MAP;
  size_t length = fl_value_get_length(value);
  if (!check_length(length, 1, is_map ? "map" : "list", error)) {
    return false;
  }
  put_byte(buffer, is_map ? value_types::kMap : value_types::kList);
  put_size(buffer, static_cast<uint32_t>(length));
  for (size_t i = 0; i < length; i++) {
    if (is_map) {
      if (!fl_standard_message_codec_write_value(
              self, buffer, fl_value_get_map_key(value, i), error) ||
          !fl_standard_message_codec_write_value(
              self, buffer, fl_value_get_map_value(value, i), error)) {
        return false;
      }
    } else if (!fl_standard_message_codec_write_value(
                   self, buffer, fl_value_get_list_value(value, i), error)) {
      return false;
    }
  }
  return true;
}

gboolean fl_standard_message_codec_real_write_value(
    FlStandardMessageCodec* self,
    GByteArray* buffer,
    FlValue* value,
    GError** error) {
  FlValueType type = fl_value_get_type(value);
  const value_types::Facts& facts = value_types::facts(type);
  switch (type) {
    case FL_VALUE_TYPE_NULL:
      put_byte(buffer, value_types::kNull);
      return TRUE;
    case FL_VALUE_TYPE_BOOL:
      put_byte(buffer, fl_value_get_bool(value) ? value_types::kTrue
                                                : value_types::kFalse);
      return TRUE;
    case FL_VALUE_TYPE_INT: {
      int64_t number = fl_value_get_int(value);
      if (number >= G_MININT32 && number <= G_MAXINT32) {
        put_byte(buffer, value_types::kInt32);
        put_number(buffer, static_cast<gint32>(number));
      } else {
        put_byte(buffer, value_types::kInt64);
        put_number(buffer, number);
      }
      return TRUE;
    }
    case FL_VALUE_TYPE_FLOAT:
      put_byte(buffer, value_types::kFloat64);
      put_padding(buffer, 8);
      put_number(buffer, fl_value_get_float(value));
      return TRUE;
    case FL_VALUE_TYPE_STRING:
      return fl_standard_message_codec_write_string(
          buffer, fl_value_get_string(value), error);
    case FL_VALUE_TYPE_LIST:
    case FL_VALUE_TYPE_MAP:
      return write_container(self, buffer, value, error);
    default: {
      size_t length = fl_value_get_length(value);
      if (!check_length(length, facts.element_size, facts.name, error)) {
        return FALSE;
      }
      put_byte(buffer, facts.type_byte);
      put_size(buffer, static_cast<uint32_t>(length));
      put_padding(buffer, facts.element_size);
      put_bytes(buffer, fl_value_get_typed_list(value),
                length * facts.element_size);
      return TRUE;
    }
  }
}

// ---- Reading ----

FlValue* read_typed_list(ByteReader& reader, const value_types::Facts& facts) {
  size_t size_offset = reader.offset();
  guint32 count = 0;
  // Elements are aligned to their size, counted from the message's start.
  if (!reader.read_size(&count) || !reader.skip_padding(facts.element_size) ||
      !reader.check_count(size_offset, count, facts.element_size)) {
    return nullptr;
  }
  const guint8* elements = reader.take(count * facts.element_size);
  return fl_value_new_typed_list(facts.type, elements, count);
}

// Reads the elements of a list or map through the codec's own functions, so
// that a subclass's types may appear inside.
FlValue* read_container(FlStandardMessageCodec* self,
                        GBytes* buffer,
                        size_t* offset,
                        ByteReader& reader,
                        bool is_map,
                        size_t type_offset,
                        GError** error) {
  NestingGuard nesting;
  if (!nesting.within_limit()) {
    reader.fail(FL_MESSAGE_CODEC_ERROR_FAILED,
                "lists and maps nested deeper than %d at offset %zu",
                kMaxNesting, type_offset);
    return nullptr;
  }
  size_t size_offset = reader.offset();
  guint32 count = 0;
  if (!reader.read_size(&count) ||
      !reader.check_count(size_offset, count, is_map ? 2 : 1)) {
    return nullptr;
  }
  g_autoptr(FlValue) container =
      is_map ? fl_value_new_map() : fl_value_new_list();
  for (guint32 i = 0; i < count; i++) {
    FlValue* first =
        fl_standard_message_codec_read_value(self, buffer, offset, error);
    if (first == nullptr) {
      return nullptr;
    }
    if (!is_map) {
      fl_value_append_take(container, first);
      continue;
    }
    FlValue* second =
        fl_standard_message_codec_read_value(self, buffer, offset, error);
    if (second == nullptr) {
      fl_value_unref(first);
      return nullptr;
    }
    // An equal key read again takes the earlier one's entry: the last value
    // wins, and the map never holds two equal keys.
    fl_value_set_take(container, first, second);
  }
  return static_cast<FlValue*>(g_steal_pointer(&container));
}

FlValue* fl_standard_message_codec_real_read_value_of_type(
    FlStandardMessageCodec* self,
    GBytes* buffer,
    size_t* offset,
    int type,
    GError** error) {
  ByteReader reader(buffer, offset, error);
  size_t type_offset = reader.offset() - 1;
  switch (type) {
    case value_types::kNull:
      return fl_value_new_null();
    case value_types::kTrue:
      return fl_value_new_bool(true);
    case value_types::kFalse:
      return fl_value_new_bool(false);
    case value_types::kInt32: {
      gint32 number = 0;
      return reader.read_number(&number) ? fl_value_new_int(number) : nullptr;
    }
    case value_types::kInt64: {
      gint64 number = 0;
      return reader.read_number(&number) ? fl_value_new_int(number) : nullptr;
    }
    case value_types::kFloat64: {
      double number = 0;
      return reader.skip_padding(8) && reader.read_number(&number)
                 ? fl_value_new_float(number)
                 : nullptr;
    }
    case value_types::kString: {
      const gchar* text = nullptr;
      size_t length = 0;
      return fl_standard_message_codec_read_string_body(reader, type_offset,
                                                        &text, &length)
                 ? fl_value_new_string_sized(text, length)
                 : nullptr;
    }
    case value_types::kList:
    case value_types::kMap:
      return read_container(self, buffer, offset, reader,
                            type == value_types::kMap, type_offset, error);
    default: {
      const value_types::Facts* typed_list =
          type >= 0 && type <= G_MAXUINT8
              ? value_types::typed_list_of(static_cast<guint8>(type))
              : nullptr;
      if (typed_list != nullptr) {
        return read_typed_list(reader, *typed_list);
      }
      reader.fail(FL_MESSAGE_CODEC_ERROR_UNSUPPORTED_TYPE,
                  "unknown type byte %d at offset %zu", type, type_offset);
      return nullptr;
    }
  }
}

// ---- The message codec ----

GBytes* fl_standard_message_codec_encode_message(FlMessageCodec* codec,
                                                 FlValue* message,
                                                 GError** error) {
  g_autoptr(GByteArray) buffer = g_byte_array_new();
  if (!fl_standard_message_codec_write_value(FL_STANDARD_MESSAGE_CODEC(codec),
                                             buffer, message, error)) {
    return nullptr;
  }
  return g_byte_array_free_to_bytes(
      static_cast<GByteArray*>(g_steal_pointer(&buffer)));
}

FlValue* fl_standard_message_codec_decode_message(FlMessageCodec* codec,
                                                  GBytes* message,
                                                  GError** error) {
  // An application sends no bytes at all for a null message.
  if (g_bytes_get_size(message) == 0) {
    return fl_value_new_null();
  }
  size_t offset = 0;
  g_autoptr(FlValue) value = fl_standard_message_codec_read_value(
      FL_STANDARD_MESSAGE_CODEC(codec), message, &offset, error);
  if (value == nullptr) {
    return nullptr;
  }
  ByteReader reader(message, &offset, error);
  if (!reader.expect_end(FL_MESSAGE_CODEC_ERROR_ADDITIONAL_DATA,
                         "Unexpected extra data")) {
    return nullptr;
  }
  return static_cast<FlValue*>(g_steal_pointer(&value));
}

}  // namespace

static void fl_standard_message_codec_class_init(
    FlStandardMessageCodecClass* klass) {
  FL_MESSAGE_CODEC_CLASS(klass)->encode_message =
      fl_standard_message_codec_encode_message;
  FL_MESSAGE_CODEC_CLASS(klass)->decode_message =
      fl_standard_message_codec_decode_message;
  klass->write_value = fl_standard_message_codec_real_write_value;
  klass->read_value_of_type = fl_standard_message_codec_real_read_value_of_type;
}

static void fl_standard_message_codec_init(FlStandardMessageCodec* self) {}

FlStandardMessageCodec* fl_standard_message_codec_new(void) {
  return FL_STANDARD_MESSAGE_CODEC(
      g_object_new(fl_standard_message_codec_get_type(), nullptr));
}

void fl_standard_message_codec_write_size(FlStandardMessageCodec* codec,
                                          GByteArray* buffer,
                                          uint32_t size) {
  g_return_if_fail(FL_IS_STANDARD_MESSAGE_CODEC(codec));
  g_return_if_fail(buffer != nullptr);
  put_size(buffer, size);
}

gboolean fl_standard_message_codec_read_size(FlStandardMessageCodec* codec,
                                             GBytes* buffer,
                                             size_t* offset,
                                             uint32_t* value,
                                             GError** error) {
  g_return_val_if_fail(FL_IS_STANDARD_MESSAGE_CODEC(codec), FALSE);
  g_return_val_if_fail(buffer != nullptr && offset != nullptr, FALSE);
  g_return_val_if_fail(value != nullptr, FALSE);
  ByteReader reader(buffer, offset, error);
  return reader.read_size(value);
}

gboolean fl_standard_message_codec_write_value(FlStandardMessageCodec* codec,
                                               GByteArray* buffer,
                                               FlValue* value,
                                               GError** error) {
  g_return_val_if_fail(FL_IS_STANDARD_MESSAGE_CODEC(codec), FALSE);
  g_return_val_if_fail(buffer != nullptr, FALSE);
  if (value == nullptr) {
    put_byte(buffer, value_types::kNull);
    return TRUE;
  }
  return FL_STANDARD_MESSAGE_CODEC_GET_CLASS(codec)->write_value(codec, buffer,
                                                                 value, error);
}

FlValue* fl_standard_message_codec_read_value(FlStandardMessageCodec* codec,
                                              GBytes* buffer,
                                              size_t* offset,
                                              GError** error) {
  g_return_val_if_fail(FL_IS_STANDARD_MESSAGE_CODEC(codec), nullptr);
  g_return_val_if_fail(buffer != nullptr && offset != nullptr, nullptr);
  ByteReader reader(buffer, offset, error);
  guint8 type = 0;
  if (!reader.read_number(&type)) {
    return nullptr;
  }
  return FL_STANDARD_MESSAGE_CODEC_GET_CLASS(codec)->read_value_of_type(
      codec, buffer, offset, type, error);
}

// ---- Private to the library ----

gboolean fl_standard_message_codec_write_string(GByteArray* buffer,
                                                const gchar* text,
                                                GError** error) {
  size_t length = strlen(text);
  if (!g_utf8_validate_len(text, length, nullptr)) {
    g_set_error_literal(error, FL_MESSAGE_CODEC_ERROR,
                        FL_MESSAGE_CODEC_ERROR_FAILED,
                        "a string that is not valid UTF-8 cannot be encoded");
    return FALSE;
  }
  if (!check_length(length, 1, "string", error)) {
    return FALSE;
  }
  put_byte(buffer, value_types::kString);
  put_size(buffer, static_cast<uint32_t>(length));
  put_bytes(buffer, text, length);
  return TRUE;
}

bool fl_standard_message_codec_read_string_body(ByteReader& reader,
                                                size_t type_offset,
                                                const gchar** text,
                                                size_t* length) {
  size_t size_offset = reader.offset();
  guint32 size = 0;
  if (!reader.read_size(&size) || !reader.check_count(size_offset, size, 1)) {
    return false;
  }
  const auto* start = reinterpret_cast<const gchar*>(reader.take(size));
  // Only the text up to a U+0000 is kept, so only that must be UTF-8.
  if (size > 0 && !g_utf8_validate_len(start, strnlen(start, size), nullptr)) {
    return reader.fail(FL_MESSAGE_CODEC_ERROR_FAILED,
                       "string at offset %zu is not valid UTF-8", type_offset);
  }
  *text = start;
  *length = size;
  return true;
}

bool fl_standard_message_codec_read_string(ByteReader& reader,
                                           const char* what,
                                           bool null_allowed,
                                           const gchar** text,
                                           size_t* length) {
  size_t type_offset = reader.offset();
  guint8 type = 0;
  if (!reader.read_number(&type)) {
    return false;
  }
  if (type == value_types::kNull && null_allowed) {
    *text = nullptr;
    *length = 0;
    return true;
  }
  if (type != value_types::kString) {
    return reader.fail(FL_MESSAGE_CODEC_ERROR_FAILED,
                       "%s at offset %zu is not a string%s (type byte %u)",
                       what, type_offset, null_allowed ? " or null" : "", type);
  }
  return fl_standard_message_codec_read_string_body(reader, type_offset, text,
                                                    length);
}
