#ifndef EMBEDDING_PLATFORM_VALUE_TYPES_H_
#define EMBEDDING_PLATFORM_VALUE_TYPES_H_

#include <glib.h>

#include "flutter_linux/fl_value.h"

// Facts about each kind of value, in one table: the type byte that starts
// it in the standard encoding, the size of one element of a typed list, and
// its name for messages. A new kind, or a fix to one, touches this table.
namespace value_types {

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

// A size takes one byte below kSize16Marker; that byte announces a uint16,
// kSize32Marker a uint32.
constexpr guint8 kSize16Marker = 254;
constexpr guint8 kSize32Marker = 255;

struct Facts {
  FlValueType type;
  // The type byte; a bool also has kFalse, an int that does not fit in 32
  // bits kInt64.
  TypeByte type_byte;
  // Bytes per element of a typed list; 0 for every other kind.
  gsize element_size;
  const char* name;
};

// In the order of FlValueType, so that a type indexes its row.
constexpr Facts kFacts[] = {
    {FL_VALUE_TYPE_NULL, kNull, 0, "null"},
    {FL_VALUE_TYPE_BOOL, kTrue, 0, "bool"},
    {FL_VALUE_TYPE_INT, kInt32, 0, "int"},
    {FL_VALUE_TYPE_FLOAT, kFloat64, 0, "float"},
    {FL_VALUE_TYPE_STRING, kString, 0, "string"},
    {FL_VALUE_TYPE_UINT8_LIST, kUint8List, 1, "uint8 list"},
    {FL_VALUE_TYPE_INT32_LIST, kInt32List, 4, "int32 list"},
    {FL_VALUE_TYPE_INT64_LIST, kInt64List, 8, "int64 list"},
    {FL_VALUE_TYPE_FLOAT_LIST, kFloat64List, 8, "float list"},
    {FL_VALUE_TYPE_LIST, kList, 0, "list"},
    {FL_VALUE_TYPE_MAP, kMap, 0, "map"},
    {FL_VALUE_TYPE_FLOAT32_LIST, kFloat32List, 4, "float32 list"},
};

constexpr bool rows_in_type_order() {
  for (gsize i = 0; i < G_N_ELEMENTS(kFacts); i++) {
    if (kFacts[i].type != static_cast<FlValueType>(i)) {
      return false;
    }
  }
  return true;
}
static_assert(rows_in_type_order(), "kFacts must follow FlValueType");

inline const Facts& facts(FlValueType type) {
  return kFacts[type];
}

inline bool is_typed_list(FlValueType type) {
  return facts(type).element_size != 0;
}

// The typed list that @type_byte starts, or nullptr.
inline const Facts* typed_list_of(guint8 type_byte) {
  for (const Facts& row : kFacts) {
    if (row.element_size != 0 && row.type_byte == type_byte) {
      return &row;
    }
  }
  return nullptr;
}

}  // namespace value_types

#endif  // EMBEDDING_PLATFORM_VALUE_TYPES_H_
