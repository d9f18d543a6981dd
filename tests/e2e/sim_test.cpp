// vorante-cli against the console simulator, both as processes on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

#include "app/params/ids.h"
#include "app/protocol/messages.h"
#include "tests/e2e/frame_log.h"
#include "tests/e2e/process.h"
#include "tests/e2e/sim_process.h"

namespace vorante {
namespace {

using namespace std::chrono_literals;
using test::logged_frame;
using test::run_process;
using test::sim_process;

std::vector<std::string> cli(const std::string& console, std::vector<std::string> rest, std::string timeout = "5") {
  std::vector<std::string> args = {VORANTE_CLI_PATH, "--console", console, "--timeout", timeout};
  args.insert(args.end(), rest.begin(), rest.end());
  return args;
}

std::string sim_get(sim_process& sim, int id) { return sim.command("get " + std::to_string(id)); }

TEST(sim_e2e, dump_matches_the_console) {
  sim_process sim({"--random-values", "5"});
  ASSERT_TRUE(sim.ready());
  const auto r = run_process(cli(sim.console(), {"dump"}));
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  std::vector<std::string> rows;
  for (std::string line; std::getline(lines, line);) rows.push_back(line);
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(param_count));
  for (int id : {64, 76, 1000, 2548, 3110, 3500}) EXPECT_EQ(rows[static_cast<std::size_t>(id)], sim_get(sim, id)) << id;
  std::printf("client says: %s", r.err.c_str());
}

TEST(sim_e2e, get_and_set_are_acknowledged_by_the_console) {
  sim_process sim({});
  ASSERT_TRUE(sim.ready());
  const int fader = param_id(kind_input, 6, code_fader);
  auto r = run_process(cli(sim.console(), {"set", std::to_string(fader) + "=1111", "3110=4"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(sim_get(sim, fader), std::to_string(fader) + " 1111");
  EXPECT_EQ(sim_get(sim, 3110), "3110 4");
  r = run_process(cli(sim.console(), {"get", std::to_string(fader)}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, std::to_string(fader) + " 1111\n");
}

TEST(sim_e2e, lossy_link_is_retried_until_everything_arrived) {
  sim_process sim({"--drop", "0.2", "--seed", "3"});
  ASSERT_TRUE(sim.ready());
  const auto r = run_process(cli(sim.console(), {"dump"}, "20"), 30s);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), param_count);
  const auto s = run_process(cli(sim.console(), {"set", "3111=7"}, "10"), 20s);
  EXPECT_EQ(s.status, 0) << s.err;
}

TEST(sim_e2e, on_a_lossy_slow_link_no_write_the_console_holds_is_reported_failed) {
  sim_process sim({"--drop", "0.3", "--delay", "30", "--seed", "11"});
  ASSERT_TRUE(sim.ready());
  std::map<uint16_t, uint16_t> wanted;
  std::set<uint16_t> reported;
  for (int run = 0; run < 10; ++run) {
    std::vector<std::string> args = {"set"};
    for (int k = 0; k < 10; ++k) {
      const uint16_t id = static_cast<uint16_t>(600 + run * 10 + k);
      wanted[id] = static_cast<uint16_t>((run * 10 + k) % 7 + 1);
      args.push_back(std::to_string(id) + "=" + std::to_string(wanted[id]));
    }
    const auto r = run_process(cli(sim.console(), args, "5"), 30s);
    ASSERT_TRUE(r.status == 0 || r.status == 3) << r.err;
    // "... did not acknowledge ID=VALUE ID=VALUE"
    std::istringstream failed(r.err.substr(std::min(r.err.find("acknowledge"), r.err.size())));
    std::string word;
    while (failed >> word)
      if (const auto eq = word.find('='); eq != std::string::npos) reported.insert(static_cast<uint16_t>(std::stoi(word.substr(0, eq))));
  }
  const auto d = run_process(cli(sim.console(), {"dump"}, "20"), 30s);
  ASSERT_EQ(d.status, 0) << d.err;
  std::map<uint16_t, uint16_t> held;
  std::istringstream lines(d.out);
  unsigned id = 0, value = 0;
  while (lines >> id >> value) held[static_cast<uint16_t>(id)] = static_cast<uint16_t>(value);
  for (const uint16_t r : reported) EXPECT_NE(held[r], wanted[r]) << r << " was reported failed but the console holds it";
}

TEST(sim_e2e, writes_are_given_up_after_four_sends) {
  const std::string log = ::testing::TempDir() + "vorante-sim-giveup.log";
  std::remove(log.c_str());
  sim_process sim_logged({"--log", log});
  ASSERT_TRUE(sim_logged.ready());
  ASSERT_EQ(sim_logged.command("refuse writes on"), "ok");
  const auto r = run_process(cli(sim_logged.console(), {"set", "3112=9"}, "8"), 20s);
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_NE(r.err.find("did not acknowledge 3112=9"), std::string::npos) << r.err;
  EXPECT_EQ(sim_get(sim_logged, 3112), "3112 0");
  sim_logged.stop();
  int writes = 0;
  for (const logged_frame& f : test::read_frame_log(log))
    writes += f.received() && f.code == code_byte(message_code::write_params) && f.carries({3112, 9});
  EXPECT_EQ(writes, 4) << "sent four times, then given up";
}

TEST(sim_e2e, console_side_change_reaches_watch_and_is_echoed) {
  const std::string log = ::testing::TempDir() + "vorante-sim-watch.log";
  std::remove(log.c_str());
  sim_process sim({"--log", log});
  ASSERT_TRUE(sim.ready());
  const id_value change{1500, 321};
  const auto is_change = [&](const logged_frame& f) {
    return f.code == code_byte(message_code::param_change) && f.carries(change);
  };
  // The console pushes only to a client that has talked to it (anything but identify or
  // the probe), so the change is made once the log shows such a frame; watch is stopped
  // once the log shows the echo, and "--for" only bounds a run that never gets there.
  test::frame_log_tail tail(log);
  bool peer = false, pushed = false, echoed = false;
  const auto r = run_process(cli(sim.console(), {"watch", "--for", "20"}), 30s, [&] {
    for (const logged_frame& f : tail.next()) {
      if (f.received() && f.code != code_byte(message_code::identify) && !is_presence_probe(f.bytes)) peer = true;
      if (f.received() && is_change(f)) echoed = true;
    }
    if (peer && !pushed) pushed = sim.command("set 1500 321") == "ok";
    return !echoed;
  });
  ASSERT_TRUE(pushed) << "the client never became the console's peer";
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("1500 321\n"), std::string::npos) << r.out;
  sim.stop();
  // The console logged the change it sent, then the program's echo of it.
  std::optional<uint32_t> sent_at, echoed_at;
  for (const logged_frame& f : test::read_frame_log(log)) {
    if (!is_change(f)) continue;
    if (f.sent() && !sent_at) sent_at = f.ms;
    if (f.received() && !echoed_at) echoed_at = f.ms;
  }
  ASSERT_TRUE(sent_at);
  ASSERT_TRUE(echoed_at);
  EXPECT_LE(*sent_at, *echoed_at);
}

// The value of one ID as "vorante-cli get" prints it ("ID VALUE"), read from the console.
std::optional<int> cli_value(sim_process& sim, int id) {
  const auto r = run_process(cli(sim.console(), {"get", std::to_string(id)}));
  if (r.status != 0) return std::nullopt;
  std::istringstream line(r.out);
  int got_id = -1, value = -1;
  if (!(line >> got_id >> value) || got_id != id) return std::nullopt;
  return value;
}

TEST(sim_e2e, meters_move_the_main_level_word) {
  sim_process sim({"--meters"});
  ASSERT_TRUE(sim.ready());
  // Read a few times within one second: the word breathes with the programme.
  std::vector<int> seen;
  const auto until = std::chrono::steady_clock::now() + 1s;
  do {
    const std::optional<int> v = cli_value(sim, main_level_percent_id);
    ASSERT_TRUE(v) << "no answer for the MAIN level word";
    seen.push_back(*v);
    std::this_thread::sleep_for(150ms);
  } while (std::chrono::steady_clock::now() < until);
  for (const int v : seen) {
    EXPECT_NE(v & 0xFF, 0) << "MAIN L at 0 % would keep its meter empty";
    EXPECT_NE(v >> 8, 0) << "MAIN R at 0 % would keep its meter empty";
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_GT(std::unique(seen.begin(), seen.end()) - seen.begin(), 1) << "the word stood still for a second";
}

TEST(sim_e2e, scene_call_and_save) {
  sim_process sim({"--random-values", "9"});
  ASSERT_TRUE(sim.ready());
  const int id = param_id(kind_input, 0, code_fader);
  auto r = run_process(cli(sim.console(), {"set", std::to_string(id) + "=777"}));
  ASSERT_EQ(r.status, 0) << r.err;
  r = run_process(cli(sim.console(), {"save", "4"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "scene 4 saved\n");
  r = run_process(cli(sim.console(), {"call", "2"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "scene 2 called\n");
  EXPECT_NE(sim_get(sim, id), std::to_string(id) + " 777") << "scene 2 holds other values";
  r = run_process(cli(sim.console(), {"call", "4"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(sim_get(sim, id), std::to_string(id) + " 777") << "scene 4 brought the saved fader back";
}

TEST(sim_e2e, incompatible_model_is_refused) {
  sim_process sim({"--model", "0x3C"});
  ASSERT_TRUE(sim.ready());
  const auto r = run_process(cli(sim.console(), {"get", "1"}));
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find("incompatible console: product code 0xE001, model code 0x3C"), std::string::npos) << r.err;
}

TEST(sim_e2e, silent_console_is_reported) {
  sim_process sim({"--mute-after", "0"});
  ASSERT_TRUE(sim.ready());
  const auto r = run_process(cli(sim.console(), {"get", "1"}, "0.5"));
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("no answer"), std::string::npos) << r.err;
}

TEST(sim_e2e, tcp_link_reconnects_after_the_console_restarts) {
  // A free port for the datacenter: take one from a first simulator.
  uint16_t port = 0;
  {
    sim_process probe({"--tcp-port", "0"});
    ASSERT_TRUE(probe.ready());
    port = probe.tcp_port();
  }
  const std::string log_before = ::testing::TempDir() + "vorante-sim-tcp-1.log";
  const std::string log_after = ::testing::TempDir() + "vorante-sim-tcp-2.log";
  std::remove(log_before.c_str());
  std::remove(log_after.c_str());
  const auto start_console = [&](const std::string& log) {
    return std::make_unique<sim_process>(std::vector<std::string>{"--tcp-port", std::to_string(port), "--log", log});
  };
  auto sim = start_console(log_before);
  ASSERT_TRUE(sim->ready());

  // Each console pushes its change once the client has talked to it, and the next step
  // comes once the client's echo is in the log: no step depends on how fast the client
  // connects. The link is rebuilt by the 5 s retry after the loss or, at the latest, by
  // the 10 s rebuild of the supervision.
  enum class step { first_console, first_change, second_console, second_change, done };
  step at = step::first_console;
  auto tail = std::make_unique<test::frame_log_tail>(log_before);
  const auto r = run_process({VORANTE_CLI_PATH, "--tcp=" + std::to_string(port), "watch", "--for", "40"}, 50s, [&] {
    for (const logged_frame& f : tail->next()) {
      if (!f.received() || f.link.rfind("tcp", 0) != 0) continue;
      const bool echo = f.code == code_byte(message_code::param_change);
      if (at == step::first_console || at == step::second_console) {
        const bool first = at == step::first_console;
        if (sim->command(first ? "set 1600 11" : "set 1601 12") == "ok")
          at = first ? step::first_change : step::second_change;
      } else if (at == step::first_change && echo && f.carries({1600, 11})) {
        sim.reset();  // the console goes away ...
        sim = start_console(log_after);  // ... and comes back on the same port
        tail = std::make_unique<test::frame_log_tail>(log_after);
        at = step::second_console;
        break;
      } else if (at == step::second_change && echo && f.carries({1601, 12})) {
        at = step::done;
      }
    }
    return at != step::done;
  });
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("1600 11\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("1601 12\n"), std::string::npos) << "nothing arrived after the restart: " << r.out;
  EXPECT_EQ(at, step::done);
}

TEST(sim_e2e, serial_link_over_the_simulators_pseudo_terminal) {
  sim_process sim({"--serial"});
  ASSERT_TRUE(sim.ready());
  ASSERT_FALSE(sim.serial_path().empty());
  const int fader = param_id(kind_bus, 2, code_fader);
  auto r = run_process({VORANTE_CLI_PATH, "--serial", sim.serial_path() + "@128000", "--timeout", "5", "set",
                        std::to_string(fader) + "=1000"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(sim_get(sim, fader), std::to_string(fader) + " 1000");
  r = run_process({VORANTE_CLI_PATH, "--serial", sim.serial_path(), "--timeout", "5", "dump"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), param_count);
}

}  // namespace
}  // namespace vorante
