// The desktop program started on a tab or view of the output, effects and DCA editors and of
// the fader overview ("--show PAGE:ARG:PART") against the console simulator, both as
// processes on loopback: it reads the console, shows the part asked for, draws it and writes
// nothing while the user does nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/e2e/process.h"
#include "tests/e2e/screenshot.h"
#include "tests/e2e/sim_process.h"

namespace vorante {
namespace {

using namespace std::chrono_literals;

struct part_case {
  const char* show;
  const char* shown;  // the program's line about the part
  const char* name;
};

class editor_parts_e2e : public ::testing::TestWithParam<part_case> {};

TEST_P(editor_parts_e2e, shows_the_part_connected_without_writing) {
  const std::string stem = ::testing::TempDir() + "vorante-parts-e2e-" + GetParam().name;
  const std::string log = stem + ".log";
  const std::string shot = stem + ".png";
  std::remove(log.c_str());
  std::remove(shot.c_str());
  test::sim_process sim({"--random-values", "9", "--meters", "--activity", "1", "--log", log});
  ASSERT_TRUE(sim.ready());
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const auto r = test::run_process(
      {VORANTE_PATH, "--connect", sim.console(), "--show", GetParam().show, "--screenshot", shot + "@5000"}, 40s);
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("read finished!"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(GetParam().shown), std::string::npos) << r.out;
  const auto [w, h] = test::png_size(shot);
  EXPECT_EQ(w, 1280u);
  EXPECT_EQ(h, 800u);
  sim.stop();
  EXPECT_EQ(test::writes_received(log), 0);
}

INSTANTIATE_TEST_SUITE_P(
    parts, editor_parts_e2e,
    ::testing::Values(part_case{"edit_output:0:geq", "part 'GEQ' of page 'edit_output' shown", "aux_geq"},
                      part_case{"edit_output:8:3", "part 'GEQ' of page 'edit_output' shown", "main_geq"},
                      part_case{"edit_efx:1:PEQ", "part 'PEQ' of page 'edit_efx' shown", "effect_peq"},
                      part_case{"edit_dca:2:fader", "part 'FADER' of page 'edit_dca' shown", "dca_faders"},
                      part_case{"brief_fader:0:B", "part 'B' of page 'brief_fader' shown", "overview_b"},
                      part_case{"brief_fader:0:C", "part 'C' of page 'brief_fader' shown", "overview_sends"},
                      part_case{"brief_fader:0:FX2", "part 'FX2' of page 'brief_fader' shown", "overview_fx2"}),
    [](const ::testing::TestParamInfo<part_case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorante
