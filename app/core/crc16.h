// CRC-16 with the reflected 0xA001 polynomial and initial value 0xFFFF, the checksum of
// every link frame and of the default image file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vorante {

namespace detail {
// Eight tables, so that eight bytes cost eight independent look-ups instead of a chain of
// eight dependent ones: table k advances a byte's remainder past k further zero bytes.
using crc16_tables = std::array<std::array<uint16_t, 256>, 8>;

constexpr crc16_tables make_crc16_tables() {
  crc16_tables t{};
  for (unsigned b = 0; b < 256; ++b) {
    uint16_t crc = static_cast<uint16_t>(b);
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    t[0][b] = crc;
  }
  for (std::size_t k = 1; k < t.size(); ++k)
    for (unsigned b = 0; b < 256; ++b)
      t[k][b] = static_cast<uint16_t>((t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF]);
  return t;
}
inline constexpr crc16_tables crc16_table = make_crc16_tables();
}  // namespace detail

constexpr uint16_t crc16(const uint8_t* bytes, std::size_t n) {
  const auto& t = detail::crc16_table;
  uint16_t crc = 0xFFFF;
  std::size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    const uint8_t* p = bytes + i;
    crc = static_cast<uint16_t>(t[7][(crc ^ p[0]) & 0xFF] ^ t[6][(crc >> 8) ^ p[1]] ^ t[5][p[2]] ^
                                t[4][p[3]] ^ t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]]);
  }
  for (; i < n; ++i) crc = static_cast<uint16_t>((crc >> 8) ^ t[0][(crc ^ bytes[i]) & 0xFF]);
  return crc;
}

}  // namespace vorante
