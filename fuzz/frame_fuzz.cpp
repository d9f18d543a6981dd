// Feeds arbitrary bytes through the engine ring and the frame parser, the way received
// datagrams reach them, and traps on anything the parser must never do.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "app/core/crc16.h"
#include "app/protocol/frame.h"
#include "app/protocol/rings.h"

namespace {

using namespace vorante;

void require(bool ok) {
  if (!ok) __builtin_trap();
}

void check_frame(const uint8_t* f, int n) {
  require(n >= static_cast<int>(min_frame_size) && n <= static_cast<int>(max_frame_size));
  require(f[0] == frame_start && f[1] + 2 == n);
  require(crc16(f, f[1]) == get_be16(f + f[1]));
}

// One engine pass: strict until nothing is left, then scanning for what strict left.
void drain(engine_ring& ring, uint8_t* out, std::size_t out_size) {
  for (parse_mode mode : {parse_mode::strict, parse_mode::scanning}) {
    for (int calls = 0;; ++calls) {
      require(calls <= static_cast<int>(engine_ring::capacity));
      const std::size_t before = ring.count();
      const int r = parse_frame(ring, out, out_size, mode);
      require(ring.count() <= before);
      if (r == 0) break;
      require(ring.count() < before);
      if (r > 0) {
        require(static_cast<std::size_t>(r) <= out_size);
        check_frame(out, r);
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  check_datagram(data, size);
  if (size < 2) return 0;

  // The first byte picks the chunking and the caller's buffer size; the rest is the wire.
  const std::size_t chunk = 1 + (data[0] & 0x3F) * 5;  // 1..316, like the transport's 320
  const std::size_t out_size = (data[1] & 0x80) ? max_frame_size : 1 + data[1];
  data += 2;
  size -= 2;

  engine_ring ring;
  std::array<uint8_t, max_frame_size> out{};
  for (std::size_t at = 0; at < size; at += chunk) {
    const std::size_t n = std::min(chunk, size - at);
    ring.write(data + at, n);  // refused whole when full, as the transport's move is
    require(ring.count() <= engine_ring::capacity);
    drain(ring, out.data(), out_size);
  }

  // The same bytes in one write, as a TCP read of up to 1024 bytes delivers them.
  engine_ring whole;
  whole.write(data, std::min(size, engine_ring::capacity));
  drain(whole, out.data(), out_size);
  return 0;
}
