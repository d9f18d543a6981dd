#include <gtest/gtest.h>

#include "app/params/solo.h"
#include "store_fixture.h"

namespace vorante {
namespace {

TEST(solo_test, active_rule) {
  EXPECT_TRUE(is_solo_active(1200));
  EXPECT_TRUE(is_solo_active(0x8000 | 1));
  EXPECT_FALSE(is_solo_active(0));
  EXPECT_FALSE(is_solo_active(0x4000 | 1200));
  EXPECT_FALSE(is_solo_active(0xC000));
}

TEST(solo_test, channels_set_both_feeds_and_keep_flags) {
  test::store_fixture f;
  const unsigned id = param_id(kind_input, 3, code_solo);
  f.store.set_local(id, 0x8000);
  solo_write(f.store, kind_input, 3, true);
  EXPECT_EQ(f.store.get(id), 0x8000 | 1200);
  EXPECT_EQ(f.store.get(id + 1), 0x8000 | 1200);
  EXPECT_TRUE(is_soloed(f.store, kind_input, 3));
  solo_write(f.store, kind_input, 3, false);
  EXPECT_EQ(f.store.get(id), 0x8000);
  EXPECT_FALSE(is_soloed(f.store, kind_input, 3));
}

TEST(solo_test, main_buses_solo_on_one_feed_and_silence_the_other_quietly) {
  test::store_fixture f;
  solo_write(f.store, kind_bus, main_r_bus, false);
  EXPECT_EQ(f.store.get(main_r_solo_id), 0);
  EXPECT_EQ(f.store.get(2669), 0);
  EXPECT_FALSE(f.ui.refreshed(2669));
  EXPECT_FALSE(is_soloed(f.store, kind_bus, main_r_bus));
  solo_write(f.store, kind_bus, main_l_bus, true);
  EXPECT_EQ(f.store.get(main_l_solo_id), 1200);
  EXPECT_EQ(f.store.get(main_l_solo_id + 1), 0);
  EXPECT_TRUE(is_soloed(f.store, kind_bus, main_l_bus));
  EXPECT_FALSE(f.ui.refreshed(main_l_solo_id + 1));
}

}  // namespace
}  // namespace vorante
