#ifndef EMBEDDING_PLATFORM_VALUE_MAP_H_
#define EMBEDDING_PLATFORM_VALUE_MAP_H_

#include <glib.h>

#include <vector>

#include "flutter_linux/fl_value.h"

// The entries of a map value, in the order they were added, with no two
// equal keys. Small maps are searched entry by entry; from kIndexFrom
// entries on, a hash index finds a key in constant time, so that building
// or decoding a map of n entries takes time linear in n.
//
// The index is kept up to date as entries are added, never while looking
// up, so that any number of threads may read a map at once.
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
  static constexpr size_t kIndexFrom = 16;

  void index_entry(size_t entry);
  void rebuild_index();

  std::vector<FlValue*> keys_;
  std::vector<FlValue*> values_;
  // Once indexed: each entry's key hash, and open-addressed slots holding
  // an entry's position plus one (0 is an empty slot).
  std::vector<guint> hashes_;
  std::vector<guint32> slots_;
};

#endif  // EMBEDDING_PLATFORM_VALUE_MAP_H_
