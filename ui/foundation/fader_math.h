// The arithmetic behind faders, level meters and pan bars, free of any widget so it can be
// checked with plain numbers: fader laws, knob travel, scale ticks, the meter's dB marks
// and the pan bar's dead zone.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vorante {

// ---------------------------------------------------------------------------------------
// Fader laws and modes

// How a fader turns travel into a value: the console's 61-point law (-120..+10 dB), the
// 49-point law that stops at 0 dB (sends), a table of the caller's, or a plain integer
// range.
enum class fader_mode : std::uint8_t { law_61 = 0, law_49 = 1, custom = 2, range = 3 };

// dB at equal steps of travel, bottom first. The laws are the level ladders the values
// step through, so a fader and an encoder agree on every detent.
std::span<const double> fader_law_61();
std::span<const double> fader_law_49();

// The law of a mode; empty for the range mode and for custom tables.
std::span<const double> fader_law_of(fader_mode mode);

// A table's place on the travel, 0..1000 permille, interpolating linearly between entries.
// Values below the first entry sit at 0, above the last at 1000. The table must ascend;
// repeated entries are allowed.
double law_permille(std::span<const double> law, double value);
// The value at a place on the travel (clamped to 0..1000); the inverse of law_permille.
double law_value(std::span<const double> law, double permille);

// The integer range mode: min < max. The value is clamped into the range first.
double range_permille(int value, int min, int max);
int range_value(double permille, int min, int max);

// ---------------------------------------------------------------------------------------
// Geometry. All in widget pixels, y growing downwards.

struct int_rect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  friend bool operator==(const int_rect&, const int_rect&) = default;
};

// Where the knob's centre can go: `top` is full level (1000), `bottom` is off (0).
struct knob_travel {
  int top = 0;
  int bottom = 0;
  int span() const { return bottom - top; }
  friend bool operator==(const knob_travel&, const knob_travel&) = default;
};

knob_travel fader_knob_travel(int height, int pad_top, int pad_bottom, int knob_h);
// y of a place on the travel, rounded to whole pixels; 1000 is `top`, 0 is `bottom`.
int travel_y(knob_travel travel, double permille);
// The place of a y on the travel, not clamped (a drag may overshoot either end).
double travel_permille(knob_travel travel, double y);
// How far a vertical pointer movement moves the knob, in permille (up is positive).
double drag_permille(knob_travel travel, double dy_down);

// The picture of the knob, centred on the track and on y.
int_rect knob_rect(int centre_x, int y, int knob_w, int knob_h);

struct fader_track {
  int centre_x = 0;
  int_rect rect;  // the track itself
};

struct track_layout_in {
  int width = 0;
  int height = 0;
  int pad_top = 0;
  int pad_bottom = 0;
  int label_width = 0;  // room taken by the tick labels on the left; 0 without labels
  int label_gap = 0;
  int track_width = 0;
  int track_offset = 0;  // horizontal shift from the centre
  bool centred = false;  // centre on the widget, ignoring the label column
};

fader_track fader_track_layout(const track_layout_in& in);

// Gap between the track and each tick: the set gap, or with `set_gap` < 0 enough for the
// ticks to clear the knob picture, at least 4 px.
int fader_tick_gap(int set_gap, int knob_w, int tick_length, int track_width);

// The scale of a dB law: where its ticks sit and what their labels read.
struct fader_tick {
  double permille = 0;
  int db = 0;
};
constexpr int max_fader_ticks = 10;
struct fader_scale {
  std::array<fader_tick, max_fader_ticks> ticks{};
  int count = 0;
};

// Ticks of the two dB laws (none for custom tables and ranges).
fader_scale fader_ticks(fader_mode mode);
// The label of a tick: the bottom of the law reads as minus infinity, never "-120".
// Writes a NUL-terminated UTF-8 text into `out` (at least 8 bytes) and returns it.
const char* fader_tick_label(int db, std::span<char> out);

// Opacity of the fill's glow for a glow setting 0..255 (0 draws none).
constexpr int fader_glow_alpha(int glow) { return (256 - (glow & 0xFF)) % 256; }

// ---------------------------------------------------------------------------------------
// Level meter: a bar of 0..range whose dB marks sit at twelfths of its height.

constexpr std::array<int, 13> level_meter_marks{-40, -30, -20, -10, -7, -4, -2, 0, 2, 4, 7, 10, 14};
constexpr int level_meter_range = 1000;
constexpr int level_meter_segments = 12;  // marks are at i / 12 of the bar

// The place of a meter byte among the marks: 0..12 between -40 and +14 dB, linear between
// marks; below -40 gives 0, 15 and above gives 100 (beyond the top, clamped by the bar).
double meter_mark_position(int db);
// The bar value a dB reading asks for, before ballistics (0..range, never above).
int meter_target(int db, int range = level_meter_range);
// One tick of ballistics: rise at once, fall by at most `fall` percent of the range.
int meter_ballistics(int current, int target, int fall, int range = level_meter_range);
// The dB a bar value shows (the inverse of meter_target): -40 at the bottom, 14 at the top.
double meter_db_of_value(int value, int range = level_meter_range);
// y of the boundary between the unlit and the lit part in a bar of `height` pixels.
int meter_line_y(int value, int height, int range = level_meter_range);

// The lit bar's colour bands, y from the top of the bar: red above `yellow_top`, yellow
// down to `green_top`, green below. Each boundary is softened by a gradient reaching its
// blend distance into both neighbouring zones (half the smaller zone, at most 12 px).
struct meter_zones {
  int green_top = 0;
  int yellow_top = 0;
  int green_blend = 0;   // at the green/yellow boundary
  int yellow_blend = 0;  // at the yellow/red boundary
};
meter_zones level_meter_zones(int height);

// ---------------------------------------------------------------------------------------
// Pan bar: a horizontal value min..max with a dead zone round the centre.

// The value under a pointer at `x`, for a track centred on `centre` with `half_width`.
int pan_value_at(double x, double centre, double half_width, int min, int max);
// x of a value on that track.
double pan_value_x(int value, double centre, double half_width, int min, int max);

}  // namespace vorante
