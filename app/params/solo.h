// Solo, as every page with "S" buttons and the console's solo keys see it.
#pragma once

#include <cstdint>

#include "app/params/store.h"

namespace vorante {

// The solo parameter of a channel: code 236, except MAIN R, whose solo is the right feed.
unsigned solo_id(int kind, int index);

// A solo value is active with bit 14 clear and a level that is not off.
constexpr bool is_solo_active(uint16_t value) { return (value & 0x4000) == 0 && (value & 0x3FFF) != 0; }

bool is_soloed(const param_store& store, int kind, int index);

// Solo on (0 dB) or off for a channel: MAIN L and MAIN R solo on one feed and silence the
// other quietly; every other channel sets both feeds, keeping the flag bits.
void solo_write(param_store& store, int kind, int index, bool on);

}  // namespace vorante
