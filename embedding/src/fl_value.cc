#include "flutter_linux/fl_value.h"

#include <cinttypes>
#include <cstring>
#include <type_traits>
#include <vector>

#include "fl_value_private.h"
#include "live_objects.h"

// Every value is one allocation: the header below, followed for strings and
// typed lists by the bytes or elements themselves. Lists and maps keep their
// children in a vector (maps alternate key and value).
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
    std::vector<FlValue*>* children;
  };
};

namespace {

static_assert(sizeof(_FlValue) % alignof(double) == 0,
              "inline elements must stay aligned");

// A null carries nothing and nothing can change it, so every null is this
// one shared value, which references do not count: a call without arguments
// costs no allocation.
_FlValue shared_null = {FL_VALUE_TYPE_NULL, 1, {false}};

bool is_shared(FlValue* value) {
  return value->type == FL_VALUE_TYPE_NULL;
}

FlValue* value_alloc(FlValueType type, size_t extra_bytes) {
  auto* value = static_cast<FlValue*>(g_malloc(sizeof(_FlValue) + extra_bytes));
  value->type = type;
  value->ref_count = 1;
  live_objects::born(live_objects::kValue);
  return value;
}

size_t element_size(FlValueType type) {
  switch (type) {
    case FL_VALUE_TYPE_UINT8_LIST:
      return sizeof(uint8_t);
    case FL_VALUE_TYPE_INT32_LIST:
      return sizeof(int32_t);
    case FL_VALUE_TYPE_FLOAT32_LIST:
      return sizeof(float);
    case FL_VALUE_TYPE_INT64_LIST:
      return sizeof(int64_t);
    case FL_VALUE_TYPE_FLOAT_LIST:
      return sizeof(double);
    default:
      return 0;
  }
}

bool is_typed_list(FlValueType type) {
  return element_size(type) != 0;
}

FlValue* new_typed_list(FlValueType type, const void* elements, size_t length) {
  void* storage = nullptr;
  FlValue* value =
      fl_value_new_typed_list_uninitialised(type, length, &storage);
  if (length > 0) {
    memcpy(storage, elements, length * element_size(type));
  }
  return value;
}

FlValue* new_container(FlValueType type) {
  FlValue* value = value_alloc(type, 0);
  value->children = new std::vector<FlValue*>();
  return value;
}

bool is_map(FlValue* value) {
  return value != nullptr && value->type == FL_VALUE_TYPE_MAP;
}

bool is_list(FlValue* value) {
  return value != nullptr && value->type == FL_VALUE_TYPE_LIST;
}

// Index of the entry of @map whose key equals @key, or -1.
gssize map_find(FlValue* map, FlValue* key) {
  const std::vector<FlValue*>& children = *map->children;
  for (size_t i = 0; i < children.size(); i += 2) {
    if (fl_value_equal(children[i], key)) {
      return static_cast<gssize>(i);
    }
  }
  return -1;
}

void append_to_string(GString* out, FlValue* value);

template <typename T>
void append_numbers(GString* out, const T* elements, size_t length) {
  g_string_append_c(out, '[');
  for (size_t i = 0; i < length; i++) {
    if (i > 0) {
      g_string_append(out, ", ");
    }
    if constexpr (std::is_floating_point_v<T>) {
      char text[G_ASCII_DTOSTR_BUF_SIZE];
      g_string_append(out, g_ascii_dtostr(text, sizeof(text), elements[i]));
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
    case FL_VALUE_TYPE_FLOAT: {
      char text[G_ASCII_DTOSTR_BUF_SIZE];
      g_string_append(out, g_ascii_dtostr(text, sizeof(text), value->number));
      break;
    }
    case FL_VALUE_TYPE_STRING:
      g_string_append_len(out, static_cast<const gchar*>(value->array.data),
                          value->array.length);
      break;
    case FL_VALUE_TYPE_UINT8_LIST:
      append_numbers(out, fl_value_get_uint8_list(value), value->array.length);
      break;
    case FL_VALUE_TYPE_INT32_LIST:
      append_numbers(out, fl_value_get_int32_list(value), value->array.length);
      break;
    case FL_VALUE_TYPE_INT64_LIST:
      append_numbers(out, fl_value_get_int64_list(value), value->array.length);
      break;
    case FL_VALUE_TYPE_FLOAT32_LIST:
      append_numbers(out, fl_value_get_float32_list(value),
                     value->array.length);
      break;
    case FL_VALUE_TYPE_FLOAT_LIST:
      append_numbers(out, fl_value_get_float_list(value), value->array.length);
      break;
    case FL_VALUE_TYPE_LIST:
      g_string_append_c(out, '[');
      for (size_t i = 0; i < value->children->size(); i++) {
        if (i > 0) {
          g_string_append(out, ", ");
        }
        append_to_string(out, (*value->children)[i]);
      }
      g_string_append_c(out, ']');
      break;
    case FL_VALUE_TYPE_MAP:
      g_string_append_c(out, '{');
      for (size_t i = 0; i < value->children->size(); i += 2) {
        if (i > 0) {
          g_string_append(out, ", ");
        }
        append_to_string(out, (*value->children)[i]);
        g_string_append(out, ": ");
        append_to_string(out, (*value->children)[i + 1]);
      }
      g_string_append_c(out, '}');
      break;
  }
}

}  // namespace

FlValue* fl_value_new_typed_list_uninitialised(FlValueType type,
                                               size_t length,
                                               void** elements) {
  FlValue* value = value_alloc(type, length * element_size(type));
  value->array.length = length;
  value->array.data = value + 1;
  *elements = value->array.data;
  return value;
}

void fl_value_map_append_take(FlValue* map, FlValue* key, FlValue* value) {
  map->children->push_back(key);
  map->children->push_back(value);
}

FlValue* fl_value_new_null(void) {
  return &shared_null;
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

FlValue* fl_value_new_string_sized(const gchar* text, size_t length) {
  g_return_val_if_fail(text != nullptr || length == 0, nullptr);
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

FlValue* fl_value_new_uint8_list(const uint8_t* elements, size_t length) {
  g_return_val_if_fail(elements != nullptr || length == 0, nullptr);
  return new_typed_list(FL_VALUE_TYPE_UINT8_LIST, elements, length);
}

FlValue* fl_value_new_int32_list(const int32_t* elements, size_t length) {
  g_return_val_if_fail(elements != nullptr || length == 0, nullptr);
  return new_typed_list(FL_VALUE_TYPE_INT32_LIST, elements, length);
}

FlValue* fl_value_new_int64_list(const int64_t* elements, size_t length) {
  g_return_val_if_fail(elements != nullptr || length == 0, nullptr);
  return new_typed_list(FL_VALUE_TYPE_INT64_LIST, elements, length);
}

FlValue* fl_value_new_float32_list(const float* elements, size_t length) {
  g_return_val_if_fail(elements != nullptr || length == 0, nullptr);
  return new_typed_list(FL_VALUE_TYPE_FLOAT32_LIST, elements, length);
}

FlValue* fl_value_new_float_list(const double* elements, size_t length) {
  g_return_val_if_fail(elements != nullptr || length == 0, nullptr);
  return new_typed_list(FL_VALUE_TYPE_FLOAT_LIST, elements, length);
}

FlValue* fl_value_new_list(void) {
  return new_container(FL_VALUE_TYPE_LIST);
}

FlValue* fl_value_new_map(void) {
  return new_container(FL_VALUE_TYPE_MAP);
}

FlValue* fl_value_ref(FlValue* value) {
  g_return_val_if_fail(value != nullptr, nullptr);
  if (!is_shared(value)) {
    g_atomic_int_inc(&value->ref_count);
  }
  return value;
}

void fl_value_unref(FlValue* value) {
  g_return_if_fail(value != nullptr);
  if (is_shared(value) || !g_atomic_int_dec_and_test(&value->ref_count)) {
    return;
  }
  if (value->type == FL_VALUE_TYPE_LIST || value->type == FL_VALUE_TYPE_MAP) {
    for (FlValue* child : *value->children) {
      fl_value_unref(child);
    }
    delete value->children;
  }
  live_objects::died(live_objects::kValue);
  g_free(value);
}

FlValueType fl_value_get_type(FlValue* value) {
  g_return_val_if_fail(value != nullptr, FL_VALUE_TYPE_NULL);
  return value->type;
}

bool fl_value_equal(FlValue* a, FlValue* b) {
  g_return_val_if_fail(a != nullptr, false);
  g_return_val_if_fail(b != nullptr, false);
  if (a == b) {
    return true;
  }
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
      // Byte comparison: NaN elements compare equal to themselves here, which
      // is what a round-trip check wants.
      return a->array.length == b->array.length &&
             memcmp(a->array.data, b->array.data,
                    a->array.length * (a->type == FL_VALUE_TYPE_STRING
                                           ? 1
                                           : element_size(a->type))) == 0;
    case FL_VALUE_TYPE_LIST: {
      const std::vector<FlValue*>& left = *a->children;
      const std::vector<FlValue*>& right = *b->children;
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
      if (a->children->size() != b->children->size()) {
        return false;
      }
      for (size_t i = 0; i < a->children->size(); i += 2) {
        FlValue* other = fl_value_lookup(b, (*a->children)[i]);
        if (other == nullptr || !fl_value_equal((*a->children)[i + 1], other)) {
          return false;
        }
      }
      return true;
    }
  }
  return false;
}

void fl_value_append(FlValue* value, FlValue* child) {
  g_return_if_fail(is_list(value));
  g_return_if_fail(child != nullptr);
  fl_value_append_take(value, fl_value_ref(child));
}

void fl_value_append_take(FlValue* value, FlValue* child) {
  g_return_if_fail(is_list(value));
  g_return_if_fail(child != nullptr);
  value->children->push_back(child);
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
  gssize index = map_find(map, key);
  if (index < 0) {
    fl_value_map_append_take(map, key, value);
    return;
  }
  std::vector<FlValue*>& children = *map->children;
  fl_value_unref(children[index]);
  fl_value_unref(children[index + 1]);
  children[index] = key;
  children[index + 1] = value;
}

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

#define TYPED_LIST_GETTER(name, element_type, value_type)                 \
  const element_type* name(FlValue* value) {                              \
    g_return_val_if_fail(value != nullptr && value->type == (value_type), \
                         nullptr);                                        \
    return static_cast<const element_type*>(value->array.data);           \
  }

TYPED_LIST_GETTER(fl_value_get_uint8_list, uint8_t, FL_VALUE_TYPE_UINT8_LIST)
TYPED_LIST_GETTER(fl_value_get_int32_list, int32_t, FL_VALUE_TYPE_INT32_LIST)
TYPED_LIST_GETTER(fl_value_get_int64_list, int64_t, FL_VALUE_TYPE_INT64_LIST)
TYPED_LIST_GETTER(fl_value_get_float32_list, float, FL_VALUE_TYPE_FLOAT32_LIST)
TYPED_LIST_GETTER(fl_value_get_float_list, double, FL_VALUE_TYPE_FLOAT_LIST)

#undef TYPED_LIST_GETTER

size_t fl_value_get_length(FlValue* value) {
  g_return_val_if_fail(value != nullptr, 0);
  if (value->type == FL_VALUE_TYPE_STRING || is_typed_list(value->type)) {
    return value->array.length;
  }
  if (value->type == FL_VALUE_TYPE_LIST) {
    return value->children->size();
  }
  if (value->type == FL_VALUE_TYPE_MAP) {
    return value->children->size() / 2;
  }
  g_return_val_if_reached(0);
}

FlValue* fl_value_get_list_value(FlValue* value, size_t index) {
  g_return_val_if_fail(is_list(value), nullptr);
  g_return_val_if_fail(index < value->children->size(), nullptr);
  return (*value->children)[index];
}

FlValue* fl_value_get_map_key(FlValue* value, size_t index) {
  g_return_val_if_fail(is_map(value), nullptr);
  g_return_val_if_fail(index < value->children->size() / 2, nullptr);
  return (*value->children)[2 * index];
}

FlValue* fl_value_get_map_value(FlValue* value, size_t index) {
  g_return_val_if_fail(is_map(value), nullptr);
  g_return_val_if_fail(index < value->children->size() / 2, nullptr);
  return (*value->children)[2 * index + 1];
}

FlValue* fl_value_lookup(FlValue* map, FlValue* key) {
  g_return_val_if_fail(is_map(map), nullptr);
  g_return_val_if_fail(key != nullptr, nullptr);
  gssize index = map_find(map, key);
  return index < 0 ? nullptr : (*map->children)[index + 1];
}

gchar* fl_value_to_string(FlValue* value) {
  g_return_val_if_fail(value != nullptr, nullptr);
  GString* out = g_string_new(nullptr);
  append_to_string(out, value);
  return g_string_free(out, FALSE);
}
