// FlValue's behaviour beyond the encoding: maps, equality and text.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "test_support.h"

namespace {

TEST(Value, SettingAnEqualKeyReplacesTheEntryAndReleasesTheOldOne) {
  {
    g_autoptr(FlValue) map = fl_value_new_map();
    fl_value_set_take(map, fl_value_new_string("k"), fl_value_new_int(1));
    fl_value_set_take(map, fl_value_new_string("k"), fl_value_new_int(2));
    ASSERT_EQ(fl_value_get_length(map), 1u);
    g_autoptr(FlValue) key = fl_value_new_string("k");
    EXPECT_EQ(fl_value_get_int(fl_value_lookup(map, key)), 2);
  }
}

TEST(Value, MapsAreEqualWhateverTheOrderOfTheirEntries) {
  g_autoptr(FlValue) a = fl_value_new_map();
  g_autoptr(FlValue) b = fl_value_new_map();
  fl_value_set_take(a, fl_value_new_int(1), fl_value_new_string("one"));
  fl_value_set_take(a, fl_value_new_int(2), fl_value_new_string("two"));
  fl_value_set_take(b, fl_value_new_int(2), fl_value_new_string("two"));
  fl_value_set_take(b, fl_value_new_int(1), fl_value_new_string("one"));
  EXPECT_TRUE(fl_value_equal(a, b));

  fl_value_set_take(b, fl_value_new_int(1), fl_value_new_string("uno"));
  EXPECT_FALSE(fl_value_equal(a, b));
}

TEST(Value, EqualityComparesKindsAndContents) {
  g_autoptr(FlValue) one = fl_value_new_int(1);
  g_autoptr(FlValue) one_float = fl_value_new_float(1.0);
  g_autoptr(FlValue) text = fl_value_new_string_sized("abc", 2);
  g_autoptr(FlValue) ab = fl_value_new_string("ab");
  const int32_t numbers[] = {1, 2};
  g_autoptr(FlValue) list32 = fl_value_new_int32_list(numbers, 2);
  g_autoptr(FlValue) shorter = fl_value_new_int32_list(numbers, 1);
  EXPECT_FALSE(fl_value_equal(one, one_float));
  EXPECT_TRUE(fl_value_equal(text, ab));
  EXPECT_FALSE(fl_value_equal(list32, shorter));
}

TEST(Value, AStringEndsAtItsFirstNul) {
  g_autoptr(FlValue) text = fl_value_new_string_sized("a\0b", 3);
  EXPECT_EQ(test_support::to_hex(test_support::encode_value(text)), "07 01 61");
  g_autoptr(FlValue) a = fl_value_new_string("a");
  EXPECT_TRUE(fl_value_equal(text, a));
}

TEST(Value, ToStringShowsNestedValues) {
  g_autoptr(FlValue) list = fl_value_new_list();
  fl_value_append_take(list, fl_value_new_null());
  fl_value_append_take(list, fl_value_new_bool(true));
  fl_value_append_take(list, fl_value_new_float(0.5));
  g_autoptr(FlValue) map = fl_value_new_map();
  fl_value_set_take(map, fl_value_new_string("k"), fl_value_new_int(-3));
  fl_value_append(list, map);
  const uint8_t bytes[] = {1, 255};
  fl_value_append_take(list, fl_value_new_uint8_list(bytes, 2));
  g_autofree gchar* text = fl_value_to_string(list);
  EXPECT_STREQ(text, "[null, true, 0.5, {k: -3}, [1, 255]]");
}

TEST(Value, KeysAreFoundByEqualityNotIdentity) {
  g_autoptr(FlValue) map = fl_value_new_map();
  // Keys of every awkward kind among plain string keys.
  for (int i = 0; i < 40; i++) {
    fl_value_set_string_take(map, std::to_string(i).c_str(),
                             fl_value_new_int(i));
  }
  g_autoptr(FlValue) list_key = fl_value_new_list();
  fl_value_append_take(list_key, fl_value_new_string("x"));
  fl_value_set_take(map, fl_value_ref(list_key), fl_value_new_int(100));
  g_autoptr(FlValue) map_key = fl_value_new_map();
  fl_value_set_take(map_key, fl_value_new_int(1), fl_value_new_bool(true));
  fl_value_set_take(map_key, fl_value_new_int(2), fl_value_new_bool(false));
  fl_value_set_take(map, fl_value_ref(map_key), fl_value_new_int(101));
  fl_value_set_take(map, fl_value_new_float(-0.0), fl_value_new_int(102));

  g_autoptr(FlValue) same_list = fl_value_new_list();
  fl_value_append_take(same_list, fl_value_new_string("x"));
  g_autoptr(FlValue) same_map = fl_value_new_map();
  fl_value_set_take(same_map, fl_value_new_int(2), fl_value_new_bool(false));
  fl_value_set_take(same_map, fl_value_new_int(1), fl_value_new_bool(true));
  g_autoptr(FlValue) zero = fl_value_new_float(0.0);
  EXPECT_EQ(fl_value_get_int(fl_value_lookup(map, same_list)), 100);
  EXPECT_EQ(fl_value_get_int(fl_value_lookup(map, same_map)), 101);
  EXPECT_EQ(fl_value_get_int(fl_value_lookup(map, zero)), 102);
  EXPECT_EQ(fl_value_get_int(fl_value_lookup_string(map, "39")), 39);
  EXPECT_EQ(fl_value_lookup_string(map, "40"), nullptr);

  // NaN equals nothing, itself included: each one is a new entry.
  fl_value_set_take(map, fl_value_new_float(NAN), fl_value_new_int(1));
  fl_value_set_take(map, fl_value_new_float(NAN), fl_value_new_int(2));
  EXPECT_EQ(fl_value_get_length(map), 45u);
}

TEST(Value, ListsFromStringsAndBytesCopyTheirInput) {
  gchar* strings[] = {g_strdup("a"), g_strdup(""), nullptr};
  g_autoptr(FlValue) list = fl_value_new_list_from_strv(strings);
  g_free(strings[0]);
  g_free(strings[1]);
  g_autofree gchar* text = fl_value_to_string(list);
  EXPECT_STREQ(text, "[a, ]");
  EXPECT_EQ(fl_value_get_type(fl_value_get_list_value(list, 1)),
            FL_VALUE_TYPE_STRING);

  const guint8 data[] = {1, 2, 3};
  GBytes* bytes = g_bytes_new(data, sizeof(data));
  g_autoptr(FlValue) uint8_list = fl_value_new_uint8_list_from_bytes(bytes);
  g_bytes_unref(bytes);
  ASSERT_EQ(fl_value_get_length(uint8_list), 3u);
  EXPECT_EQ(fl_value_get_uint8_list(uint8_list)[2], 3);
}

}  // namespace
