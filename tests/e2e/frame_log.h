// The simulator's frame log as the tests read it, field by field:
//   <ms since start> <what> <link> <message code> <bytes in hex>
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/protocol/frame.h"

namespace vorante::test {

struct logged_frame {
  uint32_t ms = 0;
  std::string what;  // R, S, or a fault: R-drop, S-corrupt, ...
  std::string link;  // udp:ADDR:PORT, tcp:..., serial
  int code = -1;
  std::vector<uint8_t> bytes;

  bool received() const { return what == "R"; }
  bool sent() const { return what == "S"; }
  // Whether the frame's list payload holds this ID with this value.
  bool carries(id_value pair) const {
    const pair_list pairs(frame_payload(bytes));
    return std::find(pairs.begin(), pairs.end(), pair) != pairs.end();
  }
};

// One line; nothing when it is not a whole log line.
inline std::optional<logged_frame> parse_log_line(const std::string& line) {
  std::istringstream fields(line);
  logged_frame f;
  std::string code;
  if (!(fields >> f.ms >> f.what >> f.link >> code)) return std::nullopt;
  if (code != "-") f.code = std::stoi(code);
  for (std::string hex; fields >> hex;) {
    if (hex.size() != 2) return std::nullopt;
    f.bytes.push_back(static_cast<uint8_t>(std::stoul(hex, nullptr, 16)));
  }
  if (f.code >= 0 && (f.bytes.size() < 3 || f.bytes[2] != f.code)) return std::nullopt;
  return f;
}

inline std::vector<logged_frame> read_frame_log(const std::string& path) {
  std::ifstream in(path);
  std::vector<logged_frame> frames;
  for (std::string line; std::getline(in, line);)
    if (auto f = parse_log_line(line)) frames.push_back(std::move(*f));
  return frames;
}

// Follows a log while the simulator writes it: each call returns the lines completed since
// the last one.
class frame_log_tail {
 public:
  explicit frame_log_tail(std::string path) : path_(std::move(path)) {}

  std::vector<logged_frame> next() {
    std::ifstream in(path_, std::ios::binary);
    std::vector<logged_frame> frames;
    if (!in || !in.seekg(static_cast<std::streamoff>(offset_))) return frames;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t start = 0;
    for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
      if (auto f = parse_log_line(text.substr(start, nl - start))) frames.push_back(std::move(*f));
    offset_ += start;  // a line still being written is read next time
    return frames;
  }

 private:
  std::string path_;
  std::size_t offset_ = 0;
};

}  // namespace vorante::test
