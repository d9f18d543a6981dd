// The desktop program started on a settings page against the console simulator, both as
// processes on loopback: the page asks the console what it shows, in the order the console
// expects, and sends nothing the user did not ask for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "app/protocol/config_texts.h"
#include "app/protocol/messages.h"
#include "tests/e2e/frame_log.h"
#include "tests/e2e/process.h"
#include "tests/e2e/screenshot.h"
#include "tests/e2e/sim_process.h"

namespace vorante {
namespace {

using namespace std::chrono_literals;
using test::run_process;
using test::sim_process;

std::string text_of(const test::logged_frame& f) {
  const auto p = frame_payload(f.bytes);
  return std::string(p.begin(), p.end());
}

struct page_case {
  const char* show;
  std::vector<std::string_view> queries;  // the page's own queries, in this order
};

class settings_e2e : public ::testing::TestWithParam<page_case> {};

TEST_P(settings_e2e, the_page_asks_its_queries_in_order_and_commands_nothing) {
  const auto [log, shot] = test::fresh_run_files("vorante-settings-e2e-");
  sim_process sim({"--log", log});
  ASSERT_TRUE(sim.ready());
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const auto r = run_process({VORANTE_PATH, "--connect", sim.console(), "--show", GetParam().show, "--screenshot",
                              shot + "@4000"},
                             40s);
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  sim.stop();

  std::vector<std::string> queries, commands;
  for (const test::logged_frame& f : test::read_frame_log(log)) {
    if (!f.received()) continue;
    if (f.code == code_byte(message_code::config_query)) queries.push_back(text_of(f));
    if (f.code == code_byte(message_code::config_command)) commands.push_back(text_of(f));
  }
  // The page's queries arrive as one run, in order.
  const auto first = std::find(queries.begin(), queries.end(), GetParam().queries.front());
  ASSERT_NE(first, queries.end());
  ASSERT_GE(static_cast<std::size_t>(queries.end() - first), GetParam().queries.size());
  for (std::size_t i = 0; i < GetParam().queries.size(); ++i) EXPECT_EQ(first[static_cast<long>(i)], GetParam().queries[i]);
  // The unnamed console is named once; nothing else is changed.
  for (const std::string& c : commands) EXPECT_TRUE(c.starts_with("DEVNAME=")) << c;
}

INSTANTIATE_TEST_SUITE_P(
    pages, settings_e2e,
    ::testing::Values(page_case{"set_sys", {system_page_query}},
                      page_case{"network", {network_queries[0], network_queries[1], network_queries[2]}}),
    [](const ::testing::TestParamInfo<page_case>& info) { return std::string(info.param.show); });

}  // namespace
}  // namespace vorante
