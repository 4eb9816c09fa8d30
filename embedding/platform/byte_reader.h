#ifndef EMBEDDING_PLATFORM_BYTE_READER_H_
#define EMBEDDING_PLATFORM_BYTE_READER_H_

#include <glib.h>

#include <cstring>

#include "flutter_linux/fl_message_codec.h"

// A cursor over the bytes of one message, for the standard codec's reader.
// It moves the caller's offset, never reads past the end, and turns every
// shortfall into an FL_MESSAGE_CODEC_ERROR that says what was missing and
// at which offset (counted from the start of the message).
class ByteReader {
 public:
  ByteReader(GBytes* buffer, size_t* offset, GError** error);

  size_t offset() const { return *offset_; }
  size_t left() const { return *offset_ <= size_ ? size_ - *offset_ : 0; }
  bool at_end() const { return *offset_ >= size_; }

  // The next @length bytes, which stay in the message; NULL if there are
  // not that many.
  const guint8* take(size_t length);

  // A number as it lies in the message, which is little-endian as this
  // machine is.
  template <typename T>
  bool read_number(T* out) {
    const guint8* bytes = take(sizeof(T));
    if (bytes != nullptr) {
      memcpy(out, bytes, sizeof(T));
    }
    return bytes != nullptr;
  }

  // A size: one byte below 254, 254 and a uint16, or 255 and a uint32.
  bool read_size(guint32* size);

  // Skips zero to @alignment - 1 bytes up to the next multiple of it.
  bool skip_padding(size_t alignment);

  // Checks that @count items of at least @item_size bytes each can still
  // follow, before anything is allocated for them. @size_offset is where
  // the size was read, for the message.
  bool check_count(size_t size_offset, guint64 count, guint64 item_size);

  // Fails with @code and @message, followed by where the extra bytes are,
  // unless the message ends here.
  bool expect_end(FlMessageCodecError code, const char* message);

  // Sets the error (the first one only) and returns false.
  bool fail(FlMessageCodecError code, const char* format, ...)
      G_GNUC_PRINTF(3, 4);

 private:
  const guint8* data_;
  size_t size_;
  size_t* offset_;
  GError** error_;
};

#endif  // EMBEDDING_PLATFORM_BYTE_READER_H_
