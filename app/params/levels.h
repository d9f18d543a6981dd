// Level helpers for meters and the main outputs.
#pragma once

#include <cstdint>

namespace vorante {

class param_store;

// A meter byte (signed dB) seen after a fader: the byte plus the fader gain in whole dB
// (truncated toward zero), limited to -120..100.
int meter_after_fader(uint8_t meter_byte, uint16_t fader_raw);

// A level word scaled by a percentage (0..255) of its amplitude, at most +10 dB (1300) and
// at least off (0); flags in bits 14..15 are kept.
uint16_t scale_level_by_percent(uint16_t level_raw, int percent);

// The MAIN L / MAIN R faders and the headphone level scaled by their output percentages
// (ID 3179 low byte for MAIN L, high byte for MAIN R; ID 3180 low byte for headphones);
// every other ID reads as its stored value.
uint16_t scaled_main_level(const param_store& store, unsigned id);

}  // namespace vorante
