#include <gtest/gtest.h>

#include <vector>

#include "app/params/store.h"
#include "app/params/unconfirmed.h"

namespace vorante {
namespace {

TEST(unconfirmed_test, only_the_written_value_confirms_and_the_rest_runs_out) {
  unconfirmed_writes list;
  list.add(76, 1100, 1000);
  list.add(77, 5, 1000);
  list.add(78, 9, 3000);

  EXPECT_FALSE(list.confirm(76, 1101));  // the console holds something else
  EXPECT_TRUE(list.confirm(77, 5));
  EXPECT_FALSE(list.confirm(77, 5));  // confirmed once, gone
  EXPECT_FALSE(list.confirm(99, 0));  // never written

  std::vector<uint16_t> failed;
  list.expire(5999, 5000, [&](const unconfirmed_writes::entry& e) { failed.push_back(e.id); });
  EXPECT_TRUE(failed.empty());
  list.expire(6000, 5000, [&](const unconfirmed_writes::entry& e) { failed.push_back(e.id); });
  EXPECT_EQ(failed, std::vector<uint16_t>{76});
  EXPECT_TRUE(list.contains(78));
  // The clock wraps: an entry added just before the wrap is still young just after it.
  list.clear();
  list.add(80, 1, 0xFFFFFF00u);
  list.expire(0x100, 5000, [&](const unconfirmed_writes::entry&) { ADD_FAILURE(); });
  EXPECT_TRUE(list.contains(80));
}

TEST(unconfirmed_test, stays_bounded_under_a_flood_and_gives_up_the_oldest_first) {
  unconfirmed_writes list;
  int pushed_out = 0;
  uint16_t first_pushed_out = 0;
  for (uint32_t n = 0; n < 10000; ++n) {
    unconfirmed_writes::entry e;
    if (list.add(static_cast<uint16_t>(n % param_count), static_cast<uint16_t>(n), n, &e)) {
      if (pushed_out++ == 0) first_pushed_out = e.id;
    }
    ASSERT_LE(list.size(), unconfirmed_writes::capacity);
  }
  EXPECT_EQ(list.size(), unconfirmed_writes::capacity);
  EXPECT_EQ(first_pushed_out, 0);
  EXPECT_GT(pushed_out, 0);
  // A second write of the same ID replaces the first instead of taking a second place.
  list.clear();
  list.add(5, 1, 0);
  list.add(5, 2, 1);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_FALSE(list.confirm(5, 1));
  EXPECT_TRUE(list.confirm(5, 2));
}

TEST(unconfirmed_test, a_pass_tells_which_send_was_the_last) {
  pending_set<64> set;
  set.queue(7);
  std::vector<bool> lasts;
  for (int pass = 0; pass < 40; ++pass) set.pass(60, [&](unsigned id, bool last) {
      EXPECT_EQ(id, 7u);
      lasts.push_back(last);
    });
  EXPECT_EQ(lasts, (std::vector<bool>{false, false, false, true}));
}

TEST(unconfirmed_test, store_confirms_by_late_echo_or_by_the_value_read_back) {
  runtime_options options;
  param_store store(options);
  store.load_defaults();

  store.set_and_send(76, 1100);
  store.dirty().settle(76);  // its sends ran out
  store.unconfirmed().add(76, 1100, 0);
  EXPECT_TRUE(store.acknowledge_write(76, 1100));
  EXPECT_FALSE(store.unconfirmed().contains(76));

  store.set_and_send(77, 300);
  store.unconfirmed().add(77, 300, 0);
  EXPECT_FALSE(store.store_received(77, 299));  // the console holds another value
  EXPECT_TRUE(store.unconfirmed().contains(77));
  store.set_and_send(77, 300);  // written again: the new write has its own verdict to come
  EXPECT_FALSE(store.unconfirmed().contains(77));
  store.unconfirmed().add(77, 300, 0);
  EXPECT_TRUE(store.store_received(77, 300));
  EXPECT_FALSE(store.unconfirmed().contains(77));
}

}  // namespace
}  // namespace vorante
