#ifndef FLUTTER_LINUX_FL_VALUE_H_
#define FLUTTER_LINUX_FL_VALUE_H_

#if !defined(__FLUTTER_LINUX_INSIDE__) && !defined(FLUTTER_LINUX_COMPILATION)
#error "Only <flutter_linux/flutter_linux.h> can be included directly."
#endif

#include <glib.h>
#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

G_BEGIN_DECLS
#pragma GCC visibility push(default)

/**
 * FlValue:
 *
 * A reference-counted value of the standard encoding: null, booleans,
 * 64-bit integers, doubles, UTF-8 strings, typed numeric lists, lists of
 * values and maps from values to values.
 */
typedef struct _FlValue FlValue;

/**
 * FlValueType:
 *
 * The kind of an #FlValue. The order is part of the ABI.
 */
typedef enum {
  FL_VALUE_TYPE_NULL,
  FL_VALUE_TYPE_BOOL,
  FL_VALUE_TYPE_INT,
  FL_VALUE_TYPE_FLOAT,
  FL_VALUE_TYPE_STRING,
  FL_VALUE_TYPE_UINT8_LIST,
  FL_VALUE_TYPE_INT32_LIST,
  FL_VALUE_TYPE_INT64_LIST,
  FL_VALUE_TYPE_FLOAT_LIST,
  FL_VALUE_TYPE_LIST,
  FL_VALUE_TYPE_MAP,
  FL_VALUE_TYPE_FLOAT32_LIST,
} FlValueType;

/**
 * fl_value_new_null:
 *
 * Returns: (transfer full): a new null value.
 */
FlValue* fl_value_new_null(void);

/**
 * fl_value_new_bool:
 * @value: the boolean.
 *
 * Returns: (transfer full): a new boolean value.
 */
FlValue* fl_value_new_bool(bool value);

/**
 * fl_value_new_int:
 * @value: the integer.
 *
 * Returns: (transfer full): a new integer value.
 */
FlValue* fl_value_new_int(int64_t value);

/**
 * fl_value_new_float:
 * @value: the number.
 *
 * Returns: (transfer full): a new floating-point value.
 */
FlValue* fl_value_new_float(double value);

/**
 * fl_value_new_string:
 * @value: a NUL-terminated UTF-8 string.
 *
 * Returns: (transfer full): a new string value holding its own copy of
 * @value.
 */
FlValue* fl_value_new_string(const gchar* value);

/**
 * fl_value_new_string_sized:
 * @value: (array length=value_length): UTF-8 text, not necessarily
 *   NUL-terminated; may be %NULL when @value_length is 0.
 * @value_length: the number of bytes of @value to copy at most.
 *
 * A string value is C text: the copy ends at the first U+0000 in the
 * @value_length bytes, if there is one, and what follows is not kept.
 *
 * Returns: (transfer full): a new string value holding a copy of the text.
 */
FlValue* fl_value_new_string_sized(const gchar* value, size_t value_length);

/**
 * fl_value_new_uint8_list:
 * @value: (array length=value_length) (nullable): the elements to copy; may
 *   be %NULL when @value_length is 0.
 * @value_length: the number of elements.
 *
 * Returns: (transfer full): a new uint8 list holding a copy of @value.
 */
FlValue* fl_value_new_uint8_list(const uint8_t* value, size_t value_length);

/**
 * fl_value_new_uint8_list_from_bytes:
 * @value: (transfer none): the bytes to copy.
 *
 * Returns: (transfer full): a new uint8 list holding a copy of @value.
 */
FlValue* fl_value_new_uint8_list_from_bytes(GBytes* value);

/**
 * fl_value_new_int32_list:
 * @value: (array length=value_length) (nullable): the elements to copy; may
 *   be %NULL when @value_length is 0.
 * @value_length: the number of elements.
 *
 * Returns: (transfer full): a new int32 list holding a copy of @value.
 */
FlValue* fl_value_new_int32_list(const int32_t* value, size_t value_length);

/**
 * fl_value_new_int64_list:
 * @value: (array length=value_length) (nullable): the elements to copy; may
 *   be %NULL when @value_length is 0.
 * @value_length: the number of elements.
 *
 * Returns: (transfer full): a new int64 list holding a copy of @value.
 */
FlValue* fl_value_new_int64_list(const int64_t* value, size_t value_length);

