#include "app/protocol/frame.h"

#include <algorithm>
#include <cstring>

#include "app/core/crc16.h"

namespace vorante {

std::size_t build_frame(uint8_t* buffer, std::size_t size, uint8_t code, const uint8_t* payload,
                        std::size_t payload_len) {
  if (buffer == nullptr || payload_len > max_payload_size) return 0;
  if (payload_len + frame_overhead > size) return 0;
  if (payload_len > 0 && payload == nullptr) return 0;

  // The payload goes first: it may overlap the header bytes about to be written.
  uint8_t* body = buffer + frame_header_size;
  if (payload_len > 0 && payload != body) std::memmove(body, payload, payload_len);
  buffer[0] = frame_start;
  buffer[1] = static_cast<uint8_t>(payload_len + frame_header_size);
  buffer[2] = code;
  const std::size_t covered = payload_len + frame_header_size;
  put_be16(buffer + covered, crc16(buffer, covered));
  return covered + frame_crc_size;
}

bool check_datagram(const uint8_t* bytes, std::size_t n) {
  if (bytes == nullptr || n < min_frame_size || bytes[0] != frame_start) return false;
  const std::size_t length =
      (bytes[1] == 0xFF && bytes[2] == 0xFF) ? long_datagram_length : bytes[1];
  // A frame needs its code byte, and the CRC must lie inside what was received.
  if (length < frame_header_size || n < length + frame_crc_size) return false;
  return crc16(bytes, length) == get_be16(bytes + length);
}

int parse_frame(engine_ring& ring, uint8_t* out, std::size_t out_size, parse_mode mode) {
  const bool strict = mode == parse_mode::strict;
  // Never hand out more than a frame may hold, whatever buffer the caller has.
  const std::size_t limit = std::min(out_size, max_frame_size);

  // Scanning looks at offsets 0..255 only (the offset is one byte); past that it gives up
  // instead of wrapping round to candidates it has already turned down.
  std::size_t k = 0;
  auto advance = [&k]() {
    ++k;
    return k <= 0xFF;
  };

  for (;;) {
    uint8_t b = 0;
    bool in_window = true;
    while (in_window && ring.peek(k, b) && b != frame_start) {
      if (strict) ring.drop(1);
      else in_window = advance();
    }
    if (!in_window) return 0;

    const std::size_t n = ring.count();
    if (n < min_frame_size || n <= k) return 0;

    uint8_t length = 0;
    const bool have_length = ring.peek(k + 1, length);
    const std::size_t needed = std::size_t{length} + frame_crc_size;
    if (!have_length || n - k < needed) {
      if (strict) return 0;
      if (!advance()) return 0;
      continue;
    }

    // Without a code byte it is no frame, even where the CRC happens to match.
    bool valid = length >= frame_header_size;
    if (valid) {
      if (needed > limit || out == nullptr) {
        ring.drop(k + needed);
        return -1;
      }
      ring.copy_out(k, out, needed);
      valid = crc16(out, length) == get_be16(out + length);
    }
    if (valid) {
      ring.drop(k + needed);
      return static_cast<int>(needed);
    }

    if (strict) {
      ring.drop(k + 1);  // the false start byte; k is always 0 here
      k = 0;
    } else if (!advance()) {
      return 0;
    }
  }
}

}  // namespace vorante
