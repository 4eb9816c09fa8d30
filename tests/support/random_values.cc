#include "random_values.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace test_support {

int64_t RandomValues::integer() {
  // Mostly values near the int32/int64 boundaries, where encodings change.
  static const int64_t kEdges[] = {0,
                                   1,
                                   -1,
                                   INT32_MAX,
                                   INT32_MIN,
                                   INT32_MAX + 1LL,
                                   INT32_MIN - 1LL,
                                   INT64_MAX,
                                   INT64_MIN};
  switch (engine_() % 3) {
    case 0:
      return kEdges[engine_() % G_N_ELEMENTS(kEdges)];
    case 1:
      return static_cast<int32_t>(engine_());
    default:
      return static_cast<int64_t>(engine_());
  }
}

double RandomValues::number() {
  if (engine_() % 4 == 0) {
    static const double kEdges[] = {0.0,    -0.0, INFINITY, -INFINITY,
                                    1e-310, 1.5,  -2.25};
    return kEdges[engine_() % G_N_ELEMENTS(kEdges)];
  }
  double number;
  do {
    uint64_t bits = engine_();
    memcpy(&number, &bits, sizeof(number));
  } while (std::isnan(number));
  return number;
}

size_t RandomValues::length(size_t most) {
  // Lengths either side of the one-byte size limit now and then.
  if (engine_() % 16 == 0) {
    return 250 + engine_() % 10;
  }
  return engine_() % (most + 1);
}

std::string RandomValues::text() {
  static const char* const kPieces[] = {"a", "Z", " ",  "~",    "é",
                                        "€", "😀", "\t", "\x7f", "ß"};
  std::string text;
  size_t pieces = length(12);
  for (size_t i = 0; i < pieces; i++) {
    text += kPieces[engine_() % G_N_ELEMENTS(kPieces)];
  }
  return text;
}

FlValue* RandomValues::make(int depth) {
  int kinds = depth < max_depth_ ? 12 : 10;
  switch (engine_() % kinds) {
    case 0:
      return fl_value_new_null();
    case 1:
      return fl_value_new_bool(engine_() % 2 == 0);
    case 2:
      return fl_value_new_int(integer());
    case 3:
      return fl_value_new_float(number());
    case 4: {
      std::string value = text();
      return fl_value_new_string_sized(value.data(), value.size());
    }
    case 5: {
      std::vector<uint8_t> elements(length(16));
      for (auto& element : elements) {
        element = static_cast<uint8_t>(engine_());
      }
      return fl_value_new_uint8_list(elements.data(), elements.size());
    }
    case 6: {
      std::vector<int32_t> elements(length(8));
      for (auto& element : elements) {
        element = static_cast<int32_t>(integer());
      }
      return fl_value_new_int32_list(elements.data(), elements.size());
    }
    case 7: {
      std::vector<int64_t> elements(length(8));
      for (auto& element : elements) {
        element = integer();
      }
      return fl_value_new_int64_list(elements.data(), elements.size());
    }
    case 8: {
      std::vector<double> elements(length(8));
      for (auto& element : elements) {
        element = number();
      }
      return fl_value_new_float_list(elements.data(), elements.size());
    }
    case 9: {
      std::vector<float> elements(length(8));
      for (auto& element : elements) {
        element = static_cast<float>(number());
      }
      return fl_value_new_float32_list(elements.data(), elements.size());
    }
    case 10: {
      FlValue* list = fl_value_new_list();
      size_t children = engine_() % 6;
      for (size_t i = 0; i < children; i++) {
        fl_value_append_take(list, make(depth + 1));
      }
      return list;
    }
    default: {
      FlValue* map = fl_value_new_map();
      size_t entries = engine_() % 5;
      for (size_t i = 0; i < entries; i++) {
        fl_value_set_take(map, make(depth + 1), make(depth + 1));
      }
      return map;
    }
  }
}

}  // namespace test_support
