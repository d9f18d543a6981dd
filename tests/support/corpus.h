// The stored fuzzer inputs below tests/corpus, for the tests that replay them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <vector>

namespace vorante::test {

// Hands every file of tests/corpus/`name` to `replay` as its bytes and its path; returns how
// many there were.
template <typename Replay>
int replay_corpus(const char* name, Replay replay) {
  const std::filesystem::path dir = std::filesystem::path(VORANTE_SOURCE_DIR) / "tests/corpus" / name;
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    replay(std::span<const uint8_t>(bytes), entry.path());
    ++replayed;
  }
  return replayed;
}

}  // namespace vorante::test
