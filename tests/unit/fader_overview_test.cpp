#include <gtest/gtest.h>

#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/fader_overview.h"
#include "store_fixture.h"

namespace vorante {
namespace {

using test::store_fixture;

unsigned in_id(int input, int code) { return param_id(kind_input, input, code); }

std::vector<channel_ref> inputs(std::initializer_list<int> list) {
  std::vector<channel_ref> v;
  for (int k : list) v.push_back({kind_input, k});
  return v;
}

// ---- which channels the sends view lists ----

TEST(sends_view, effect_target_lists_inputs_only) {
  std::vector<channel_ref> expected = inputs({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 24});
  EXPECT_EQ(sends_view_channels({kind_fx, 0}, [](int) { return true; }), expected);
  EXPECT_EQ(sends_view_channels({kind_fx, 1}, [](int) { return true; }), expected);
  // An aux also lists the effect returns, after the inputs.
  expected.push_back({kind_fx, 0});
  expected.push_back({kind_fx, 1});
  EXPECT_EQ(sends_view_channels({kind_bus, 2}, [](int) { return true; }), expected);
}

TEST(sends_view, leaves_out_unfitted_inputs_and_unknown_targets) {
  const auto fitted = [](int logical) { return logical != 3 && logical != 18; };
  const std::vector<channel_ref> list = sends_view_channels({kind_fx, 0}, fitted);
  EXPECT_EQ(list, inputs({0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 24}));
  EXPECT_TRUE(sends_view_channels({kind_bus, main_l_bus}, fitted).empty());
  EXPECT_TRUE(sends_view_channels({kind_fx, 2}, fitted).empty());
}

// ---- the send a strip writes ----

struct send_case {
  const char* name;
  channel_ref source;
  send_target target;
  unsigned id;
};

class overview_send_test : public ::testing::TestWithParam<send_case> {};

TEST_P(overview_send_test, pre_and_post_touch_bit_15_only) {
  const send_case& c = GetParam();
  store_fixture f;
  ASSERT_EQ(overview_send_id(c.source, c.target), c.id);
  f.store.set_local(c.id, 0x4000 | 900);
  write_overview_send(f.store, c.source, c.target, send_change::pre);
  EXPECT_EQ(f.store.get(c.id), 0xC000 | 900);
  write_overview_send(f.store, c.source, c.target, send_change::post);
  EXPECT_EQ(f.store.get(c.id), 0x4000 | 900);
}

TEST_P(overview_send_test, level_keeps_the_flags_and_unchanged_values_are_not_written) {
  const send_case& c = GetParam();
  store_fixture f;
  f.store.set_local(c.id, 0x8000 | 200);
  write_overview_send(f.store, c.source, c.target, send_change::level, -10.0);
  EXPECT_EQ(f.store.get(c.id), 0x8000 | (to_raw(value_type::send_level, -10.0) & level_mask));
  f.ui.params.clear();
  write_overview_send(f.store, c.source, c.target, send_change::level, -10.0);
  write_overview_send(f.store, c.source, c.target, send_change::pre);
  EXPECT_FALSE(f.ui.refreshed(static_cast<uint16_t>(c.id)));
}

INSTANTIATE_TEST_SUITE_P(
    targets, overview_send_test,
    ::testing::Values(send_case{"input_to_aux", {kind_input, 4}, {kind_bus, 2}, in_id(4, 15)},
                      send_case{"input_to_fx", {kind_input, 4}, {kind_fx, 1}, in_id(4, 26)},
                      send_case{"stereo_input_to_aux", {kind_input, 18}, {kind_bus, 7}, in_id(18, 20)},
                      send_case{"fx_return_to_aux", {kind_fx, 1}, {kind_bus, 5}, param_id(kind_fx, 1, 178)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(overview_send, no_send_for_effect_returns_to_effects) {
  EXPECT_EQ(overview_send_id({kind_fx, 0}, {kind_fx, 1}), no_param_id);
  EXPECT_EQ(overview_send_id({kind_bus, 0}, {kind_bus, 1}), no_param_id);
}

// ---- a stereo input sending to an aux right only ----

TEST(overview_stereo, mode_2_shows_and_writes_from_the_right_member) {
  store_fixture f;
  set_send_mode(f.store, 16, 0, 2);
  f.store.set_local(in_id(17, 13), 0x8000 | 700);
  f.store.set_local(in_id(16, 13), 300);
  EXPECT_EQ(overview_shown_id(f.store, {kind_input, 16}, {kind_bus, 0}), in_id(17, 13));
  // Effect sends are never carried by the right member.
  EXPECT_EQ(overview_shown_id(f.store, {kind_input, 16}, {kind_fx, 0}), in_id(16, 25));
  // The write goes to the left member; the store hands it to the right member, which
  // alone carries the send in mode 2.
  write_overview_send(f.store, {kind_input, 16}, {kind_bus, 0}, send_change::level, -20.0);
  EXPECT_EQ(f.store.get(in_id(17, 13)), 0x8000 | (to_raw(value_type::send_level, -20.0) & level_mask));
  // The encoder steps the value shown.
  f.store.set_local(in_id(17, 13), 700);
  step_overview_send(f.store, {kind_input, 16}, {kind_bus, 0}, 1);
  EXPECT_EQ(f.store.get(in_id(17, 13)), step_value_of_type(value_type::send_level, 700, 1, step_normal));
  EXPECT_NE(f.store.get(in_id(17, 13)), 700);
}

TEST(overview_stereo, lr_modes_with_both_off_meaning_both) {
  struct lr_case {
    bool left, right;
    int mode;
  };
  for (const lr_case c : {lr_case{true, false, 1}, lr_case{false, true, 2}, lr_case{true, true, 3}, lr_case{false, false, 3}}) {
    store_fixture f;
    write_overview_lr(f.store, 24, 3, c.left, c.right);
    EXPECT_EQ(send_mode(f.store, 24, 3), c.mode) << c.left << c.right;
    EXPECT_EQ(send_mode(f.store, 24, 2), send_mode(store_fixture().store, 24, 2));
  }
}

TEST(overview_stereo, leaving_mode_2_keeps_the_level_in_effect) {
  store_fixture f;
  set_send_mode(f.store, 18, 4, 2);
  f.store.set_local(in_id(19, 17), 1234);
  f.store.set_local(in_id(18, 17), 10);
  write_overview_lr(f.store, 18, 4, false, false);
  EXPECT_EQ(f.store.get(in_id(18, 17)), 1234);
}

}  // namespace
}  // namespace vorante
