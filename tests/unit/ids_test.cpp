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
      {param_id(1, 5, 12), {5, 1, 12, value_type::fader_level}},
      {param_id(1, 25, 39), {25, 1, 39, value_type::highpass_frequency}},
      {2670, {9, 3, 75, value_type::send_level}},
      {param_id(3, 4, 149), {4, 3, 149, value_type::geq_gain}},
      {param_id(2, 1, 211), {1, 2, 211, value_type::effect_type}},
      {param_id(2, 0, 214), {0, 2, 214, value_type::effect_param_3}},
      {param_id(4, 2, 218), {2, 4, 218, value_type::fader_level}},
      {param_id(6, 1, 232), {1, 6, 232, value_type::plain}},
      {3097, {0, 0, 0, value_type::effect_value}},
      {2767, {0, 0, 0, value_type::send_level}},
      {2772, {0, 0, 0, value_type::fader_level}},
      {3192, {0, 0, 0, value_type::plain}},
      {58, {0, 0, 0, value_type::plain}},
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
      EXPECT_EQ(p.kind | p.index | p.code, 0) << "input " << i << " code " << c;
      EXPECT_EQ(p.value_type, value_type::plain) << "input " << i << " code " << c;
    }
  for (int f = 0; f < fx_count; ++f)
    for (int c = 191; c <= 210; ++c) EXPECT_EQ(info_of(param_id(2, f, c)).kind, 0);
}

TEST(param_info_test, out_of_range_ids_read_as_zero) {
  EXPECT_EQ(info_of(3518).value_type, value_type::plain);
  EXPECT_EQ(info_of(65535).kind, 0);
}

// The named codes against the per-ID records: a code constant off by one lands on a
// neighbour of another type.
TEST(param_code_test, named_codes_have_the_type_of_their_role) {
  struct row {
    const char* name;
    int kind, code;
    value_type want;
  } rows[] = {
      {"input gain", kind_input, code_input_gain, value_type::input_gain},
      {"input pan", kind_input, code_input_pan, value_type::pan},
      {"input fader", kind_input, code_input_fader, value_type::fader_level},
      {"input gate on", kind_input, code_input_gate_on, value_type::on_off},
      {"input comp on", kind_input, code_input_comp_on, value_type::on_off},
      {"input last aux send", kind_input, code_input_aux_send + aux_send_count - 1, value_type::send_level},
      {"input main R send", kind_input, code_input_main_r_send, value_type::send_level},
      {"input solo R", kind_input, code_input_solo_r, value_type::send_level},
      {"input last fx send", kind_input, code_input_fx_send + fx_send_count - 1, value_type::send_level},
      {"input high-pass", kind_input, code_input_filters, value_type::highpass_filter},
      {"input low-pass frequency", kind_input, code_input_filters + codes_per_filter_block - 1,
       value_type::lowpass_frequency},
      {"input last band Q", kind_input, code_input_bands + codes_per_band * input_band_count - 1, value_type::peq_q},
      {"bus fader", kind_bus, code_bus_fader, value_type::fader_level},
      {"bus comp on", kind_bus, code_bus_comp_on, value_type::on_off},
      {"bus solo R", kind_bus, code_bus_solo_r, value_type::send_level},
      {"bus high-pass", kind_bus, code_bus_filters, value_type::highpass_filter},
      {"bus last band Q", kind_bus, code_bus_bands + codes_per_band * bus_band_count - 1, value_type::peq_q},
      {"bus first graphic frequency", kind_bus, code_bus_graphic_bands + 1, value_type::geq_frequency},
      {"bus last graphic Q", kind_bus, code_bus_graphic_bands + codes_per_band * bus_graphic_band_count - 1,
       value_type::geq_q},
      {"fx fader", kind_fx, code_fx_fader, value_type::fader_level},
      {"fx last aux send", kind_fx, code_fx_aux_send + aux_send_count - 1, value_type::send_level},
      {"fx main R send", kind_fx, code_fx_main_r_send, value_type::send_level},
      {"fx solo R", kind_fx, code_fx_solo_r, value_type::send_level},
      {"fx high-pass", kind_fx, code_fx_filters, value_type::highpass_filter},
      {"fx type", kind_fx, code_fx_type, value_type::effect_type},
      {"fx parameter 1", kind_fx, code_fx_param_1, value_type::effect_param_1},
      {"dca switch", kind_dca, code_dca_switch, value_type::on_off},
      {"dca fader", kind_dca, code_dca_fader, value_type::fader_level},
      {"dca solo", kind_dca, code_dca_solo, value_type::send_level},
  };
  for (const row& r : rows) {
    const param_info p = info_of(param_id(r.kind, 0, r.code));
    EXPECT_EQ(p.code, r.code) << r.name;
    EXPECT_EQ(p.value_type, r.want) << r.name;
  }
  // The last band sits right before the next run: bands of an effect return are untyped,
  // and the code after a bus's parametric bands is its first graphic one.
  EXPECT_EQ(code_bus_bands + codes_per_band * bus_band_count, code_bus_graphic_bands);
  EXPECT_EQ(code_fx_bands + codes_per_band * fx_band_count, code_fx_type);
  EXPECT_EQ(param_id(kind_fx, 1, code_fx_value), fx_value_base_id + 1);
}

TEST(param_code_test, input_sends_are_the_send_levels_that_are_not_solo_feeds) {
  for (int c = first_input_code; c <= last_input_code; ++c) {
    const bool send_level = param_value_type(param_id(kind_input, 0, c)) == value_type::send_level;
    const bool solo = c == code_input_solo_l || c == code_input_solo_r;
    EXPECT_EQ(is_input_send_code(c), send_level && !solo) << "code " << c;
  }
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
