// The link's counters on a memory link: frames each way, resends, verdicts of writes the
// console never confirmed (and their one toast per burst), heartbeat round trips and the
// time a full read took.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/params/convert.h"
#include "app/params/ids.h"
#include "app/params/store.h"
#include "app/protocol/link_stats.h"
#include "tests/support/engine_fixture.h"

namespace vorante {
namespace {

struct toast_ui : ui_port {
  std::vector<std::tuple<std::string, uint16_t, int>> toasts;
  void show_toast(std::string_view text, uint16_t colour, int ms) override { toasts.emplace_back(std::string(text), colour, ms); }
};

struct rig : test::engine_rig<toast_ui> {
  // Runs paced passes until the writes went out for the last time.
  void send_out() {
    for (int i = 0; i < 60 && store.dirty().pending(); ++i) pass();
  }
  void answer(message_code code, uint16_t id, uint16_t value) {
    const id_value p{id, value};
    deliver(code == message_code::write_params ? make_write_confirmation({&p, 1}) : make_param_values({&p, 1}));
    pass();
  }
  // Answers every read request sent so far with the store's values.
  void answer_reads() {
    for (const auto& frame : link.sent_with(message_code::read_params)) {
      std::vector<id_value> values;
      for (std::size_t i = 3; i + 2 <= frame.size() - 2; i += 2) {
        const uint16_t id = get_be16(&frame[i]);
        values.push_back({id, store.get(id)});
      }
      deliver(make_param_values(values));
    }
    link->sent.clear();
  }
  const link_stats& stats() const { return engine.stats(); }
};

TEST(link_stats_test, frames_and_resends_are_counted_as_they_cross_the_link) {
  rig r;
  r.pass();
  const uint64_t sent_before = r.stats().frames_sent;
  r.link->sent.clear();

  // A silent console: the write goes out four times, three of them again.
  r.store.set_and_send(600, 5);
  r.send_out();
  EXPECT_EQ(r.link.sent_with(message_code::write_params).size(), 4u);
  EXPECT_EQ(r.stats().write_resends, 3u);
  EXPECT_EQ(r.stats().frames_sent - sent_before, r.link->sent.size());

  // An answered write is never sent again.
  r.store.set_and_send(601, 7);
  r.pass();
  r.answer(message_code::write_params, 601, 7);
  r.send_out();
  EXPECT_EQ(r.stats().write_resends, 3u);

  // Two reads, one answered at once: only the other is asked again.
  r.store.request(700);
  r.store.request(701);
  r.pass();
  r.answer(message_code::read_params, 700, 1);
  for (int i = 0; i < 60 && r.store.requests().pending(); ++i) r.pass();
  EXPECT_EQ(r.stats().read_resends, 3u);

  // Every complete frame that arrives counts once, whatever it carries; noise does not.
  const uint64_t received_before = r.stats().frames_received;
  const id_value p{800, 1};
  r.deliver(make_param_change({&p, 1}));
  r.deliver(make_call_scene_done(2));
  const uint8_t noise[] = {0x01, 0x02, 0x03};
  r.link.deliver(noise);
  r.pass();
  EXPECT_EQ(r.stats().frames_received - received_before, 2u);
}

TEST(link_stats_test, a_write_the_console_never_confirms_is_listed_and_told_once_per_burst) {
  rig r;
  const uint16_t fader = param_id(kind_input, 2, code_input_fader);
  // A burst of five writes the console ignores, one that it confirms late, one on time.
  for (uint16_t n = 0; n < 5; ++n) r.store.set_and_send(static_cast<uint16_t>(fader + 100 * n), static_cast<uint16_t>(1000 + n));
  r.store.set_and_send(900, 3);
  r.send_out();
  EXPECT_EQ(r.stats().writes_given_up, 0u);  // still within the grace period
  r.answer(message_code::write_params, 900, 3);
  EXPECT_EQ(r.stats().writes_confirmed_late, 1u);

  r.now += r.engine.verdicts().grace();
  r.pass();
  EXPECT_EQ(r.stats().writes_given_up, 5u);
  ASSERT_EQ(r.stats().given_up.size(), 5u);
  EXPECT_EQ(r.stats().given_up.front().id, fader);
  EXPECT_EQ(r.stats().given_up.front().value, 1000);
  // The toast waits for the burst to end, then names its size, in red.
  EXPECT_TRUE(r.ui.toasts.empty());
  r.now += given_up_toast_window_ms;
  r.pass();
  ASSERT_EQ(r.ui.toasts.size(), 1u);
  EXPECT_EQ(std::get<0>(r.ui.toasts[0]), "5 changes were not confirmed by the console");
  EXPECT_EQ(std::get<1>(r.ui.toasts[0]), toast_red);
  for (int i = 0; i < 20; ++i) r.pass();
  EXPECT_EQ(r.ui.toasts.size(), 1u);

  // A single one later is its own toast, in the singular.
  r.store.set_and_send(fader, 1100);
  r.send_out();
  r.now += r.engine.verdicts().grace();
  r.pass();
  r.now += given_up_toast_window_ms;
  r.pass();
  ASSERT_EQ(r.ui.toasts.size(), 2u);
  EXPECT_EQ(std::get<0>(r.ui.toasts[1]), "1 change was not confirmed by the console");
}

TEST(link_stats_test, the_given_up_list_keeps_the_newest_and_counts_them_all) {
  link_stats s;
  for (uint16_t n = 0; n < given_up_history + 10; ++n) s.add_given_up(n, n, n);
  EXPECT_EQ(s.writes_given_up, given_up_history + 10);
  ASSERT_EQ(s.given_up.size(), given_up_history);
  EXPECT_EQ(s.given_up.front().id, 10);
  EXPECT_EQ(s.given_up.back().id, given_up_history + 9);
}

TEST(link_stats_test, heartbeat_round_trips_are_timed_from_the_status_read) {
  rig r;
  EXPECT_EQ(rtt_summary(r.stats()), "-");
  const uint32_t rtts[] = {12, 30, 7};
  for (uint32_t rtt : rtts) {
    // Steps until the supervision asked for the status words.
    for (int i = 0; i < 100 && !r.engine.supervision().heartbeat_waiting(); ++i) r.pass();
    ASSERT_TRUE(r.engine.supervision().heartbeat_waiting());
    ASSERT_FALSE(r.link.sent_with(message_code::read_params).empty());
    r.link->sent.clear();
    // Other values arriving first do not end the round trip.
    r.deliver(make_param_values(std::vector<id_value>{{700, 1}}));
    r.engine.step(r.now + 1);
    EXPECT_TRUE(r.engine.supervision().heartbeat_waiting());
    r.deliver(make_param_values(std::vector<id_value>{{first_status_word_id, 0}, {last_status_word_id, 0}}));
    r.engine.step(r.now + rtt);
    r.now += rtt;
  }
  EXPECT_EQ(r.stats().rtt_count, 3u);
  EXPECT_EQ(rtt_summary(r.stats()), "7 ms (min 7, max 30 of 3)");
  // Only the latest few are kept.
  link_stats s;
  for (uint32_t ms = 1; ms <= heartbeat_rtt_history + 3; ++ms) s.add_rtt(ms);
  EXPECT_EQ(rtt_summary(s), "11 ms (min 4, max 11 of 8)");
}

TEST(link_stats_test, a_full_read_is_timed_from_its_start_to_its_end_marker) {
  rig r;
  r.engine.messages().set_config_handlers([](std::string_view) {}, [](std::string_view) {});
  EXPECT_FALSE(r.stats().full_read_done);
  r.pass();
  const uint32_t start = r.now;
  r.store.full_resync();
  EXPECT_TRUE(r.stats().full_read_running);
  for (int i = 0; i < 400 && !r.engine.read_finished(); ++i) {
    r.now += 3;
    r.engine.step(r.now);
    r.answer_reads();
  }
  ASSERT_TRUE(r.engine.read_finished());
  EXPECT_TRUE(r.stats().full_read_done);
  EXPECT_FALSE(r.stats().full_read_running);
  EXPECT_EQ(r.stats().full_read_finished, r.now);
  EXPECT_EQ(r.stats().full_read_ms, r.now - start);
  EXPECT_GT(r.stats().full_read_ms, 0u);
}

TEST(link_stats_test, a_given_up_write_reads_as_channel_parameter_and_value) {
  runtime_options options;
  param_store store(options);
  store.load_defaults();
  struct row {
    uint16_t id;
    const char* channel;
    const char* parameter;
  };
  const row rows[] = {
      {param_id(kind_input, 0, code_input_fader), "CH1", "fader"},
      {param_id(kind_input, 4, code_input_on), "CH5", "mute"},
      {param_id(kind_input, 1, code_input_aux_send + 2), "CH2", "AUX3 send"},
      {param_id(kind_input, 0, code_input_bands + 4 * 2 + 2), "CH1", "EQ 3 gain"},
      {param_id(kind_input, 0, code_input_filters + 3), "CH1", "LPF freq"},
      {param_id(kind_bus, 2, code_bus_graphic_bands + 4 * 14 + 1), "AUX3", "GEQ 15 freq"},
      {param_id(kind_bus, main_l_bus, code_bus_fader), "LEFT", "fader"},
      {param_id(kind_bus, main_l_bus, code_bus_on), "LEFT", "mute"},
      {param_id(kind_input, 3, code_input_main_l_send), "CH4", "LEFT send"},
      {param_id(kind_fx, 1, code_fx_param_1 + 1), "FX2", "effect parameter 2"},
      {param_id(kind_dca, 1, code_dca_fader), "DCA2", "fader"},
      {param_id(kind_mute_group, 2, code_mute_active), "MUTE GROUP 3", "active"},
      {static_cast<uint16_t>(colour_base_id), "CH1", "colour"},
      {headphone_level_id, "-", "headphone level"},
      {no_param_id, "-", "ID 3192"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.id);
    const given_up_texts t = describe_write(store, r.id, store.get(r.id));
    EXPECT_EQ(t.channel, r.channel);
    EXPECT_EQ(t.parameter, r.parameter);
    EXPECT_EQ(t.value, value_text(store, r.id));  // the value written, as the pages show it
  }
  // The text is of the value written, not of the one the store holds now.
  const uint16_t on = param_id(kind_input, 0, code_input_on);
  EXPECT_NE(describe_write(store, on, 0).value, describe_write(store, on, 1).value);
}

}  // namespace
}  // namespace vorante
