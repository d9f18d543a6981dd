#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "tools/sim/console_activity.h"
#include "tools/sim/faults.h"
#include "tools/sim/frame_log.h"
#include "tools/sim/line_commands.h"
#include "tools/sim/sim_options.h"

namespace vorante::sim {
namespace {

parse_result parse(std::vector<std::string_view> args) { return parse_sim_args(args); }

TEST(sim_options_test, defaults_play_the_expected_console_on_loopback) {
  const parse_result r = parse({});
  ASSERT_EQ(r.status, parse_status::run);
  EXPECT_EQ(r.options.bind_address, 0x7F000001u);
  EXPECT_EQ(r.options.port, 8086);
  EXPECT_FALSE(r.options.tcp_port);
  EXPECT_FALSE(r.options.serial);
  EXPECT_EQ(r.options.console.product, 0xE001);
  EXPECT_EQ(r.options.console.model, 0x3B);
  EXPECT_EQ(r.options.console.name, "unnamed");
  EXPECT_FALSE(r.options.console.answer_probe);
  EXPECT_EQ(r.options.faults.mute_after_ms, -1);
}

TEST(sim_options_test, every_option_is_read) {
  const parse_result r =
      parse({"--port", "0", "--bind=127.1.2.3", "--name", "Stage", "--tcp-port", "9087", "--local", "--serial",
             "--random-values", "42", "--meters", "--activity", "2.5", "--disk", "/tmp/x", "--password", "pw",
             "--seed", "9", "--drop", "0.25", "--delay", "40", "--corrupt", "1", "--model", "0x3C", "--mute-after",
             "1.5", "--log", "/tmp/log"});
  ASSERT_EQ(r.status, parse_status::run) << r.message;
  const sim_options& o = r.options;
  EXPECT_EQ(o.port, 0);
  EXPECT_EQ(o.bind_address, 0x7F010203u);
  EXPECT_EQ(o.console.name, "Stage");
  EXPECT_EQ(o.tcp_port, 9087);
  EXPECT_TRUE(o.console.answer_probe);
  EXPECT_TRUE(o.serial);
  EXPECT_TRUE(o.console.random_values);
  EXPECT_EQ(o.console.random_seed, 42u);
  EXPECT_TRUE(o.console.meters);
  EXPECT_DOUBLE_EQ(o.console.activity_rate, 2.5);
  EXPECT_EQ(o.console.disk_dir, "/tmp/x");
  EXPECT_EQ(o.console.password, "pw");
  EXPECT_EQ(o.console.seed, 9u);
  EXPECT_EQ(o.faults.seed, 9u);
  EXPECT_DOUBLE_EQ(o.faults.drop, 0.25);
  EXPECT_EQ(o.faults.delay_ms, 40u);
  EXPECT_DOUBLE_EQ(o.faults.corrupt, 1.0);
  EXPECT_EQ(o.console.model, 0x3C);
  EXPECT_EQ(o.faults.mute_after_ms, 1500);
  EXPECT_EQ(o.log_path, "/tmp/log");
}

TEST(sim_options_test, bad_values_and_other_hosts_are_refused) {
  struct bad_case {
    std::vector<std::string_view> args;
    const char* message_part;
  };
  const bad_case cases[] = {
      {{"--bind", "192.168.1.10"}, "loopback"},
      {{"--bind", "0.0.0.0"}, "loopback"},
      {{"--bind", "localhost"}, "invalid value"},
      {{"--port", "65536"}, "invalid value"},
      {{"--port", "-1"}, "invalid value"},
      {{"--port"}, "needs a value"},
      {{"--drop", "1.5"}, "invalid value"},
      {{"--corrupt", "nan"}, "invalid value"},
      {{"--model", "0x100"}, "invalid value"},
      {{"--model", "zz"}, "invalid value"},
      {{"--activity", "5000"}, "invalid value"},
      {{"--password", "123456789"}, "invalid value"},
      {{"--mute-after", "-2"}, "invalid value"},
      {{"--meters=1"}, "takes no value"},
      {{"--frobnicate"}, "unknown option"},
  };
  for (const bad_case& c : cases) {
    const parse_result r = parse(c.args);
    EXPECT_EQ(r.status, parse_status::error) << c.args[0];
    EXPECT_NE(r.message.find(c.message_part), std::string::npos) << r.message;
  }
  EXPECT_EQ(parse({"--help"}).status, parse_status::help);
  EXPECT_EQ(parse({"--port", "0", "--version", "--frobnicate"}).status, parse_status::version);
}

TEST(sim_line_commands_test, commands_and_their_arguments) {
  struct good_case {
    const char* line;
    command_kind kind;
    unsigned a;
    int b;
    bool flag;
  };
  const good_case cases[] = {
      {"set 76 1200", command_kind::set, 76, 1200, false},
      {"  set 0x0DBD 0xFFFF\r", command_kind::set, 3517, 0xFFFF, false},
      {"get 3190", command_kind::get, 3190, 0, false},
      {"key 43 long", command_kind::key, 43, 0, true},
      {"key 9", command_kind::key, 9, 0, false},
      {"fader 31 16383", command_kind::fader, 31, 16383, false},
      {"encoder 1 -3", command_kind::encoder, 1, -3, false},
      {"lock on", command_kind::lock, 0, 0, true},
      {"lock off", command_kind::lock, 0, 0, false},
      {"call 16", command_kind::call, 16, 0, false},
      {"save 1", command_kind::save, 1, 0, false},
      {"lights", command_kind::lights, 0, 0, false},
      {" faders\r", command_kind::faders, 0, 0, false},
      {"quit", command_kind::quit, 0, 0, false},
  };
  for (const good_case& c : cases) {
    std::string error;
    const auto cmd = parse_line_command(c.line, error);
    ASSERT_TRUE(cmd) << c.line << ": " << error;
    EXPECT_EQ(cmd->kind, c.kind) << c.line;
    EXPECT_EQ(cmd->a, c.a) << c.line;
    EXPECT_EQ(cmd->b, c.b) << c.line;
    EXPECT_EQ(cmd->flag, c.flag) << c.line;
  }
  std::string error;
  EXPECT_EQ(parse_line_command("usb remove", error)->word, "remove");
  EXPECT_DOUBLE_EQ(parse_line_command("drop 0.5", error)->probability, 0.5);

  for (const char* bad : {"set 3518 1", "set 1 65536", "set 1", "get", "key 43 short", "fader 32 0", "fader 0 16384",
                          "encoder 0 40000", "usb eject", "lock maybe", "drop 2", "drop x", "call 0", "save 17",
                          "quit now", "lights 1", "faders all", "dance"}) {
    EXPECT_FALSE(parse_line_command(bad, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  EXPECT_FALSE(parse_line_command("   ", error));
  EXPECT_TRUE(error.empty());
}

TEST(sim_line_commands_test, surface_texts_list_what_is_lit_and_where_the_motors_are) {
  std::array<uint16_t, surface_word_count> words{};
  EXPECT_EQ(lights_text(words), "lights none");
  words[0] = 0x0101;  // lights 0 and 8
  words[2] = 0x8000;  // 47
  words[5] = 0x0002;  // 81
  words[31] = 0x8000; // 511, the last bit of the last word
  EXPECT_EQ(lights_text(words), "lights 0 8 47 81 511");

  std::array<uint16_t, surface_word_count> positions{};
  EXPECT_EQ(faders_text(positions, 0), "faders none");
  positions[0] = 812;
  positions[9] = 16383;
  // A fader sent position 0 is listed; one never sent anything is not.
  EXPECT_EQ(faders_text(positions, (1u << 0) | (1u << 8) | (1u << 9) | (1u << 31)), "faders 0:812 8:0 9:16383 31:0");
}

TEST(sim_faults_test, drop_and_damage_at_their_bounds) {
  fault_settings s;
  fault_injector never(s, 0);
  s.drop = 1;
  s.corrupt = 1;
  fault_injector always(s, 0);
  s.drop = 0.3;
  s.seed = 5;
  fault_injector some(s, 0);
  int lost = 0;
  for (int i = 0; i < 10000; ++i) {
    EXPECT_FALSE(never.lose());
    EXPECT_TRUE(always.lose());
    lost += some.lose() ? 1 : 0;
  }
  EXPECT_NEAR(lost, 3000, 300);

  std::vector<uint8_t> frame{0x80, 0x05, 0x06, 0x00, 0x00, 0x13, 0xC5};
  for (int i = 0; i < 200; ++i) {
    std::vector<uint8_t> copy = frame;
    EXPECT_FALSE(never.damage(copy.data(), copy.size()));
    EXPECT_EQ(copy, frame);
    ASSERT_TRUE(always.damage(copy.data(), copy.size()));
    int changed = 0;
    for (std::size_t k = 0; k < frame.size(); ++k) changed += copy[k] != frame[k];
    EXPECT_EQ(changed, 1);
  }
  EXPECT_FALSE(always.damage(frame.data(), 0));

  always.set_drop(0);
  EXPECT_FALSE(always.lose());
  always.set_drop(7);  // clamped to 1
  EXPECT_TRUE(always.lose());
}

TEST(sim_faults_test, mute_starts_exactly_after_its_time) {
  fault_settings s;
  s.mute_after_ms = 2000;
  fault_injector f(s, 1000);
  EXPECT_FALSE(f.muted(1000));
  EXPECT_FALSE(f.muted(2999));
  EXPECT_EQ(f.until_muted(2999), 1);
  EXPECT_TRUE(f.muted(3000));
  EXPECT_TRUE(f.muted(100000));
  fault_injector never({}, 0);
  EXPECT_FALSE(never.muted(0xFFFFFFF0u));
  EXPECT_EQ(never.until_muted(5), -1);
}

TEST(sim_faults_test, delay_line_releases_in_order_when_due_across_the_clock_wrap) {
  delay_line<int> line;
  EXPECT_EQ(line.wait(0), UINT32_MAX);
  const uint32_t t0 = 0xFFFFFFF0u;
  line.push(t0 + 40, 1);
  line.push(t0 + 40, 2);
  line.push(t0 + 50, 3);
  EXPECT_EQ(line.wait(t0), 40u);
  EXPECT_TRUE(line.take_due(t0 + 39).empty());
  EXPECT_EQ(line.take_due(t0 + 40), (std::vector<int>{1, 2}));
  EXPECT_EQ(line.wait(t0 + 45), 5u);
  EXPECT_EQ(line.take_due(t0 + 100), (std::vector<int>{3}));
  EXPECT_TRUE(line.empty());
}

TEST(sim_frame_log_test, one_line_per_frame) {
  const std::vector<uint8_t> probe{0x80, 0x05, 0x06, 0x00, 0x00, 0x13, 0xC5};
  EXPECT_EQ(log_line(1234, "R", "udp:127.0.0.1:40000", probe), "1234 R udp:127.0.0.1:40000 6 80 05 06 00 00 13 C5");
  EXPECT_EQ(log_line(0, "S-drop", "tcp", std::vector<uint8_t>{0x80}), "0 S-drop tcp - 80");
}

TEST(sim_activity_test, meters_follow_a_programme_and_moves_stay_plausible) {
  // Channels without signal stay at the floor; others stay within a meter's range.
  EXPECT_EQ(console_activity::programme_level(meter_floor_db, 0, 1234), meter_floor_db);
  for (uint32_t t = 0; t < 60000; t += 37) {
    const int db = console_activity::programme_level(-20, 1.0, t);
    EXPECT_GE(db, -60);
    EXPECT_LE(db, 6);
  }

  console_activity a(3, true, 50, 0);
  EXPECT_TRUE(a.meters_due(meter_period_ms - 1).empty());
  const std::vector<id_value> meters = a.meters_due(meter_period_ms);
  ASSERT_EQ(meters.size(), static_cast<std::size_t>(meter_word_count));
  EXPECT_EQ(meters.front().id, first_meter_id);
  EXPECT_EQ(meters.back().id, last_meter_id);
  EXPECT_EQ(meters[2 + 22 / 2 - first_meter_id].value, 0x8080);  // inputs 22/23: nothing plugged in

  std::array<uint16_t, param_count> values{};
  EXPECT_EQ(a.moves_due(values, 1000).size(), static_cast<std::size_t>(max_moves_per_tick));  // a late tick is capped
  const std::vector<id_value> moves = a.moves_due(values, 1100);
  EXPECT_EQ(moves.size(), 5u);  // 50 a second
  for (const id_value& m : moves) {
    const param_info p = info_of(m.id);
    EXPECT_TRUE(p.kind == kind_input || p.kind == kind_bus) << m.id;
  }
}

TEST(sim_activity_test, the_main_level_word_breathes_with_the_programme) {
  const console_activity a(3, true, 0, 0);
  std::set<uint16_t> words;
  bool sides_apart = false;
  for (uint32_t t = 0; t <= 1000; t += meter_period_ms) {
    const id_value w = a.main_levels(t);
    EXPECT_EQ(w.id, main_level_percent_id);
    const int left = w.value & 0xFF;
    const int right = w.value >> 8;
    // Never silent, never beyond what a level byte holds; L and R need not agree.
    EXPECT_GE(left, 1);
    EXPECT_GE(right, 1);
    sides_apart = sides_apart || left != right;
    words.insert(w.value);
  }
  EXPECT_GT(words.size(), 5u);
  EXPECT_TRUE(sides_apart);
}

}  // namespace
}  // namespace vorante::sim