/**
 * fl_value_new_float32_list:
 * @value: (array length=value_length) (nullable): the elements to copy; may
 *   be %NULL when @value_length is 0.
 * @value_length: the number of elements.
 *
 * Returns: (transfer full): a new float32 list holding a copy of @value.
 */
FlValue* fl_value_new_float32_list(const float* value, size_t value_length);

/**
 * fl_value_new_float_list:
 * @value: (array length=value_length) (nullable): the elements to copy; may
 *   be %NULL when @value_length is 0.
 * @value_length: the number of elements.
 *
 * Returns: (transfer full): a new list of doubles holding a copy of @value.
 */
FlValue* fl_value_new_float_list(const double* value, size_t value_length);

/**
 * fl_value_new_list:
 *
 * Returns: (transfer full): a new, empty list.
 */
FlValue* fl_value_new_list(void);

/**
 * fl_value_new_list_from_strv:
 * @value: (array zero-terminated=1): a %NULL-terminated array of strings.
 *
 * Returns: (transfer full): a new list of string values, one per element of
 * @value, in order.
 */
FlValue* fl_value_new_list_from_strv(const gchar* const* value);

/**
 * fl_value_new_map:
 *
 * Returns: (transfer full): a new, empty map.
 */
FlValue* fl_value_new_map(void);

/**
 * fl_value_ref:
 * @value: an #FlValue.
 *
 * Adds a reference; any thread may.
 *
 * Returns: (transfer full): @value.
 */
FlValue* fl_value_ref(FlValue* value);

/**
 * fl_value_unref:
 * @value: (transfer full): an #FlValue.
 *
 * Drops a reference; the last one frees @value and drops its references to
 * its children.
 */
void fl_value_unref(FlValue* value);

/**
 * fl_value_get_type:
 * @value: an #FlValue.
 *
 * Returns: the kind of @value (an #FlValueType, not a #GType).
 */
FlValueType fl_value_get_type(FlValue* value);

/**
 * fl_value_equal:
 * @a: an #FlValue.
 * @b: an #FlValue.
 *
 * Floats compare as C's `==` does, element by element in float lists too:
 * NaN is not equal to itself and `0.0` equals `-0.0`.
 *
 * Returns: %TRUE if @a and @b have the same kind and the same contents,
 * children included. Maps are equal when they hold equal values under equal
 * keys, in any order.
 */
bool fl_value_equal(FlValue* a, FlValue* b);

/**
 * fl_value_append:
 * @value: a list.
 * @child: (transfer none): the value to add; the list takes a reference.
 *
 * Adds @child at the end of @value.
 */
void fl_value_append(FlValue* value, FlValue* child);

/**
 * fl_value_append_take:
 * @value: a list.
 * @child: (transfer full): the value to add.
 *
 * As fl_value_append(), taking over the caller's reference to @child.
 */
void fl_value_append_take(FlValue* value, FlValue* child);

/**
 * fl_value_set:
 * @map: a map.
 * @key: (transfer none): the key; the map takes a reference.
 * @value: (transfer none): the value; the map takes a reference.
 *
 * Stores @value under @key in @map. If an equal key is there already, its
 * entry keeps its place and takes @key and @value: a map never holds two
 * equal keys. A key must not change while it is in a map.
 */
void fl_value_set(FlValue* map, FlValue* key, FlValue* value);

/**
 * fl_value_set_take:
 * @map: a map.
 * @key: (transfer full): the key.
 * @value: (transfer full): the value.
 *
 * As fl_value_set(), taking over the caller's references to @key and
 * @value.
 */
void fl_value_set_take(FlValue* map, FlValue* key, FlValue* value);

/**
 * fl_value_set_string:
 * @map: a map.
 * @key: the text of a string key, copied.
 * @value: (transfer none): the value; the map takes a reference.
 *
 * As fl_value_set(), with a string key made from @key.
 */
void fl_value_set_string(FlValue* map, const gchar* key, FlValue* value);

/**
 * fl_value_set_string_take:
 * @map: a map.
 * @key: the text of a string key, copied.
 * @value: (transfer full): the value.
 *
 * As fl_value_set_string(), taking over the caller's reference to @value.
 */
void fl_value_set_string_take(FlValue* map, const gchar* key, FlValue* value);

