// Replays the stored inputs of the media fuzzer: each must leave the media client
// consistent, without a crash or a hang.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/core/log.h"
#include "fuzz/media_harness.h"

namespace vorante {
namespace {

TEST(media_corpus_replay, stored_inputs_leave_the_media_client_consistent) {
  set_log_stream(nullptr);
  const std::filesystem::path dir = std::filesystem::path(VORANTE_SOURCE_DIR) / "tests/corpus/media";
  int replayed = 0, finished = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    const media_harness_result r = run_media_harness(bytes.data(), bytes.size());
    EXPECT_TRUE(r.consistent) << entry.path();
    finished += r.scans_finished;
    ++replayed;
  }
  set_log_stream(stdout);
  EXPECT_GE(replayed, 5);
  EXPECT_GT(finished, 0);
}

}  // namespace
}  // namespace vorante
