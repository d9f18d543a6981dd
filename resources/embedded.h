#pragma once
// Bytes linked into the program by the resources build: the FAT resource volume and
// the PNG of the built-in logo.

#include <cstdint>
#include <span>

namespace vorante {

std::span<const std::uint8_t> embedded_volume_image();
std::span<const std::uint8_t> embedded_logo_png();

} // namespace vorante
