#include "value_map.h"

#include "fl_value_private.h"

ValueMap::~ValueMap() {
  for (size_t i = 0; i < keys_.size(); i++) {
    fl_value_unref(keys_[i]);
    fl_value_unref(values_[i]);
  }
}

gssize ValueMap::find(FlValue* key) const {
  if (slots_.empty()) {
    for (size_t i = 0; i < keys_.size(); i++) {
      if (fl_value_equal(keys_[i], key)) {
        return static_cast<gssize>(i);
      }
    }
    return -1;
  }
  guint hash = fl_value_hash(key);
  size_t mask = slots_.size() - 1;
  for (size_t slot = hash & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
    size_t entry = slots_[slot] - 1;
    if (hashes_[entry] == hash && fl_value_equal(keys_[entry], key)) {
      return static_cast<gssize>(entry);
    }
  }
  return -1;
}

// A key that is not equal to itself (a NaN, or a list holding one) equals
// no key, so no lookup can ever find it: it is stored, but not indexed,
// where every such key would share one slot's cluster.
static bool can_be_found(FlValue* key) {
  return fl_value_equal(key, key);
}

void ValueMap::set_take(FlValue* key, FlValue* value) {
  if (!can_be_found(key)) {
    keys_.push_back(key);
    values_.push_back(value);
    if (!slots_.empty()) {
      hashes_.push_back(0);
    }
    return;
  }
  gssize found = find(key);
  if (found >= 0) {
    fl_value_unref(keys_[found]);
    fl_value_unref(values_[found]);
    keys_[found] = key;
    values_[found] = value;
    return;
  }
  keys_.push_back(key);
  values_.push_back(value);
  if (!slots_.empty()) {
    hashes_.push_back(fl_value_hash(key));
    // At most half full, so that probes stay short.
    if (2 * keys_.size() > slots_.size()) {
      rebuild_index();
    } else {
      index_entry(keys_.size() - 1);
    }
  } else if (keys_.size() >= kIndexFrom) {
    for (FlValue* each : keys_) {
      hashes_.push_back(fl_value_hash(each));
    }
    rebuild_index();
  }
}

void ValueMap::index_entry(size_t entry) {
  size_t mask = slots_.size() - 1;
  size_t slot = hashes_[entry] & mask;
  while (slots_[slot] != 0) {
    slot = (slot + 1) & mask;
  }
  slots_[slot] = static_cast<guint32>(entry + 1);
}

void ValueMap::rebuild_index() {
  size_t capacity = 4 * kIndexFrom;
  while (capacity < 4 * keys_.size()) {
    capacity *= 2;
  }
  slots_.assign(capacity, 0);
  for (size_t entry = 0; entry < keys_.size(); entry++) {
    if (can_be_found(keys_[entry])) {
      index_entry(entry);
    }
  }
}
