#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/params/channel_state.h"
#include "app/protocol/engine.h"
#include "app/protocol/messages.h"
#include "store_fixture.h"
#include "tests/support/engine_fixture.h"

namespace vorante {
namespace {

struct engine_ui : test::recording_ui {
  std::vector<bool> link_states;
  std::vector<std::string> overlays;
  std::vector<std::pair<int, std::string>> names, scene_names;
  std::vector<bool> locks;
  std::vector<int> pushed_flags;
  void on_param(uint16_t id, uint16_t value, bool pushed) override {
    recording_ui::on_param(id, value, pushed);
    pushed_flags.push_back(pushed);
  }
  void link_state_changed(bool online) override { link_states.push_back(online); }
  void show_incompatible_overlay(std::string_view text) override { overlays.emplace_back(text); }
  void on_name(int l, std::string_view n) override { names.emplace_back(l, std::string(n)); }
  void on_scene_name(int s, std::string_view n) override { scene_names.emplace_back(s, std::string(n)); }
  void console_lock_changed(bool locked) override { locks.push_back(locked); }
  std::vector<uint16_t> keys;
  std::vector<std::pair<int, int>> encoders;
  void console_key(uint16_t code) override { keys.push_back(code); }
  void console_encoder(int encoder, int steps) override { encoders.emplace_back(encoder, steps); }
};

// An engine on an in-memory link with a hand-moved clock, its supervision clock started.
struct engine_fixture : test::engine_rig<engine_ui> {
  int wakes = 0;

