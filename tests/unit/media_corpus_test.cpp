// Replays the stored inputs of the media fuzzer: each must leave the media client
// consistent, without a crash or a hang.
#include <gtest/gtest.h>

#include "app/core/log.h"
#include "fuzz/media_harness.h"
#include "tests/support/corpus.h"

namespace vorante {
namespace {

TEST(media_corpus_replay, stored_inputs_leave_the_media_client_consistent) {
  set_log_stream(nullptr);
  int finished = 0;
  const int replayed =
      test::replay_corpus("media", [&](std::span<const uint8_t> bytes, const std::filesystem::path& path) {
        const media_harness_result r = run_media_harness(bytes.data(), bytes.size());
        EXPECT_TRUE(r.consistent) << path;
        finished += r.scans_finished;
      });
  set_log_stream(stdout);
  EXPECT_GE(replayed, 5);
  EXPECT_GT(finished, 0);
}

}  // namespace
}  // namespace vorante
