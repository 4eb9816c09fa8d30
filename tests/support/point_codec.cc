#include "point_codec.h"

#include <cstring>

struct _TestPointCodec {
  FlStandardMessageCodec parent_instance;
};

G_DEFINE_TYPE(TestPointCodec,
              test_point_codec,
              fl_standard_message_codec_get_type())

static bool is_point(FlValue* value) {
  return fl_value_get_type(value) == FL_VALUE_TYPE_FLOAT_LIST &&
         fl_value_get_length(value) == 2;
}

static gboolean test_point_codec_write_value(FlStandardMessageCodec* codec,
                                             GByteArray* buffer,
                                             FlValue* value,
                                             GError** error) {
  if (!is_point(value)) {
    return FL_STANDARD_MESSAGE_CODEC_CLASS(test_point_codec_parent_class)
        ->write_value(codec, buffer, value, error);
  }
  guint8 type = kTestPointTypeByte;
  g_byte_array_append(buffer, &type, 1);
  g_byte_array_append(
      buffer, reinterpret_cast<const guint8*>(fl_value_get_float_list(value)),
      2 * sizeof(double));
  return TRUE;
}

static FlValue* test_point_codec_read_value_of_type(
    FlStandardMessageCodec* codec,
    GBytes* buffer,
    size_t* offset,
    int type,
    GError** error) {
  if (type != kTestPointTypeByte) {
    return FL_STANDARD_MESSAGE_CODEC_CLASS(test_point_codec_parent_class)
        ->read_value_of_type(codec, buffer, offset, type, error);
  }
  gsize size = 0;
  const auto* data =
      static_cast<const guint8*>(g_bytes_get_data(buffer, &size));
  double coordinates[2];
  if (size - *offset < sizeof(coordinates)) {
    g_set_error(error, FL_MESSAGE_CODEC_ERROR,
                FL_MESSAGE_CODEC_ERROR_OUT_OF_DATA,
                "a point at offset %zu needs 16 bytes", *offset - 1);
    return nullptr;
  }
  memcpy(coordinates, data + *offset, sizeof(coordinates));
  *offset += sizeof(coordinates);
  return fl_value_new_float_list(coordinates, 2);
}

static void test_point_codec_class_init(TestPointCodecClass* klass) {
  FL_STANDARD_MESSAGE_CODEC_CLASS(klass)->write_value =
      test_point_codec_write_value;
  FL_STANDARD_MESSAGE_CODEC_CLASS(klass)->read_value_of_type =
      test_point_codec_read_value_of_type;
}

static void test_point_codec_init(TestPointCodec* self) {}

TestPointCodec* test_point_codec_new(void) {
  return TEST_POINT_CODEC(g_object_new(test_point_codec_get_type(), nullptr));
}
