#include "tools/sim/console_activity.h"

#include <algorithm>
#include <cmath>

#include "app/params/convert.h"

namespace vorante::sim {

namespace {

// Inputs that carry a source on a typical stage (the rest of the 26 sit idle), and the
// buses; bytes follow the meter layout: input i at 2 + i/2, 15 + i/2, 28 + i/2; effect
// returns at 41, 42; buses at 43 + b/2.
constexpr int live_inputs = 14;

int meter_byte_index(int id, int byte) { return (id - first_meter_id) * 2 + byte; }

constexpr int eq_gain_min = 380;   // -12 dB
constexpr int eq_gain_max = 620;   // +12 dB
constexpr int fader_min = 600;     // -60 dB: below this an engineer pulls the fader off
constexpr int fader_max = 1250;    // +5 dB

// The MAIN percentages swing round this level (about 32 % to 200 %), L and R a little apart.
constexpr int main_level_base_db = -4;
constexpr std::array<double, 2> main_level_phase{0.4, 1.7};
constexpr int main_percent_max = 255;

}  // namespace

console_activity::console_activity(uint32_t seed, bool meters, double moves_per_second, uint32_t now)
    : rng_(seed), meters_(meters), rate_(std::max(0.0, moves_per_second)), last_meter_(now), last_move_(now) {
  base_.fill(meter_floor_db);
  std::uniform_int_distribution<int> level(-30, -8);
  std::uniform_real_distribution<double> phase(0.0, 6.283);
  for (double& p : phase_) p = phase(rng_);
  auto set_base = [&](int id, int byte, int db) { base_[static_cast<std::size_t>(meter_byte_index(id, byte))] = static_cast<int8_t>(db); };
  for (int i = 0; i < live_inputs; ++i) {
    const int db = level(rng_);
    set_base(2 + i / 2, i & 1, db);          // level meter
    set_base(15 + i / 2, i & 1, db - 4);     // after the gate and EQ
    set_base(28 + i / 2, i & 1, db - 2);     // after the compressor
  }
  set_base(41, 0, -24);
  set_base(42, 0, -26);
  for (int b = 0; b < bus_count; ++b) set_base(43 + b / 2, b & 1, b >= main_l_bus ? -12 : level(rng_));
}

int8_t console_activity::programme_level(int base_db, double phase, uint32_t t) {
  if (base_db <= meter_floor_db) return meter_floor_db;
  // A phrase-length swell and a beat-length pulse: music, not noise.
  const double s = static_cast<double>(t) / 1000.0;
  const double level = base_db + 6.0 * std::sin(s * 0.7 + phase) + 4.0 * std::fabs(std::sin(s * 3.9 + 2 * phase));
  return static_cast<int8_t>(std::clamp(static_cast<int>(std::lround(level)), -60, 6));
}

std::vector<id_value> console_activity::meters_due(uint32_t now) {
  if (!meters_ || now - last_meter_ < meter_period_ms) return {};
  last_meter_ = now;
  std::uniform_int_distribution<int> jitter(-2, 2);
  std::vector<id_value> out;
  out.reserve(meter_word_count);
  for (int id = first_meter_id; id <= last_meter_id; ++id) {
    uint16_t word = 0;
    for (int byte = 0; byte < 2; ++byte) {
      const auto k = static_cast<std::size_t>(meter_byte_index(id, byte));
      int8_t db = programme_level(base_[k], phase_[k], now);
      if (db != meter_floor_db) db = static_cast<int8_t>(std::clamp(db + jitter(rng_), -60, 6));
      word = static_cast<uint16_t>(word | (static_cast<uint8_t>(db) << (8 * byte)));
    }
    out.push_back({static_cast<uint16_t>(id), word});
  }
  return out;
}

id_value console_activity::main_levels(uint32_t now) const {
  uint16_t word = 0;
  for (int byte = 0; byte < 2; ++byte) {
    const int db = programme_level(main_level_base_db, main_level_phase[static_cast<std::size_t>(byte)], now);
    const long percent = std::lround(100.0 * std::pow(10.0, db / 20.0));
    word = static_cast<uint16_t>(word | (std::clamp<long>(percent, 1, main_percent_max) << (8 * byte)));
  }
  return {main_level_percent_id, word};
}

std::vector<id_value> console_activity::moves_due(std::span<const uint16_t, param_count> values, uint32_t now) {
  const uint32_t elapsed = now - last_move_;
  last_move_ = now;
  if (rate_ <= 0) return {};
  move_budget_ = std::min(move_budget_ + rate_ * elapsed / 1000.0, static_cast<double>(max_moves_per_tick));
  std::vector<id_value> out;
  while (move_budget_ >= 1.0) {
    move_budget_ -= 1.0;
    out.push_back(move(values));
  }
  return out;
}

id_value console_activity::move(std::span<const uint16_t, param_count> values) {
  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_int_distribution<int> input(0, live_inputs - 1);
  const int what = percent(rng_);
  if (what < 60) {
    // A fader ride: inputs mostly, sometimes a bus.
    const bool bus = percent(rng_) < 20;
    const uint16_t id = bus ? param_id(kind_bus, std::uniform_int_distribution<int>(0, bus_count - 1)(rng_), code_bus_fader)
                            : param_id(kind_input, input(rng_), code_input_fader);
    const uint16_t old = values[id];
    int level = old & level_mask;
    if (level < fader_min) {
      level = 1000;  // brought up from off to a working level
    } else {
      level += std::uniform_int_distribution<int>(-30, 30)(rng_);
      level = std::clamp(level, fader_min, fader_max);
    }
    return {id, static_cast<uint16_t>((old & level_flags) | level)};
  }
  if (what < 75) {
    const uint16_t id = param_id(kind_input, input(rng_), code_input_on);
    return {id, static_cast<uint16_t>(values[id] == 0 ? 1 : 0)};
  }
  // An EQ touch: the gain of one of the four parametric bands.
  const int band = std::uniform_int_distribution<int>(0, input_band_count - 1)(rng_);
  constexpr int gain_of_band = 2;  // type, frequency, gain, Q
  const uint16_t id = param_id(kind_input, input(rng_), code_input_bands + codes_per_band * band + gain_of_band);
  const int gain = std::clamp(values[id] + 5 * std::uniform_int_distribution<int>(-3, 3)(rng_), eq_gain_min, eq_gain_max);
  return {id, static_cast<uint16_t>(gain)};
}

}  // namespace vorante::sim
