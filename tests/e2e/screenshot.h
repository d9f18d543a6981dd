// What the end-to-end tests read back from a run of the program: the size of the PNG it
// saved, and how many parameter writes the simulator took in.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>

#include "app/protocol/messages.h"
#include "tests/e2e/frame_log.h"

namespace vorante::test {

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
