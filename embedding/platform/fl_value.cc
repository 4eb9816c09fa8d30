#include "flutter_linux/fl_value.h"

#include <cfloat>
#include <cinttypes>
#include <cstring>
#include <type_traits>
#include <vector>

#include "fl_value_private.h"
#include "value_map.h"
#include "value_types.h"

using value_types::is_typed_list;

// Every value is one allocation: the header below, followed for strings and
// typed lists by the bytes or elements themselves (a string's bytes with a
// NUL after them). Lists keep their children in a vector, maps in a
// ValueMap.
struct _FlValue {
  FlValueType type;
  gint ref_count;
  union {
    bool boolean;
    int64_t integer;
    double number;
    struct {
      size_t length;  // bytes of a string, elements of a typed list
      void* data;     // points just past the header
    } array;
    std::vector<FlValue*>* list;
    ValueMap* map;
  };
};

namespace {

static_assert(sizeof(_FlValue) % alignof(double) == 0,
              "inline elements must stay aligned");

FlValue* value_alloc(FlValueType type, size_t extra_bytes) {
  auto* value = static_cast<FlValue*>(g_malloc(sizeof(_FlValue) + extra_bytes));
  value->type = type;
  value->ref_count = 1;
  return value;
}

bool is_map(FlValue* value) {
  return value != nullptr && value->type == FL_VALUE_TYPE_MAP;
}

bool is_list(FlValue* value) {
  return value != nullptr && value->type == FL_VALUE_TYPE_LIST;
}

bool has_length(FlValue* value) {
  return value->type == FL_VALUE_TYPE_LIST ||
         value->type == FL_VALUE_TYPE_MAP || is_typed_list(value->type);
}

// ---- Equality ----

// Elements compare as C's == does, which for floats is not how their bytes
// do: NaN differs from itself, 0.0 equals -0.0.
bool arrays_equal(FlValue* a, FlValue* b) {
  if (a->array.length != b->array.length) {
    return false;
  }
  if (a->type == FL_VALUE_TYPE_STRING) {
    return memcmp(a->array.data, b->array.data, a->array.length) == 0;
  }
  return value_types::with_elements(
      a->type, a->array.data, [&](const auto* left) {
        const auto* right = static_cast<decltype(left)>(b->array.data);
        for (size_t i = 0; i < a->array.length; i++) {
          if (!(left[i] == right[i])) {
            return false;
          }
        }
        return true;
      });
}

// ---- Text ----

// Sixteen decimals, less the zeros at the end but one after the point.
void append_float(GString* out, double number) {
  // A sign, the 309 digits of the largest double, a point, the decimals.
  char text[1 + DBL_MAX_10_EXP + 1 + 1 + 16 + 1];
  g_ascii_formatd(text, sizeof(text), "%.16f", number);
  size_t length = strlen(text);
  if (strchr(text, '.') != nullptr) {
    while (text[length - 1] == '0' && text[length - 2] != '.') {
      length--;
    }
  }
  g_string_append_len(out, text, length);
}

template <typename T>
void append_numbers(GString* out, const T* elements, size_t length) {
  g_string_append_c(out, '[');
  for (size_t i = 0; i < length; i++) {
    if (i > 0) {
      g_string_append(out, ", ");
    }
    if constexpr (std::is_floating_point_v<T>) {
      append_float(out, elements[i]);
    } else {
      g_string_append_printf(out, "%" PRId64,
                             static_cast<int64_t>(elements[i]));
    }
  }
  g_string_append_c(out, ']');
}

void append_to_string(GString* out, FlValue* value) {
  switch (value->type) {
    case FL_VALUE_TYPE_NULL:
      g_string_append(out, "null");
      break;
    case FL_VALUE_TYPE_BOOL:
      g_string_append(out, value->boolean ? "true" : "false");
      break;
    case FL_VALUE_TYPE_INT:
      g_string_append_printf(out, "%" PRId64, value->integer);
      break;
    case FL_VALUE_TYPE_FLOAT:
      append_float(out, value->number);
      break;
    case FL_VALUE_TYPE_STRING:
      g_string_append(out, static_cast<const gchar*>(value->array.data));
      break;
    case FL_VALUE_TYPE_UINT8_LIST:
    case FL_VALUE_TYPE_INT32_LIST:
    case FL_VALUE_TYPE_INT64_LIST:
    case FL_VALUE_TYPE_FLOAT_LIST:
    case FL_VALUE_TYPE_FLOAT32_LIST:
      value_types::with_elements(
          value->type, value->array.data, [&](const auto* elements) {
            append_numbers(out, elements, value->array.length);
          });
      break;
    case FL_VALUE_TYPE_LIST:
      g_string_append_c(out, '[');
      for (size_t i = 0; i < value->list->size(); i++) {
        if (i > 0) {
          g_string_append(out, ", ");
        }
        append_to_string(out, (*value->list)[i]);
      }
      g_string_append_c(out, ']');
      break;
    case FL_VALUE_TYPE_MAP:
      g_string_append_c(out, '{');
      for (size_t i = 0; i < value->map->size(); i++) {
        if (i > 0) {
          g_string_append(out, ", ");
        }
        append_to_string(out, value->map->key(i));
        g_string_append(out, ": ");
        append_to_string(out, value->map->value(i));
      }
      g_string_append_c(out, '}');
      break;
  }
}

}  // namespace

