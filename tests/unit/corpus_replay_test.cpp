// Replays the stored inputs the engine fuzzer found interesting: each must run through
// the link without a crash, a hang or an inconsistent store.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/engine_harness.h"

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

}  // namespace
}  // namespace vorante
