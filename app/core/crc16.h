// CRC-16 with the reflected 0xA001 polynomial and initial value 0xFFFF, the checksum of
// every link frame and of the default image file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vorante {

namespace detail {
constexpr std::array<uint16_t, 256> make_crc16_table() {
  std::array<uint16_t, 256> t{};
  for (unsigned b = 0; b < 256; ++b) {
    uint16_t crc = static_cast<uint16_t>(b);
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    t[b] = crc;
  }
  return t;
}
inline constexpr auto crc16_table = make_crc16_table();
}  // namespace detail

constexpr uint16_t crc16(const uint8_t* bytes, std::size_t n) {
  uint16_t crc = 0xFFFF;
  for (std::size_t i = 0; i < n; ++i)
    crc = static_cast<uint16_t>((crc >> 8) ^ detail::crc16_table[(crc ^ bytes[i]) & 0xFF]);
  return crc;
}

}  // namespace vorante
