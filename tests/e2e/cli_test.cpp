// vorante-cli as a process against a small console on loopback.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "app/params/ids.h"
#include "peer.h"
#include "process.h"

namespace vorante {
namespace {

using namespace std::chrono_literals;
using test::loopback_peer;
using test::run_process;

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

TEST(cli_e2e, set_fails_when_the_console_never_acknowledges) {
  loopback_peer peer({.acknowledge_writes = false});
  const auto r = run_process(cli(peer.port(), {"set", "600=5"}, "5"));
  EXPECT_EQ(r.status, 3) << r.err;
  EXPECT_NE(r.err.find("did not acknowledge 600=5"), std::string::npos) << r.err;
  EXPECT_EQ(peer.frames_with(message_code::write_params), 4) << "four sends, then given up";
}

TEST(cli_e2e, silent_console_ends_with_status_one) {
  loopback_peer peer({.answer = false});
  const auto r = run_process(cli(peer.port(), {"get", "1"}, "0.5"));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no answer from console 127.0.0.1:" + std::to_string(peer.port())), std::string::npos)
      << r.err;
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
