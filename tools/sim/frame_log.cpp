#include "tools/sim/frame_log.h"

#include <cerrno>
#include <cstring>

namespace vorante::sim {

std::string log_line(uint32_t ms, std::string_view what, std::string_view link, std::span<const uint8_t> bytes) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string line = std::to_string(ms);
  line += ' ';
  line += what;
  line += ' ';
  line += link;
  line += ' ';
  line += bytes.size() >= 3 ? std::to_string(bytes[2]) : std::string("-");
  line.reserve(line.size() + 3 * bytes.size());
  for (uint8_t b : bytes) {
    line += ' ';
    line += hex[b >> 4];
    line += hex[b & 0xF];
  }
  return line;
}

frame_log::~frame_log() {
  if (file_) std::fclose(file_);
}

bool frame_log::open(const std::string& path, std::string& error) {
  file_ = std::fopen(path.c_str(), "w");
  if (!file_) {
    error = "cannot open log '" + path + "': " + std::strerror(errno);
    return false;
  }
  return true;
}

void frame_log::write(uint32_t ms, std::string_view what, std::string_view link, std::span<const uint8_t> bytes) {
  if (!file_) return;
  const std::string line = log_line(ms, what, link, bytes);
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fputc('\n', file_);
}

void frame_log::flush() {
  if (file_) std::fflush(file_);
}

}  // namespace vorante::sim
