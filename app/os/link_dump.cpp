#include "app/os/link_dump.h"

#include <array>
#include <chrono>

#include "app/core/log.h"
#include "app/protocol/transport.h"

namespace vorante {

uint32_t steady_clock_ms() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

std::string format_link_dump(const char* prefix, const uint8_t* bytes, std::size_t n, uint32_t ts) {
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string text(prefix);
  text.reserve(text.size() + 2 * n + 16);
  for (std::size_t i = 0; i < n; ++i) {
    text += hex[bytes[i] >> 4];
    text += hex[bytes[i] & 0x0F];
  }
  text += " ts: ";
  text += std::to_string(ts);
  text += '\n';
  return text;
}

void print_sent_dump(const uint8_t* bytes, std::size_t n, uint32_t ts) {
  log_print("%s", format_link_dump("S: ", bytes, n, ts).c_str());
}

void print_received_dump(const uint8_t* bytes, std::size_t n, uint32_t ts) {
  log_print("%s", format_link_dump("R: ", bytes, n, ts).c_str());
}

std::size_t move_received(transport_ring& from, engine_ring& to, bool print_received,
                          uint32_t now_ms) {
  std::array<uint8_t, max_poll_bytes> chunk{};
  const std::size_t n = from.pop(chunk.data(), chunk.size());
  if (n == 0) return 0;
  if (print_received) print_received_dump(chunk.data(), n, now_ms);
  to.write(chunk.data(), n);
  return n;
}

}  // namespace vorante
