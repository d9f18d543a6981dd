// The meter bridge without widgets: which channels it shows, the level each bar reads from
// the store, the 13-segment scale, the ballistics and where the bars sit.
#pragma once

#include <array>
#include <vector>

#include "app/params/ids.h"

namespace vorante {

class param_store;

constexpr int bridge_bar_count = 31;
constexpr int bridge_bar_max = 120;
constexpr int bridge_fall_per_tick = 10;
constexpr int bridge_tick_ms = 100;
constexpr int bridge_request_period_ms = 50;

// Inputs 1..16, the three stereo inputs by their left member, both effect returns, the
// eight aux buses and MAIN L and R.
inline constexpr std::array<channel_ref, bridge_bar_count> bridge_channels{{
    {1, 0},  {1, 1},  {1, 2},  {1, 3},  {1, 4},  {1, 5},  {1, 6},  {1, 7},
    {1, 8},  {1, 9},  {1, 10}, {1, 11}, {1, 12}, {1, 13}, {1, 14}, {1, 15},
    {1, 16}, {1, 18}, {1, 24}, {2, 0},  {2, 1},  {3, 0},  {3, 1},  {3, 2},
    {3, 3},  {3, 4},  {3, 5},  {3, 6},  {3, 7},  {3, 8},  {3, 9},
}};

// The level a bar shows, in dB: the meter byte; for a stereo input the louder of its two
// bytes; for a bus the byte after its fader (MAIN L and R after their output percentage).
int bridge_level_db(const param_store& store, int kind, int index);

// -31 and below is segment 0, 14 and above segment 12, in the uneven steps between.
int bridge_segment(int db);

// The bar rises at once and falls by ten per tick.
constexpr int bridge_next_value(int old_value, int segment) {
  const int target = segment * 10;
  const int fallen = old_value - bridge_fall_per_tick;
  return fallen > target ? fallen : target;
}

// Left edges of bars of the given widths spread over `inner_width` with gaps before,
// between and after them that differ by at most one pixel.
std::vector<int> bridge_bar_positions(int inner_width, const std::vector<int>& widths);

}  // namespace vorante
