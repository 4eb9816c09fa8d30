#ifndef EMBEDDING_PLATFORM_VALUE_MAP_H_
#define EMBEDDING_PLATFORM_VALUE_MAP_H_

#include <glib.h>

#include <vector>

#include "flutter_linux/fl_value.h"

// The entries of a map value, in the order they were added, with no two
// equal keys. A key is found by comparing it with each key in turn.
class ValueMap {
 public:
  ValueMap() = default;
  ~ValueMap();
  ValueMap(const ValueMap&) = delete;
  ValueMap& operator=(const ValueMap&) = delete;

  size_t size() const { return keys_.size(); }
  FlValue* key(size_t index) const { return keys_[index]; }
  FlValue* value(size_t index) const { return values_[index]; }

  // The index of the entry whose key equals @key, or -1.
  gssize find(FlValue* key) const;

  // Stores the pair, taking over both references: in the entry of an equal
  // key if there is one, which keeps its place, or in a new last entry.
  void set_take(FlValue* key, FlValue* value);

 private:
  std::vector<FlValue*> keys_;
  std::vector<FlValue*> values_;
};

#endif  // EMBEDDING_PLATFORM_VALUE_MAP_H_
