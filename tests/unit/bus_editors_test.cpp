#include <gtest/gtest.h>

#include "app/params/bus_editors.h"
#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/input_editor.h"
#include "app/params/names.h"
#include "store_fixture.h"

namespace vorante {
namespace {

using test::store_fixture;

TEST(bus_editors_test, sends_into_a_bus_per_channel_kind) {
  const struct {
    int kind, index, bus, code;
  } cases[] = {
      {kind_input, 3, 0, 13},  {kind_input, 3, 7, 20},  {kind_input, 3, main_l_bus, 21}, {kind_input, 3, main_r_bus, 22},
      {kind_fx, 1, 0, 173},    {kind_fx, 1, 7, 180},    {kind_fx, 0, main_l_bus, 181},   {kind_fx, 0, main_r_bus, 182},
  };
  for (const auto& c : cases)
    EXPECT_EQ(bus_send_id(c.kind, c.index, c.bus), param_id(c.kind, c.index, c.code)) << c.kind << " " << c.bus;
  EXPECT_EQ(bus_send_id(kind_bus, 0, 1), no_param_id);
  EXPECT_EQ(bus_send_id(kind_fx, 2, 1), no_param_id);
}

TEST(bus_editors_test, stereo_sends_are_shown_from_the_member_that_carries_them) {
  store_fixture f;
  // CH17/18 (inputs 16, 17): MAIN R always on the right member, aux 2 there in mode 2 only.
  EXPECT_EQ(bus_send_shown_id(f.store, kind_input, 16, main_r_bus), param_id(kind_input, 17, 22));
  EXPECT_EQ(bus_send_shown_id(f.store, kind_input, 16, main_l_bus), param_id(kind_input, 16, 21));
  set_send_mode(f.store, 16, 2, 2);
  EXPECT_EQ(bus_send_shown_id(f.store, kind_input, 16, 2), param_id(kind_input, 17, 15));
  set_send_mode(f.store, 16, 2, 3);
  EXPECT_EQ(bus_send_shown_id(f.store, kind_input, 16, 2), param_id(kind_input, 16, 15));
  EXPECT_EQ(bus_send_shown_id(f.store, kind_fx, 0, main_r_bus), param_id(kind_fx, 0, 182));
}

TEST(bus_editors_test, lr_with_neither_checked_stores_the_given_mode) {
  for (const auto& [none_mode, stored] : {std::pair{0, 0}, std::pair{bus_send_none_mode, 3}}) {
    store_fixture f;
    set_send_mode(f.store, 16, 4, 1);
    write_send_lr(f.store, 16, 4, false, false, none_mode);
    EXPECT_EQ(send_mode(f.store, 16, 4), stored);
  }
}

TEST(bus_editors_test, link_copies_the_even_bus_once_and_unlinking_copies_nothing) {
  store_fixture f;
  for (int c = first_bus_code; c <= last_bus_code; ++c) f.store.set_local(param_id(kind_bus, 2, c), static_cast<uint16_t>(c));
  write_membership(f.store, kind_dca, 1, logical_of(kind_bus, 2), true);
  toggle_bus_link(f.store, 3);  // from the odd member too: the even one is the source
  EXPECT_TRUE(stereo_bit(f.store, kind_bus, 3));
  for (int c = first_bus_code; c <= last_bus_code; ++c) EXPECT_EQ(f.store.get(param_id(kind_bus, 3, c)), c) << c;
  EXPECT_TRUE(is_member(f.store, kind_dca, 1, logical_of(kind_bus, 3)));
  f.store.set_local(param_id(kind_bus, 2, 67), 9);
  toggle_bus_link(f.store, 2);
  EXPECT_FALSE(stereo_bit(f.store, kind_bus, 2));
  EXPECT_EQ(f.store.get(param_id(kind_bus, 3, 67)), 67);
  // MAIN L/R have no link bit of their own here.
  const uint16_t bits = f.store.get(output_stereo_bits_id);
  toggle_bus_link(f.store, main_l_bus);
  EXPECT_EQ(f.store.get(output_stereo_bits_id), bits);
}

TEST(bus_editors_test, bus_clipboard_copies_between_auxes_only) {
  store_fixture f;
  copy_clipboard clip;
  EXPECT_EQ(press_copy_bus(clip, 1), copy_outcome::copied);
  EXPECT_EQ(press_paste_input(f.store, clip, 2), paste_outcome::nothing);  // an input takes no bus
  EXPECT_EQ(press_paste_bus(f.store, clip, 1), paste_outcome::nothing);   // onto itself
  f.store.set_local(param_id(kind_bus, 1, 80), 444);
  EXPECT_EQ(press_paste_bus(f.store, clip, 5), paste_outcome::pasted);
  EXPECT_EQ(f.store.get(param_id(kind_bus, 5, 80)), 444);
  EXPECT_TRUE(clip.empty());
  EXPECT_EQ(press_copy_bus(clip, 4), copy_outcome::copied);
  EXPECT_EQ(press_copy_bus(clip, 4), copy_outcome::cancelled);
}

TEST(bus_editors_test, encoders_move_only_their_codes) {
  const struct {
    int encoder, code;
    bool moves;
  } cases[] = {{0, 67, true}, {3, 80, true}, {3, 82, true}, {3, 84, false}, {4, 84, true}, {4, 108, true},
               {4, 85, false}, {4, 80, false}, {5, 69, true}, {5, 72, true}, {5, 73, false}, {1, 62, false}};
  for (const auto& c : cases) EXPECT_EQ(bus_encoder_moves(c.encoder, c.code), c.moves) << c.encoder << " " << c.code;
  const struct {
    int encoder, code;
    bool moves;
  } fx_cases[] = {{0, 212, true}, {3, 188, true}, {3, 190, true}, {4, 192, true}, {4, 204, true},
                  {4, 208, false}, {5, 192, false}, {5, 171, false}};
  for (const auto& c : fx_cases) EXPECT_EQ(fx_encoder_moves(c.encoder, c.code), c.moves) << c.encoder << " " << c.code;
}

// The return's EQ bands are untyped slots; their cells still read frequency, gain and Q.
TEST(bus_editors_test, effect_band_cells_take_the_band_value_types) {
  const struct {
    int fx, code;
    value_type expected;
  } cases[] = {
      {0, 192, value_type::peq_frequency}, {0, 193, value_type::peq_gain}, {0, 194, value_type::peq_q},
      {1, 208, value_type::peq_frequency}, {1, 209, value_type::peq_gain}, {1, 210, value_type::peq_q},
      {0, 191, value_type{}},  // a band's type code
      {1, 207, value_type{}},
  };
  for (const auto& c : cases) {
    const unsigned id = param_id(kind_fx, c.fx, c.code);
    EXPECT_EQ(param_value_type(id), value_type{}) << c.code;  // untyped slots
    EXPECT_EQ(fx_cell_value_type(id), c.expected) << c.fx << " " << c.code;
  }
  // Typed IDs keep theirs, whatever their kind.
  for (unsigned id : {param_id(kind_fx, 0, 188), param_id(kind_fx, 1, code_fx_fader), param_id(kind_input, 0, 192),
                      param_id(kind_bus, 0, 84)})
    EXPECT_EQ(fx_cell_value_type(id), param_value_type(id)) << id;
}

TEST(bus_editors_test, graphic_eq_codes_and_slider_scale) {
  for (int band = 0; band < bus_graphic_band_count; ++band) {
    EXPECT_EQ(param_value_type(param_id(kind_bus, 0, geq_frequency_code(band))), value_type::geq_frequency) << band;
    EXPECT_EQ(param_value_type(param_id(kind_bus, 0, geq_gain_code(band))), value_type::geq_gain) << band;
    EXPECT_EQ(geq_band_of(geq_frequency_code(band)), band);
    EXPECT_EQ(geq_band_of(geq_gain_code(band)), band);
  }
  EXPECT_EQ(geq_gain_code(0), 113);
  EXPECT_EQ(geq_band_of(110), -1);
  EXPECT_EQ(geq_band_of(171), -1);
  for (int slider : {-1200, -350, 0, 450, 1200}) EXPECT_EQ(geq_slider_of_raw(geq_raw_of_slider(slider)), slider) << slider;
  EXPECT_EQ(geq_slider_of_raw(geq_raw_of_slider(5000)), 1200);
}

TEST(bus_editors_test, tap_tempo_sets_parameter_one_from_the_interval) {
  const struct {
    int type, interval_ms;
    std::optional<uint16_t> param_1;
  } cases[] = {
      {6, 400, 68},             // capped at 340 ms
      {8, 400, 80},             // under the 675 ms cap
      {25, 700, 135},           // 675 ms cap
      {22, 200, 40},            // FX2 delay
      {6, 999, 68},             // the longest gap still measured
      {6, 1000, std::nullopt},  // a new first tap
      {5, 400, std::nullopt},   // no delay
      {26, 400, std::nullopt},
  };
  for (const auto& c : cases) {
    tap_clock clock;
    EXPECT_EQ(clock.tap(10000, c.type), std::nullopt) << "the first tap only records";
    EXPECT_EQ(clock.tap(10000 + c.interval_ms, c.type), c.param_1) << c.type << " " << c.interval_ms;
  }
  EXPECT_TRUE(is_delay_type(10));
  EXPECT_FALSE(is_delay_type(11));
  EXPECT_FALSE(is_delay_type(21));
}

TEST(bus_editors_test, effect_table_entries_set_the_type_and_parameters_locally) {
  store_fixture f;
  EXPECT_EQ(effect_table_id(0, 1), 3195u);
  EXPECT_EQ(effect_table_id(1, 16), 3431u);
  const unsigned first = effect_table_id(1, 4);
  f.store.set_local(first, 4);
  f.store.set_local(first + 1, 12);
  f.store.set_local(first + 2, 55);
  apply_effect_entry(f.store, 1, effect_table_entry(f.store, 1, 4));
  EXPECT_EQ(f.store.get(param_id(kind_fx, 1, code_fx_type)), 20);  // stored plus 16 on FX2
  EXPECT_EQ(f.store.get(param_id(kind_fx, 1, code_fx_param_1)), 12);
  EXPECT_EQ(f.store.get(param_id(kind_fx, 1, code_fx_param_1 + 1)), 55);
  EXPECT_FALSE(f.store.dirty().contains(param_id(kind_fx, 1, code_fx_type)));
  EXPECT_EQ(effect_button_of_type(1, 20), 4);
  EXPECT_EQ(effect_button_of_type(1, 4), 0);
  EXPECT_EQ(effect_type_of_button(1, 16), 32);
}

}  // namespace
}  // namespace vorante
