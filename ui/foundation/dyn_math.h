// Geometry and touch rules of the gate and compressor curves, without any painting: the
// square plot inside the widget, the mark offsets of both axes, the points of each curve
// and what a press and a drag do to the values. The widgets only paint what these give.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ui/foundation/plot_frame.h"

namespace vorante {

struct dyn_point {
  int x = 0;
  int y = 0;
  friend bool operator==(const dyn_point&, const dyn_point&) = default;
};

// One grid line of an axis. The first and last mark of a table set the axis range.
struct dyn_mark {
  double value = 0;
  std::string label;  // up to 7 characters; empty: no label
  int offset = 0;     // pixels from the plot's left or top edge, set by the layout
};

constexpr int dyn_margin = 2;
constexpr int dyn_redraw_ms = 100;

// The tables a curve gets when its creator passes none.
std::vector<dyn_mark> comp_default_marks();     // -80 .. 20 dB in steps of 20
std::vector<dyn_mark> comp_editor_marks();      // -80 .. 0 dB, as the editors pass them
std::vector<dyn_mark> gate_level_default_marks();  // -80 .. 0 dB in steps of 10
// As many unlabelled marks as `count`, evenly from 0 to 5000.
std::vector<dyn_mark> gate_time_default_marks(int count);
// A copy of the given table, labels cut to their field; the default when it is empty.
std::vector<dyn_mark> copy_marks(std::span<const dyn_mark> given, std::vector<dyn_mark> (*fallback)());

// Where the plot sits inside the object, and its size.
struct dyn_plot : plot_frame {
  int w = 0;
  int h = 0;
  int left_offset = 0;
  int bottom() const { return y0 + h; }
};

// Lays the square plot out in an object of width x height. text_w/text_h: the size of the
// widest label text in the object's font ("888" or "8888"); compact curves have no labels.
// full_bottom_label: the x axis shows labels under the plot (else half a line is kept).
dyn_plot dyn_layout(int width, int height, int text_w, int text_h, bool compact, bool full_bottom_label);

// Offsets of the marks over an axis of `size` pixels: rounded, the last one exactly size.
void place_marks(std::vector<dyn_mark>& marks, int size);

// Nearest integer, halves away from zero.
int round_half_away(double v);

// --- compressor ---

struct comp_model {
  std::vector<dyn_mark> input_marks;  // x axis, input dB
  std::vector<dyn_mark> level_marks;  // y axis, output dB
  dyn_plot plot;
  double threshold = -20;
  double ratio = 2;
  double gain = 0;
  dyn_point start, knee, end;
  int drag = 0;  // 0 none, 1 knee (threshold), 2 end (ratio)

  comp_model();
  comp_model(std::vector<dyn_mark> input, std::vector<dyn_mark> level);

  double x_min() const { return input_marks.front().value; }
  double x_max() const { return input_marks.back().value; }
  double y_min() const { return level_marks.front().value; }
  double y_max() const { return level_marks.back().value; }

  void layout(int width, int height, int text_w, int text_h, bool compact);
  void compute_points();
  // A press: which handle it takes (0 for none).
  int press(dyn_point at);
  // The pointer moved while pressed; true when a value changed.
  bool drag_to(dyn_point at);
  void release() { drag = 0; }
};

// --- gate ---

struct gate_model {
  std::vector<dyn_mark> time_marks;   // x axis
  std::vector<dyn_mark> level_marks;  // y axis, dB
  dyn_plot plot;
  double threshold = -40;
  double attack = 80;  // drawn at 10 x attack on the time axis
  double hold = 1000;
  double decay = 1500;
  std::array<dyn_point, 4> p{};  // P0 foot, P1 attack top, P2 hold end, P3 decay foot
  int drag = 0;  // 0 none, 1 attack handle, 2 hold handle, 3 decay point

  gate_model();
  gate_model(std::vector<dyn_mark> time, std::vector<dyn_mark> level);

  double t_min() const { return time_marks.front().value; }
  double t_max() const { return time_marks.back().value; }
  double y_min() const { return level_marks.front().value; }
  double y_max() const { return level_marks.back().value; }
  bool time_labelled() const;

  void layout(int width, int height, int text_w, int text_h, bool compact);
  void compute_points();
  int press(dyn_point at);
  // Every drag recomputes the points; true while a handle is held.
  bool drag_to(dyn_point at);
  void release() { drag = 0; }

  // Time at a pixel offset from the plot's left edge.
  double time_at(double offset) const;
};

// --- the editors' parameters behind the curves ---

struct dyn_write {
  int code;
  uint16_t raw;
  friend bool operator==(const dyn_write&, const dyn_write&) = default;
};

// The gate values a drag leaves, as the input parameters take them, in the order they are
// written: threshold, attack, hold, decay. The curve counts decay in units of
// gate_decay_units per step of the decay setting.
constexpr int gate_decay_units = 100;
std::array<dyn_write, 4> gate_curve_writes(const gate_model& g);
// Threshold, then ratio.
std::array<dyn_write, 2> comp_curve_writes(const comp_model& c);
// A parameter of the input arrived: the curve value it sets. False for other codes.
bool gate_curve_take(gate_model& g, int code, uint16_t raw);
bool comp_curve_take(comp_model& c, int code, uint16_t raw);

}  // namespace vorante
