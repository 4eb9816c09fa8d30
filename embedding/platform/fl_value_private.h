#ifndef EMBEDDING_PLATFORM_FL_VALUE_PRIVATE_H_
#define EMBEDDING_PLATFORM_FL_VALUE_PRIVATE_H_

#include "flutter_linux/fl_value.h"

// A typed list of @type holding a copy of the @length elements at
// @elements, which need not be aligned.
FlValue* fl_value_new_typed_list(FlValueType type,
                                 const void* elements,
                                 size_t length);

// The elements of a typed list of any type.
const void* fl_value_get_typed_list(FlValue* value);

#endif  // EMBEDDING_PLATFORM_FL_VALUE_PRIVATE_H_