  engine_fixture() {
    engine.set_wake([this] { ++wakes; });
    engine.step(now);  // starts the supervision clock
    link->sent.clear();
  }
  std::vector<std::vector<uint8_t>> sent_with(message_code code) const { return link.sent_with(code); }
  static std::vector<id_value> pairs_of(const std::vector<uint8_t>& f) { return test::pairs_of(f); }
};

TEST(engine_test, unacknowledged_write_goes_out_four_times_six_passes_apart) {
  engine_fixture f;
  f.store.linked_set(param_id(kind_input, 3, code_fader), 1000);
  std::vector<int> passes;
  for (int pass = 0; pass < 30; ++pass) {
    f.link->sent.clear();
    f.pass();
    if (!f.sent_with(message_code::write_params).empty()) passes.push_back(pass);
  }
  EXPECT_EQ(passes, (std::vector<int>{0, 6, 12, 18}));
  EXPECT_FALSE(f.store.dirty().contains(param_id(kind_input, 3, code_fader)));
}

TEST(engine_test, writes_are_paced_at_twenty_milliseconds) {
  engine_fixture f;
  f.store.linked_set(100, 1);
  f.pass();
  EXPECT_EQ(f.sent_with(message_code::write_params).size(), 1u);
  f.store.linked_set(101, 1);
  f.now += 19;
  f.engine.step(f.now);
  EXPECT_EQ(f.sent_with(message_code::write_params).size(), 1u);
  f.now += 1;
  f.engine.step(f.now);
  EXPECT_EQ(f.sent_with(message_code::write_params).size(), 2u);
}

TEST(engine_test, acknowledgement_with_another_value_keeps_the_write_pending) {
  engine_fixture f;
  const uint16_t id = param_id(kind_input, 0, code_fader);
  f.store.linked_set(id, 1000);
  f.pass();
  ASSERT_EQ(f.sent_with(message_code::write_params).size(), 1u);
  const id_value wrong{id, 999};
  f.deliver(make_write_confirmation({&wrong, 1}));
  f.link->sent.clear();
  for (int i = 0; i < 6; ++i) f.pass();
  ASSERT_EQ(f.sent_with(message_code::write_params).size(), 1u) << "resent on the sixth pass";
  const id_value right{id, 1000};
  f.deliver(make_write_confirmation({&right, 1}));
  f.pass();
  EXPECT_FALSE(f.store.dirty().contains(id));
  EXPECT_FALSE(f.store.dirty().pending());
}

TEST(engine_test, copy_busy_clears_once_every_write_went_out) {
  engine_fixture f;
  f.store.set_copy_busy(true);
  f.store.linked_set(200, 3);
  f.pass();
  EXPECT_TRUE(f.store.copy_busy());
  const id_value ack{200, 3};
  f.deliver(make_write_confirmation({&ack, 1}));
  f.pass();  // the flush finds the set empty and lowers the flag
  f.pass();  // the edge is seen
  EXPECT_FALSE(f.store.copy_busy());
}

TEST(engine_test, values_arrive_without_entering_the_dirty_set) {
  engine_fixture f;
  const id_value pairs[] = {{500, 42}, {5, 0x1234}, {3600, 9}};
  f.store.request(500);
  f.deliver(make_param_values(pairs));
  f.pass();
  EXPECT_EQ(f.store.get(500), 42);
  EXPECT_EQ(f.store.get(5), 0x1234);
  EXPECT_FALSE(f.store.requests().contains(500));
  EXPECT_TRUE(f.store.dirty().empty());
  EXPECT_TRUE(f.ui.refreshed(500));
  EXPECT_FALSE(f.ui.refreshed(5)) << "meters reach no page";
  EXPECT_FALSE(f.ui.refreshed(3600 & 0xFFFF));
  EXPECT_TRUE(f.engine.link_alive());
}

TEST(engine_test, pushed_change_is_echoed_and_reaches_the_page_as_pushed) {
  engine_fixture f;
  const id_value p{param_id(kind_input, 1, code_fader), 800};
  const frame_bytes change = make_param_change({&p, 1});
  f.deliver(change);
  f.pass();
  const auto echoes = f.sent_with(message_code::param_change);
  ASSERT_EQ(echoes.size(), 1u);
  EXPECT_EQ(echoes[0], std::vector<uint8_t>(change.data(), change.data() + change.size()));
  EXPECT_EQ(f.store.get(p.id), 800);
  ASSERT_FALSE(f.ui.pushed_flags.empty());
  EXPECT_EQ(f.ui.pushed_flags.back(), 1);
}

TEST(engine_test, scene_change_marker_reads_everything_again) {
  engine_fixture f;
  f.store.linked_set(300, 5);
  const id_value p{scene_change_marker_id, 2};
  f.deliver(make_param_change({&p, 1}));
  f.now += 1;
  f.engine.step(f.now);
  EXPECT_FALSE(f.store.dirty().contains(300));
  EXPECT_GE(f.store.requests().count(), static_cast<std::size_t>(param_count - 1));
  EXPECT_TRUE(f.engine.names().scene_requests().pending());
}

// Answers every read request at once, as a console on loopback would.
void answer_reads(engine_fixture& f, uint16_t end_value = 0) {
  for (const auto& frame : f.sent_with(message_code::read_params)) {
    std::vector<id_value> values;
    for (std::size_t i = 3; i + 2 <= frame.size() - 2; i += 2) {
      const uint16_t id = get_be16(&frame[i]);
      values.push_back({id, id == end_marker_id ? end_value : f.store.get(id)});
    }
    f.deliver(make_param_values(values));
  }
  f.link->sent.clear();
}

TEST(engine_test, full_read_finishes_once_per_resync) {
  engine_fixture f;
  int finished = 0;
  f.engine.messages().set_config_handlers([](std::string_view) {}, [](std::string_view) {});
  f.store.full_resync();
  for (int i = 0; i < 200 && f.store.requests().pending(); ++i) {
    f.engine.step(f.now);  // reads go out on every step
    const std::size_t queries = f.sent_with(message_code::config_query).size();
    answer_reads(f);
    finished += static_cast<int>(queries);
    f.now += 1;
  }
  for (int i = 0; i < 3; ++i) {
    f.pass();
    finished += static_cast<int>(f.sent_with(message_code::config_query).size());
    f.link->sent.clear();
  }
  EXPECT_TRUE(f.engine.messages().end_marker_seen());
  EXPECT_TRUE(f.engine.read_finished());
  EXPECT_EQ(finished, 2) << "DEVNAME and SCENEKEYLOCK queries, once";
  EXPECT_TRUE(f.engine.names().channel_requests().pending());

  // Later heartbeat reads drain the set again without a second read-finished.
  f.store.request_range(first_status_word_id, last_status_word_id);
  for (int i = 0; i < 5; ++i) {
    f.engine.step(++f.now);
    answer_reads(f);
  }
  f.pass();
  EXPECT_TRUE(f.sent_with(message_code::config_query).empty());
}

TEST(engine_test, full_read_runs_at_the_speed_of_the_replies) {
  engine_fixture f;
  f.store.request_all();
  int steps = 0;
  while (f.store.requests().pending() && steps < 1000) {
    f.engine.step(f.now);  // no clock movement: only replies drive the read
    answer_reads(f);
    ++steps;
  }
  EXPECT_FALSE(f.store.requests().pending());
  EXPECT_LE(steps, 70) << "3518 IDs in frames of 60";
  EXPECT_GT(f.wakes, 50) << "each reply wakes the next step";
}

TEST(engine_test, lock_state_is_read_first) {
  engine_fixture f;
  f.store.request_range(0, 100);
  f.store.request(lock_state_id);
  f.engine.step(f.now);
  const auto reads = f.sent_with(message_code::read_params);
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(get_be16(&reads[0][3]), lock_state_id);
  EXPECT_EQ(reads[0][1], 3 + 2 * 60) << "60 IDs, 3190 counted among them";
}

TEST(engine_test, identification_accepts_the_product_and_refuses_others) {
  {
    engine_fixture f;
    f.deliver(make_identification(0, 0xE001, 0x3B, ""));
    f.pass();
    EXPECT_FALSE(f.engine.supervision().incompatible());
    f.engine.supervision().supervise(f.now);
    EXPECT_TRUE(f.store.requests().contains(online_lock_poll_id));
    EXPECT_TRUE(f.store.requests().contains(first_status_word_id));
  }
  {
    engine_fixture f;
    f.deliver(make_identification(0, 0xE001, 0x3C, ""));
    f.pass();
    EXPECT_TRUE(f.engine.supervision().incompatible());
    EXPECT_EQ(f.engine.supervision().identified_model(), 0x3C);
    EXPECT_EQ(f.engine.link(), nullptr);
    // From now on: no heartbeat, no lock poll, and the link stays closed.
    f.engine.supervision().supervise(f.now);
    EXPECT_FALSE(f.store.requests().contains(online_lock_poll_id));
    EXPECT_FALSE(f.store.requests().contains(first_status_word_id));
    f.engine.open_link();
    EXPECT_EQ(f.engine.link(), nullptr);
    EXPECT_EQ(f.options.link_mode, link_udp) << "the start-up options are left as they were";
    ASSERT_EQ(f.ui.overlays.size(), 1u);
    EXPECT_NE(f.ui.overlays[0].find("browser cache"), std::string::npos);
  }
}

TEST(engine_test, link_goes_offline_between_5100_and_6100_ms_after_the_last_values) {
  engine_fixture f;
  const id_value p{3178, 1};
  f.deliver(make_param_values({&p, 1}));
  f.engine.step(f.now);
  const uint32_t last = f.now;
  uint32_t offline_at = 0;
  for (uint32_t t = last; t < last + 8000; t += 10) {
    f.engine.step(t);
    if (f.ui.link_states.size() == 2 && offline_at == 0) offline_at = t - last;
  }
  ASSERT_EQ(f.ui.link_states, (std::vector<bool>{true, false}));
  EXPECT_GE(offline_at, 5100u);
  EXPECT_LE(offline_at, 6100u);
}

TEST(engine_test, coming_up_identifies_and_resyncs_a_second_later) {
  engine_fixture f;
  const id_value p{3178, 1};
  f.deliver(make_param_values({&p, 1}));
  f.engine.step(f.now);
  f.now += 1000;
  f.engine.step(f.now);  // supervision sees the link up
  EXPECT_EQ(f.sent_with(message_code::identify).size(), 1u);
  ASSERT_EQ(f.sent_with(message_code::config_query).size(), 1u);
  EXPECT_FALSE(f.store.requests().contains(500));
  f.now += 1000;
  f.engine.step(f.now);
  EXPECT_TRUE(f.store.requests().contains(500)) << "full resync ran";
}

TEST(engine_test, supervision_polls_status_and_lock) {
  engine_fixture f;
  f.now += 1000;
  f.engine.step(f.now);
  EXPECT_TRUE(f.store.requests().contains(1));
  EXPECT_TRUE(f.store.requests().contains(3178));
  EXPECT_TRUE(f.store.requests().contains(3191));
}

// The engine on TCP, counting every link it opens.
struct tcp_fixture : engine_fixture {
  int opened = 0;

