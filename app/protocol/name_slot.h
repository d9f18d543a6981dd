// Copying names into fixed name slots and reading them back.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "app/protocol/name_queue.h"

namespace vorante {

using name_slot = std::array<char, name_slot_size>;

// Stores at most N - 1 bytes of a received name, up to its first zero byte.
template <std::size_t N>
void store_name(std::array<char, N>& slot, std::span<const uint8_t> bytes) {
  std::size_t n = 0;
  while (n < bytes.size() && n < N - 1 && bytes[n] != 0) ++n;
  std::memcpy(slot.data(), bytes.data(), n);
  slot[n] = '\0';
}

template <std::size_t N>
void store_name(std::array<char, N>& slot, std::string_view text) {
  store_name(slot, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

template <std::size_t N>
std::string_view name_of(const std::array<char, N>& slot) {
  return std::string_view(slot.data(), ::strnlen(slot.data(), N));
}

}  // namespace vorante
