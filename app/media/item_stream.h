// The item stream of the media module: the bytes of item-data reports, cut into item
// records by start byte, length and checksum. The module answers the disk scanner and
// announces the playing file through it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace vorante {

constexpr std::size_t item_ring_size = 512;
constexpr uint8_t item_start_byte = 0xAA;
constexpr std::size_t item_head_size = 12;     // start, L, kind, index, flags, spare, ID
constexpr std::size_t item_max_record = 256;   // longer records are skipped whole
constexpr std::size_t item_max_name_bytes = 126;

constexpr uint8_t item_kind_now_playing = 0;
constexpr uint8_t item_kind_folder_empty = 2;
constexpr uint8_t item_flag_is_file = 0x01;
constexpr uint8_t item_flag_is_last = 0x40;
constexpr uint8_t item_flag_is_utf16 = 0x80;

struct item_record {
  uint8_t kind = 0;
  uint16_t index = 0;
  uint8_t flags = 0;
  std::array<uint8_t, 4> raw_id{};  // as received, big-endian
  std::string name;                 // UTF-8

  uint32_t id() const {
    return static_cast<uint32_t>(raw_id[0]) << 24 | static_cast<uint32_t>(raw_id[1]) << 16 |
           static_cast<uint32_t>(raw_id[2]) << 8 | raw_id[3];
  }
  bool is_file() const { return flags & item_flag_is_file; }
  bool is_last() const { return flags & item_flag_is_last; }
};

// UTF-16 units, low byte first, up to a zero unit, as UTF-8 (at most three bytes a unit:
// the module sends no surrogate pairs).
std::string utf16le_to_utf8(std::span<const uint8_t> bytes);

class item_stream {
 public:
  // Appends what fits; bytes beyond a full ring are lost.
  void append(std::span<const uint8_t> bytes);
  // The next complete record, dropping bytes that cannot start one. Empty when no
  // complete record is queued yet.
  std::optional<item_record> next();
  void clear();
  std::size_t queued() const { return count_; }

 private:
  uint8_t at(std::size_t i) const { return ring_[(head_ + i) % item_ring_size]; }
  void drop(std::size_t n);

  std::array<uint8_t, item_ring_size> ring_{};
  std::size_t head_ = 0;
  std::size_t count_ = 0;
  std::size_t skip_ = 0;  // bytes still to come of an over-long record
};

}  // namespace vorante
