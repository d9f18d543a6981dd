// The desktop program against the console simulator, both as processes on loopback: started
// on the strips page with a console given, it reads the whole console, draws the page, and
// sends nothing the user did not ask for.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "app/params/ids.h"
#include "app/protocol/messages.h"
#include "tests/e2e/frame_log.h"
#include "tests/e2e/process.h"
#include "tests/e2e/screenshot.h"
#include "tests/e2e/sim_process.h"

namespace vorante {
namespace {

using namespace std::chrono_literals;
using test::png_size;
using test::run_process;
using test::sim_process;
using test::writes_received;

double children_cpu_seconds() {
  rusage u{};
  ::getrusage(RUSAGE_CHILDREN, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct bank_case {
  const char* show;
  const char* name;
};

class strips_e2e : public ::testing::TestWithParam<bank_case> {};

TEST_P(strips_e2e, reads_the_console_and_draws_the_strips_without_writing) {
  const auto [log, shot] = test::fresh_run_files("vorante-strips-e2e-");
  sim_process sim({"--random-values", "5", "--meters", "--log", log});
  ASSERT_TRUE(sim.ready());
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

  const double cpu_before = children_cpu_seconds();
  const auto started = std::chrono::steady_clock::now();
  const auto r = run_process({VORANTE_PATH, "--connect", sim.console(), "--show", GetParam().show, "--screenshot",
                              shot + "@6000"},
                             40s);
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const double cpu = children_cpu_seconds() - cpu_before;

  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("read finished!"), std::string::npos) << r.out;
  const auto [w, h] = png_size(shot);
  EXPECT_EQ(w, 1280u);
  EXPECT_EQ(h, 800u);
  sim.stop();
  // Values that came from the console never go back to it.
  EXPECT_EQ(writes_received(log), 0);
  std::printf("%s: %.2f s of CPU in %.1f s (%.0f %% of one core, start-up and full read included)\n", GetParam().show,
              cpu, wall, 100.0 * cpu / wall);
}

INSTANTIATE_TEST_SUITE_P(banks, strips_e2e,
                         ::testing::Values(bank_case{"brief_channel", "ch1_8"}, bank_case{"brief_channel:16", "st_fx"},
                                           bank_case{"brief_channel:38", "dca"},
                                           bank_case{"brief_fader", "fader_overview"},
                                           bank_case{"edit_dca:2", "dca_editor"}),
                         [](const ::testing::TestParamInfo<bank_case>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorante
