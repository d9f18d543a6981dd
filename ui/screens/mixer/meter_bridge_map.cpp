#include "ui/screens/mixer/meter_bridge_map.h"

#include <algorithm>
#include <cstdint>

#include "app/params/levels.h"
#include "app/params/store.h"

namespace vorante {

namespace {

constexpr int bridge_segment_count = 13;  // 0..12, ten bar units each

// Upper end (inclusive) of segments 0..11; above the last is segment 12.
constexpr std::array<int, bridge_segment_count - 1> segment_tops{-31, -21, -11, -8, -5, -3, -1, 1, 3, 6, 9, 13};

int8_t meter_byte(const param_store& store, int id, int byte) {
  const uint16_t word = store.get(static_cast<unsigned>(id));
  return static_cast<int8_t>(byte == 0 ? word & 0xFF : word >> 8);
}

}  // namespace

int bridge_level_db(const param_store& store, int kind, int index) {
  const meter_ref m = meter_id(kind, index);
  if (m.id < 0) return -128;
  const int8_t own = meter_byte(store, m.id, m.byte);
  if (is_fixed_stereo_left(kind, index)) return std::max(own, meter_byte(store, m.id, 1));
  if (kind == kind_bus) {
    const unsigned fader = param_id(kind_bus, index, code_fader);
    return meter_after_fader(static_cast<uint8_t>(own), scaled_main_level(store, fader));
  }
  return own;
}

int bridge_segment(int db) {
  for (int s = 0; s < static_cast<int>(segment_tops.size()); ++s)
    if (db <= segment_tops[s]) return s;
  return bridge_segment_count - 1;
}

std::vector<int> bridge_bar_positions(int inner_width, const std::vector<int>& widths) {
  int total = 0;
  for (const int w : widths) total += w;
  const int gaps = static_cast<int>(widths.size()) + 1;
  // Too narrow a row puts the bars edge to edge rather than on top of each other.
  const int spare = std::max(0, inner_width - total);
  // Gap k ends at (k + 1) * spare / gaps: the pixels that do not divide fall evenly
  // along the row instead of piling up at its right end.
  auto gap_end = [&](int k) { return static_cast<int>(static_cast<long long>(k) * spare / gaps); };
  std::vector<int> x;
  x.reserve(widths.size());
  int at = 0;
  for (std::size_t k = 0; k < widths.size(); ++k) {
    at += gap_end(static_cast<int>(k) + 1) - gap_end(static_cast<int>(k));
    x.push_back(at);
    at += widths[k];
  }
  return x;
}

}  // namespace vorante
