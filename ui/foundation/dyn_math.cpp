#include "ui/foundation/dyn_math.h"

#include <algorithm>
#include <cmath>

#include "app/params/convert.h"
#include "app/params/ids.h"

namespace vorante {

namespace {

constexpr int dyn_label_gap = 4;
constexpr int dyn_label_chars = 7;
// Ratio drags: below the floor the ratio is 1, past the ceiling it jumps to "infinite".
constexpr double comp_ratio_floor = 1;
constexpr double comp_ratio_ceiling = 40;
constexpr double comp_ratio_limit = 60;
// Shortest hold and decay a drag leaves.
constexpr double gate_min_span = 2;

constexpr int gate_default_marks = 9;
constexpr double gate_time_span = 5000;
constexpr double gate_attack_factor = 10;

std::vector<dyn_mark> labelled(int first, int last, int step) {
  std::vector<dyn_mark> marks;
  for (int v = first; v <= last; v += step) marks.push_back({double(v), std::to_string(v), 0});
  return marks;
}

int trunc_int(double v) { return static_cast<int>(std::trunc(v)); }

// Truncated to a fixed number of decimals, as an integer count of that unit.
long long trunc_units(double v, double per_unit) { return static_cast<long long>(std::trunc(v * per_unit)); }

bool in_square(dyn_point at, dyn_point centre, int r) {
  return at.x >= centre.x - r && at.x <= centre.x + r && at.y >= centre.y - r && at.y <= centre.y + r;
}

uint16_t clamped_raw(value_type type, double physical) {
  const value_type_info& row = value_type_row(type);
  const double lo = double(row.min) / row.scale;
  const double hi = double(row.max) / row.scale;
  return to_raw(type, std::clamp(physical, lo, hi));
}

}  // namespace

int round_half_away(double v) { return static_cast<int>(std::lround(v)); }

std::vector<dyn_mark> comp_default_marks() { return labelled(-80, 20, 20); }
std::vector<dyn_mark> comp_editor_marks() { return labelled(-80, 0, 20); }
std::vector<dyn_mark> gate_level_default_marks() { return labelled(-80, 0, 10); }

std::vector<dyn_mark> gate_time_default_marks(int count) {
  std::vector<dyn_mark> marks;
  const int n = std::max(count, 2);
  // Integer arithmetic, so the marks fall on whole time units.
  for (int i = 0; i < n; ++i) marks.push_back({double(5000 * i / (n - 1)), {}, 0});
  return marks;
}

std::vector<dyn_mark> copy_marks(std::span<const dyn_mark> given, std::vector<dyn_mark> (*fallback)()) {
  // One mark cannot span an axis.
  if (given.size() < 2) return fallback();
  std::vector<dyn_mark> marks(given.begin(), given.end());
  for (dyn_mark& m : marks) {
    if (m.label.size() > dyn_label_chars) m.label.resize(dyn_label_chars);
    m.offset = 0;
  }
  return marks;
}

dyn_plot dyn_layout(int width, int height, int text_w, int text_h, bool compact, bool full_bottom_label) {
  dyn_plot p;
  if (!compact) {
    p.label_w = text_w;
    p.label_h = text_h;
    p.label_gap = dyn_label_gap;
  }
  p.x0 = dyn_margin + p.label_w + p.label_gap;
  p.y0 = dyn_margin + p.label_h / 2;
  p.w = width - p.label_h / 2 - dyn_margin - p.x0;
  const int bottom_reserve = full_bottom_label ? p.label_h : p.label_h / 2;
  p.h = height - bottom_reserve - dyn_margin - p.y0;
  // Square, centred on the longer side.
  if (p.w < p.h) {
    p.y0 += (p.h - p.w) / 2;
    p.h = p.w;
  } else if (p.h < p.w) {
    p.left_offset = (p.w - p.h) / 2;
    p.x0 += p.left_offset;
    p.w = p.h;
  }
  return p;
}

void place_marks(std::vector<dyn_mark>& marks, int size) {
  if (marks.empty()) return;
  const double lo = marks.front().value;
  const double span = marks.back().value - lo;
  for (dyn_mark& m : marks) m.offset = span != 0 ? round_half_away(size * (m.value - lo) / span) : 0;
  marks.back().offset = size;
}

// --- compressor ---------------------------------------------------------------------------

comp_model::comp_model() : comp_model(comp_default_marks(), comp_default_marks()) {}

comp_model::comp_model(std::vector<dyn_mark> input, std::vector<dyn_mark> level)
    : input_marks(input.size() >= 2 ? std::move(input) : comp_default_marks()),
      level_marks(level.size() >= 2 ? std::move(level) : comp_default_marks()) {}

void comp_model::layout(int width, int height, int text_w, int text_h, bool compact) {
  plot = dyn_layout(width, height, text_w, text_h, compact, true);
  place_marks(input_marks, plot.w);
  place_marks(level_marks, plot.h);
  compute_points();
}

void comp_model::compute_points() {
  const double xs = x_max() - x_min();
  const double ys = y_max() - y_min();
  const int b = plot.bottom();
  if (plot.w <= 0 || plot.h <= 0 || xs == 0 || ys == 0) {
    start = knee = end = {plot.x0, b};
    return;
  }
  auto X = [&](double v) { return plot.w * (v - x_min()) / xs; };
  auto Y = [&](double v) { return plot.h * (v - y_min()) / ys; };
  // The unity line, lifted by the make-up gain, through its points at -10 and 0 dB.
  const double ax = X(-10), ay = Y(-10 + gain);
  const double bx = X(0), by = Y(0 + gain);
  auto L = [&](double x) { return ay + (x - ax) * (by - ay) / (bx - ax); };

  const double xs0 = X(input_marks.front().value);
  start = {plot.x0 + round_half_away(xs0), b - round_half_away(L(xs0))};
  const double xk = X(threshold);
  knee = {plot.x0 + round_half_away(xk), b - round_half_away(L(xk))};
  const double xe = X(input_marks.back().value);
  // A setter may store any ratio; a flat or falling line past the knee has no meaning here.
  const double r = ratio > 0 ? ratio : comp_ratio_floor;
  // The slope past the knee is taken in pixels: the square plot makes it 1/ratio in dB.
  end = {plot.x0 + round_half_away(xe), b - round_half_away((xe - xk) / r + L(xk))};
}

int comp_model::press(dyn_point at) {
  const int r = plot.label_h / 2;
  drag = in_square(at, knee, r) ? 1 : in_square(at, end, r) ? 2 : 0;
  return drag;
}

bool comp_model::drag_to(dyn_point at) {
  if (drag == 0) return false;
  const int x = std::clamp(at.x, plot.x0, plot.x0 + plot.w);
  int y = at.y;
  if (y <= plot.y0) y = plot.y0 + 1;
  if (y > plot.bottom()) y = plot.bottom();
  if (drag == 2) {
    if (y >= knee.y) y = knee.y - 1;
    double candidate = double(end.x - knee.x) / double(knee.y - y);
    candidate = std::trunc(candidate * 100) / 100;
    if (candidate < comp_ratio_floor) candidate = comp_ratio_floor;
    if (candidate > comp_ratio_ceiling) candidate = comp_ratio_limit;
    if (trunc_units(candidate, 100) == trunc_units(ratio, 100)) return false;
    ratio = candidate;
  } else {
    if (plot.w <= 0) return false;
    const double candidate = x_min() + double(x - plot.x0) * (x_max() - x_min()) / plot.w;
    if (trunc_units(candidate, 10) == trunc_units(threshold, 10)) return false;
    threshold = candidate;
  }
  compute_points();
  return true;
}

// --- gate ---------------------------------------------------------------------------------

gate_model::gate_model() : gate_model(gate_time_default_marks(gate_default_marks), gate_level_default_marks()) {}

gate_model::gate_model(std::vector<dyn_mark> time, std::vector<dyn_mark> level)
    : level_marks(level.size() >= 2 ? std::move(level) : gate_level_default_marks()) {
  // The time axis has as many lines as the level axis unless given its own.
  time_marks = time.size() >= 2 ? std::move(time) : gate_time_default_marks(int(level_marks.size()));
}

bool gate_model::time_labelled() const {
  return std::any_of(time_marks.begin(), time_marks.end(), [](const dyn_mark& m) { return !m.label.empty(); });
}

void gate_model::layout(int width, int height, int text_w, int text_h, bool compact) {
  plot = dyn_layout(width, height, text_w, text_h, compact, time_labelled());
  place_marks(time_marks, plot.w);
  place_marks(level_marks, plot.h);
  compute_points();
}

double gate_model::time_at(double offset) const {
  return plot.w > 0 ? t_min() + offset * (t_max() - t_min()) / plot.w : t_min();
}

void gate_model::compute_points() {
  const double ts = t_max() - t_min();
  const double ys = y_max() - y_min();
  const int b = plot.bottom();
  if (plot.w <= 0 || plot.h <= 0 || ts == 0 || ys == 0) {
    p.fill({plot.x0, b});
    return;
  }
  auto T = [&](double t) { return plot.w * (t - t_min()) / ts; };
  p[0] = {plot.x0, b};
  p[1] = {plot.x0 + trunc_int(T(gate_attack_factor * attack)), b - trunc_int(plot.h * (threshold - y_min()) / ys)};
  p[2] = {plot.x0 + trunc_int(T(time_at(p[1].x - plot.x0) + hold)), p[1].y};
  p[3] = {plot.x0 + trunc_int(T(time_at(p[2].x - plot.x0) + decay)), b};
}

int gate_model::press(dyn_point at) {
  const int r = plot.label_h / 2;
  drag = 0;
  for (int i = 1; i <= 3 && drag == 0; ++i)
    if (in_square(at, p[static_cast<std::size_t>(i)], r)) drag = i;
  return drag;
}

bool gate_model::drag_to(dyn_point at) {
  if (drag == 0 || plot.h <= 0) return false;
  const int x = std::clamp(at.x, plot.x0, plot.x0 + plot.w - 1);
  const int y = std::clamp(at.y, plot.y0, plot.bottom());
  const double level = y_min() + double(plot.bottom() - y) * (y_max() - y_min()) / plot.h;
  const double t = time_at(x - plot.x0);
  switch (drag) {
    case 1:
      attack = t / gate_attack_factor;
      threshold = level;
      break;
    case 2:
      threshold = level;
      hold = std::max(gate_min_span, t - time_at(p[1].x - plot.x0));
      break;
    default: decay = std::max(gate_min_span, t - time_at(p[2].x - plot.x0)); break;
  }
  compute_points();
  return true;
}

// --- parameters ---------------------------------------------------------------------------

std::array<dyn_write, 4> gate_curve_writes(const gate_model& g) {
  const int steps = int(std::lround(g.decay / gate_decay_units));
  return {{
      {code_input_gate_threshold, clamped_raw(value_type::gate_threshold, std::lround(g.threshold))},
      {code_input_gate_attack, clamped_raw(value_type::gate_attack, std::lround(g.attack))},
      {code_input_gate_hold, clamped_raw(value_type::gate_hold, std::lround(g.hold))},
      {code_input_gate_decay, static_cast<uint16_t>(gate_setting_value(gate_setting_index(steps)))},
  }};
}

std::array<dyn_write, 2> comp_curve_writes(const comp_model& c) {
  return {{
      {code_input_comp_threshold, clamped_raw(value_type::compressor_threshold, std::trunc(c.threshold * 10) / 10)},
      {code_input_comp_ratio, clamped_raw(value_type::compressor_ratio, c.ratio)},
  }};
}

bool gate_curve_take(gate_model& g, int code, uint16_t raw) {
  switch (code) {
    case code_input_gate_threshold: g.threshold = to_physical(value_type::gate_threshold, raw); break;
    case code_input_gate_attack: g.attack = to_physical(value_type::gate_attack, raw); break;
    case code_input_gate_hold: g.hold = to_physical(value_type::gate_hold, raw); break;
    case code_input_gate_decay: g.decay = double(raw) * gate_decay_units; break;
    default: return false;
  }
  g.compute_points();
  return true;
}

bool comp_curve_take(comp_model& c, int code, uint16_t raw) {
  switch (code) {
    case code_input_comp_threshold: c.threshold = to_physical(value_type::compressor_threshold, raw); break;
    case code_input_comp_ratio: c.ratio = to_physical(value_type::compressor_ratio, raw); break;
    case code_input_comp_gain: c.gain = to_physical(value_type::makeup_gain, raw); break;
    default: return false;
  }
  c.compute_points();
  return true;
}

}  // namespace vorante
