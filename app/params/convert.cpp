#include "app/params/convert.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "app/core/translate.h"
#include "app/params/names.h"
#include "app/params/store.h"

namespace vorante {

namespace {

// Empty rows (scale 0) read as row 0.
constexpr std::array<value_type_info, value_type_count> value_types{{
    {1, 1, 0, 65535, 0, "", 0},          // 0 raw values
    {1, 1, 0, 1, 0, "", 100},            // 1 switches
    {1, 1, -100, 100, 0, "", 0},         // 2 pan
    {1, 1, 0, 60, 0, "", 5},             // 3 input gain
    {10, 1, 0, 100, 1, "", 1},           // 4 input delay
    {1, 1, -80, 0, 0, "dB", 5},          // 5 gate threshold
    {1, 1, 3, 200, 0, "mS", 0},          // 6 gate attack
    {1, 50, 0, 2000, 0, "mS", 0},        // 7 gate hold
    {1, 1, 0, 5, 0, "", 0},              // 8 gate decay setting, stepped by index
    {10, 1, -800, 0, 0, "", 0},          // 9 unused
    {10, 5, -800, 0, 1, "dB", 5},        // 10 compressor threshold
    {10, 100, 30, 10000, 1, "mS", 1},    // 11 compressor attack
    {100, 1, 100, 4100, 2, "", 5},       // 12 compressor ratio
    {10, 500, 100, 50000, 0, "mS", 1},   // 13 compressor release
    {10, 1, 0, 200, 1, "dB", 0},         // 14 make-up gain
    {10, 1, -1200, 100, 1, "dB", 1},     // 15 fader levels
    {10, 1, -1200, 0, 1, "dB", 1},       // 16 send and solo levels
    {1, 1, 0, 65535, 0, "", 100},        // 17 high-pass type/slope code
    {1, 1, 0, 65535, 0, "", 100},        // 18 low-pass type/slope code
    {10, 1, 196, 200000, 0, "Hz", 0},    // 19 high-pass frequency
    {10, 1, 197, 206000, 0, "Hz", 0},    // 20 low-pass frequency
    {10, 1, 197, 200000, 0, "Hz", 0},    // 21 parametric EQ frequency
    {10, 1, -120, 120, 1, "dB", 0},      // 22 parametric EQ gain
    {100, 1, 60, 2808, 2, "", 0},        // 23 parametric EQ Q
    {10, 1, 197, 200000, 0, "Hz", 0},    // 24 graphic EQ frequency
    {10, 1, -120, 120, 1, "dB", 0},      // 25 graphic EQ gain
    {100, 1, 60, 2808, 2, "", 0},        // 26 graphic EQ Q
    {1, 1, 1, 32, 0, "", 0},             // 27 effect type
    {0, 0, 0, 0, 0, "", 0},              // 28 effect parameter 1 (rules by effect type)
    {0, 0, 0, 0, 0, "", 0},              // 29 effect parameter 2 (rules by effect type)
    {0, 0, 0, 0, 0, "", 0},              // 30 effect parameter 3
    {0, 0, 0, 0, 0, "", 0},              // 31 effect parameter 4
    {1, 1, 1, 32, 0, "", 0},             // 32 effect value 1..32
    {0, 0, 0, 0, 0, "", 0},              // 33
    {0, 0, 0, 0, 0, "", 0},              // 34
    {0, 0, 0, 0, 0, "", 0},              // 35
    {0, 0, 0, 0, 0, "", 0},              // 36
    {0, 0, 0, 0, 0, "", 0},              // 37
    {10, 1, 0, 400, 1, "mS", 1},         // 38 output delay
    {1, 1, 0, 1, 0, "", 50},             // 39 phase switch
    {0, 0, 0, 0, 0, "", 0},              // 40 bus state
    {0, 0, 0, 0, 0, "", 0},              // 41
    {0, 0, 0, 0, 0, "", 0},              // 42
    {1, 1, 0, 100, 0, "", 5},            // 43 percentages
    {1, 1, 0, 15, 0, "", 1},             // 44 small counts
}};

// ---- Ladders: the values an encoder steps through, in physical units. ----

template <std::size_t n>
constexpr std::array<double, n> evenly_spaced(int first_tenths, int step_tenths) {
  std::array<double, n> a{};
  for (std::size_t i = 0; i < n; ++i)
    a[i] = (first_tenths + static_cast<int>(i) * step_tenths) / 10.0;
  return a;
}

constexpr auto threshold_ladder = evenly_spaced<161>(-800, 5);  // -80.0 .. 0.0 dB
constexpr auto eq_gain_ladder = evenly_spaced<241>(-120, 1);    // -12.0 .. +12.0 dB

constexpr std::array<double, 41> ratio_ladder{
    1,   1.03, 1.05, 1.07, 1.1, 1.15, 1.2, 1.25, 1.3, 1.35, 1.4, 1.5, 1.6, 1.7,
    1.8, 1.9,  2,    2.3,  2.5, 2.7,  3,   3.3,  3.5, 3.7,  4,   4.3, 4.5, 4.7,
    5,   5.3,  5.5,  5.7,  6,   7,    8,   10,   12,  16,   20,  40,  60};

// Fader levels; sends and solo levels stop at 0 dB (the first 49 entries).
constexpr std::array<double, 61> fader_ladder{
    -120,  -110,  -100,  -90,   -80,   -70,   -60,   -50,   -48.3, -46.7, -45,
    -43.3, -41.7, -40,   -38.6, -37.1, -35.7, -34.3, -32.9, -31.4, -30,   -28.3,
    -26.7, -25,   -23.3, -21.7, -20,   -18.3, -16.7, -15,   -13.3, -11.7, -10,
    -9.3,  -8.6,  -7.9,  -7.1,  -6.4,  -5.7,  -5,    -4.4,  -3.9,  -3.3,  -2.8,
    -2.2,  -1.7,  -1.1,  -0.6,  0,     0.7,   1.4,   2.1,   2.9,   3.6,   4.3,
    5,     6,     7,     8,     9,     10};
constexpr std::size_t send_ladder_size = 49;

// About 1/24 octave apart; the filters start one entry lower (19.6 Hz) than the EQ bands.
constexpr std::array<double, 237> frequency_ladder{
    19.6,  19.7,  20,    20.6,  21.2,  21.9,  22.5,  23.2,  23.9,  24.6,  25.3,  26.1,
    26.9,  27.7,  28.5,  29.4,  30.3,  31.2,  32.1,  33.1,  34,    35.1,  36.1,  37.2,
    38.3,  39.5,  40.7,  41.9,  43.1,  44.4,  45.8,  47.1,  48.5,  50,    51.5,  53,
    54.6,  56.3,  58,    59.7,  61.5,  63.3,  65.2,  67.2,  69.2,  71.3,  73.4,  75.6,
    77.9,  80.2,  82.6,  85.1,  87.7,  90.3,  93,    95.8,  98.7,  102,   105,   108,
    111,   114,   118,   121,   125,   129,   133,   137,   141,   145,   149,   154,
    158,   163,   168,   173,   178,   184,   189,   195,   201,   207,   213,   219,
    226,   233,   240,   247,   254,   262,   270,   278,   286,   295,   303,   313,
    322,   332,   342,   352,   362,   373,   384,   396,   408,   420,   433,   446,
    459,   473,   487,   502,   517,   532,   548,   564,   581,   599,   617,   635,
    654,   674,   694,   715,   736,   759,   781,   805,   829,   854,   879,   906,
    933,   961,   990,   1019,  1050,  1082,  1114,  1147,  1182,  1217,  1254,  1291,
    1330,  1370,  1411,  1454,  1497,  1542,  1588,  1636,  1685,  1736,  1788,  1841,
    1897,  1953,  2012,  2072,  2135,  2199,  2265,  2333,  2402,  2475,  2549,  2625,
    2704,  2785,  2869,  2955,  3043,  3135,  3229,  3326,  3425,  3528,  3634,  3743,
    3855,  3971,  4090,  4213,  4339,  4469,  4603,  4742,  4884,  5030,  5181,  5337,
    5497,  5662,  5831,  6006,  6187,  6372,  6563,  6760,  6963,  7172,  7387,  7609,
    7837,  8072,  8314,  8564,  8821,  9085,  9358,  9639,  9928,  10225, 10532, 10848,
    11174, 11509, 11854, 12210, 12576, 12953, 13342, 13742, 14154, 14579, 15016, 15467,
    15931, 16409, 16901, 17408, 17930, 18468, 19022, 19593, 20000};

constexpr std::array<double, 67> q_ladder{
    0.6,    0.636,  0.674,  0.714,  0.757,  0.802,  0.851,  0.902,  0.956,  1,
    1.074,  1.138,  1.207,  1.279,  1.356,  1.437,  1.524,  1.615,  1.712,  1.815,
    1.924,  2.039,  2.162,  2.291,  2.429,  2.575,  2.729,  2.893,  3.067,  3.251,
    3.446,  3.652,  3.872,  4.104,  4.351,  4.611,  4.888,  5.181,  5.492,  5.822,
    6.171,  6.541,  6.934,  7.35,   7.791,  8.258,  8.754,  9.279,  9.836,  10.427,
    11.052, 11.715, 12.418, 13.163, 13.953, 14.79,  15.678, 16.618, 17.615, 18.672,
    19.792, 20.98,  22.239, 23.573, 24.988, 26.487, 28.076};

// Ties between two entries are decided on a margin far below any ladder spacing, so a
// value printed exactly halfway is not pushed either way by binary fractions.
constexpr double tie_margin = 1e-9;

constexpr std::array<int, 5> gate_setting_steps{4, 6, 8, 16, 32};
constexpr int gate_setting_floor = 2;  // the value below the first step

constexpr uint16_t frequency_tenths_flag = 0x8000;
constexpr int pan_centre = 100;
constexpr double pan_nudge = 0.001;
constexpr int eq_gain_zero = 500;
constexpr uint16_t threshold_negative_flag = 0x8000;
constexpr double ratio_infinite_above = 40;
constexpr int frequency_off_below = 197;      // tenths of a hertz
constexpr int frequency_off_above = 200000;
constexpr int effect_type_code = code_fx_type;

// Nearest integer, halves away from zero; bounded so that out-of-range input cannot
// overflow the conversion.
long round_bounded(double x) {
  if (std::isnan(x)) return 0;
  return std::lround(std::clamp(x, -1e9, 1e9));
}

uint16_t to_u16(long v) { return static_cast<uint16_t>(std::clamp<long>(v, 0, 0xFFFF)); }

std::string format(const char* pattern, auto... args) {
  char text[64];
  std::snprintf(text, sizeof text, pattern, args...);
  return text;
}

std::string with_unit(std::string text, const char* unit, unit_display units) {
  if (units == unit_display::shown) text += unit;
  return text;
}

std::string frequency_text(double hz, unit_display units) {
  const long tenths = round_bounded(10 * hz);
  if (tenths < frequency_off_below || tenths > frequency_off_above) return translate_text("OFF");
  std::string text;
  if (tenths > 9999)
    text = format("%.3gk", hz / 1000);
  else if (tenths >= 1000)
    text = format("%d", static_cast<int>(round_bounded(hz)));
  else
    text = format("%.1f", hz);
  return with_unit(std::move(text), "Hz", units);
}

bool in_range(int t, int first, int last) { return t >= first && t <= last; }

std::string effect_param1_text(int raw, int t, unit_display units) {
  if (!is_effect_type(t)) return "";
  if (in_range(t, 1, 5) || in_range(t, 17, 21)) return with_unit(format("%d", raw), "ms", units);
  if (t == 11 || t == 26 || t == 27) return with_unit(format("%d.%d", raw / 10, raw % 10), "s", units);
  if (t == 12) return format("%d", raw);
  if (in_range(t, 13, 16) || t == 28 || t == 29 || t == 31) return with_unit(format("%d", raw), "Hz", units);
  return with_unit(format("%d", raw * 5), "ms", units);
}

std::string effect_param2_text(int raw, int t, unit_display units) {
  if (!is_effect_type(t)) return "";
  if (in_range(t, 1, 5) || in_range(t, 17, 21)) return with_unit(format("%d.%d", raw / 10, raw % 10), "s", units);
  return with_unit(format("%d", raw), "%", units);
}

std::string default_text(value_type type, uint16_t raw, unit_display units) {
  const value_type_info& row = value_type_row(type);
  const double x = to_physical(type, raw);
  std::string text;
  switch (row.decimals) {
    case 2: text = format("%.2f", x); break;
    case 1: text = format("%.1f", x); break;
    default: text = format("%ld", round_bounded(x)); break;
  }
  return with_unit(std::move(text), row.unit, units);
}

std::string pan_text(uint16_t raw) {
  if (raw < pan_centre) return format("L %d%%", pan_centre - raw);
  if (raw > pan_centre) return format("R %d%%", raw - pan_centre);
  return "L = R";
}

// The effect type of the effect return an effect parameter belongs to; 0 for other IDs.
int effect_type_for(const param_store& store, unsigned id) {
  const param_info p = info_of(id);
  if (p.kind != kind_fx) return 0;
  return store.get(param_id(kind_fx, p.index, effect_type_code));
}

bool is_ladder_type(value_type type) { return !ladder_of(type).empty(); }

// One step through the type's ladder, from the entry nearest to the current value.
uint16_t step_on_ladder(value_type type, uint16_t raw, int delta) {
  const std::span<const double> ladder = ladder_of(type);
  int i = nearest_ladder_index(ladder, to_physical(type, raw));
  i = std::clamp(delta >= 0 ? i + 1 : i - 1, 0, static_cast<int>(ladder.size()) - 1);
  return to_raw(type, ladder[i]);
}

uint16_t step_filter_code(value_type type, uint16_t raw, int delta, int mode) {
  const bool low_pass = type == value_type::lowpass_filter;
  const std::optional<filter_place> at = find_filter_code(raw);
  // A code outside the table (a first-order filter, say) restarts at the first row so the
  // user can always get back to a filter the editor can show.
  if (!at) return static_cast<uint16_t>(filter_code_at(low_pass, 0, 0));
  const int dir = delta >= 0 ? 1 : -1;
  if (mode != step_field_1) {
    const int t = (at->filter_type + dir + filter_type_count) % filter_type_count;
    return static_cast<uint16_t>(filter_code_at(low_pass, at->row, t));
  }
  const int rows = static_cast<int>(filter_rows.size());
  int row = at->row;
  for (int k = 0; k < rows; ++k) {
    row = (row + dir + rows) % rows;
    if (filter_rows[row].selectable) break;
  }
  return static_cast<uint16_t>(filter_code_at(low_pass, row, at->filter_type));
}

// Integer position of a plain value: physical x scale, or the index of a gate decay setting.
long plain_position(value_type type, uint16_t raw) {
  if (type == value_type::gate_decay) return gate_setting_index(raw);
  return round_bounded(to_physical(type, raw) * value_type_row(type).scale);
}

}  // namespace

const value_type_info& value_type_row(value_type type) {
  const int row = type_number(type);
  if (row >= value_type_count || value_types[row].scale == 0) return value_types[0];
  return value_types[row];
}

const value_type_info& param_type_row(unsigned id) { return value_type_row(param_value_type(id)); }

std::span<const double> ladder_of(value_type type) {
  switch (type) {
    case value_type::compressor_threshold: return threshold_ladder;
    case value_type::compressor_ratio: return ratio_ladder;
    case value_type::fader_level: return fader_ladder;
    case value_type::send_level: return std::span<const double>(fader_ladder).first(send_ladder_size);
    case value_type::highpass_frequency:
    case value_type::lowpass_frequency: return frequency_ladder;
    case value_type::peq_frequency:
    case value_type::geq_frequency: return std::span<const double>(frequency_ladder).subspan(1);
    case value_type::peq_gain:
    case value_type::geq_gain: return eq_gain_ladder;
    case value_type::peq_q:
    case value_type::geq_q: return q_ladder;
    default: return {};
  }
}

int nearest_ladder_index(std::span<const double> ladder, double x) {
  if (ladder.empty()) return 0;
  const int last = static_cast<int>(ladder.size()) - 1;
  if (x <= ladder.front()) return 0;
  if (x >= ladder.back()) return last;
  // First entry above x; the one before it is at or below x.
  const int upper = static_cast<int>(std::upper_bound(ladder.begin(), ladder.end(), x) - ladder.begin());
  const double below = x - ladder[upper - 1];
  const double above = ladder[upper] - x;
  return above <= below + tie_margin ? upper : upper - 1;
}

int gate_setting_index(int value) {
  int index = 0;
  for (int step : gate_setting_steps)
    if (value >= step) ++index;
  return index;
}

int gate_setting_value(int index) {
  if (index < 1) return gate_setting_floor;
  if (index > static_cast<int>(gate_setting_steps.size())) return gate_setting_steps.back();
  return gate_setting_steps[index - 1];
}

double to_physical(value_type type, uint16_t raw) {
  switch (type) {
    case value_type::pan: {
      const double x = raw - pan_centre;
      if (raw > pan_centre) return x + pan_nudge;
      if (raw < pan_centre) return x - pan_nudge;
      return x;
    }
    case value_type::input_delay:
    case value_type::compressor_attack:
    case value_type::compressor_release: return raw / 10.0;
    case value_type::output_delay: return static_cast<int16_t>(raw) / 10.0;
    case value_type::gate_threshold: return -static_cast<double>(raw);
    case value_type::compressor_threshold:
      if (raw & threshold_negative_flag) return -(raw & 0x7FFF) / 10.0;
      return raw / 10.0;
    case value_type::compressor_ratio:
    case value_type::peq_q:
    case value_type::geq_q: return raw / 100.0;
    case value_type::makeup_gain:
    case value_type::fader_level:
    case value_type::send_level: return ((raw & level_mask) - level_zero_db) / 10.0;
    case value_type::highpass_frequency:
    case value_type::lowpass_frequency:
    case value_type::peq_frequency:
    case value_type::geq_frequency:
      if (raw & frequency_tenths_flag) return (raw & 0x7FFF) / 10.0;
      return raw;
    case value_type::peq_gain:
    case value_type::geq_gain: return (raw - eq_gain_zero) / 10.0;
    default: return raw;
  }
}

uint16_t to_raw(value_type type, double x) {
  switch (type) {
    case value_type::pan:
      if (x > 0) return to_u16(pan_centre + round_bounded(x + pan_nudge));
      if (x < 0) return to_u16(pan_centre + round_bounded(x - pan_nudge));
      return pan_centre;
    case value_type::input_delay:
    case value_type::compressor_attack:
    case value_type::compressor_release: return to_u16(round_bounded(10 * x));
    case value_type::output_delay:  // signed tenths
      return static_cast<uint16_t>(static_cast<int16_t>(std::clamp<long>(round_bounded(10 * x), INT16_MIN, INT16_MAX)));
    case value_type::gate_threshold: return to_u16(-round_bounded(x));
    case value_type::compressor_threshold: {
      const long r = std::clamp<long>(round_bounded(10 * x), -0x7FFF, 0x7FFF);
      return r >= 0 ? static_cast<uint16_t>(r) : static_cast<uint16_t>(threshold_negative_flag | -r);
    }
    case value_type::compressor_ratio:
    case value_type::peq_q:
    case value_type::geq_q: return to_u16(round_bounded(100 * x));
    case value_type::makeup_gain:
    case value_type::fader_level:
    case value_type::send_level:
      // Kept inside bits 0..13: a level out of range must not turn into flags.
      return static_cast<uint16_t>(std::clamp<long>(round_bounded(10 * x) + level_zero_db, 0, level_mask));
    case value_type::highpass_frequency:
    case value_type::lowpass_frequency:
    case value_type::peq_frequency:
    case value_type::geq_frequency:
      if (x < 0) return 0;
      if (x < 100) return static_cast<uint16_t>(frequency_tenths_flag | round_bounded(10 * x));
      return to_u16(round_bounded(x));
    case value_type::peq_gain:
    case value_type::geq_gain: return to_u16(round_bounded(10 * x) + eq_gain_zero);
    default: return to_u16(round_bounded(x));
  }
}

std::string value_text_of_type(value_type type, uint16_t raw, int effect_type, unit_display units) {
  switch (type) {
    case value_type::pan: return pan_text(raw);
    case value_type::compressor_ratio: {
      const double ratio = to_physical(type, raw);
      if (ratio > ratio_infinite_above) return translate_text("Infinity");
      return format("1 : %g", ratio);
    }
    case value_type::makeup_gain:
    case value_type::fader_level:
    case value_type::send_level:
      if ((raw & level_mask) == 0) return "-\u221E";
      return default_text(type, raw, units);
    case value_type::highpass_filter:
    case value_type::lowpass_filter: {
      filter_texts t = filter_text(raw);
      return t.slope.empty() ? t.type : t.type + " " + t.slope;
    }
    case value_type::highpass_frequency:
    case value_type::lowpass_frequency:
    case value_type::peq_frequency:
    case value_type::geq_frequency: return frequency_text(to_physical(type, raw), units);
    case value_type::peq_gain:
    case value_type::geq_gain: return format("%.1fdB", to_physical(type, raw));
    case value_type::effect_type: return effect_type_name(raw);
    case value_type::effect_param_1: return effect_param1_text(raw, effect_type, units);
    case value_type::effect_param_2: return effect_param2_text(raw, effect_type, units);
    case value_type::phase: return raw == 0 ? "180" : "0";
    default: return default_text(type, raw, units);
  }
}

std::string value_text(const param_store& store, unsigned id) {
  return value_text_of_type(param_value_type(id), store.get(id), effect_type_for(store, id));
}

std::string value_text_plain(const param_store& store, unsigned id) {
  return value_text_of_type(param_value_type(id), store.get(id), effect_type_for(store, id),
                            unit_display::hidden);
}

uint16_t step_value_of_type(value_type type, uint16_t raw, int delta, int mode, int effect_type) {
  const bool up = delta >= 0;
  if (is_level_type(type) && (mode == step_field_1 || mode == step_field_2)) {
    const uint16_t flag = mode == step_field_1 ? level_flag_14 : level_flag_15;
    return delta > 0 ? static_cast<uint16_t>(raw | flag) : static_cast<uint16_t>(raw & ~flag);
  }
  switch (type) {
    case value_type::on_off: return up ? 1 : 0;
    case value_type::highpass_filter:
    case value_type::lowpass_filter: return step_filter_code(type, raw, delta, mode);
    case value_type::effect_param_1: return static_cast<uint16_t>(std::clamp(raw + delta, 0, effect_param1_max(effect_type)));
    case value_type::effect_param_2: return static_cast<uint16_t>(std::clamp(raw + delta, 0, effect_param2_max(effect_type)));
    default: break;
  }
  const uint16_t flags = is_level_type(type) ? (raw & level_flags) : 0;
  if (is_ladder_type(type)) return static_cast<uint16_t>(step_on_ladder(type, raw, delta) | flags);

  const value_type_info& row = value_type_row(type);
  const long v = std::clamp<long>(plain_position(type, raw) + (up ? row.step : -row.step), row.min, row.max);
  if (type == value_type::gate_decay) return static_cast<uint16_t>(gate_setting_value(static_cast<int>(v)));
  return static_cast<uint16_t>(to_raw(type, static_cast<double>(v) / row.scale) | flags);
}

uint16_t step_value(const param_store& store, unsigned id, int delta, int mode) {
  return step_value_of_type(param_value_type(id), store.get(id), delta, mode, effect_type_for(store, id));
}

uint16_t step_param(param_store& store, unsigned id, int delta, int mode) {
  const uint16_t value = step_value(store, id, delta, mode);
  if (value != store.get(id)) store.linked_set(id, value);
  return value;
}

int position_of(value_type type, uint16_t raw) {
  const std::span<const double> ladder = ladder_of(type);
  if (!ladder.empty()) {
    const int last = static_cast<int>(ladder.size()) - 1;
    return nearest_ladder_index(ladder, to_physical(type, raw)) * 100 / last;
  }
  const value_type_info& row = value_type_row(type);
  if (row.min == row.max) return 0;
  const long v = std::clamp<long>(plain_position(type, raw), row.min, row.max);
  return static_cast<int>((v - row.min) * 100 / (row.max - row.min));
}

uint16_t raw_of_position(value_type type, double fraction) {
  const std::span<const double> ladder = ladder_of(type);
  if (ladder.empty()) return 0;
  const int last = static_cast<int>(ladder.size()) - 1;
  const double at = std::isnan(fraction) ? 0.0 : std::clamp(last * fraction, 0.0, static_cast<double>(last));
  return to_raw(type, ladder[static_cast<int>(at)]);
}

}  // namespace vorante
