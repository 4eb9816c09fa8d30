#include "byte_reader.h"

#include <cstring>

ByteReader::ByteReader(GBytes* buffer, size_t* offset, GError** error)
    : offset_(offset), error_(error) {
  gsize size = 0;
  data_ = static_cast<const guint8*>(g_bytes_get_data(buffer, &size));
  size_ = size;
}

void ByteReader::fail_short(size_t length) {
  fail(FL_MESSAGE_CODEC_ERROR_OUT_OF_DATA,
       "message ends early: %zu bytes needed at offset %zu, %zu left", length,
       offset(), left());
}

bool ByteReader::read_long_size(guint8 marker, guint32* size) {
  if (marker == value_types::kSize16Marker) {
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

bool ByteReader::fail_count(size_t size_offset,
                            guint64 count,
                            guint64 item_size) {
  return fail(FL_MESSAGE_CODEC_ERROR_OUT_OF_DATA,
              "size %" G_GUINT64_FORMAT
              " at offset %zu needs %" G_GUINT64_FORMAT
              " bytes but only %zu are left",
              count, size_offset, count * item_size, left());
}

bool ByteReader::expect_end(const char* after) {
  if (at_end()) {
    return true;
  }
  return fail(FL_MESSAGE_CODEC_ERROR_ADDITIONAL_DATA,
              "unexpected extra data: %zu bytes at offset %zu after %s", left(),
              offset(), after);
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

// The length of the ASCII run that @text starts with, eight bytes at a time:
// most text sent over a channel is ASCII, and g_utf8_validate_len() takes
// many instructions for each byte.
static size_t ascii_prefix(const gchar* text, size_t length) {
  constexpr guint64 kHighBits = 0x8080808080808080u;
  size_t done = 0;
  for (; done + 8 <= length; done += 8) {
    guint64 word;
    memcpy(&word, text + done, sizeof(word));
    if ((word & kHighBits) != 0) {
      break;
    }
  }
  while (done < length && (text[done] & 0x80) == 0) {
    done++;
  }
  return done;
}

bool utf8_is_valid(const gchar* text, size_t length) {
  // ASCII, U+0000 included, is valid UTF-8.
  size_t ascii = ascii_prefix(text, length);
  text += ascii;
  length -= ascii;
  const gchar* end = text + length;
  while (text < end) {
    const gchar* stop = nullptr;
    if (g_utf8_validate_len(text, end - text, &stop)) {
      return true;
    }
    if (*stop != '\0') {
      return false;
    }
    text = stop + 1;
  }
  return true;
}
