#include "value_map.h"

ValueMap::~ValueMap() {
  for (size_t i = 0; i < keys_.size(); i++) {
    fl_value_unref(keys_[i]);
    fl_value_unref(values_[i]);
  }
}

gssize ValueMap::find(FlValue* key) const {
  for (size_t i = 0; i < keys_.size(); i++) {
    if (fl_value_equal(keys_[i], key)) {
      return static_cast<gssize>(i);
    }
  }
  return -1;
}

void ValueMap::set_take(FlValue* key, FlValue* value) {
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
}
