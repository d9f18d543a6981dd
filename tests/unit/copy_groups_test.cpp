#include <gtest/gtest.h>

#include "app/params/channel_state.h"
#include "app/settings/copy_groups.h"
#include "store_fixture.h"

namespace vorante {
namespace {

using test::store_fixture;

std::array<bool, 16> checked_inputs(std::initializer_list<int> on) {
  std::array<bool, 16> a{};
  for (const int i : on) a[static_cast<std::size_t>(i)] = true;
  return a;
}

TEST(copy_page_rules, targets_leave_out_the_source_and_keep_index_order) {
  struct row {
    int source;
    std::initializer_list<int> checked;
    std::vector<int> targets;
  };
  const row rows[] = {
      {0, {0, 1}, {1}},
      {0, {0}, {}},
      {3, {}, {}},
      {5, {15, 2, 5, 9}, {2, 9, 15}},
  };
  for (const row& r : rows) EXPECT_EQ(copy_targets(r.source, checked_inputs(r.checked)), r.targets) << r.source;
}

TEST(copy_page_rules, copy_with_the_source_among_the_targets_copies_only_onto_the_others) {
  store_fixture f;
  const unsigned source_gain = param_id(kind_input, 0, code_input_gain);
  f.store.set_local(source_gain, 77);
  f.store.set_local(param_id(kind_input, 0, code_fader), 900);
  ASSERT_TRUE(start_copy(f.store, kind_input, 0, checked_inputs({0, 1})));
  EXPECT_TRUE(f.store.copy_busy());
  EXPECT_EQ(f.store.get(param_id(kind_input, 1, code_input_gain)), 77);
  EXPECT_EQ(f.store.get(param_id(kind_input, 1, code_fader)), 900);
  EXPECT_EQ(f.store.get(param_id(kind_input, 2, code_input_gain)), f.store.default_of(param_id(kind_input, 2, code_input_gain)));
  EXPECT_FALSE(f.store.dirty().contains(source_gain));
}

TEST(copy_page_rules, nothing_is_copied_alone_onto_the_source_nor_while_busy) {
  store_fixture f;
  f.store.set_local(param_id(kind_bus, 2, code_fader), 555);
  EXPECT_FALSE(start_copy(f.store, kind_bus, 2, checked_inputs({2})));
  EXPECT_FALSE(f.store.copy_busy());
  f.store.set_copy_busy(true);
  EXPECT_FALSE(start_copy(f.store, kind_bus, 2, checked_inputs({3})));
  EXPECT_NE(f.store.get(param_id(kind_bus, 3, code_fader)), 555);
  f.store.set_copy_busy(false);
  EXPECT_TRUE(start_copy(f.store, kind_bus, 2, checked_inputs({3})));
  EXPECT_EQ(f.store.get(param_id(kind_bus, 3, code_fader)), 555);
}

TEST(copy_page_rules, a_linked_input_pair_moves_its_partner_button_and_buses_never_do) {
  store_fixture f;
  set_stereo_bit(f.store, kind_input, 4, true);
  set_stereo_bit(f.store, kind_bus, 2, true);
  EXPECT_EQ(copy_partner(f.store, kind_input, 4), 5);
  EXPECT_EQ(copy_partner(f.store, kind_input, 5), 4);
  EXPECT_EQ(copy_partner(f.store, kind_input, 6), std::nullopt);
  EXPECT_EQ(copy_partner(f.store, kind_bus, 2), std::nullopt);
  EXPECT_EQ(copy_sources(kind_bus).size(), 8u);
}

uint16_t member_word(const param_store& s, int kind, int group, int word) {
  return s.get(param_id(kind, group, (kind == kind_mute_group ? code_mute_members : code_phantom_members) + word));
}

TEST(group_rules, all_muted_sets_every_offered_channel_and_the_right_members) {
  store_fixture f;
  set_all_group_members(f.store, kind_mute_group, 2, true);
  std::vector<int> expected;
  for (int l = 0; l <= 19; ++l) expected.push_back(l);
  for (int l = 24; l <= 37; ++l) expected.push_back(l);
  std::vector<int> members;
  for (int l = 0; l < 64; ++l)
    if (is_member(f.store, kind_mute_group, 2, l)) members.push_back(l);
  EXPECT_EQ(members, expected);
  for (const int other : {0, 1, 3})
    for (int w = 0; w < 4; ++w) EXPECT_EQ(member_word(f.store, kind_mute_group, other, w), 0) << other;

  set_all_group_members(f.store, kind_mute_group, 2, false);
  for (int w = 0; w < 4; ++w) EXPECT_EQ(member_word(f.store, kind_mute_group, 2, w), 0) << w;
}

TEST(group_rules, phantom_bulk_covers_inputs_0_to_15_only) {
  store_fixture f;
  set_all_group_members(f.store, kind_phantom_group, 1, true);
  EXPECT_EQ(member_word(f.store, kind_phantom_group, 1, 0), 0xFFFF);
  EXPECT_EQ(member_word(f.store, kind_phantom_group, 1, 1), 0);
}

TEST(group_rules, right_members_follow_on_mute_pages_only) {
  struct row {
    int group_kind, kind, index;
    std::optional<int> right;
  };
  const row rows[] = {
      {kind_mute_group, kind_input, 16, 17}, {kind_mute_group, kind_input, 18, 19},
      {kind_mute_group, kind_input, 24, 25}, {kind_mute_group, kind_input, 2, std::nullopt},
      {kind_mute_group, kind_fx, 0, std::nullopt}, {kind_phantom_group, kind_input, 16, std::nullopt},
  };
  for (const row& r : rows) EXPECT_EQ(group_right_member(r.group_kind, r.kind, r.index), r.right) << r.index;

  store_fixture f;
  set_group_member(f.store, kind_mute_group, 0, kind_input, 16, true);
  EXPECT_TRUE(is_member(f.store, kind_mute_group, 0, logical_of(kind_input, 16)));
  EXPECT_TRUE(is_member(f.store, kind_mute_group, 0, logical_of(kind_input, 17)));
  set_group_member(f.store, kind_mute_group, 0, kind_input, 16, false);
  EXPECT_FALSE(is_member(f.store, kind_mute_group, 0, logical_of(kind_input, 17)));
}

TEST(group_rules, grid_columns_follow_the_fitted_inputs) {
  EXPECT_EQ(group_grid_columns(kind_mute_group, 16), 8);
  EXPECT_EQ(group_grid_columns(kind_mute_group, 15), 8);
  EXPECT_EQ(group_grid_columns(kind_phantom_group, 16), 4);
  EXPECT_EQ(group_grid_columns(kind_phantom_group, 13), 4);
}

TEST(generator_rules, pink_noise_while_off_is_written_but_not_shown) {
  store_fixture f;
  f.store.set_local(generator_on_id, 0);
  f.store.set_local(generator_first_output_id + 2, generator_output_on);
  choose_generator_type(f.store, noise_pink);
  EXPECT_EQ(f.store.get(generator_type_id), noise_pink);
  EXPECT_TRUE(f.store.dirty().contains(generator_type_id));
  generator_view v = generator_state(f.store);
  EXPECT_FALSE(v.on);
  EXPECT_EQ(v.type, 0);
  EXPECT_FALSE(v.outputs[2]);

  toggle_generator(f.store);
  v = generator_state(f.store);
  EXPECT_TRUE(v.on);
  EXPECT_EQ(v.type, noise_pink);
  EXPECT_TRUE(v.outputs[2]);
  f.store.set_local(generator_last_id, 0);
  toggle_generator_output(f.store, 2);
  toggle_generator_output(f.store, 9);
  EXPECT_EQ(f.store.get(generator_first_output_id + 2), 0);
  EXPECT_EQ(f.store.get(generator_last_id), generator_output_on);
}

TEST(generator_rules, switching_off_drops_a_frequency_binding_and_keeps_a_level_binding) {
  generator_binding b;
  b.bind(generator_level_id);
  EXPECT_FALSE(b.generator_off());
  EXPECT_EQ(b.bound(), generator_level_id);
  b.bind(generator_frequency_id);
  EXPECT_TRUE(b.generator_off());
  EXPECT_EQ(b.bound(), 0);
  b.bind(generator_type_id);  // only the two slider parameters bind
  EXPECT_EQ(b.bound(), 0);
}

TEST(factory_mode_rules, volumes_open_with_quiet_writes_and_not_fitted_channels_stay_shut) {
  store_fixture f;
  f.ui.params.clear();
  set_all_volumes(f.store, 1200);
  std::vector<unsigned> opened = {param_id(kind_input, 0, code_fader), param_id(kind_input, 3, code_input_aux_send + 7),
                                  param_id(kind_input, 5, code_input_fx_send + 1), param_id(kind_fx, 1, code_fader),
                                  param_id(kind_fx, 0, code_fx_aux_send + 3), param_id(kind_bus, 7, code_fader),
                                  param_id(kind_dca, 3, code_fader), main_l_fader_id, main_r_fader_id};
  for (const unsigned id : opened) {
    EXPECT_EQ(f.store.get(id), 1200) << id;
    EXPECT_TRUE(f.store.dirty().contains(id)) << id;
  }
  for (int l = 0; l < logical_count; ++l) {
    const auto ch = channel_of(l);
    if (!ch || !logical_slot_of(l).not_fitted || (ch->kind != kind_input && ch->kind != kind_bus)) continue;
    EXPECT_EQ(f.store.get(param_id(ch->kind, ch->index, code_fader)), 0) << l;
  }
  EXPECT_FALSE(f.ui.refreshed(param_id(kind_input, 0, code_fader)));
  set_all_volumes(f.store, 0);
  for (const unsigned id : opened) EXPECT_EQ(f.store.get(id), 0) << id;
}

}  // namespace
}  // namespace vorante
