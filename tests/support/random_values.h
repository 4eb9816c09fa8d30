#ifndef KESTRUNE_TESTS_SUPPORT_RANDOM_VALUES_H_
#define KESTRUNE_TESTS_SUPPORT_RANDOM_VALUES_H_

#include <random>

#include "embedding_host/embedding_host.h"

namespace test_support {

// Builds random values of every kind, nested up to @max_depth, from a seeded
// generator so that a failure can be replayed. Floats are never NaN, so that
// fl_value_equal() can compare a value with its decoded copy.
class RandomValues {
 public:
  explicit RandomValues(uint64_t seed, int max_depth = 3)
      : engine_(seed), max_depth_(max_depth) {}

  FlValue* next() { return make(0); }

 private:
  FlValue* make(int depth);
  int64_t integer();
  double number();
  size_t length(size_t most);
  std::string text();

  std::mt19937_64 engine_;
  int max_depth_;
};

}  // namespace test_support

#endif  // KESTRUNE_TESTS_SUPPORT_RANDOM_VALUES_H_
