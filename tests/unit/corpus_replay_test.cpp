// Replays the stored inputs the engine fuzzer found interesting: each must run through
// the link without a crash, a hang or an inconsistent store.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/engine_harness.h"
#include "fuzz/scene_import_harness.h"

namespace vorante {
namespace {

TEST(corpus_replay, stored_malformed_inputs_leave_the_link_consistent) {
  set_log_stream(nullptr);
  const std::filesystem::path dir = std::filesystem::path(VORANTE_SOURCE_DIR) / "tests/corpus/engine";
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    EXPECT_TRUE(run_engine_harness(bytes.data(), bytes.size()).consistent) << entry.path();
    ++replayed;
  }
  set_log_stream(stdout);
  EXPECT_GE(replayed, 40);
}

// The scene import's seeds: passing and refused files alike go through the checks, and
// each that passes comes back the same after being written out.
TEST(corpus_replay, stored_scene_files_pass_or_fail_the_import_consistently) {
  const std::filesystem::path dir = std::filesystem::path(VORANTE_SOURCE_DIR) / "tests/corpus/scene_import";
  int replayed = 0, passed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    const scene_harness_result r = run_scene_import_harness(bytes.data(), bytes.size());
    EXPECT_TRUE(r.consistent) << entry.path();
    passed += r.check == scene_check::ok;
    ++replayed;
  }
  EXPECT_GE(replayed, 10);
  EXPECT_GE(passed, 5) << "the seeds include files that pass";
}

}  // namespace
}  // namespace vorante