/**
 * fl_value_get_bool:
 * @value: a boolean value.
 *
 * This getter and the ones below are for values of their own kind only:
 * calling one on a value of another kind is a programming error (a
 * critical), and the result is 0, %FALSE or %NULL.
 *
 * Returns: the boolean.
 */
bool fl_value_get_bool(FlValue* value);

/**
 * fl_value_get_int:
 * @value: an integer value.
 *
 * Returns: the integer.
 */
int64_t fl_value_get_int(FlValue* value);

/**
 * fl_value_get_float:
 * @value: a floating-point value.
 *
 * Returns: the number.
 */
double fl_value_get_float(FlValue* value);

/**
 * fl_value_get_string:
 * @value: a string value.
 *
 * Returns: (transfer none): the NUL-terminated UTF-8 text, which lives as
 * long as @value.
 */
const gchar* fl_value_get_string(FlValue* value);

/**
 * fl_value_get_uint8_list:
 * @value: a uint8 list.
 *
 * Returns: (transfer none) (array): the fl_value_get_length() elements,
 * which live as long as @value.
 */
const uint8_t* fl_value_get_uint8_list(FlValue* value);

/**
 * fl_value_get_int32_list:
 * @value: an int32 list.
 *
 * Returns: (transfer none) (array): the fl_value_get_length() elements,
 * which live as long as @value.
 */
const int32_t* fl_value_get_int32_list(FlValue* value);

/**
 * fl_value_get_int64_list:
 * @value: an int64 list.
 *
 * Returns: (transfer none) (array): the fl_value_get_length() elements,
 * which live as long as @value.
 */
const int64_t* fl_value_get_int64_list(FlValue* value);

/**
 * fl_value_get_float32_list:
 * @value: a float32 list.
 *
 * Returns: (transfer none) (array): the fl_value_get_length() elements,
 * which live as long as @value.
 */
const float* fl_value_get_float32_list(FlValue* value);

/**
 * fl_value_get_float_list:
 * @value: a list of doubles.
 *
 * Returns: (transfer none) (array): the fl_value_get_length() elements,
 * which live as long as @value.
 */
const double* fl_value_get_float_list(FlValue* value);

/**
 * fl_value_get_length:
 * @value: a list, typed list or map.
 *
 * For lists, typed lists and maps only: on any other kind, strings included,
 * it is a programming error (a critical), and the result is 0.
 *
 * Returns: the number of elements of a list or typed list, or of entries of
 * a map.
 */
size_t fl_value_get_length(FlValue* value);

/**
 * fl_value_get_list_value:
 * @value: a list.
 * @index: an index below fl_value_get_length().
 *
 * Returns: (transfer none): the element at @index.
 */
FlValue* fl_value_get_list_value(FlValue* value, size_t index);

/**
 * fl_value_get_map_key:
 * @value: a map.
 * @index: an index below fl_value_get_length(); entries keep the order in
 *   which their keys were first set.
 *
 * Returns: (transfer none): the key of the entry at @index.
 */
FlValue* fl_value_get_map_key(FlValue* value, size_t index);

/**
 * fl_value_get_map_value:
 * @value: a map.
 * @index: an index below fl_value_get_length().
 *
 * Returns: (transfer none): the value of the entry at @index.
 */
FlValue* fl_value_get_map_value(FlValue* value, size_t index);

/**
 * fl_value_lookup:
 * @map: a map.
 * @key: (transfer none): the key to look for.
 *
 * Returns: (transfer none) (nullable): the value stored under a key equal to
 * @key in @map, or %NULL.
 */
FlValue* fl_value_lookup(FlValue* map, FlValue* key);

/**
 * fl_value_lookup_string:
 * @map: a map.
 * @key: the text of the string key to look for.
 *
 * Returns: (transfer none) (nullable): the value stored under the string key
 * @key in @map, or %NULL.
 */
FlValue* fl_value_lookup_string(FlValue* map, const gchar* key);

/**
 * fl_value_to_string:
 * @value: an #FlValue.
 *
 * Returns: (transfer full): a readable form of @value, to free with
 * g_free(). Floats are written with sixteen decimals, less the zeros at
 * the end but one after the point.
 */
gchar* fl_value_to_string(FlValue* value);

G_DEFINE_AUTOPTR_CLEANUP_FUNC(FlValue, fl_value_unref)

#pragma GCC visibility pop
G_END_DECLS

#endif  // FLUTTER_LINUX_FL_VALUE_H_
