#include "app/params/levels.h"

#include <algorithm>
#include <cmath>

#include "app/params/convert.h"
#include "app/params/ids.h"
#include "app/params/store.h"

namespace vorante {

namespace {

constexpr int meter_floor_db = -120;
constexpr int meter_ceiling_db = 100;
constexpr int max_scaled_level = 1300;   // +10 dB
constexpr double min_amplitude = 0.000001;  // -120 dB, i.e. off

}  // namespace

int meter_after_fader(uint8_t meter_byte, uint16_t fader_raw) {
  // Integer division truncates toward zero, as the meters expect.
  const int gain_db = ((fader_raw & level_mask) - level_zero_db) / 10;
  return std::clamp(static_cast<int8_t>(meter_byte) + gain_db, meter_floor_db, meter_ceiling_db);
}

uint16_t scale_level_by_percent(uint16_t level_raw, int percent) {
  // Levels are tenths of a dB: amplitude = 10^(tenths / 200).
  const double x = percent / 100.0 * std::pow(10.0, ((level_raw & level_mask) - level_zero_db) / 200.0);
  const long tenths = std::lround(200 * std::log10(std::max(x, min_amplitude)));
  const long level = std::min<long>(max_scaled_level, tenths + level_zero_db);
  return static_cast<uint16_t>(level | (level_raw & level_flags));
}

uint16_t scaled_main_level(const param_store& store, unsigned id) {
  const uint16_t raw = store.get(id);
  switch (id) {
    case main_l_fader_id: return scale_level_by_percent(raw, store.get(main_level_percent_id) & 0xFF);
    case main_r_fader_id: return scale_level_by_percent(raw, store.get(main_level_percent_id) >> 8);
    case headphone_level_id: return scale_level_by_percent(raw, store.get(headphone_percent_id) & 0xFF);
    default: return raw;
  }
}

}  // namespace vorante
