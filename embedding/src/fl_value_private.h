#ifndef EMBEDDING_SRC_FL_VALUE_PRIVATE_H_
#define EMBEDDING_SRC_FL_VALUE_PRIVATE_H_

#include "flutter_linux/fl_value.h"

// Adds an entry to @map without looking for an equal key, taking over both
// references. The decoder uses it so that a map read off the wire keeps every
// entry it carried, in order, and decoding stays linear in the input.
void fl_value_map_append_take(FlValue* map, FlValue* key, FlValue* value);

// Makes a typed list of @length elements whose storage the caller fills
// through the returned pointer before the value is shared.
FlValue* fl_value_new_typed_list_uninitialised(FlValueType type,
                                               size_t length,
                                               void** elements);

#endif  // EMBEDDING_SRC_FL_VALUE_PRIVATE_H_