// ---- Private to the library ----

FlValue* fl_value_new_typed_list(FlValueType type,
                                 const void* elements,
                                 size_t length) {
  size_t size = length * value_types::facts(type).element_size;
  FlValue* value = value_alloc(type, size);
  value->array.length = length;
  value->array.data = value + 1;
  if (size > 0) {
    memcpy(value->array.data, elements, size);
  }
  return value;
}

const void* fl_value_get_typed_list(FlValue* value) {
  g_return_val_if_fail(value != nullptr && is_typed_list(value->type), nullptr);
  return value->array.data;
}

// ---- Construction and life ----

FlValue* fl_value_new_null(void) {
  return value_alloc(FL_VALUE_TYPE_NULL, 0);
}

FlValue* fl_value_new_bool(bool boolean) {
  FlValue* value = value_alloc(FL_VALUE_TYPE_BOOL, 0);
  value->boolean = boolean;
  return value;
}

FlValue* fl_value_new_int(int64_t integer) {
  FlValue* value = value_alloc(FL_VALUE_TYPE_INT, 0);
  value->integer = integer;
  return value;
}

FlValue* fl_value_new_float(double number) {
  FlValue* value = value_alloc(FL_VALUE_TYPE_FLOAT, 0);
  value->number = number;
  return value;
}

FlValue* fl_value_new_string(const gchar* text) {
  g_return_val_if_fail(text != nullptr, nullptr);
  return fl_value_new_string_sized(text, strlen(text));
}

// A string is C text, as on the platform: it ends at its first U+0000, and
// what follows is not kept.
FlValue* fl_value_new_string_sized(const gchar* text, size_t length) {
  g_return_val_if_fail(text != nullptr || length == 0, nullptr);
  length = length > 0 ? strnlen(text, length) : 0;
  FlValue* value = value_alloc(FL_VALUE_TYPE_STRING, length + 1);
  value->array.length = length;
  value->array.data = value + 1;
  auto* copy = static_cast<gchar*>(value->array.data);
  if (length > 0) {
    memcpy(copy, text, length);
  }
  copy[length] = '\0';
  return value;
}

// Each typed list's C element type comes from the table, and must be the
// one that the public header declares.
#define TYPED_LIST_CONSTRUCTOR(name, value_type)                       \
  FlValue* name(const value_types::ElementType<value_type>* elements,  \
                size_t length) {                                       \
    g_return_val_if_fail(elements != nullptr || length == 0, nullptr); \
    return fl_value_new_typed_list(value_type, elements, length);      \
  }

TYPED_LIST_CONSTRUCTOR(fl_value_new_uint8_list, FL_VALUE_TYPE_UINT8_LIST)
TYPED_LIST_CONSTRUCTOR(fl_value_new_int32_list, FL_VALUE_TYPE_INT32_LIST)
TYPED_LIST_CONSTRUCTOR(fl_value_new_int64_list, FL_VALUE_TYPE_INT64_LIST)
TYPED_LIST_CONSTRUCTOR(fl_value_new_float32_list, FL_VALUE_TYPE_FLOAT32_LIST)
TYPED_LIST_CONSTRUCTOR(fl_value_new_float_list, FL_VALUE_TYPE_FLOAT_LIST)

#undef TYPED_LIST_CONSTRUCTOR

FlValue* fl_value_new_uint8_list_from_bytes(GBytes* bytes) {
  g_return_val_if_fail(bytes != nullptr, nullptr);
  gsize length = 0;
  const void* data = g_bytes_get_data(bytes, &length);
  return fl_value_new_typed_list(FL_VALUE_TYPE_UINT8_LIST, data, length);
}

