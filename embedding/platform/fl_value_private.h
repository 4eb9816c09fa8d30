#ifndef EMBEDDING_PLATFORM_FL_VALUE_PRIVATE_H_
#define EMBEDDING_PLATFORM_FL_VALUE_PRIVATE_H_

#include "flutter_linux/fl_value.h"

// The number of bytes of a string value, all of them: a string may hold
// U+0000, which fl_value_get_string() cannot show.
size_t fl_value_get_string_length(FlValue* value);

// Makes a typed list of @length elements whose storage the caller fills
// through @elements before the value is shared.
FlValue* fl_value_new_typed_list_uninitialised(FlValueType type,
                                               size_t length,
                                               void** elements);

#endif  // EMBEDDING_PLATFORM_FL_VALUE_PRIVATE_H_
