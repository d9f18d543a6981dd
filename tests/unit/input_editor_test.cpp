#include <gtest/gtest.h>

#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/input_editor.h"
#include "store_fixture.h"

namespace vorante {
namespace {

using test::store_fixture;

unsigned in_id(int input, int code) { return param_id(kind_input, input, code); }

// ---- the universal fader ----

struct fader_case {
  const char* name;
  int code;               // input code of the cell
  universal_mode mode;
  double fader_value;     // what the user dragged to
  uint16_t shown_raw;     // the value on screen before
  uint16_t written;       // what the movement writes
};

class universal_fader_test : public ::testing::TestWithParam<fader_case> {};

TEST_P(universal_fader_test, mode_and_write) {
  const fader_case& c = GetParam();
  const universal_fader_setup s = universal_fader_of(param_value_type(in_id(0, c.code)));
  EXPECT_EQ(s.mode, c.mode);
  EXPECT_EQ(universal_fader_raw(s, c.fader_value, c.shown_raw), c.written);
  // Pushing the written value back puts the fader where the user left it.
  EXPECT_NEAR(universal_fader_value(s, c.written), c.fader_value, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    cells, universal_fader_test,
    ::testing::Values(
        fader_case{"vol", 12, universal_mode::channel_fader, -10.0, 0xC000, 1100},
        fader_case{"gain_range", 8, universal_mode::range, 35, 0, 35},
        fader_case{"delay_tenths", 28, universal_mode::range, 57, 0, 57},
        fader_case{"gate_threshold", 3, universal_mode::range, -30, 0, 30},
        fader_case{"gate_decay_index", 6, universal_mode::range, 4, 2, 16},
        fader_case{"comp_attack_tenths", 31, universal_mode::range, 250, 0, 250},
        fader_case{"makeup_gain", 35, universal_mode::range, 60, 0xC000, 1260},
        fader_case{"comp_threshold_table", 33, universal_mode::table, -20.5, 0, 0x8000 | 205},
        fader_case{"comp_ratio_table", 30, universal_mode::table, 4.0, 0, 400},
        fader_case{"band_freq_table", 43, universal_mode::table, 1000, 0, 1000},
        fader_case{"band_gain_table", 44, universal_mode::table, -3.0, 0, 470},
        fader_case{"band_q_table", 45, universal_mode::table, 1.0, 0, 100},
        fader_case{"send_keeps_flags", 13, universal_mode::table, -10.0, 0xC123, 0xC000 | 1100},
        fader_case{"send_pre_kept_post_off", 22, universal_mode::table, 0.0, 0x8000, 0x8000 | 1200},
        fader_case{"send_no_flags", 25, universal_mode::table, -120.0, 0x04B0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(universal_fader, table_is_the_value_types_ladder) {
  const universal_fader_setup s = universal_fader_of(value_type::send_level);
  EXPECT_EQ(s.table.size(), 49u);
  EXPECT_EQ(s.table.back(), 0.0);
  const universal_fader_setup r = universal_fader_of(value_type::gate_attack);
  EXPECT_EQ(r.min, 3);
  EXPECT_EQ(r.max, 200);
}

// ---- stereo pair sends ----

TEST(input_editor_sends, right_member_shows_main_r_and_mode_2_aux_sends) {
  store_fixture f;
  set_send_mode(f.store, 16, 1, 2);  // AUX2 right only
  set_send_mode(f.store, 16, 2, 1);  // AUX3 left only
  struct row { int input, code, shown_input; } rows[] = {
      {16, 14, 17}, {16, 15, 16}, {16, 13, 16}, {16, 22, 17}, {16, 21, 16},
      {18, 22, 19}, {24, 22, 25}, {2, 22, 2},   {3, 14, 3},
  };
  for (const row& r : rows)
    EXPECT_EQ(shown_param_id(f.store, r.input, in_id(r.input, r.code)), in_id(r.shown_input, r.code))
        << r.input << " code " << r.code;
}

TEST(input_editor_sends, level_and_pre_keep_the_flags_of_the_shown_member) {
  store_fixture f;
  set_send_mode(f.store, 16, 1, 2);
  f.store.set_local(in_id(17, 14), 0x8000 | 900);  // right member: PRE
  f.store.set_local(in_id(16, 14), 0x4000);
  write_send_level(f.store, 16, in_id(16, 14), -10.0);
  // Mode 2: the left member reads 0 and the right one carries the level, PRE kept.
  EXPECT_EQ(f.store.get(in_id(17, 14)), 0x8000 | 1100);
  EXPECT_EQ(f.store.get(in_id(16, 14)), 0);

  f.store.set_local(in_id(3, 13), 0x4000 | 1000);
  write_send_pre(f.store, 3, in_id(3, 13), true);
  EXPECT_EQ(f.store.get(in_id(3, 13)), 0xC000 | 1000);
  write_send_pre(f.store, 3, in_id(3, 13), false);
  EXPECT_EQ(f.store.get(in_id(3, 13)), 0x4000 | 1000);
}

TEST(input_editor_sends, unchanged_level_is_still_written) {
  store_fixture f;
  f.store.set_local(in_id(3, 13), 1100);
  f.store.dirty().clear();
  write_send_level(f.store, 3, in_id(3, 13), -10.0);
  EXPECT_TRUE(f.store.dirty().contains(in_id(3, 13)));
}

TEST(input_editor_sends, lr_buttons_store_the_mode_and_keep_the_level_in_effect) {
  struct row { int old_mode; bool l, r; int mode; } rows[] = {
      {0, true, false, 1}, {0, false, true, 2}, {2, true, true, 3}, {1, false, false, 0}, {2, true, false, 1},
  };
  for (const row& r : rows) {
    store_fixture f;
    set_send_mode(f.store, 16, 4, r.old_mode);
    // The level in effect lives on the right member in mode 2, on the left otherwise.
    f.store.set_local(in_id(r.old_mode == 2 ? 17 : 16, 17), 1000);
    write_send_lr(f.store, 16, 4, r.l, r.r);
    EXPECT_EQ(send_mode(f.store, 16, 4), r.mode) << r.old_mode;
    EXPECT_EQ(f.store.get(shown_param_id(f.store, 16, in_id(16, 17))), 1000) << r.old_mode;
    EXPECT_EQ(send_left_checked(r.mode), r.mode != 2);
    EXPECT_EQ(send_right_checked(r.mode), r.mode != 1);
  }
  EXPECT_TRUE(send_left_checked(0) && send_right_checked(0));
}

TEST(input_editor_sends, target_to_send_code) {
  EXPECT_EQ(send_param_id(5, kind_bus, 0), in_id(5, 13));
  EXPECT_EQ(send_param_id(5, kind_bus, 7), in_id(5, 20));
  EXPECT_EQ(send_param_id(5, kind_bus, main_l_bus), in_id(5, 21));
  EXPECT_EQ(send_param_id(5, kind_bus, main_r_bus), in_id(5, 22));
  EXPECT_EQ(send_param_id(5, kind_fx, 1), in_id(5, 26));
  EXPECT_EQ(send_param_id(5, kind_dca, 0), no_param_id);
}

// ---- encoders ----

TEST(input_editor_encoders, each_encoder_moves_only_its_codes) {
  struct row { int encoder; int code; bool moves; } rows[] = {
      {0, 8, true},  {0, 44, true}, {0, 13, true}, {3, 8, true},   {3, 11, true},  {3, 39, true},
      {3, 41, true}, {3, 43, false}, {3, 12, false}, {4, 43, true}, {4, 55, true},  {4, 8, false},
      {4, 44, false}, {4, 39, false}, {5, 30, true}, {5, 33, true}, {5, 34, false}, {5, 35, false},
      {5, 29, false}, {1, 8, false}, {2, 8, false},
  };
  for (const row& r : rows) {
    store_fixture f;
    f.store.set_local(in_id(2, r.code), param_value_type(in_id(2, r.code)) == value_type::pan ? 100 : 0);
    const uint16_t before = f.store.get(in_id(2, r.code));
    EXPECT_EQ(encoder_moves(r.encoder, r.code), r.moves) << r.encoder << "/" << r.code;
    const int shown = encoder_step(f.store, 2, r.encoder, in_id(2, r.code), 1);
    EXPECT_EQ(shown >= 0, r.moves) << r.encoder << "/" << r.code;
    if (!r.moves) EXPECT_EQ(f.store.get(in_id(2, r.code)), before);
  }
}

TEST(input_editor_encoders, nothing_selected_or_locked_pan_does_nothing) {
  store_fixture f;
  EXPECT_EQ(encoder_step(f.store, 2, 0, -1, 1), -1);
  set_stereo_bit(f.store, kind_input, 2, true);
  f.store.set_local(in_id(2, 11), 0);
  EXPECT_EQ(encoder_step(f.store, 2, 3, in_id(2, 11), 1), -1);
  EXPECT_EQ(f.store.get(in_id(2, 11)), 0);
}

TEST(input_editor_encoders, gain_steps_by_one) {
  store_fixture f;
  f.store.set_local(in_id(4, 8), 20);
  EXPECT_EQ(encoder_step(f.store, 4, 3, in_id(4, 8), -1), static_cast<int>(in_id(4, 8)));
  EXPECT_EQ(f.store.get(in_id(4, 8)), 19);
}

TEST(input_editor_encoders, right_member_send_steps_from_the_right_value) {
  store_fixture f;
  f.store.set_local(in_id(16, 22), 0);
  f.store.set_local(in_id(17, 22), 1100);  // -10 dB
  const int shown = encoder_step(f.store, 16, 0, in_id(16, 22), 1);
  EXPECT_EQ(shown, static_cast<int>(in_id(17, 22)));
  EXPECT_GT(f.store.get(in_id(17, 22)), 1100);
  EXPECT_EQ(f.store.get(in_id(16, 22)), 0);
}

// ---- linking ----

TEST(input_editor_link, link_copies_even_to_odd_and_pans_hard) {
  store_fixture f;
  f.store.set_local(in_id(2, 8), 40);
  f.store.set_local(in_id(2, 44), 620);
  f.store.set_local(in_id(3, 8), 5);
  write_membership(f.store, kind_dca, 1, 2, true);
  toggle_input_link(f.store, 3);  // either member links the pair
  EXPECT_TRUE(stereo_bit(f.store, kind_input, 2));
  EXPECT_EQ(f.store.get(in_id(3, 8)), 40);
  EXPECT_EQ(f.store.get(in_id(3, 44)), 620);
  EXPECT_TRUE(is_member(f.store, kind_dca, 1, 3));
  EXPECT_EQ(f.store.get(in_id(2, 11)), 0);
  EXPECT_EQ(f.store.get(in_id(3, 11)), 200);
  EXPECT_TRUE(input_pan_locked(f.store, 2));
  EXPECT_TRUE(input_pan_locked(f.store, 3));
  EXPECT_FALSE(input_pan_locked(f.store, 4));

  f.store.set_local(in_id(3, 8), 7);
  toggle_input_link(f.store, 2);
  EXPECT_FALSE(stereo_bit(f.store, kind_input, 2));
  EXPECT_EQ(f.store.get(in_id(2, 11)), 100);
  EXPECT_EQ(f.store.get(in_id(3, 11)), 100);
  EXPECT_EQ(f.store.get(in_id(3, 8)), 7);  // unlinking copies nothing back
  EXPECT_FALSE(input_pan_locked(f.store, 2));
}

TEST(input_editor_link, stereo_inputs_have_no_link) {
  store_fixture f;
  const uint16_t bits = f.store.get(input_stereo_bits_id);
  toggle_input_link(f.store, 16);
  EXPECT_EQ(f.store.get(input_stereo_bits_id), bits);
}

// ---- copy and paste ----

TEST(input_editor_clipboard, copy_press_sequence) {
  copy_clipboard clip;
  EXPECT_EQ(press_copy_input(clip, 4), copy_outcome::copied);
  EXPECT_TRUE(clip.holds(kind_input, 4));
  EXPECT_EQ(press_copy_input(clip, 6), copy_outcome::copied);  // another channel replaces it
  EXPECT_TRUE(clip.holds(kind_input, 6));
  EXPECT_EQ(press_copy_input(clip, 6), copy_outcome::cancelled);
  EXPECT_TRUE(clip.empty());
  EXPECT_EQ(press_copy_input(clip, 1), copy_outcome::copied);
  EXPECT_EQ(press_copy_input(clip, 18), copy_outcome::stereo_refused);
  EXPECT_TRUE(clip.empty());  // the pending copy went with the refusal
}

TEST(input_editor_clipboard, paste_rules) {
  struct row {
    copy_clipboard clip;
    int target;
    paste_outcome outcome;
    bool copied;
  } rows[] = {
      {{kind_input, 4}, 7, paste_outcome::pasted, true},
      {{kind_input, 4}, 4, paste_outcome::nothing, false},     // onto itself
      {{kind_bus, 4}, 7, paste_outcome::nothing, false},       // an output on the clipboard
      {{0, -1}, 7, paste_outcome::nothing, false},             // nothing copied
      {{kind_input, 4}, 16, paste_outcome::stereo_refused, false},
  };
  for (row& r : rows) {
    store_fixture f;
    f.store.set_local(in_id(4, 8), 33);
    const copy_clipboard before = r.clip;
    EXPECT_EQ(press_paste_input(f.store, r.clip, r.target), r.outcome) << r.target;
    EXPECT_EQ(f.store.get(in_id(r.target, 8)) == 33, r.copied || r.target == 4) << r.target;
    if (r.outcome == paste_outcome::nothing) EXPECT_TRUE(r.clip.holds(before.kind, before.index));
    else EXPECT_TRUE(r.clip.empty());
  }
}

}  // namespace
}  // namespace vorante
