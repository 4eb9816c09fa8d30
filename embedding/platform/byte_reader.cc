#include "byte_reader.h"

#include <cstring>

#include "value_types.h"

ByteReader::ByteReader(GBytes* buffer, size_t* offset, GError** error)
    : offset_(offset), error_(error) {
  gsize size = 0;
  data_ = static_cast<const guint8*>(g_bytes_get_data(buffer, &size));
  size_ = size;
}

const guint8* ByteReader::take(size_t length) {
  if (length > left()) {
    fail(FL_MESSAGE_CODEC_ERROR_OUT_OF_DATA,
         "message ends early: %zu bytes needed at offset %zu, %zu left", length,
         offset(), left());
    return nullptr;
  }
  const guint8* start = data_ + *offset_;
  *offset_ += length;
  return start;
}

bool ByteReader::read_size(guint32* size) {
  guint8 first = 0;
  if (!read_number(&first)) {
    return false;
  }
  if (first < value_types::kSize16Marker) {
    *size = first;
    return true;
  }
  if (first == value_types::kSize16Marker) {
    guint16 size16 = 0;
    if (!read_number(&size16)) {
      return false;
    }
    *size = size16;
    return true;
  }
  return read_number(size);
}

bool ByteReader::skip_padding(size_t alignment) {
  size_t remainder = offset() % alignment;
  return remainder == 0 || take(alignment - remainder) != nullptr;
}

bool ByteReader::check_count(size_t size_offset,
                             guint64 count,
                             guint64 item_size) {
  if (count * item_size <= left()) {
    return true;
  }
  return fail(FL_MESSAGE_CODEC_ERROR_OUT_OF_DATA,
              "size %" G_GUINT64_FORMAT
              " at offset %zu needs %" G_GUINT64_FORMAT
              " bytes but only %zu are left",
              count, size_offset, count * item_size, left());
}

bool ByteReader::expect_end(FlMessageCodecError code, const char* message) {
  return at_end() ||
         fail(code, "%s: %zu bytes at offset %zu", message, left(), offset());
}

bool ByteReader::fail(FlMessageCodecError code, const char* format, ...) {
  if (error_ != nullptr && *error_ == nullptr) {
    va_list args;
    va_start(args, format);
    g_autofree gchar* text = g_strdup_vprintf(format, args);
    va_end(args);
    g_set_error_literal(error_, FL_MESSAGE_CODEC_ERROR, code, text);
  }
  return false;
}
