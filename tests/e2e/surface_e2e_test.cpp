// The desktop program taking the console's surface over, against the simulator, both as
// processes on loopback: keys, faders and encoders are worked on the simulator, and its
// key lights and motor-fader positions show that the program drives them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "app/core/options.h"
#include "app/params/banks.h"
#include "app/params/convert.h"
#include "app/params/ids.h"
#include "app/params/store.h"
#include "tests/e2e/process.h"
#include "tests/e2e/sim_process.h"

namespace vorante {
namespace {

using namespace std::chrono_literals;
using test::sim_process;

// Polls `ready` until it holds or `limit` has passed.
bool eventually(const std::function<bool()>& ready, std::chrono::milliseconds limit = 4s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    if (ready()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
}

class surface_e2e : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.ready());
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("VORANTE_ADAPTERS", "127.0.0.1", 1);
    program_ = test::spawn_child({VORANTE_PATH, "--takeover", "--connect", sim_.console()},
                                 {.in = false, .out = false, .err = false});
    ASSERT_GT(program_.pid, 0);
  }
  void TearDown() override {
    // It has no handler of its own for the signal: it just ends.
    if (program_.pid > 0) {
      ::kill(program_.pid, SIGTERM);
      int status = 0;
      ::waitpid(program_.pid, &status, 0);
    }
    sim_.stop();
  }

  int get(unsigned id) {
    const std::string answer = sim_.command("get " + std::to_string(id));
    return std::stoi(answer.substr(answer.find(' ') + 1));
  }
  void command(const std::string& line) { ASSERT_EQ(sim_.command(line), "ok") << line; }

  // The lights the console shows ("lights 3 8 ..." or "lights none").
  std::set<int> lights() {
    std::istringstream words(sim_.command("lights"));
    std::string word;
    words >> word;
    std::set<int> on;
    for (int n; words >> n;) on.insert(n);
    return on;
  }
  bool lit(int n) { return lights().count(n) == 1; }
  // The positions the console's motor faders were sent ("faders 0:512 1:...").
  std::map<int, int> faders() {
    std::istringstream words(sim_.command("faders"));
    std::string word;
    words >> word;
    std::map<int, int> at;
    while (words >> word) {
      const auto colon = word.find(':');
      if (colon == std::string::npos) break;
      at[std::stoi(word.substr(0, colon))] = std::stoi(word.substr(colon + 1));
    }
    return at;
  }
  // Whether the motor faders stand where the console's levels of `layer` are.
  bool faders_show_layer(int layer) {
    const std::map<int, int> at = faders();
    const fader_bank& bank = fader_banks[static_cast<std::size_t>(layer)];
    for (int s = 0; s < bank.slot_count; ++s) {
      const auto it = at.find(s);
      const channel_ref c = bank.channels[static_cast<std::size_t>(s)];
      if (it == at.end() || it->second != (get(param_id(c.kind, c.index, code_fader)) & 0x3FFF)) return false;
    }
    const auto l = at.find(8), r = at.find(9);
    return l != at.end() && r != at.end() && l->second == (get(main_l_fader_id) & 0x3FFF) &&
           r->second == (get(main_r_fader_id) & 0x3FFF);
  }

  sim_process sim_{{"--random-values", "5"}};
  test::child_process program_;
};

TEST_F(surface_e2e, keys_faders_and_encoders_drive_the_lights_and_motor_faders) {
  // After the full read: the lights of layer 1 and its fader levels on the motors.
  ASSERT_TRUE(eventually([&] { return lit(39) && lit(81) && lit(82); }, 30s)) << sim_.command("lights");
  ASSERT_TRUE(eventually([&] { return faders_show_layer(0); })) << sim_.command("faders");

  // A layer key moves the motors to that layer's levels and lights its key.
  command("key 40");
  EXPECT_TRUE(eventually([&] { return faders_show_layer(1); })) << sim_.command("faders");
  EXPECT_TRUE(eventually([&] { return lit(40) && lit(83) && lit(84) && !lit(39); })) << sim_.command("lights");

  // The settings key lights its light.
  command("key 7");
  EXPECT_TRUE(eventually([&] { return lit(7); })) << sim_.command("lights");

  // The mute key of strip 1 (CH9 on layer 2) toggles the channel and its light.
  const unsigned ch9_on = param_id(kind_input, 8, code_on);
  const int on_before = get(ch9_on);
  command("key 29");
  EXPECT_TRUE(eventually([&] { return get(ch9_on) == (on_before == 0 ? 1 : 0); }));
  EXPECT_TRUE(eventually([&] { return lit(29) == (on_before != 0); })) << sim_.command("lights");
  command("key 29");
  EXPECT_TRUE(eventually([&] { return get(ch9_on) == on_before && lit(29) == (on_before == 0); }))
      << sim_.command("lights");

  // A fader moved by hand sets its channel's level, flag bits kept.
  const unsigned ch9_fader = param_id(kind_input, 8, code_fader);
  const int flags = get(ch9_fader) & 0xC000;
  command("fader 0 777");
  EXPECT_TRUE(eventually([&] { return get(ch9_fader) == (flags | 777); })) << get(ch9_fader);

  // Encoder 1 steps the headphone level once, however far it turned.
  const int phones = get(headphone_level_id);
  runtime_options scratch_options;
  param_store scratch(scratch_options);
  scratch.load_defaults();
  scratch.set_local(headphone_level_id, static_cast<uint16_t>(phones));
  int turn = 4;
  int expected = step_param(scratch, headphone_level_id, 1, step_normal);
  if (expected == phones) {  // at the top already: down instead
    turn = -4;
    expected = step_param(scratch, headphone_level_id, -1, step_normal);
  }
  ASSERT_NE(expected, phones);
  command("encoder 1 " + std::to_string(turn));
  EXPECT_TRUE(eventually([&] { return get(headphone_level_id) == expected; })) << get(headphone_level_id);
}

}  // namespace
}  // namespace vorante
