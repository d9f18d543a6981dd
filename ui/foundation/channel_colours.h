// Channel colours: parameter 3110 + logical channel holds an index into this table, which
// the strips, the editors and the colour picker all read.
#pragma once

#include <array>
#include <cstdint>

#include "ui/foundation/colour.h"

namespace vorante {

constexpr int channel_colour_count = 13;

// Index 0 is the default grey; 1..12 are the colours the picker offers.
inline constexpr std::array<rgb565, channel_colour_count> channel_colours{
    0x5AEB, 0x43B8, 0x50DE, 0x069A, 0x84C6, 0x060A, 0x053F, 0xA0BE, 0xEEA8, 0xF008, 0xFAEC, 0xF87E, 0xC305,
};

// A stored index beyond the table reads as the default.
constexpr rgb565 channel_colour(uint16_t index) {
  return channel_colours[index < channel_colour_count ? index : 0];
}

}  // namespace vorante
