#include <gtest/gtest.h>

#include "app/params/ids.h"

namespace vorante {
namespace {

struct id_case {
  int kind, index, code;
  uint16_t id;
};

class param_id_test : public ::testing::TestWithParam<id_case> {};

TEST_P(param_id_test, formula_and_generic_codes) {
  const id_case& c = GetParam();
  EXPECT_EQ(param_id(c.kind, c.index, c.code), c.id);
}

INSTANTIATE_TEST_SUITE_P(
    cases, param_id_test,
    ::testing::Values(id_case{1, 0, 0, 64}, id_case{1, 25, 61, 1675}, id_case{1, 0, 234, 76},
                      id_case{1, 3, 235, 64 + 62 * 3 + 10}, id_case{3, 0, 62, 1676}, id_case{3, 9, 170, 2765},
                      id_case{3, 9, 236, 2669}, id_case{3, 8, 234, 2548}, id_case{3, 9, 234, 2657},
                      id_case{2, 0, 171, 2899}, id_case{2, 1, 215, 2988}, id_case{2, 1, 216, 3098},
                      id_case{2, 0, 216, 3097}, id_case{2, 0, 217, 3192}, id_case{2, 0, 170, 3192},
                      id_case{2, 1, 234, 2728 + 45 + 171}, id_case{4, 0, 217, 3019}, id_case{4, 3, 235, 3048},
                      id_case{4, 3, 225, 3054}, id_case{5, 0, 226, 3057}, id_case{5, 3, 230, 3076},
                      id_case{6, 0, 231, 3078}, id_case{6, 3, 233, 3089}, id_case{7, 0, 0, 3192},
                      id_case{0, 0, 5, 3192}));

TEST(param_info_test, records_follow_blocks_and_code_tables) {
  // Input 5 fader, bus 9 solo R, effect 1 type, DCA 2 fader, phantom group membership.
  struct row {
    unsigned id;
    param_info want;
  } rows[] = {
      {param_id(1, 5, 12), {5, 1, 12, 15}},   {param_id(1, 25, 39), {25, 1, 39, 19}},
      {2670, {9, 3, 75, 16}},                 {param_id(3, 4, 149), {4, 3, 149, 25}},
      {param_id(2, 1, 211), {1, 2, 211, 27}}, {param_id(2, 0, 214), {0, 2, 214, 30}},
      {param_id(4, 2, 218), {2, 4, 218, 15}}, {param_id(6, 1, 232), {1, 6, 232, 0}},
      {3097, {0, 0, 0, 32}},                  {2767, {0, 0, 0, 16}},
      {2772, {0, 0, 0, 15}},                  {3192, {0, 0, 0, 0}},
      {58, {0, 0, 0, 0}},
  };
  for (const row& r : rows) {
    const param_info got = info_of(r.id);
    EXPECT_EQ(got.index, r.want.index) << r.id;
    EXPECT_EQ(got.kind, r.want.kind) << r.id;
    EXPECT_EQ(got.code, r.want.code) << r.id;
    EXPECT_EQ(got.value_type, r.want.value_type) << r.id;
  }
}

TEST(param_info_test, untyped_codes_inside_blocks_are_all_zero) {
  for (int i = 0; i < input_count; ++i)
    for (int c : {4, 34, 58, 59, 60, 61}) {
      const param_info p = info_of(param_id(1, i, c));
      EXPECT_EQ(p.kind | p.index | p.code | p.value_type, 0) << "input " << i << " code " << c;
    }
  for (int f = 0; f < fx_count; ++f)
    for (int c = 191; c <= 210; ++c) EXPECT_EQ(info_of(param_id(2, f, c)).kind, 0);
}

TEST(param_info_test, out_of_range_ids_read_as_zero) {
  EXPECT_EQ(info_of(3518).value_type, 0);
  EXPECT_EQ(info_of(65535).kind, 0);
}

TEST(logical_channel_test, mapping_both_ways) {
  EXPECT_EQ(logical_of(kind_bus, 9), 37);
  EXPECT_EQ(logical_of(kind_fx, 1), 27);
  EXPECT_EQ(logical_of(kind_dca, 3), 41);
  EXPECT_EQ(logical_of(kind_mute_group, 0), 0);
  EXPECT_FALSE(channel_of(20).has_value());
  EXPECT_FALSE(channel_of(23).has_value());
  EXPECT_FALSE(channel_of(42).has_value());
  EXPECT_FALSE(channel_of(-1).has_value());
  for (int l = 0; l < logical_count; ++l) {
    const auto ch = channel_of(l);
    if (!ch) continue;
    EXPECT_EQ(logical_of(ch->kind, ch->index), l);
  }
}

TEST(logical_channel_test, banks) {
  EXPECT_EQ(logical_slot_of(7).bank, 0);
  EXPECT_EQ(logical_slot_of(15).bank, 1);
  EXPECT_EQ(logical_slot_of(16).bank, 2);
  EXPECT_EQ(logical_slot_of(17).bank, no_bank);
  EXPECT_EQ(logical_slot_of(24).bank, 2);
  EXPECT_EQ(logical_slot_of(27).bank, 2);
  EXPECT_EQ(logical_slot_of(35).bank, 3);
  EXPECT_EQ(logical_slot_of(36).bank, no_bank);
  EXPECT_EQ(logical_slot_of(41).bank, 4);
}

TEST(meter_test, meter_ids_and_bytes) {
  EXPECT_EQ(meter_id(kind_input, 0).id, 2);
  EXPECT_EQ(meter_id(kind_input, 5).id, 4);
  EXPECT_EQ(meter_id(kind_input, 5).byte, 1);
  EXPECT_EQ(meter_id(kind_fx, 1).id, 42);
  EXPECT_EQ(meter_id(kind_bus, 9).id, 47);
  EXPECT_EQ(meter_id(kind_bus, 9).byte, 1);
  EXPECT_EQ(meter_id(kind_dca, 0).id, -1);
  EXPECT_EQ(meter_id(kind_input, 26).id, -1);
}

}  // namespace
}  // namespace vorante
