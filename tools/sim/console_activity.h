// What happens on the console without anyone at the program: meters that follow a
// programme, and an engineer who rides faders, mutes channels and touches the EQ.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "app/params/ids.h"
#include "app/protocol/frame.h"

namespace vorante::sim {

// Meters move at the rate the program's strips redraw them.
constexpr uint32_t meter_period_ms = 100;
// However long a tick was late, at most this many moves are made at once.
constexpr int max_moves_per_tick = 20;

constexpr int meter_word_count = last_meter_id - first_meter_id + 1;  // 52 IDs, two bytes each
constexpr int8_t meter_floor_db = -128;                              // no signal

class console_activity {
 public:
  console_activity(uint32_t seed, bool meters, double moves_per_second, uint32_t now);

  // New meter words when a meter period has passed (empty otherwise). The values
  // decide which channels carry signal: a muted or closed channel still shows its input.
  std::vector<id_value> meters_due(uint32_t now);
  // The MAIN output level word (ID 3179): the MAIN L (low byte) and MAIN R (high byte)
  // percentages, breathing with the programme so that the MAIN meters move; due with
  // every meter period.
  id_value main_levels(uint32_t now) const;
  // The moves an engineer made since the last call, each a changed (ID, value).
  std::vector<id_value> moves_due(std::span<const uint16_t, param_count> values, uint32_t now);

  bool meters_on() const { return meters_; }

  // One meter byte of a programme level at time t (ms) for a channel with this base level;
  // exposed so the shape can be checked without the random part.
  static int8_t programme_level(int base_db, double phase, uint32_t t);

 private:
  id_value move(std::span<const uint16_t, param_count> values);

  std::mt19937 rng_;
  bool meters_;
  double rate_;
  uint32_t last_meter_ = 0;
  uint32_t last_move_ = 0;
  double move_budget_ = 0;
  // Per meter byte: the level the channel sits around (meter_floor_db for no signal) and
  // a phase so channels do not breathe together.
  std::array<int8_t, meter_word_count * 2> base_{};
  std::array<double, meter_word_count * 2> phase_{};
};

}  // namespace vorante::sim