FlValue* fl_value_new_list(void) {
  FlValue* value = value_alloc(FL_VALUE_TYPE_LIST, 0);
  value->list = new std::vector<FlValue*>();
  return value;
}

FlValue* fl_value_new_list_from_strv(const gchar* const* strings) {
  g_return_val_if_fail(strings != nullptr, nullptr);
  FlValue* value = fl_value_new_list();
  for (const gchar* const* text = strings; *text != nullptr; text++) {
    value->list->push_back(fl_value_new_string(*text));
  }
  return value;
}

FlValue* fl_value_new_map(void) {
  FlValue* value = value_alloc(FL_VALUE_TYPE_MAP, 0);
  value->map = new ValueMap();
  return value;
}

FlValue* fl_value_ref(FlValue* value) {
  g_return_val_if_fail(value != nullptr, nullptr);
  g_atomic_int_inc(&value->ref_count);
  return value;
}

void fl_value_unref(FlValue* value) {
  g_return_if_fail(value != nullptr);
  if (!g_atomic_int_dec_and_test(&value->ref_count)) {
    return;
  }
  if (value->type == FL_VALUE_TYPE_LIST) {
    for (FlValue* child : *value->list) {
      fl_value_unref(child);
    }
    delete value->list;
  } else if (value->type == FL_VALUE_TYPE_MAP) {
    delete value->map;
  }
  g_free(value);
}

FlValueType fl_value_get_type(FlValue* value) {
  g_return_val_if_fail(value != nullptr, FL_VALUE_TYPE_NULL);
  return value->type;
}

bool fl_value_equal(FlValue* a, FlValue* b) {
  g_return_val_if_fail(a != nullptr, false);
  g_return_val_if_fail(b != nullptr, false);
  if (a->type != b->type) {
    return false;
  }
  switch (a->type) {
    case FL_VALUE_TYPE_NULL:
      return true;
    case FL_VALUE_TYPE_BOOL:
      return a->boolean == b->boolean;
    case FL_VALUE_TYPE_INT:
      return a->integer == b->integer;
    case FL_VALUE_TYPE_FLOAT:
      return a->number == b->number;
    case FL_VALUE_TYPE_STRING:
    case FL_VALUE_TYPE_UINT8_LIST:
    case FL_VALUE_TYPE_INT32_LIST:
    case FL_VALUE_TYPE_INT64_LIST:
    case FL_VALUE_TYPE_FLOAT32_LIST:
    case FL_VALUE_TYPE_FLOAT_LIST:
      return arrays_equal(a, b);
    case FL_VALUE_TYPE_LIST: {
      const std::vector<FlValue*>& left = *a->list;
      const std::vector<FlValue*>& right = *b->list;
      if (left.size() != right.size()) {
        return false;
      }
      for (size_t i = 0; i < left.size(); i++) {
        if (!fl_value_equal(left[i], right[i])) {
          return false;
        }
      }
      return true;
    }
    case FL_VALUE_TYPE_MAP: {
      if (a->map->size() != b->map->size()) {
        return false;
      }
      for (size_t i = 0; i < a->map->size(); i++) {
        gssize other = b->map->find(a->map->key(i));
        if (other < 0 ||
            !fl_value_equal(a->map->value(i), b->map->value(other))) {
          return false;
        }
      }
      return true;
    }
  }
  return false;
}

// ---- Lists and maps ----

void fl_value_append(FlValue* value, FlValue* child) {
  g_return_if_fail(is_list(value));
  g_return_if_fail(child != nullptr);
  fl_value_append_take(value, fl_value_ref(child));
}

void fl_value_append_take(FlValue* value, FlValue* child) {
  g_return_if_fail(is_list(value));
  g_return_if_fail(child != nullptr);
  value->list->push_back(child);
}

void fl_value_set(FlValue* map, FlValue* key, FlValue* value) {
  g_return_if_fail(is_map(map));
  g_return_if_fail(key != nullptr);
  g_return_if_fail(value != nullptr);
  fl_value_set_take(map, fl_value_ref(key), fl_value_ref(value));
}

void fl_value_set_take(FlValue* map, FlValue* key, FlValue* value) {
  g_return_if_fail(is_map(map));
  g_return_if_fail(key != nullptr);
  g_return_if_fail(value != nullptr);
  map->map->set_take(key, value);
}

