// Replays the stored inputs the engine fuzzer found interesting: each must run through
// the link without a crash, a hang or an inconsistent store.
#include <gtest/gtest.h>

#include "fuzz/engine_harness.h"
#include "fuzz/scene_import_harness.h"
#include "tests/support/corpus.h"

namespace vorante {
namespace {

TEST(corpus_replay, stored_malformed_inputs_leave_the_link_consistent) {
  set_log_stream(nullptr);
  const int replayed =
      test::replay_corpus("engine", [](std::span<const uint8_t> bytes, const std::filesystem::path& path) {
        EXPECT_TRUE(run_engine_harness(bytes.data(), bytes.size()).consistent) << path;
      });
  set_log_stream(stdout);
  EXPECT_GE(replayed, 40);
}

// The scene import's seeds: passing and refused files alike go through the checks, and
// each that passes comes back the same after being written out.
TEST(corpus_replay, stored_scene_files_pass_or_fail_the_import_consistently) {
  int passed = 0;
  const int replayed =
      test::replay_corpus("scene_import", [&](std::span<const uint8_t> bytes, const std::filesystem::path& path) {
        const scene_harness_result r = run_scene_import_harness(bytes.data(), bytes.size());
        EXPECT_TRUE(r.consistent) << path;
        passed += r.check == scene_check::ok;
      });
  EXPECT_GE(replayed, 10);
  EXPECT_GE(passed, 5) << "the seeds include files that pass";
}

}  // namespace
}  // namespace vorante
