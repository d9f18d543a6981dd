#include "app/media/item_stream.h"

#include <algorithm>

namespace vorante {

std::string utf16le_to_utf8(std::span<const uint8_t> bytes) {
  std::string out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned u = bytes[i] | static_cast<unsigned>(bytes[i + 1]) << 8;
    if (u == 0) break;
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | u >> 6);
      out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | u >> 12);
      out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (u & 0x3F));
    }
  }
  return out;
}

void item_stream::append(std::span<const uint8_t> bytes) {
  for (uint8_t b : bytes) {
    if (skip_ > 0) {
      --skip_;
      continue;
    }
    if (count_ == item_ring_size) return;
    ring_[(head_ + count_) % item_ring_size] = b;
    ++count_;
  }
}

void item_stream::drop(std::size_t n) {
  n = std::min(n, count_);
  head_ = (head_ + n) % item_ring_size;
  count_ -= n;
}

void item_stream::clear() {
  head_ = count_ = skip_ = 0;
}

std::optional<item_record> item_stream::next() {
  for (;;) {
    while (count_ > 0 && at(0) != item_start_byte) drop(1);
    if (count_ < 4) return std::nullopt;
    const std::size_t total = (static_cast<std::size_t>(at(1)) << 8 | at(2)) + 3;
    if (total > item_max_record) {
      // Skipped whole, also the part that has not arrived yet.
      const std::size_t here = std::min(total, count_);
      skip_ = total - here;
      drop(here);
      continue;
    }
    if (total < item_head_size + 1) {  // too short to hold the head and the checksum
      drop(1);
      continue;
    }
    if (count_ < total) return std::nullopt;
    uint8_t sum = 0;
    for (std::size_t i = 0; i + 1 < total; ++i) sum = static_cast<uint8_t>(sum + at(i));
    if (sum != at(total - 1)) {
      drop(1);
      continue;
    }
    item_record r;
    r.kind = at(3);
    r.index = static_cast<uint16_t>(at(4) << 8 | at(5));
    r.flags = at(6);
    for (std::size_t i = 0; i < 4; ++i) r.raw_id[i] = at(8 + i);
    std::array<uint8_t, item_max_name_bytes + 2> name{};
    const std::size_t name_len = std::min(total - item_head_size - 1, item_max_name_bytes);
    for (std::size_t i = 0; i < name_len; ++i) name[i] = at(item_head_size + i);
    if (r.flags & item_flag_is_utf16) {
      r.name = utf16le_to_utf8({name.data(), name_len + 2});
    } else {
      const auto end = std::find(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(name_len), 0);
      r.name.assign(name.begin(), end);
    }
    drop(total);
    return r;
  }
}

}  // namespace vorante