  tcp_fixture() {
    options.link_mode = link_tcp;
    engine.set_transport_factory([this] {
      ++opened;
      return std::make_unique<memory_transport>();
    });
  }

  // One step a second for `seconds` seconds.
  void run_seconds(int seconds) {
    for (int s = 0; s < seconds; ++s) {
      now += 1000;
      engine.step(now);
    }
  }
};

TEST(engine_test, tcp_link_is_rebuilt_every_ten_seconds_without_heartbeat) {
  tcp_fixture f;
  f.run_seconds(30);
  EXPECT_EQ(f.opened, 3);
}

TEST(engine_test, tcp_link_is_not_rebuilt_after_an_incompatible_console) {
  tcp_fixture f;
  f.deliver(make_identification(0, 0xE001, 0x3C, ""));
  f.pass();
  ASSERT_TRUE(f.engine.supervision().incompatible());
  f.run_seconds(30);
  EXPECT_EQ(f.opened, 0);
  EXPECT_EQ(f.engine.link(), nullptr);
}

TEST(engine_test, scene_call_is_sent_three_times_a_hundred_passes_apart) {
  engine_fixture f;
  f.engine.scenes().request_call(4);
  std::vector<int> passes;
  for (int pass = 0; pass < 400; ++pass) {
    f.link->sent.clear();
    f.pass();
    if (!f.sent_with(message_code::call_scene).empty()) passes.push_back(pass);
  }
  EXPECT_EQ(passes, (std::vector<int>{0, 101, 202}));
  EXPECT_EQ(f.engine.scenes().pending_call(), 0);
}

TEST(engine_test, scene_call_confirmation_reads_everything) {
  engine_fixture f;
  f.engine.scenes().request_call(2);
  f.pass();
  f.store.linked_set(400, 1);
  f.deliver(make_call_scene_done(2));
  f.now += 1;
  f.engine.step(f.now);
  EXPECT_EQ(f.engine.scenes().pending_call(), 0);
  EXPECT_EQ(f.engine.scenes().call_done(), 1);
  EXPECT_FALSE(f.store.dirty().contains(400));
  EXPECT_TRUE(f.store.requests().contains(2)) << "meters are read again once the call is done";
}

TEST(engine_test, scene_save_waits_for_the_previous_one) {
  engine_fixture f;
  f.engine.scenes().request_save(3);
  f.engine.scenes().request_save(5);
  EXPECT_EQ(f.engine.scenes().pending_save(), 3);
  f.pass();
  ASSERT_EQ(f.sent_with(message_code::save_scene).size(), 1u);
  f.deliver(make_save_scene_done(3));
  f.pass();
  EXPECT_EQ(f.engine.scenes().pending_save(), 0);
  EXPECT_EQ(f.engine.scenes().save_done(), 1);
}

// A console that confirms only the third attempt, some passes after it: the request
// stays pending for the third send's window as it did for the first two. A call reply
// after that window is no longer taken; a save reply names no scene and always counts.
TEST(engine_test, the_third_scene_attempt_can_still_be_confirmed) {
  struct reply_case {
    int passes_after_third_send;
    bool call_confirmed, save_confirmed;
  };
  const reply_case cases[] = {{1, true, true},
                              {60, true, true},
                              {scene_request_countdown + 1, true, true},
                              {scene_request_countdown + 20, false, true}};
  for (const bool call : {true, false}) {
    for (const reply_case& c : cases) {
      SCOPED_TRACE(testing::Message() << (call ? "call" : "save") << " after " << c.passes_after_third_send);
      engine_fixture f;
      const message_code code = call ? message_code::call_scene : message_code::save_scene;
      if (call)
        f.engine.scenes().request_call(6);
      else
        f.engine.scenes().request_save(6);
      int sends = 0;
      for (int pass = 0; pass < 400 && sends < scene_request_attempts; ++pass) {
        f.link->sent.clear();
        f.pass();
        sends += static_cast<int>(f.sent_with(code).size());
      }
      ASSERT_EQ(sends, scene_request_attempts);
      for (int i = 1; i < c.passes_after_third_send; ++i) f.pass();
      f.deliver(call ? make_call_scene_done(6) : make_save_scene_done(6));
      f.link->sent.clear();
      f.pass();
      EXPECT_TRUE(f.sent_with(code).empty()) << "no fourth attempt";
      const bool confirmed = call ? c.call_confirmed : c.save_confirmed;
      EXPECT_EQ(call ? f.engine.scenes().call_done() : f.engine.scenes().save_done(), confirmed);
      EXPECT_EQ(call ? f.engine.scenes().pending_call() : f.engine.scenes().pending_save(), 0);
      if (!call) continue;
      // A recalled scene changed every value: all of them are read again.
      std::vector<bool> read(param_count, false);
      for (int i = 0; i < 200 && f.store.requests().pending(); ++i) {
        for (const auto& frame : f.sent_with(message_code::read_params))
          for (std::size_t at = 3; at + 2 <= frame.size() - 2; at += 2) read[get_be16(&frame[at])] = true;
        answer_reads(f);
        f.engine.step(++f.now);
      }
      EXPECT_EQ(std::count(read.begin(), read.end(), true), confirmed ? param_count : 0);
    }
  }
}

TEST(engine_test, name_requests_go_one_per_pass_and_answers_clear_them) {
  engine_fixture f;
  f.store.full_resync();
  f.pass();
  ASSERT_EQ(f.sent_with(message_code::scene_name).size(), 1u);
  ASSERT_EQ(f.sent_with(message_code::channel_name).size(), 1u);
  f.deliver(make_scene_name(1, "Opening act with a very long name that is cut"));
  f.deliver(make_channel_name(0, "Kick"));
  f.deliver(make_scene_name(17, "ignored"));
  f.pass();
  EXPECT_FALSE(f.engine.names().scene_requests().contains(0));
  EXPECT_EQ(f.engine.names().scene_name(1).size(), 31u);
  EXPECT_EQ(f.engine.names().channel_name(0), "Kick");
  ASSERT_EQ(f.ui.scene_names.size(), 1u);
  ASSERT_EQ(f.ui.names.size(), 1u);
  EXPECT_EQ(f.engine.names().scene_name(17), "");
  // Unanswered requests give up after four sends each: 16 scenes take 16 * 4 sends.
  int sends = static_cast<int>(f.sent_with(message_code::scene_name).size());
  for (int i = 0; i < 2000; ++i) {
    f.link->sent.clear();
    f.pass();
    sends += static_cast<int>(f.sent_with(message_code::scene_name).size());
  }
  EXPECT_EQ(sends, 1 + 15 * 4);
  EXPECT_FALSE(f.engine.names().scene_requests().pending());
}

TEST(engine_test, name_updates_carry_the_text_and_are_confirmed) {
  engine_fixture f;
  f.engine.names().set_scene_name(2, "Band");
  f.engine.names().set_channel_name(37, "Right");
  f.engine.names().set_channel_name(60, "ignored");
  f.pass();
  const auto scene = f.sent_with(message_code::set_scene_name);
  ASSERT_EQ(scene.size(), 1u);
  EXPECT_EQ(std::string(scene[0].begin() + 4, scene[0].end() - 2), "Band");
  EXPECT_EQ(f.sent_with(message_code::set_channel_name).size(), 1u);
  f.deliver(make_set_scene_name_done(2));
  f.deliver(make_set_channel_name_done(37));
  f.pass();
  EXPECT_FALSE(f.engine.names().scene_updates().contains(1));
  EXPECT_FALSE(f.engine.names().channel_updates().contains(37));
  EXPECT_EQ(f.engine.names().scene_name(3), "Scene3");
}

TEST(engine_test, clear_all_drops_name_traffic) {
  engine_fixture f;
  f.store.full_resync();
  f.engine.names().set_scene_name(1, "x");
  f.store.clear_all();
  f.pass();
  EXPECT_TRUE(f.link->sent.empty());
}

TEST(engine_test, lock_state_changes_reach_the_lock_screen) {
  engine_fixture f;
  const id_value on{lock_state_id, 1}, off{lock_state_id, 0};
  f.deliver(make_param_values({&on, 1}));
  f.deliver(make_param_values({&on, 1}));
  f.deliver(make_param_values({&off, 1}));
  f.pass();
  EXPECT_EQ(f.ui.locks, (std::vector<bool>{true, false}));
}

TEST(engine_test, status_and_transfer_replies_are_matched) {
  engine_fixture f;
  const uint8_t status_bytes[] = {1, 2, 3, 4};
  f.deliver(make_status(28, status_bytes));  // indices above 30 are ignored
  f.engine.transfer().send_values_read(5, 3, 100);
  f.deliver(make_scene_values(4, 100, std::vector<uint16_t>{7, 7, 7}));  // another scene
  f.deliver(make_scene_values(5, 100, std::vector<uint16_t>{10, 11, 12}));
  f.engine.transfer().send_text_read(5, 59);
  f.deliver(make_scene_text(5, 59, "Vocals"));
  f.pass();
  EXPECT_EQ(f.engine.messages().status()[28], 1);
  EXPECT_EQ(f.engine.messages().status()[30], 3);
  EXPECT_FALSE(f.engine.scenes().call_done()) << "a status byte beyond 30 is no flag of ours";
  EXPECT_FALSE(f.engine.scenes().save_done());
  EXPECT_TRUE(f.engine.transfer().replies().values_read);
  EXPECT_EQ(f.engine.transfer().image().values[101], 11);
  EXPECT_TRUE(f.engine.transfer().replies().text_read);
  EXPECT_STREQ(f.engine.transfer().image().texts[59].data(), "Vocals");
}

TEST(engine_test, transfer_values_write_sends_zero_beyond_the_last_id) {
  engine_fixture f;
  f.engine.transfer().image().values[3516] = 9;
  f.engine.transfer().send_values_write(1, 4, 3516);
  const auto w = f.sent_with(message_code::scene_values_write);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(get_be16(&w[0][7]), 9);
  EXPECT_EQ(get_be16(&w[0][11]), 0);
  EXPECT_EQ(get_be16(&w[0][13]), 0);
}

TEST(engine_test, send_write_now_bypasses_the_dirty_set) {
  engine_fixture f;
  f.engine.device().send_write_now(56, 0x55AA);
  const auto w = f.sent_with(message_code::write_params);
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(engine_fixture::pairs_of(w[0]), (std::vector<id_value>{{56, 0x55AA}}));
  EXPECT_TRUE(f.store.dirty().empty());
}

TEST(engine_test, control_events_are_echoed_and_move_faders) {
  engine_fixture f;
  const id_value ev[] = {{event_first_fader + 2, 0x4000 | 1000}, {event_first_fader + 7, 500}};
  f.store.set_local(param_id(kind_input, 2, code_fader), 0x8000);
  f.deliver(make_control_events(ev));
  f.pass();
  EXPECT_EQ(f.sent_with(message_code::control_events).size(), 1u);
  EXPECT_EQ(f.store.get(param_id(kind_input, 2, code_fader)), 0x8000 | 1000) << "flags kept";
  EXPECT_EQ(f.store.get(param_id(kind_input, 7, code_fader)), 500);
}

TEST(engine_test, keys_and_encoders_reach_the_screens_but_encoders_not_while_locked) {
  engine_fixture f;
  const id_value ev[] = {{event_key, 6}, {event_key, 0x8000 | 43}, {event_first_encoder + 1, 3},
                         {event_first_encoder + 31, 0xFFFE}, {event_first_encoder + 32, 1}};
  f.deliver(make_control_events(ev));
  f.pass();
  EXPECT_EQ(f.ui.keys, (std::vector<uint16_t>{6, 0x8000 | 43}));
  EXPECT_EQ(f.ui.encoders, (std::vector<std::pair<int, int>>{{1, 3}, {31, -2}})) << "66 is no encoder";

  const id_value locked{lock_state_id, 1};
  f.deliver(make_param_values({&locked, 1}));
  f.deliver(make_control_events(ev));
  f.pass();
  EXPECT_EQ(f.ui.keys.size(), 4u);
  EXPECT_EQ(f.ui.encoders.size(), 2u);
}

TEST(engine_test, fader_slots_map_to_the_channels_of_the_layer) {
  struct row {
    int layer, slot;
    unsigned id;  // no_param_id: the slot holds nothing
  };
  const row rows[] = {
      {0, 0, param_id(kind_input, 0, code_fader)}, {1, 7, param_id(kind_input, 15, code_fader)},
      {2, 2, param_id(kind_fx, 0, code_fader)},    {2, 5, no_param_id},
      {3, 7, param_id(kind_bus, 7, code_fader)},   {4, 0, param_id(kind_dca, 0, code_fader)},
      {4, 3, param_id(kind_dca, 3, code_fader)},   {4, 4, no_param_id},
      {4, surface_main_l_slot, main_l_fader_id},   {4, surface_main_r_slot, main_r_fader_id},
  };
  engine_fixture f;
  control_surface& surface = f.engine.surface();
  for (const row& r : rows) {
    surface.set_layer(r.layer);
    const int expected = r.id == no_param_id ? -1 : static_cast<int>(r.id);
    EXPECT_EQ(surface.slot_param(r.slot), expected) << "layer " << r.layer << " slot " << r.slot;
    if (expected >= 0) {
      EXPECT_EQ(surface.param_slot(r.id), r.slot) << "layer " << r.layer << " slot " << r.slot;
    }
  }
}

TEST(engine_test, a_fader_event_on_the_dca_layer_moves_the_dca) {
  engine_fixture f;
  f.engine.surface().set_layer(4);
  const uint16_t ch1 = f.store.get(param_id(kind_input, 0, code_fader));
  const id_value ev{event_first_fader, 640};
  f.deliver(make_control_events({&ev, 1}));
  f.pass();
  EXPECT_EQ(f.store.get(param_id(kind_dca, 0, code_fader)) & 0x3FFF, 640);
  EXPECT_EQ(f.store.get(param_id(kind_input, 0, code_fader)), ch1);
}

TEST(engine_test, surface_faders_follow_writes_only_with_takeover) {
  engine_fixture f;
  f.store.linked_set(param_id(kind_input, 1, code_fader), 900);
  f.pass();
  EXPECT_TRUE(f.sent_with(message_code::control_outputs).empty());
  f.options.surface_takeover = true;
  f.store.linked_set(param_id(kind_input, 1, code_fader), 901);
  f.store.linked_set(param_id(kind_input, 9, code_fader), 902);  // not on layer 0
  f.pass();
  const auto out = f.sent_with(message_code::control_outputs);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(engine_fixture::pairs_of(out[0]), (std::vector<id_value>{{output_first_fader + 1, 901}}));
  const id_value applied{output_first_fader + 1, 901};
  f.deliver(make_control_outputs_applied({&applied, 1}));
  f.pass();
  EXPECT_FALSE(f.engine.surface().fader_pending(1));
}

TEST(engine_test, presence_probe_on_the_serial_link_is_answered) {
  engine_fixture f;
  f.options.link_mode = link_serial;
  f.deliver(make_presence_probe());
  f.now += 1;
  f.engine.step(f.now);
  const auto answers = f.sent_with(message_code::read_params);
  ASSERT_EQ(answers.size(), 1u);
  EXPECT_EQ(answers[0], (std::vector<uint8_t>{0x80, 0x07, 0x06, 0x00, 0x00, 0x00, 0x00, 0x7F, 0x13}));
}

TEST(engine_test, network_list_texts_are_bounded_by_the_payload) {
  struct list_ui : engine_ui {
    std::vector<std::string> got;
    void network_list(const std::vector<std::string>& n) override { got = n; }
  };
  runtime_options options;
  list_ui ui;
  param_store store(options, ui);
  sync_engine engine(store, options, ui);
  engine.enable();
  const uint8_t payload[] = {5, 'a', 'b', 0, 'c'};  // claims five, holds two
  engine.handle_frame(make_frame(56, payload).view(), 0);
  EXPECT_EQ(ui.got, (std::vector<std::string>{"ab", "c"}));
}

}  // namespace
}  // namespace vorante

