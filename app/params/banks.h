// The five fader banks: which channel sits in which strip slot. The strips page, the
// editor frame and the console's layer keys all read this one table.
#pragma once

#include <array>
#include <string_view>

#include "app/params/ids.h"

namespace vorante {

constexpr int bank_count = 5;
constexpr int max_bank_slots = 8;

struct fader_bank {
  std::string_view name;
  std::array<channel_ref, max_bank_slots> channels;
  int slot_count;
};

inline constexpr std::array<fader_bank, bank_count> fader_banks = {{
    {"CH1-8", {{{1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, {1, 7}}}, 8},
    {"CH9-16", {{{1, 8}, {1, 9}, {1, 10}, {1, 11}, {1, 12}, {1, 13}, {1, 14}, {1, 15}}}, 8},
    {"ST-FX", {{{1, 16}, {1, 18}, {2, 0}, {2, 1}, {1, 24}}}, 5},
    {"AUX1-8", {{{3, 0}, {3, 1}, {3, 2}, {3, 3}, {3, 4}, {3, 5}, {3, 6}, {3, 7}}}, 8},
    {"DCA1-4", {{{4, 0}, {4, 1}, {4, 2}, {4, 3}}}, 4},
}};

// The slot of (kind, index) in bank b, or -1.
constexpr int bank_slot_of(int b, int kind, int index) {
  if (b < 0 || b >= bank_count) return -1;
  const fader_bank& bank = fader_banks[b];
  for (int s = 0; s < bank.slot_count; ++s)
    if (bank.channels[s].kind == kind && bank.channels[s].index == index) return s;
  return -1;
}

}  // namespace vorante
