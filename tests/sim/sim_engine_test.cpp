// The program's own synchronisation engine against the simulated console, in memory with
// a hand-moved clock: what the two ends agree on when each plays its part.
#include <gtest/gtest.h>

#include "app/protocol/engine.h"
#include "sim_test_support.h"
#include "tests/support/engine_fixture.h"
#include "tools/sim/console_model.h"

namespace vorante::sim {
namespace {

struct linked : vorante::test::engine_rig<> {
  std::unique_ptr<console_model> console;

  explicit linked(console_settings settings = {}) : console(std::make_unique<console_model>(settings, now)) {}

  void deliver(const frame_list& frames) {
    for (const frame_bytes& f : frames) link.deliver(f);
  }

  // Engine steps 20 ms apart; everything it sends reaches the console and back.
  template <class Done>
  bool run_until(Done done, int max_steps = 3000) {
    for (int i = 0; i < max_steps; ++i) {
      engine.step(now);
      std::vector<std::vector<uint8_t>> sent;
      sent.swap(link->sent);
      for (const auto& f : sent) deliver(console->handle(f, now));
      deliver(console->tick(now));
      if (done()) return true;
      now += pace_period_ms;
    }
    return false;
  }
  void settle(int steps) {
    run_until([] { return false; }, steps);
  }
};

TEST(sim_engine_test, full_read_brings_the_whole_console_into_the_store) {
  console_settings s;
  s.random_values = true;
  s.random_seed = 99;
  linked l(s);
  l.store.full_resync();
  ASSERT_TRUE(l.run_until([&] { return l.engine.read_finished(); }));
  EXPECT_TRUE(l.engine.messages().end_marker_seen());
  l.settle(200);  // scene and channel names follow the values

  int differing = 0;
  for (unsigned id = 0; id < param_count; ++id) differing += l.store.get(id) != l.console->value(id);
  EXPECT_EQ(differing, 0);
  for (int n = 1; n <= scene_memories; ++n) EXPECT_EQ(l.engine.names().scene_name(n), l.console->scene(n).name);
}

TEST(sim_engine_test, program_writes_are_acknowledged_and_console_changes_arrive) {
  linked l;
  const uint16_t fader = param_id(kind_input, 6, code_fader);
  l.store.linked_set(fader, 1111);
  ASSERT_TRUE(l.run_until([&] { return !l.store.dirty().pending(); }, 50));
  EXPECT_EQ(l.console->value(fader), 1111);

  const uint16_t mute = param_id(kind_bus, 2, code_bus_on);
  l.console->console_set(mute, 0);
  ASSERT_TRUE(l.run_until([&] { return l.store.get(mute) == 0 && l.console->awaiting_echo() == 0; }, 50));
  EXPECT_EQ(l.console->stats().changes_resent, 0u);
}

TEST(sim_engine_test, scene_call_confirms_and_the_program_reads_the_recalled_values) {
  console_settings s;
  s.random_values = true;
  s.random_seed = 5;
  linked l(s);
  l.engine.scenes().request_call(4);
  ASSERT_TRUE(l.run_until([&] { return l.engine.scenes().call_done() != 0; }, 50));
  EXPECT_EQ(l.console->value(scene_change_marker_id), 4);
  ASSERT_TRUE(l.run_until([&] { return l.engine.read_finished(); }));
  const uint16_t gain = param_id(kind_input, 1, 8);
  EXPECT_EQ(l.store.get(gain), l.console->scene(4).values[gain]);
  EXPECT_EQ(l.store.get(scene_change_marker_id), 4);
}

TEST(sim_engine_test, lock_commands_reach_the_program_as_the_lock_state) {
  console_settings s;
  s.password = "1234";
  linked l(s);
  l.engine.device().send_config_command("CMD=FORCELOCK\nLOCK=ON");
  ASSERT_TRUE(l.run_until([&] { return l.engine.console_locked(); }, 50));
  l.engine.device().send_config_command("CMD=CHGLOCK\nPWD=1234\nLOCK=OFF");
  ASSERT_TRUE(l.run_until([&] { return !l.engine.console_locked(); }, 50));
}

}  // namespace
}  // namespace vorante::sim
