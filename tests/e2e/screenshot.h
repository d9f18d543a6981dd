// What the end-to-end tests read back from a run of the program: the size of the PNG it
// saved, and how many parameter writes the simulator took in.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <utility>

#include "app/protocol/messages.h"
#include "tests/e2e/frame_log.h"

namespace vorante::test {

// The simulator's frame log and the program's screenshot for the test case running, named
// after it so that cases may run side by side, and neither left over from an earlier run.
struct run_files {
  std::string log;
  std::string shot;
};
inline run_files fresh_run_files(const std::string& prefix) {
  std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::replace(name.begin(), name.end(), '/', '-');
  const std::string stem = ::testing::TempDir() + prefix + name;
  run_files f{stem + ".log", stem + ".png"};
  std::remove(f.log.c_str());
  std::remove(f.shot.c_str());
  return f;
}

// Width and height from a PNG's header; zero when it is none.
inline std::pair<uint32_t, uint32_t> png_size(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char head[24] = {};
  if (!in.read(head, sizeof head) || std::string(head + 1, 3) != "PNG") return {0, 0};
  auto be = [&](int at) {
    const auto* b = reinterpret_cast<const unsigned char*>(head + at);
    return (uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) | (uint32_t{b[2]} << 8) | b[3];
  };
  return {be(16), be(20)};
}

// Parameter writes the simulator took in, from its frame log.
inline int writes_received(const std::string& log) {
  int writes = 0;
  for (const logged_frame& f : read_frame_log(log))
    writes += f.received() && f.code == code_byte(message_code::write_params);
  return writes;
}

}  // namespace vorante::test
