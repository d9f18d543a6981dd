// The link's frame: 0x80, L (bytes through the end of the payload), message code, payload,
// CRC-16 of the first L bytes high byte first. Every transport carries these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>

#include "app/protocol/rings.h"

namespace vorante {

constexpr uint8_t frame_start = 0x80;
constexpr std::size_t frame_header_size = 3;  // start, length, code
constexpr std::size_t frame_crc_size = 2;
constexpr std::size_t frame_overhead = frame_header_size + frame_crc_size;
constexpr std::size_t min_frame_size = frame_overhead;
constexpr std::size_t max_frame_size = 256;
constexpr std::size_t max_payload_size = max_frame_size - frame_overhead;  // 251
constexpr std::size_t max_list_entries = 60;
constexpr std::size_t pair_size = 4;  // ID BE16, value BE16

// Bytes 1 and 2 both 0xFF in a lone datagram stand for this frame length byte.
constexpr std::size_t long_datagram_length = 262;

constexpr uint16_t get_be16(const uint8_t* p) {
  return static_cast<uint16_t>((p[0] << 8) | p[1]);
}

constexpr void put_be16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v & 0xFF);
}

// Writes a frame into buffer and returns its length, or 0 when the payload is longer than
// a frame can carry or the frame does not fit size. The payload may already sit at
// buffer + 3 (no copy then) or overlap the buffer anywhere else.
std::size_t build_frame(uint8_t* buffer, std::size_t size, uint8_t code, const uint8_t* payload,
                        std::size_t payload_len);

// One datagram that must hold exactly one frame: start byte, a length that covers at least
// the code byte, the whole frame inside the datagram, and a matching CRC.
bool check_datagram(const uint8_t* bytes, std::size_t n);

enum class parse_mode : uint8_t {
  strict,    // drop garbage in front, wait for an incomplete frame
  scanning,  // look past incomplete or corrupt candidates; remove bytes only for a find
};

// Takes the next frame out of the ring into out. Returns its length, 0 when no complete
// valid frame is there yet, or -1 when a candidate longer than out (or than a frame may
// be) was dropped; -1 is not a frame.
int parse_frame(engine_ring& ring, uint8_t* out, std::size_t out_size, parse_mode mode);

// The code and payload of a frame of at least min_frame_size bytes (empty otherwise).
constexpr uint8_t frame_code(std::span<const uint8_t> frame) {
  return frame.size() >= min_frame_size ? frame[2] : 0;
}
constexpr std::span<const uint8_t> frame_payload(std::span<const uint8_t> frame) {
  if (frame.size() < min_frame_size) return {};
  return frame.subspan(frame_header_size, frame.size() - frame_overhead);
}

struct id_value {
  uint16_t id = 0;
  uint16_t value = 0;
  friend constexpr bool operator==(const id_value&, const id_value&) = default;
};

// The (ID, value) pairs of a list payload: payload length div 4 pairs, trailing bytes
// ignored.
class pair_list {
 public:
  class iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = id_value;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = id_value;

    constexpr iterator() = default;
    constexpr explicit iterator(const uint8_t* p) : p_(p) {}
    constexpr id_value operator*() const { return {get_be16(p_), get_be16(p_ + 2)}; }
    constexpr iterator& operator++() {
      p_ += pair_size;
      return *this;
    }
    constexpr iterator operator++(int) {
      iterator old = *this;
      p_ += pair_size;
      return old;
    }
    friend constexpr bool operator==(const iterator&, const iterator&) = default;

   private:
    const uint8_t* p_ = nullptr;
  };

  constexpr pair_list() = default;
  constexpr explicit pair_list(std::span<const uint8_t> payload)
      : bytes_(payload.first(payload.size() / pair_size * pair_size)) {}

  constexpr std::size_t size() const { return bytes_.size() / pair_size; }
  constexpr bool empty() const { return bytes_.empty(); }
  constexpr id_value operator[](std::size_t i) const {
    return {get_be16(bytes_.data() + i * pair_size), get_be16(bytes_.data() + i * pair_size + 2)};
  }
  constexpr iterator begin() const { return iterator(bytes_.data()); }
  constexpr iterator end() const { return iterator(bytes_.data() + bytes_.size()); }

 private:
  std::span<const uint8_t> bytes_;
};

}  // namespace vorante
