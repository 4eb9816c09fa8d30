#ifndef EMBEDDING_PLATFORM_VALUE_TYPES_H_
#define EMBEDDING_PLATFORM_VALUE_TYPES_H_

#include <glib.h>

#include <cstdint>
#include <type_traits>

#include "flutter_linux/fl_value.h"

// Facts about each kind of value, in one table: the type byte that starts
// it in the standard encoding, the C type of one element of a typed list,
// and its name for messages. A fix to one of these facts touches this file
// alone; a new kind also needs its FlValueType and functions in
// fl_value.h and fl_value.cc, its case in the codec, and its form in
// kestrune-call's text (tools/value_text.cc).
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

// The C type of one element of each kind of typed list; void for the kinds
// that are not typed lists.
template <FlValueType type>
struct Element {
  using Type = void;
};
template <>
struct Element<FL_VALUE_TYPE_UINT8_LIST> {
  using Type = uint8_t;
};
template <>
struct Element<FL_VALUE_TYPE_INT32_LIST> {
  using Type = int32_t;
};
template <>
struct Element<FL_VALUE_TYPE_INT64_LIST> {
  using Type = int64_t;
};
template <>
struct Element<FL_VALUE_TYPE_FLOAT_LIST> {
  using Type = double;
};
template <>
struct Element<FL_VALUE_TYPE_FLOAT32_LIST> {
  using Type = float;
};

template <FlValueType type>
using ElementType = typename Element<type>::Type;

struct Facts {
  FlValueType type;
  // The type byte; a bool also has kFalse, an int that does not fit in 32
  // bits kInt64.
  TypeByte type_byte;
  // Bytes per element of a typed list; 0 for every other kind.
  gsize element_size;
  const char* name;
};

template <FlValueType type>
constexpr Facts row(TypeByte type_byte, const char* name) {
  if constexpr (std::is_void_v<ElementType<type>>) {
    return {type, type_byte, 0, name};
  } else {
    return {type, type_byte, sizeof(ElementType<type>), name};
  }
}

// In the order of FlValueType, so that a type indexes its row.
constexpr Facts kFacts[] = {
    row<FL_VALUE_TYPE_NULL>(kNull, "null"),
    row<FL_VALUE_TYPE_BOOL>(kTrue, "bool"),
    row<FL_VALUE_TYPE_INT>(kInt32, "int"),
    row<FL_VALUE_TYPE_FLOAT>(kFloat64, "float"),
    row<FL_VALUE_TYPE_STRING>(kString, "string"),
    row<FL_VALUE_TYPE_UINT8_LIST>(kUint8List, "uint8 list"),
    row<FL_VALUE_TYPE_INT32_LIST>(kInt32List, "int32 list"),
    row<FL_VALUE_TYPE_INT64_LIST>(kInt64List, "int64 list"),
    row<FL_VALUE_TYPE_FLOAT_LIST>(kFloat64List, "float list"),
    row<FL_VALUE_TYPE_LIST>(kList, "list"),
    row<FL_VALUE_TYPE_MAP>(kMap, "map"),
    row<FL_VALUE_TYPE_FLOAT32_LIST>(kFloat32List, "float32 list"),
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

template <FlValueType type>
const ElementType<type>* elements_of(const void* elements) {
  return static_cast<const ElementType<type>*>(elements);
}

// Calls @visit with @elements, the elements of a typed list of @type, as a
// pointer to their C type, and returns what it returns.
template <typename Visit>
auto with_elements(FlValueType type, const void* elements, Visit&& visit) {
  switch (type) {
    case FL_VALUE_TYPE_UINT8_LIST:
      return visit(elements_of<FL_VALUE_TYPE_UINT8_LIST>(elements));
    case FL_VALUE_TYPE_INT32_LIST:
      return visit(elements_of<FL_VALUE_TYPE_INT32_LIST>(elements));
    case FL_VALUE_TYPE_INT64_LIST:
      return visit(elements_of<FL_VALUE_TYPE_INT64_LIST>(elements));
    case FL_VALUE_TYPE_FLOAT_LIST:
      return visit(elements_of<FL_VALUE_TYPE_FLOAT_LIST>(elements));
    case FL_VALUE_TYPE_FLOAT32_LIST:
      return visit(elements_of<FL_VALUE_TYPE_FLOAT32_LIST>(elements));
    default:
      g_assert_not_reached();
  }
}

// The typed list that @type_byte starts, or nullptr.
inline const Facts* typed_list_of(guint8 type_byte) {
  for (const Facts& each : kFacts) {
    if (each.element_size != 0 && each.type_byte == type_byte) {
      return &each;
    }
  }
  return nullptr;
}

}  // namespace value_types

#endif  // EMBEDDING_PLATFORM_VALUE_TYPES_H_
