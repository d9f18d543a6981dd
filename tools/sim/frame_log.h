// One line per frame the simulator receives or sends, for tests to read:
//   <ms since start> <what> <link> <code> <bytes in hex>
// where <what> is R (received), S (sent), or R-drop, S-drop, R-corrupt, S-corrupt,
// R-muted for the failures injected on the way.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

namespace vorante::sim {

class frame_log {
 public:
  frame_log() = default;
  frame_log(const frame_log&) = delete;
  frame_log& operator=(const frame_log&) = delete;
  ~frame_log();

  // Creates or truncates the file; false with the reason in `error`.
  bool open(const std::string& path, std::string& error);
  bool active() const { return file_ != nullptr; }
  void write(uint32_t ms, std::string_view what, std::string_view link, std::span<const uint8_t> bytes);
  // Lines reach the file at the end of each round of the server, not one by one.
  void flush();

 private:
  std::FILE* file_ = nullptr;
};

// The text of one line without the newline.
std::string log_line(uint32_t ms, std::string_view what, std::string_view link, std::span<const uint8_t> bytes);

}  // namespace vorante::sim
