// vorante-cli as a process against a small console on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/os/socket_util.h"
#include "app/params/ids.h"
#include "tests/e2e/peer.h"
#include "tests/e2e/process.h"
#include "tests/e2e/sim_process.h"

namespace vorante {
namespace {

using namespace std::chrono_literals;
using test::loopback_peer;
using test::run_process;
using test::sim_process;

std::vector<std::string> cli(uint16_t port, std::vector<std::string> rest, std::string timeout = "3") {
  std::vector<std::string> args = {VORANTE_CLI_PATH, "--console", "127.0.0.1:" + std::to_string(port), "--timeout",
                                   timeout};
  args.insert(args.end(), rest.begin(), rest.end());
  return args;
}

TEST(cli_e2e, dump_reads_every_parameter_and_reports_the_time) {
  loopback_peer peer;
  peer.set_value(500, 4242);
  peer.set_value(3517, 7);
  const auto r = run_process(cli(peer.port(), {"dump"}));
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  int id = 0, count = 0;
  unsigned value = 0;
  while (lines >> id >> value) {
    EXPECT_EQ(id, count);
    if (id == 500) {
      EXPECT_EQ(value, 4242u);
    }
    if (id == 3517) {
      EXPECT_EQ(value, 7u);
    }
    if (id == 2548) {
      EXPECT_EQ(value, 1200u);
    }
    ++count;
  }
  EXPECT_EQ(count, param_count);
  EXPECT_NE(r.err.find("read 3518 parameters in "), std::string::npos) << r.err;
  std::printf("client says: %s", r.err.c_str());
}

TEST(cli_e2e, get_prints_the_asked_ids) {
  loopback_peer peer;
  peer.set_value(77, 123);
  const auto r = run_process(cli(peer.port(), {"get", "77", "0x9F6"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "77 123\n2550 " + std::to_string(peer.value(2550)) + "\n");
}

TEST(cli_e2e, set_writes_through_the_linked_set_and_waits_for_acknowledgements) {
  loopback_peer peer;
  peer.set_value(input_stereo_bits_id, 1 << 2);  // inputs 4/5 linked
  const uint16_t fader4 = param_id(kind_input, 4, code_fader);
  const uint16_t fader5 = param_id(kind_input, 5, code_fader);
  const auto r = run_process(cli(peer.port(), {"set", std::to_string(fader4) + "=1100"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(peer.value(fader4), 1100);
  EXPECT_EQ(peer.value(fader5), 1100) << "the linked partner follows";
  EXPECT_NE(r.out.find(std::to_string(fader5) + " 1100"), std::string::npos) << r.out;
}

TEST(cli_e2e, set_fails_only_when_the_console_does_not_hold_the_value_after_the_grace_period) {
  struct row {
    const char* what;
    test::peer_behaviour behaviour;
    int status;
  };
  const row rows[] = {
      {"never acknowledges, never takes it", {.acknowledge_writes = false}, 3},
      {"takes and acknowledges another value", {.acknowledge_offset = 1}, 3},
      {"acknowledgements lost, value taken: read back", {.acknowledge_writes = false, .apply_unacknowledged = true}, 0},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(r.what);
    loopback_peer peer(r.behaviour);
    const auto t0 = std::chrono::steady_clock::now();
    const auto res = run_process(cli(peer.port(), {"set", "600=5"}, "1.5"));
    const auto took = std::chrono::steady_clock::now() - t0;
    EXPECT_EQ(res.status, r.status) << res.err;
    if (r.status == 3) {
      EXPECT_NE(res.err.find("did not acknowledge 600=5"), std::string::npos) << res.err;
      EXPECT_GE(took, 1500ms) << "reported before the grace period ran out";
    }
    if (r.status == 3) EXPECT_EQ(peer.frames_with(message_code::write_params), 4) << "the wire rule is unchanged";
  }
}

TEST(cli_e2e, set_counts_an_acknowledgement_that_arrives_late) {
  // Everything the console sends arrives 400 ms late: each write has had its four sends
  // before its acknowledgement arrives.
  sim_process sim({"--delay", "400"});
  const auto r = run_process(cli(sim.udp_port(), {"set", "600=5"}, "5"));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "600 5\n");
  const auto g = run_process(cli(sim.udp_port(), {"get", "600"}, "5"));
  EXPECT_EQ(g.out, "600 5\n") << g.err;
}

TEST(cli_e2e, stats_prints_the_link_counters_and_the_writes_the_console_refused) {
  sim_process sim({});
  ASSERT_TRUE(sim.ready());
  ASSERT_EQ(sim.command("refuse writes on"), "ok");
  const uint16_t fader = param_id(kind_input, 0, code_input_fader);
  const auto r = run_process(cli(sim.udp_port(), {"stats", std::to_string(fader) + "=1100", "600=5"}, "1"));
  ASSERT_EQ(r.status, 0) << r.err;
  // Every counter is there, and the refused writes: four sends each, the last three again.
  for (const char* line : {"frames sent ", "frames received ", "heartbeat rtt ", "full read ", "write resends 6\n",
                           "writes confirmed late 0\n", "writes given up 2\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line << " in\n" << r.out;
  EXPECT_NE(r.out.find("given up\t" + std::to_string(fader) + "\tCH1\tfader\t"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("given up\t600\tCH9\tLPF type\t5\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("full read -"), std::string::npos) << r.out;

  // Writes the console takes are neither resent nor listed.
  ASSERT_EQ(sim.command("refuse writes off"), "ok");
  const auto ok = run_process(cli(sim.udp_port(), {"stats", "600=5"}, "1"));
  ASSERT_EQ(ok.status, 0) << ok.err;
  EXPECT_NE(ok.out.find("writes given up 0\n"), std::string::npos) << ok.out;
  EXPECT_EQ(ok.out.find("given up\t"), std::string::npos) << ok.out;
}

TEST(cli_e2e, silent_console_ends_with_status_one) {
  loopback_peer peer({.answer = false});
  const auto r = run_process(cli(peer.port(), {"get", "1"}, "0.5"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no answer from console 127.0.0.1:" + std::to_string(peer.port())), std::string::npos)
      << r.err;
}

// A link that cannot work at all is reported at once, long before the time-out.
TEST(cli_e2e, a_link_that_cannot_open_fails_at_once_with_status_one) {
  // A TCP port bound on loopback but not listening: every connection is refused.
  const unique_fd bound(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(bound.get(), reinterpret_cast<const sockaddr*>(&at), sizeof at), 0);
  socklen_t len = sizeof at;
  ASSERT_EQ(::getsockname(bound.get(), reinterpret_cast<sockaddr*>(&at), &len), 0);
  const std::string port = std::to_string(ntohs(at.sin_port));

  struct row {
    std::vector<std::string> link;
    std::string command;
    std::string message;
  } rows[] = {
      {{"--serial", "/dev/vorante-no-such-port"}, "get", "cannot open serial port /dev/vorante-no-such-port"},
      {{"--serial", "/dev/vorante-no-such-port"}, "watch", "cannot open serial port"},
      {{"--tcp=" + port}, "dump", "cannot connect to the parameter service on 127.0.0.1:" + port},
      {{"--tcp=" + port}, "watch", "cannot connect to"},
  };
  for (const row& r : rows) {
    std::vector<std::string> args = {VORANTE_CLI_PATH, "--timeout", "30"};
    args.insert(args.end(), r.link.begin(), r.link.end());
    args.push_back(r.command);
    if (r.command == "get") args.push_back("1");
    const auto t0 = std::chrono::steady_clock::now();
    const auto p = run_process(args, 20s);
    const auto took = std::chrono::steady_clock::now() - t0;
    EXPECT_EQ(p.status, 1) << r.message << ": " << p.err;
    EXPECT_NE(p.err.find(r.message), std::string::npos) << p.err;
    EXPECT_LT(took, 3s) << r.message;
  }
}

TEST(cli_e2e, incompatible_console_is_refused_with_its_codes) {
  loopback_peer peer({.model = 0x3C});
  const uint16_t before = peer.value(600);
  const auto r = run_process(cli(peer.port(), {"set", "600=5"}));
  EXPECT_EQ(r.status, 4) << r.err;
  EXPECT_NE(r.err.find("model code 0x3C"), std::string::npos) << r.err;
  EXPECT_EQ(peer.value(600), before) << "nothing written to a console of another model";
  EXPECT_EQ(peer.frames_with(message_code::write_params), 0);
}

TEST(cli_e2e, watch_prints_and_echoes_pushed_changes) {
  loopback_peer peer;
  bool pushed = false;
  const auto r = run_process(cli(peer.port(), {"watch", "--for", "1.5"}), 10s, [&] {
    if (!pushed && peer.has_client()) {
      peer.push_change(1234, 999);
      pushed = true;
    }
  });
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("1234 999\n"), std::string::npos) << r.out;
  EXPECT_TRUE(peer.change_echoed());
}

// The frames the simulator logged as received: "<ms> R <link> <code> <bytes in hex>".
struct logged_frame {
  int code = -1;
  std::string bytes;
};

std::vector<logged_frame> received_frames(const std::string& log_path) {
  std::vector<logged_frame> frames;
  std::ifstream in(log_path);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string ms, what, link;
    logged_frame f;
    if (!(fields >> ms >> what >> link >> f.code) || what != "R") continue;
    for (unsigned byte = 0; fields >> std::hex >> byte;) f.bytes.push_back(static_cast<char>(byte));
    frames.push_back(std::move(f));
  }
  return frames;
}

int count_of(const std::vector<logged_frame>& frames, message_code code, std::string_view text = {}) {
  return static_cast<int>(std::count_if(frames.begin(), frames.end(), [&](const logged_frame& f) {
    return f.code == code_byte(code) && f.bytes.find(text) != std::string::npos;
  }));
}

TEST(cli_e2e, watch_renames_no_console_and_writes_nothing_when_its_faders_move) {
  const std::string log = ::testing::TempDir() + "vorante-cli-watch-only.log";
  std::remove(log.c_str());
  sim_process sim({"--log", log});  // a console nobody has named: "unnamed"
  ASSERT_TRUE(sim.ready());
  const uint16_t fader1 = param_id(kind_input, 0, code_fader);
  const std::string fader1_before = sim.command("get " + std::to_string(fader1));

  // The device name is asked for once the full read after the link-up is done; move the
  // console's first fader after that, so a client that renamed the console or followed
  // its fader has had every chance to.
  bool moved = false;
  const auto r = run_process(cli(sim.udp_port(), {"watch", "--for", "4"}), 15s, [&] {
    if (!moved && count_of(received_frames(log), message_code::config_query, "DEVNAME=") > 0)
      moved = sim.command("fader 0 5000") == "ok";
  });
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(moved) << "the client never asked for the device name";
  EXPECT_EQ(sim.command("get " + std::to_string(fader1)), fader1_before);
  sim.stop();

  const std::vector<logged_frame> frames = received_frames(log);
  EXPECT_EQ(count_of(frames, message_code::config_command), 0) << "a configuration command (the rename) was sent";
  EXPECT_EQ(count_of(frames, message_code::write_params), 0) << "a parameter was written";
  EXPECT_EQ(count_of(frames, message_code::control_events), 1) << "the fader event is echoed";
}

TEST(cli_e2e, bad_arguments_end_with_status_two) {
  const std::vector<std::vector<std::string>> cases = {
      {VORANTE_CLI_PATH},
      {VORANTE_CLI_PATH, "dump"},
      {VORANTE_CLI_PATH, "--console", "127.0.0.1", "frobnicate"},
      {VORANTE_CLI_PATH, "--console", "127.0.0.1", "get", "3518"},
      {VORANTE_CLI_PATH, "--console", "127.0.0.1", "set", "5"},
      {VORANTE_CLI_PATH, "--console", "127.0.0.1", "set", "5=70000"},
      {VORANTE_CLI_PATH, "--console", "127.0.0.1:99999", "get", "1"},
      {VORANTE_CLI_PATH, "--console", "localhost", "get", "1"},
      {VORANTE_CLI_PATH, "--bogus", "discover"},
  };
  for (const auto& args : cases) {
    const auto r = run_process(args, 5s);
    EXPECT_EQ(r.status, 2) << args.back() << ": " << r.err;
    EXPECT_NE(r.err.find("usage:"), std::string::npos);
  }
}

}  // namespace
}  // namespace vorante
