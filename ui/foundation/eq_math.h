// Magnitude response of a channel's high-pass, low-pass and parametric bands, as the EQ
// graph draws it. Plain C++ with no UI types, so it is tested and measured on its own.
//
// Every curve keeps its own response in 0.01 dB integers over a logarithmic grid of one
// point per pixel column; moving one band recomputes only that band, and the drawn rows are
// an integer sum of the cached responses.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <span>
#include <vector>

namespace vorante {

// Corner frequencies that switch a filter off (19.6 Hz as the console stores it in single
// precision; 20001 Hz is one past the top of the low-pass range).
constexpr double eq_highpass_off_hz = 19.600000381469727;
constexpr double eq_lowpass_off_hz = 20001.0;

// Responses are 0.01 dB steps in 16 bits; anything deeper is clamped to the floor.
constexpr int eq_level_floor = -32767;
constexpr int eq_level_ceiling = 32767;

// One grid point: where the curves are evaluated.
struct eq_point {
  double frequency;
  double sine;    // of the angular frequency at 48 kHz
  double cosine;
  double half_sine_squared;  // sin^2 of half of it, the form that keeps low points exact
};

eq_point eq_point_at(double hz);
// Frequency of point i of an n-point grid.
double eq_grid_frequency(int i, int n);
std::vector<eq_point> eq_grid(int n);
// The grid column a frequency falls into (floor of the log position; may lie outside 0..n-1).
int eq_column_of(double hz, int n);
// Height in pixels above the plot bottom of a level, for a plot of `height` pixels showing
// level_min..level_max dB (rounded, not clamped).
int eq_row_of(double db, int height, double level_min, double level_max);

// A normalised biquad section (a0 = 1).
struct biquad {
  double b0, b1, b2, a1, a2;
};

biquad first_order_highpass(double hz);
biquad first_order_lowpass(double hz);
biquad second_order_highpass(double hz, double q);
biquad second_order_lowpass(double hz, double q);

enum class band_shape : int { peaking = 0, high_shelf = 1, low_shelf = 2 };

biquad band_biquad(band_shape shape, double hz, double gain_db, double q);

// Level of one section at a point, in dB (minus infinity at a zero of the section).
double section_level_db(const biquad& s, const eq_point& p);

// round(100 x dB), halves away from zero, kept inside the 16-bit level range. A level that
// is not a number (a degenerate section) draws as 0 dB rather than as garbage.
int centi_db(double db);

// What a filter type code builds.
enum class section_type : uint8_t { first_order, second_order, zero };
struct section_spec {
  section_type type;
  double q;  // second-order sections only
};
enum class design_effect : uint8_t {
  keep,     // unknown code: the curve keeps what it showed
  flat,     // 0 dB everywhere
  cascade,  // the sections below
};
constexpr int eq_max_sections = 4;
struct filter_design {
  design_effect effect = design_effect::keep;
  bool high_pass = false;  // even codes build high-pass sections, odd codes low-pass
  int count = 0;
  std::array<section_spec, eq_max_sections> sections{};
};

filter_design design_of(int type_code);

enum class curve_kind : int { high_pass = 0, low_pass = 1, band = 2 };

constexpr int eq_highpass_id = 0x10000;
constexpr int eq_lowpass_id = 0x10001;

// One curve of a graph. Setters ignore changes below 0.01 (and values that are not finite)
// and report whether the curve became dirty.
class eq_curve {
 public:
  eq_curve(curve_kind kind, int id, double hz, double gain_db, double q, int type_code);

  curve_kind kind() const { return kind_; }
  int id() const { return id_; }
  double frequency() const { return frequency_; }
  double gain() const { return gain_; }
  double q() const { return q_; }
  band_shape shape() const { return shape_; }
  int type_code() const { return type_code_; }
  bool dirty() const { return dirty_; }
  const std::vector<int16_t>& response() const { return response_; }

  bool set_frequency(double hz);
  bool set_gain(double db);
  bool set_q(double q);
  bool set_type(int code);
  bool set_shape(band_shape shape);
  void mark_dirty() { dirty_ = true; }

  // Whether a filter's corner frequency switches it off; bands are never off.
  bool switched_off() const;

  // Recomputes the response over `grid` and clears dirty.
  void compute(std::span<const eq_point> grid);

 private:
  void compute_band(std::span<const eq_point> grid);
  void compute_filter(std::span<const eq_point> grid);

  curve_kind kind_;
  int id_;
  double frequency_;
  double gain_;
  double q_;
  band_shape shape_ = band_shape::peaking;
  int type_code_;
  int64_t frequency_key_;
  int64_t gain_key_;
  int64_t q_key_;
  bool dirty_ = true;
  std::vector<int16_t> response_;
};

// The curves of one graph, its grid and the summed rows it draws.
class eq_response {
 public:
  explicit eq_response(int points = 0);

  // Rebuilds the grid for a new plot width; every curve is then dirty.
  void set_points(int points);
  int points() const { return static_cast<int>(grid_.size()); }
  const std::vector<eq_point>& grid() const { return grid_; }

  // Results: the curve id, or -1 when the graph already has that filter.
  int add_highpass(double hz, int type_code);
  int add_lowpass(double hz, int type_code);
  // A peaking band with the next band number; returns that number (the first is 1).
  int add_band(double hz, double gain_db, double q);
  // n bands spread from 50 Hz upwards (a factor 400 over n steps), q 1, and gains that only
  // show the shape until the owner sets the stored values.
  void spread_bands(int n);
  // Deletes every band (band numbers keep counting), then spreads n new ones.
  void reset_bands(int n);

  eq_curve* highpass() { return highpass_.get(); }
  eq_curve* lowpass() { return lowpass_.get(); }
  const eq_curve* highpass() const { return highpass_.get(); }
  const eq_curve* lowpass() const { return lowpass_.get(); }
  // None for an index outside 0..band_count() - 1.
  eq_curve* band(int index);
  const eq_curve* band(int index) const;
  int band_count() const { return static_cast<int>(bands_.size()); }

  bool any_dirty() const;
  // Recomputes the dirty curves only; returns how many were recomputed.
  int compute_dirty();

  // Sums every curve's response (integer 0.01 dB) and converts each point into a height in
  // pixels above the plot bottom. Not clamped: drawing clips.
  void sum_rows(int height, double level_min, double level_max);
  const std::vector<int>& rows() const { return rows_; }
  // One curve's response as rows, the same way (for the curve being dragged).
  static std::vector<int> curve_rows(const eq_curve& c, int height, double level_min,
                                     double level_max);

 private:
  std::vector<eq_point> grid_;
  std::unique_ptr<eq_curve> highpass_;
  std::unique_ptr<eq_curve> lowpass_;
  std::vector<std::unique_ptr<eq_curve>> bands_;
  int next_band_number_ = 1;
  std::minstd_rand spread_random_;
  std::vector<int> rows_;
};

}  // namespace vorante