namespace vorante {
namespace {

std::vector<id_value> light_words(engine_fixture& f) {
  std::vector<id_value> out;
  for (const auto& frame : f.sent_with(message_code::control_outputs))
    for (const id_value p : pair_list(frame_payload(frame)))
      if (p.id >= output_first_light_word) out.push_back(p);
  return out;
}

TEST(surface_lights_test, full_refresh_shows_layer_mutes_solos_and_scene) {
  engine_fixture f;
  f.options.surface_takeover = true;
  f.store.set_local(param_id(kind_input, 2, code_on), 0);                     // strip 3 muted
  f.store.set_local(param_id(kind_input, 5, code_solo), 1200);                // strip 6 soloed
  f.store.set_local(param_id(kind_bus, main_r_bus, code_on), 0);              // MAIN R muted
  f.store.set_local(scene_change_marker_id, 4);                               // scene 4
  f.engine.surface().lights_full_refresh(f.now, {}, false);
  f.now += light_send_delay_ms;
  f.engine.step(f.now);
  const auto words = light_words(f);
  ASSERT_EQ(words.size(), 6u) << "lights 0..86 live in words 0..5";
  auto lit = [&](int n) { return ((words[static_cast<std::size_t>(n / 16)].value >> (n % 16)) & 1) != 0; };
  for (int n : {8, 55, 39, 81, 82, 29 + 2, 19 + 5, 38, 46}) EXPECT_TRUE(lit(n)) << n;
  for (int n : {29, 19, 37, 50, 40, 6, 7}) EXPECT_FALSE(lit(n)) << n;
}

TEST(surface_lights_test, nothing_is_sent_when_the_surface_is_not_driven) {
  engine_fixture f;
  f.engine.surface().lights_full_refresh(f.now, {}, false);
  f.now += light_send_delay_ms;
  f.engine.step(f.now);
  EXPECT_TRUE(light_words(f).empty());
}

TEST(surface_lights_test, a_channel_change_updates_its_light_fifty_ms_later) {
  engine_fixture f;
  f.options.surface_takeover = true;
  f.engine.surface().lights_full_refresh(f.now, {}, false);
  f.now += light_send_delay_ms;
  f.engine.step(f.now);
  f.link->sent.clear();
  f.store.linked_set(param_id(kind_input, 0, code_on), 0);
  f.now += 10;
  f.engine.step(f.now);
  EXPECT_TRUE(light_words(f).empty());
  f.now += 100;
  f.engine.step(f.now);  // the recomputation is due: it starts the light timer
  f.now += light_send_delay_ms;
  f.engine.step(f.now);
  const auto words = light_words(f);
  ASSERT_EQ(words.size(), 1u) << "only the changed word goes out";
  EXPECT_EQ(words[0].id, output_first_light_word + 1);
  EXPECT_TRUE((words[0].value >> (29 - 16)) & 1);
}

}  // namespace
}  // namespace vorante
