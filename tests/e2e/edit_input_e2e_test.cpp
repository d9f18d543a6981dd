// The desktop program started on the input editor against the console simulator, both as
// processes on loopback: connected, it reads the console, draws the editor of a mono
// input, a stereo input and DIGI, and writes nothing while the user does nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/e2e/process.h"
#include "tests/e2e/screenshot.h"
#include "tests/e2e/sim_process.h"

namespace vorante {
namespace {

using namespace std::chrono_literals;

class edit_input_e2e : public ::testing::TestWithParam<const char*> {};

TEST_P(edit_input_e2e, opens_connected_and_draws_without_writing) {
  const auto [log, shot] = test::fresh_run_files("vorante-edit-input-e2e-");
  test::sim_process sim({"--random-values", "5", "--meters", "--log", log});
  ASSERT_TRUE(sim.ready());
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const auto r = test::run_process(
      {VORANTE_PATH, "--connect", sim.console(), "--show", GetParam(), "--screenshot", shot + "@5000"}, 40s);
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("read finished!"), std::string::npos) << r.out;
  const auto [w, h] = test::png_size(shot);
  EXPECT_EQ(w, 1280u);
  EXPECT_EQ(h, 800u);
  sim.stop();
  // Opening the editor pushes the console's values into it; none go back.
  EXPECT_EQ(test::writes_received(log), 0);
}

INSTANTIATE_TEST_SUITE_P(inputs, edit_input_e2e,
                         ::testing::Values("edit_input:2", "edit_input:16", "edit_input:24"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return std::string(info.index == 0 ? "mono" : info.index == 1 ? "stereo" : "digi");
                         });

}  // namespace
}  // namespace vorante
