#include "ui/foundation/fader_math.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/params/convert.h"

namespace vorante {

namespace {

// Zone tops, in twelfths: green up to 7/12, yellow up to 11/12, red above.
constexpr int level_meter_green_top = 7;
constexpr int level_meter_yellow_top = 11;
constexpr double pan_dead_zone = 0.1;  // of the half width, either side of the centre
// Ticks of the dB laws; the 61-point law adds its two marks above 0 dB.
constexpr std::array<int, 8> common_tick_db{-120, -50, -40, -30, -20, -10, -5, 0};
constexpr std::array<int, 2> boost_tick_db{5, 10};

constexpr int min_auto_tick_gap = 4;
constexpr int max_meter_blend = 12;
constexpr double meter_beyond_top = 100;  // a reading above the scale, clamped by the bar
}  // namespace

// The laws are the fader and send level ladders.
std::span<const double> fader_law_61() { return ladder_of(value_type::fader_level); }
std::span<const double> fader_law_49() { return ladder_of(value_type::send_level); }

std::span<const double> fader_law_of(fader_mode mode) {
  switch (mode) {
    case fader_mode::law_61: return fader_law_61();
    case fader_mode::law_49: return fader_law_49();
    default: return {};
  }
}

double law_permille(std::span<const double> law, double value) {
  if (law.size() < 2 || std::isnan(value)) return 0;
  const int steps = static_cast<int>(law.size()) - 1;
  if (value <= law.front()) return 0;
  if (value >= law.back()) return 1000;
  // First entry above the value; the one before it is at or below it.
  const int upper = static_cast<int>(std::upper_bound(law.begin(), law.end(), value) - law.begin());
  const double lo = law[upper - 1];
  const double hi = law[upper];
  const double frac = hi > lo ? (value - lo) / (hi - lo) : 0.0;
  return 1000.0 * ((upper - 1) + frac) / steps;
}

double law_value(std::span<const double> law, double permille) {
  if (law.empty()) return 0;
  if (law.size() == 1) return law.front();
  const int steps = static_cast<int>(law.size()) - 1;
  const double p = std::isnan(permille) ? 0.0 : std::clamp(permille, 0.0, 1000.0);
  const double at = steps * p / 1000.0;
  const int g = static_cast<int>(std::floor(at));
  if (g >= steps) return law.back();
  return law[g] + (law[g + 1] - law[g]) * (at - g);
}

double range_permille(int value, int min, int max) {
  if (max <= min) return 0;
  const double v = std::clamp(value, min, max);
  return (v - min) * 1000.0 / (static_cast<double>(max) - min);
}

int range_value(double permille, int min, int max) {
  if (max <= min) return min;
  const double p = std::isnan(permille) ? 0.0 : std::clamp(permille, 0.0, 1000.0);
  const double v = min + std::floor((static_cast<double>(max) - min) * p / 1000.0);
  return static_cast<int>(std::clamp(v, static_cast<double>(min), static_cast<double>(max)));
}

knob_travel fader_knob_travel(int height, int pad_top, int pad_bottom, int knob_h) {
  const int top = pad_top + knob_h / 2;
  const int bottom = height - pad_bottom - knob_h / 2;
  // A widget too short for its knob still gets a travel, just a flat one.
  return {top, std::max(top, bottom)};
}

int travel_y(knob_travel travel, double permille) {
  const double p = std::clamp(permille, 0.0, 1000.0);
  return travel.bottom - static_cast<int>(std::lround(travel.span() * p / 1000.0));
}

double travel_permille(knob_travel travel, double y) {
  if (travel.span() <= 0) return 0;
  return (travel.bottom - y) * 1000.0 / travel.span();
}

double drag_permille(knob_travel travel, double dy_down) {
  if (travel.span() <= 0) return 0;
  return -dy_down * 1000.0 / travel.span();
}

int_rect knob_rect(int centre_x, int y, int knob_w, int knob_h) {
  return {centre_x - knob_w / 2, y - knob_h / 2, knob_w, knob_h};
}

fader_track fader_track_layout(const track_layout_in& in) {
  const int centre = in.centred ? in.width / 2 : (in.label_width + in.width + in.label_gap) / 2;
  const int x1 = centre + in.track_offset - in.track_width / 2;
  const int y1 = in.pad_top;
  const int y2 = in.height - in.pad_bottom - 1;
  return {centre + in.track_offset, {x1, y1, in.track_width, std::max(0, y2 - y1 + 1)}};
}

int fader_tick_gap(int set_gap, int knob_w, int tick_length, int track_width) {
  if (set_gap >= 0) return set_gap;
  return std::max(min_auto_tick_gap, (knob_w - tick_length - track_width) / 2);
}

fader_scale fader_ticks(fader_mode mode) {
  fader_scale s;
  const std::span<const double> law = fader_law_of(mode);
  if (law.empty()) return s;
  auto add = [&](int db) { s.ticks[s.count++] = {law_permille(law, db), db}; };
  for (int db : common_tick_db) add(db);
  if (mode == fader_mode::law_61)
    for (int db : boost_tick_db) add(db);
  return s;
}

const char* fader_tick_label(int db, std::span<char> out) {
  if (out.empty()) return "";
  if (db <= static_cast<int>(fader_law_61().front()))
    std::snprintf(out.data(), out.size(), "-\u221E");
  else
    std::snprintf(out.data(), out.size(), "%d", db);
  return out.data();
}

double meter_mark_position(int db) {
  if (db < level_meter_marks.front()) return 0;
  if (db > level_meter_marks.back()) return meter_beyond_top;
  for (std::size_t i = 0; i + 1 < level_meter_marks.size(); ++i) {
    const int lo = level_meter_marks[i];
    const int hi = level_meter_marks[i + 1];
    if (db < hi) return static_cast<double>(i) + static_cast<double>(db - lo) / (hi - lo);
  }
  return level_meter_segments;
}

int meter_target(int db, int range) {
  const double x = meter_mark_position(db);
  if (x >= meter_beyond_top) return range;
  const int e = static_cast<int>(x / level_meter_segments * range);
  return std::clamp(e, 0, range);
}

int meter_ballistics(int current, int target, int fall, int range) {
  int e = target;
  if (fall != 0) e = std::max(e, current - fall * range / 100);
  return std::clamp(e, 0, range);
}

double meter_db_of_value(int value, int range) {
  if (range <= 0) return level_meter_marks.front();
  const double x = std::clamp(value, 0, range) * static_cast<double>(level_meter_segments) / range;
  const int f = static_cast<int>(std::floor(x));
  if (f >= level_meter_segments) return level_meter_marks.back();
  return level_meter_marks[f] + (x - f) * (level_meter_marks[f + 1] - level_meter_marks[f]);
}

int meter_line_y(int value, int height, int range) {
  if (range <= 0) return height;
  return height - std::clamp(value, 0, range) * height / range;
}

meter_zones level_meter_zones(int height) {
  const int h = std::max(0, height);
  const int green_h = h * level_meter_green_top / level_meter_segments;
  const int yellow_h = h * level_meter_yellow_top / level_meter_segments - green_h;
  const int red_h = h - green_h - yellow_h;
  auto blend = [](int a, int b) { return std::min({max_meter_blend * 2, a, b}) / 2; };
  return {h - green_h, h - green_h - yellow_h, blend(green_h, yellow_h), blend(yellow_h, red_h)};
}

int pan_value_at(double x, double centre, double half_width, int min, int max) {
  if (half_width <= 0 || max <= min) return min;
  double d = (x - centre) / half_width;
  if (std::abs(d) <= pan_dead_zone) d = 0;
  const long v = std::lround((static_cast<double>(max) - min) * d / 2);
  return static_cast<int>(std::clamp<long>(v, min, max));
}

double pan_value_x(int value, double centre, double half_width, int min, int max) {
  const double mid = (static_cast<double>(min) + max) / 2;
  if (max <= mid) return centre;
  return centre + (std::clamp(value, min, max) - mid) * half_width / (max - mid);
}

}  // namespace vorante