void fl_value_set_string(FlValue* map, const gchar* key, FlValue* value) {
  g_return_if_fail(is_map(map));
  g_return_if_fail(key != nullptr);
  g_return_if_fail(value != nullptr);
  fl_value_set_take(map, fl_value_new_string(key), fl_value_ref(value));
}

void fl_value_set_string_take(FlValue* map, const gchar* key, FlValue* value) {
  g_return_if_fail(is_map(map));
  g_return_if_fail(key != nullptr);
  g_return_if_fail(value != nullptr);
  fl_value_set_take(map, fl_value_new_string(key), value);
}

// ---- Reading ----

bool fl_value_get_bool(FlValue* value) {
  g_return_val_if_fail(value != nullptr && value->type == FL_VALUE_TYPE_BOOL,
                       false);
  return value->boolean;
}

int64_t fl_value_get_int(FlValue* value) {
  g_return_val_if_fail(value != nullptr && value->type == FL_VALUE_TYPE_INT, 0);
  return value->integer;
}

double fl_value_get_float(FlValue* value) {
  g_return_val_if_fail(value != nullptr && value->type == FL_VALUE_TYPE_FLOAT,
                       0.0);
  return value->number;
}

const gchar* fl_value_get_string(FlValue* value) {
  g_return_val_if_fail(value != nullptr && value->type == FL_VALUE_TYPE_STRING,
                       nullptr);
  return static_cast<const gchar*>(value->array.data);
}

// As the constructors above, each getter's C type comes from the table.
#define TYPED_LIST_GETTER(name, value_type)                               \
  const value_types::ElementType<value_type>* name(FlValue* value) {      \
    g_return_val_if_fail(value != nullptr && value->type == (value_type), \
                         nullptr);                                        \
    return value_types::elements_of<value_type>(value->array.data);       \
  }

TYPED_LIST_GETTER(fl_value_get_uint8_list, FL_VALUE_TYPE_UINT8_LIST)
TYPED_LIST_GETTER(fl_value_get_int32_list, FL_VALUE_TYPE_INT32_LIST)
TYPED_LIST_GETTER(fl_value_get_int64_list, FL_VALUE_TYPE_INT64_LIST)
TYPED_LIST_GETTER(fl_value_get_float32_list, FL_VALUE_TYPE_FLOAT32_LIST)
TYPED_LIST_GETTER(fl_value_get_float_list, FL_VALUE_TYPE_FLOAT_LIST)

#undef TYPED_LIST_GETTER

size_t fl_value_get_length(FlValue* value) {
  g_return_val_if_fail(value != nullptr, 0);
  g_return_val_if_fail(has_length(value), 0);
  if (value->type == FL_VALUE_TYPE_LIST) {
    return value->list->size();
  }
  if (value->type == FL_VALUE_TYPE_MAP) {
    return value->map->size();
  }
  return value->array.length;
}

FlValue* fl_value_get_list_value(FlValue* value, size_t index) {
  g_return_val_if_fail(is_list(value), nullptr);
  g_return_val_if_fail(index < value->list->size(), nullptr);
  return (*value->list)[index];
}

FlValue* fl_value_get_map_key(FlValue* value, size_t index) {
  g_return_val_if_fail(is_map(value), nullptr);
  g_return_val_if_fail(index < value->map->size(), nullptr);
  return value->map->key(index);
}

FlValue* fl_value_get_map_value(FlValue* value, size_t index) {
  g_return_val_if_fail(is_map(value), nullptr);
  g_return_val_if_fail(index < value->map->size(), nullptr);
  return value->map->value(index);
}

FlValue* fl_value_lookup(FlValue* map, FlValue* key) {
  g_return_val_if_fail(is_map(map), nullptr);
  g_return_val_if_fail(key != nullptr, nullptr);
  gssize index = map->map->find(key);
  return index < 0 ? nullptr : map->map->value(index);
}

FlValue* fl_value_lookup_string(FlValue* map, const gchar* key) {
  g_return_val_if_fail(is_map(map), nullptr);
  g_return_val_if_fail(key != nullptr, nullptr);
  g_autoptr(FlValue) string_key = fl_value_new_string(key);
  return fl_value_lookup(map, string_key);
}

gchar* fl_value_to_string(FlValue* value) {
  g_return_val_if_fail(value != nullptr, nullptr);
  GString* out = g_string_new(nullptr);
  append_to_string(out, value);
  return g_string_free(out, FALSE);
}
