#include <gtest/gtest.h>

#include "app/params/channel_state.h"
#include "app/params/copy.h"
#include "store_fixture.h"

namespace vorante {
namespace {

using test::store_fixture;

TEST(copy_test, copy_input_takes_every_code_and_the_memberships) {
  store_fixture f;
  for (int c = 0; c <= 61; ++c) f.store.set_local(param_id(kind_input, 0, c), static_cast<uint16_t>(300 + c));
  write_membership(f.store, kind_mute_group, 1, 0, true);
  write_membership(f.store, kind_dca, 3, 0, true);
  write_membership(f.store, kind_phantom_group, 2, 6, true);  // target's own membership goes
  f.store.set_copy_busy(false);
  copy_input(f.store, 6, 0);
  EXPECT_TRUE(f.store.copy_busy());
  for (int c = 0; c <= 61; ++c) EXPECT_EQ(f.store.get(param_id(kind_input, 6, c)), 300 + c) << c;
  EXPECT_TRUE(is_member(f.store, kind_mute_group, 1, 6));
  EXPECT_TRUE(is_member(f.store, kind_dca, 3, 6));
  EXPECT_FALSE(is_member(f.store, kind_phantom_group, 2, 6));
  EXPECT_TRUE(f.store.dirty().contains(param_id(kind_input, 6, 40)));
}

TEST(copy_test, copy_onto_a_linked_pair_keeps_pan_and_sends_and_feeds_the_partner) {
  store_fixture f;
  set_stereo_bit(f.store, kind_input, 4, true);
  f.store.set_local(param_id(kind_input, 0, code_input_pan), 30);
  f.store.set_local(param_id(kind_input, 0, 14), 1000);
  f.store.set_local(param_id(kind_input, 0, 8), 44);
  copy_input(f.store, 4, 0);
  EXPECT_EQ(f.store.get(param_id(kind_input, 4, code_input_pan)), 100);
  EXPECT_EQ(f.store.get(param_id(kind_input, 4, 14)), 0);
  EXPECT_EQ(f.store.get(param_id(kind_input, 4, 8)), 44);
  EXPECT_EQ(f.store.get(param_id(kind_input, 5, 8)), 44);
}

TEST(copy_test, copies_that_do_nothing_leave_the_busy_flag) {
  store_fixture f;
  set_stereo_bit(f.store, kind_input, 2, true);
  f.store.dirty().clear();
  copy_input(f.store, 2, 3);
  copy_input(f.store, 7, 7);
  copy_fx(f.store, 0, 0);
  copy_bus(f.store, 4, 4);
  copy_input(f.store, 26, 0);
  EXPECT_FALSE(f.store.copy_busy());
  EXPECT_TRUE(f.store.dirty().empty());
}

TEST(copy_test, main_left_onto_main_right_moves_the_solo_to_the_right_feed) {
  store_fixture f;
  f.store.set_local(main_l_solo_id, 1100);
  f.store.set_local(param_id(kind_bus, 8, 100), 9);
  copy_bus(f.store, 9, 8);
  EXPECT_EQ(f.store.get(main_r_solo_id), 1100);
  EXPECT_EQ(f.store.get(2669), 0);
  EXPECT_EQ(f.store.get(param_id(kind_bus, 9, 100)), 9);
  EXPECT_FALSE(f.ui.refreshed(2669));
}

TEST(copy_test, copy_fx_covers_the_type_values_outside_the_block) {
  store_fixture f;
  f.store.set_local(param_id(kind_fx, 0, 216), 12);
  f.store.set_local(param_id(kind_fx, 0, code_fx_type), 5);
  copy_fx(f.store, 1, 0);
  EXPECT_EQ(f.store.get(3098), 12);
  EXPECT_EQ(f.store.get(param_id(kind_fx, 1, code_fx_type)), 5);
  EXPECT_TRUE(f.store.copy_busy());
}

}  // namespace
}  // namespace vorante
