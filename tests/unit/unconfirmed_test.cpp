#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "app/params/store.h"
#include "app/params/unconfirmed.h"
#include "tests/support/engine_fixture.h"

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

// The engine on a console that never answers in time: a write goes out four times, is
// given up on the wire, and waits out the grace period as unconfirmed.
struct silent_console : test::engine_rig<> {
  std::vector<std::tuple<uint16_t, uint16_t, bool>> verdicts;
  silent_console() {
    engine.verdicts().set_observer([this](uint16_t id, uint16_t value, bool ok) { verdicts.emplace_back(id, value, ok); });
  }
  // Writes `value` to `id` and runs until its sends ran out, returning how many went out.
  int write_until_given_up(uint16_t id, uint16_t value) {
    store.set_and_send(id, value);
    const std::size_t before = link.sent_with(message_code::write_params).size();
    for (int i = 0; i < 40 && (store.dirty().contains(id) || store.dirty().pending()); ++i) pass();
    return static_cast<int>(link.sent_with(message_code::write_params).size() - before);
  }
  void answer_write(uint16_t id, uint16_t value) {
    const id_value p{id, value};
    deliver(make_write_confirmation({&p, 1}));
    pass();
  }
  void answer_read(uint16_t id, uint16_t value) {
    const id_value p{id, value};
    deliver(make_param_values({&p, 1}));
    pass();
  }
};

TEST(unconfirmed_test, a_late_answer_confirms_a_write_and_silence_fails_it_after_the_grace_period) {
  struct row {
    const char* what;
    bool by_read;
    uint16_t answer;  // 0: no answer at all
    uint32_t late_ms;
    bool confirmed;
  };
  const row rows[] = {
      {"echo 400 ms late", false, 1100, 400, true},
      {"echo just inside the grace period", false, 1100, 4900, true},
      {"value read back 400 ms late", true, 1100, 400, true},
      {"echo with another value", false, 1101, 400, false},
      {"another value read back", true, 1101, 400, false},
      {"no answer", false, 0, 0, false},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.what);
    silent_console c;
    EXPECT_EQ(c.write_until_given_up(76, 1100), 4);  // the wire rule is unchanged
    EXPECT_TRUE(c.store.unconfirmed().contains(76));
    EXPECT_TRUE(c.verdicts.empty());
    if (r.answer != 0) {
      c.now += r.late_ms;
      if (r.by_read)
        c.answer_read(76, r.answer);
      else
        c.answer_write(76, r.answer);
    }
    c.now += c.engine.verdicts().grace();
    c.pass();
    ASSERT_EQ(c.verdicts.size(), 1u);
    EXPECT_EQ(std::get<0>(c.verdicts[0]), 76);
    EXPECT_EQ(std::get<1>(c.verdicts[0]), 1100);
    EXPECT_EQ(std::get<2>(c.verdicts[0]), r.confirmed);
    EXPECT_TRUE(c.store.unconfirmed().empty());
  }
}

TEST(unconfirmed_test, a_newer_write_of_the_same_id_replaces_the_old_verdict) {
  silent_console c;
  c.write_until_given_up(76, 1100);
  c.store.set_and_send(76, 1200);  // written again before any answer
  EXPECT_FALSE(c.store.unconfirmed().contains(76));
  c.answer_write(76, 1200);
  c.now += c.engine.verdicts().grace();
  c.pass();
  EXPECT_TRUE(c.verdicts.empty());  // the new write was answered in time; the old has no verdict
}

TEST(unconfirmed_test, a_late_read_reply_does_not_undo_a_write_still_being_sent) {
  silent_console c;
  c.store.set_and_send(600, 5);
  c.pass();                   // first send
  c.answer_read(600, 21);     // what the console held before: asked for earlier, arrived now
  EXPECT_EQ(c.store.get(600), 5);
  for (int i = 0; i < 30; ++i) c.pass();
  for (const auto& f : c.link.sent_with(message_code::write_params))
    for (const id_value p : test::pairs_of(f)) EXPECT_EQ(p.value, 5) << "a send carried the console's old value";
  // Once the write is no longer being sent, the console's word counts again.
  c.answer_read(600, 21);
  EXPECT_EQ(c.store.get(600), 21);
}

TEST(unconfirmed_test, a_flood_to_a_console_that_never_answers_stays_bounded) {
  silent_console c;
  for (uint16_t id = 0; id < 1000; ++id) c.store.set_and_send(id, 1);
  for (int i = 0; i < 2000 && c.store.dirty().pending(); ++i) c.pass();
  EXPECT_FALSE(c.store.dirty().pending());
  EXPECT_EQ(c.store.unconfirmed().size(), unconfirmed_writes::capacity);
  // Every write has its verdict in the end: the ones pushed out at once, the rest after
  // the grace period; none is left without one.
  c.now += c.engine.verdicts().grace();
  c.pass();
  EXPECT_EQ(c.verdicts.size(), 1000u);
  for (const auto& v : c.verdicts) EXPECT_FALSE(std::get<2>(v));
}

}  // namespace
}  // namespace vorante
