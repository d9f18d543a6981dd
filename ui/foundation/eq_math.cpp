#include "ui/foundation/eq_math.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace vorante {

namespace {

// The filters are drawn as the console runs them: at 48 kHz, with 2 pi as the console
// rounds it (single precision).
constexpr double eq_sample_rate = 48000.0;
constexpr double eq_two_pi = 6.2831854820251465;
// The grid runs from 14 Hz to one step short of 24 kHz.
constexpr double eq_grid_low_hz = 14.0;
constexpr double eq_grid_high_hz = 24000.0;
// Shelves treat any q above this as this.
constexpr double eq_shelf_q_limit = 2.0;

const double log_grid_low = std::log(eq_grid_low_hz);
const double log_grid_span = std::log(eq_grid_high_hz) - std::log(eq_grid_low_hz);

double angular(double hz) { return eq_two_pi * hz / eq_sample_rate; }

// Setters compare in 0.01 steps, so tiny jitter from a drag or a conversion costs nothing.
int64_t key_of(double v) {
  constexpr double limit = 9e15;  // inside int64 and still exact in a double
  return static_cast<int64_t>(std::clamp(std::round(100.0 * v), -limit, limit));
}

double finite_or(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

// Rounds to single precision; absurd inputs saturate instead of overflowing the cast.
double single(double v) {
  constexpr double largest = std::numeric_limits<float>::max();
  return static_cast<float>(std::isnan(v) ? v : std::clamp(v, -largest, largest));
}

// Q constants of the filter families. High-pass and low-pass values differ slightly in the
// console's tables; both are used as they are.
constexpr double bw2_hp = 0.707106544800711;
constexpr double bw2_lp = 0.7071446287005226;
constexpr double bessel_hp = 0.5773504926818718;
constexpr double bessel_lp = 0.5774155654292669;
constexpr double unity_hp = 0.9999992045996837;
constexpr double unity_lp = 0.9997589510477013;
constexpr double bw4a_hp = 1.3065644940070889;
constexpr double bw4b_hp = 0.5411964065845227;
constexpr double bw4a_lp = 1.3067514717803075;
constexpr double bw4b_lp = 0.5411366136198881;

constexpr section_spec first{section_type::first_order, 0.0};
constexpr section_spec zero{section_type::zero, 0.0};
constexpr section_spec sq(double q) { return {section_type::second_order, q}; }

struct design_row {
  design_effect effect;
  int count;
  std::array<section_spec, eq_max_sections> sections;
};

constexpr design_row keep{design_effect::keep, 0, {}};
constexpr design_row flat{design_effect::flat, 0, {}};
constexpr design_row cascade(section_spec a) { return {design_effect::cascade, 1, {a}}; }
constexpr design_row cascade(section_spec a, section_spec b) {
  return {design_effect::cascade, 2, {a, b}};
}
constexpr design_row cascade(section_spec a, section_spec b, section_spec c) {
  return {design_effect::cascade, 3, {a, b, c}};
}
constexpr design_row cascade(section_spec a, section_spec b, section_spec c, section_spec d) {
  return {design_effect::cascade, 4, {a, b, c, d}};
}

constexpr int first_design_code = 8;
constexpr int last_design_code = 69;

// Sections per filter type code, codes 8..69. The slope/family table the user picks from
// lives in app/params/names.h; this is what each of its codes sounds like.
constexpr std::array<design_row, last_design_code - first_design_code + 1> designs{{
    cascade(sq(bw2_hp)),                                                     // 8
    cascade(sq(bw2_lp)),                                                     // 9
    cascade(sq(bessel_hp)),                                                  // 10
    cascade(sq(bessel_lp)),                                                  // 11
    cascade(first, first),                                                   // 12
    cascade(first, first),                                                   // 13
    cascade(first, sq(unity_hp)),                                            // 14
    cascade(first, sq(unity_lp)),                                            // 15
    cascade(first, sq(bessel_hp)),                                           // 16
    cascade(first, sq(bessel_lp)),                                           // 17
    cascade(first, sq(bw2_hp)),                                              // 18
    cascade(first, sq(bw2_lp)),                                              // 19
    cascade(sq(bw4a_hp), sq(bw4b_hp)),                                       // 20
    cascade(sq(bw4a_lp), sq(bw4b_lp)),                                       // 21
    cascade(sq(bessel_hp), sq(bessel_hp)),                                   // 22
    cascade(sq(bessel_lp), sq(bessel_lp)),                                   // 23
    cascade(sq(bw2_hp), sq(bw2_hp)),                                         // 24
    cascade(sq(bw2_lp), sq(bw2_lp)),                                         // 25
    cascade(sq(0.5097956299341924), sq(0.6013447988467182), sq(0.8999759830684372),
            sq(2.5629186436560953)),                                         // 26
    cascade(sq(0.509862408694738), sq(0.6013821034084735), sq(0.9000991248190391),
            sq(2.563485122055519)),                                          // 27
    cascade(sq(bessel_hp), sq(bessel_hp), sq(bessel_hp), sq(bessel_hp)),     // 28
    cascade(sq(bessel_lp), sq(bessel_lp), sq(bessel_lp), sq(bessel_lp)),     // 29
    cascade(sq(bw4a_hp), sq(bw4b_hp), sq(bw4a_hp), sq(bw4b_hp)),             // 30
    cascade(sq(bw4a_lp), sq(bw4b_lp), sq(bw4a_lp), sq(bw4b_lp)),             // 31
    cascade(zero),                                                           // 32
    cascade(zero),                                                           // 33
    keep,                                                                    // 34
    keep,                                                                    // 35
    cascade(zero, zero),                                                     // 36
    cascade(zero, zero),                                                     // 37
    keep,                                                                    // 38
    keep,                                                                    // 39
    cascade(first),                                                          // 40
    cascade(first),                                                          // 41
    cascade(first),                                                          // 42
    cascade(first),                                                          // 43
    cascade(first),                                                          // 44
    cascade(first),                                                          // 45
    cascade(first, sq(1.6180339888271817), sq(0.6180339887902606)),          // 46
    cascade(first, sq(1.6180339888271817), sq(0.6180339887902606)),          // 47
    cascade(first, sq(bessel_hp), sq(bessel_hp)),                            // 48
    cascade(first, sq(bessel_lp), sq(bessel_lp)),                            // 49
    cascade(first, sq(bw2_hp), sq(unity_hp)),                                // 50
    cascade(first, sq(bw2_lp), sq(unity_lp)),                                // 51
    cascade(sq(0.5176381882164414), sq(bw2_hp), sq(1.931851489633714)),      // 52
    cascade(sq(0.5175921050402528), sq(bw2_lp), sq(1.9314301856396467)),     // 53
    cascade(sq(bessel_hp), sq(bessel_hp), sq(bessel_hp)),                    // 54
    cascade(sq(bessel_lp), sq(bessel_lp), sq(bessel_lp)),                    // 55
    cascade(first, first, sq(unity_hp), sq(unity_hp)),                       // 56
    cascade(first, first, sq(unity_lp), sq(unity_lp)),                       // 57
    cascade(first, sq(2.246979603823764), sq(0.8019377357999808),
            sq(0.5549581321144866)),                                         // 58
    cascade(first, sq(2.246979603823764), sq(0.8019377357999808),
            sq(0.5549581321144866)),                                         // 59
    cascade(first, sq(bessel_hp), sq(bessel_hp), sq(bessel_hp)),             // 60
    cascade(first, sq(bessel_lp), sq(bessel_lp), sq(bessel_lp)),             // 61
    cascade(first, sq(unity_hp), sq(bw4a_hp), sq(bw4b_hp)),                  // 62
    cascade(first, sq(unity_lp), sq(bw4a_lp), sq(bw4b_lp)),                  // 63
    flat, flat, flat, flat, flat, flat,                                      // 64..69
}};

biquad build_section(const section_spec& section, bool high_pass, double hz) {
  switch (section.type) {
    case section_type::first_order:
      return high_pass ? first_order_highpass(hz) : first_order_lowpass(hz);
    case section_type::second_order:
      return high_pass ? second_order_highpass(hz, section.q) : second_order_lowpass(hz, section.q);
    case section_type::zero:
      break;
  }
  return {0, 0, 0, 0, 0};
}

// The first pseudo-random gains of spread bands only show a shape until the owner pushes
// the stored values, so any fixed seed will do.
constexpr unsigned spread_seed = 1;
constexpr double spread_base_hz = 50.0;
constexpr double spread_ratio = 1.0299999713897705;   // 1.03 in single precision
constexpr double spread_exponent = 202.69664949333225;  // 1.03^this = 400
constexpr int spread_gain_steps = 241;                   // -12.0 .. +12.0 dB in 0.1 dB

}  // namespace

eq_point eq_point_at(double hz) {
  const double w = angular(hz);
  const double half = std::sin(w / 2);
  return {hz, std::sin(w), std::cos(w), half * half};
}

double eq_grid_frequency(int i, int n) {
  if (n <= 0) return eq_grid_low_hz;
  return std::exp(log_grid_low + (static_cast<double>(i) / n) * log_grid_span);
}

std::vector<eq_point> eq_grid(int n) {
  std::vector<eq_point> grid;
  if (n <= 0) return grid;
  grid.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) grid.push_back(eq_point_at(eq_grid_frequency(i, n)));
  return grid;
}

int eq_column_of(double hz, int n) {
  if (!(hz > 0) || n <= 0) return -1;
  constexpr double limit = 1e6;  // far outside any plot, still inside int
  const double x = std::floor(n * (std::log(hz) - log_grid_low) / log_grid_span);
  return static_cast<int>(std::clamp(x, -limit, limit));
}

int eq_row_of(double db, int height, double level_min, double level_max) {
  if (!(level_max > level_min) || !std::isfinite(db)) return 0;
  constexpr double limit = 1e6;
  const double r = std::round((db - level_min) * height / (level_max - level_min));
  return static_cast<int>(std::clamp(r, -limit, limit));
}

biquad first_order_highpass(double hz) {
  const double w = angular(hz);
  const double k = std::cos(w) / (1 + std::sin(w));
  return {(1 + k) / 2, -(1 + k) / 2, 0, -k, 0};
}

biquad first_order_lowpass(double hz) {
  const double w = angular(hz);
  const double k = std::cos(w) / (1 + std::sin(w));
  return {(1 - k) / 2, (1 - k) / 2, 0, -k, 0};
}

namespace {

// What the second-order high- and low-pass share: cos w, alpha and the a0 they divide by.
struct second_order_terms {
  double c;
  double alpha;
  double d;
};

second_order_terms second_order_at(double hz, double q) {
  const double w = angular(hz);
  const double alpha = std::sin(w) / (2 * q);
  return {std::cos(w), alpha, 1 + alpha};
}

}  // namespace

biquad second_order_highpass(double hz, double q) {
  const auto [c, alpha, d] = second_order_at(hz, q);
  return {(1 + c) / (2 * d), -(1 + c) / d, (1 + c) / (2 * d), -2 * c / d, (1 - alpha) / d};
}

biquad second_order_lowpass(double hz, double q) {
  const auto [c, alpha, d] = second_order_at(hz, q);
  return {(1 - c) / (2 * d), (1 - c) / d, (1 - c) / (2 * d), -2 * c / d, (1 - alpha) / d};
}

biquad band_biquad(band_shape shape, double hz, double gain_db, double q) {
  // The console computes these few values in single precision; the rest in double.
  const double a = single(std::pow(10.0, single(gain_db / 40.0)));
  const double w = single(angular(hz));
  const double s = single(std::sin(w));
  const double c = single(std::cos(w));

  if (shape == band_shape::peaking) {
    const double alpha = s / (2 * q);
    const double a0 = 1 + alpha / a;
    return {(1 + alpha * a) / a0, -2 * c / a0, (1 - alpha * a) / a0, -2 * c / a0,
            (1 - alpha / a) / a0};
  }
  const double m = q <= eq_shelf_q_limit ? std::sqrt(a) / q : std::sqrt(a) / eq_shelf_q_limit;
  const double t = m * s;
  if (shape == band_shape::high_shelf) {
    const double a0 = (a + 1) - (a - 1) * c + t;
    return {a * ((a + 1) + (a - 1) * c + t) / a0, -2 * a * ((a - 1) + (a + 1) * c) / a0,
            a * ((a + 1) + (a - 1) * c - t) / a0, 2 * ((a - 1) - (a + 1) * c) / a0,
            ((a + 1) - (a - 1) * c - t) / a0};
  }
  const double a0 = (a + 1) + (a - 1) * c + t;
  return {a * ((a + 1) - (a - 1) * c + t) / a0, 2 * a * ((a - 1) - (a + 1) * c) / a0,
          a * ((a + 1) - (a - 1) * c - t) / a0, -2 * ((a - 1) + (a + 1) * c) / a0,
          ((a + 1) + (a - 1) * c - t) / a0};
}

namespace {

// |H|^2 of a section at a point.
inline double power_ratio(const biquad& f, const eq_point& p) {
  // z^-1 = cos w - j sin w, z^-2 = cos 2w - j sin 2w, straight on the unit circle.
  const double c = p.cosine;
  const double s = p.sine;
  const double c2 = c * c - s * s;
  const double s2 = 2 * s * c;
  const double nr = f.b0 + f.b1 * c + f.b2 * c2;
  const double ni = f.b1 * s + f.b2 * s2;
  const double dr = 1 + f.a1 * c + f.a2 * c2;
  const double di = f.a1 * s + f.a2 * s2;
  return (nr * nr + ni * ni) / (dr * dr + di * di);
}

// Curves are computed two points at a time. Each lane does the same IEEE operations in the
// same order as the one-point code above, so a lane's value is bit for bit that code's.
using f64x2 = double __attribute__((vector_size(16)));
using u64x2 = uint64_t __attribute__((vector_size(16)));
using i64x2 = int64_t __attribute__((vector_size(16)));

inline f64x2 splat(double v) { return f64x2{v, v}; }

// Two neighbouring points; past the end of the grid the last point stands in.
struct point_pair {
  f64x2 sine, cosine;
};

inline point_pair pair_at(std::span<const eq_point> grid, size_t i) {
  const eq_point& p = grid[i];
  const eq_point& q = grid[std::min(i + 1, grid.size() - 1)];
  return {f64x2{p.sine, q.sine}, f64x2{p.cosine, q.cosine}};
}

inline f64x2 power_ratio(const biquad& f, const point_pair& p) {
  const f64x2 c = p.cosine;
  const f64x2 s = p.sine;
  const f64x2 c2 = c * c - s * s;
  const f64x2 s2 = splat(2) * s * c;
  const f64x2 b1c = splat(f.b1) * c;
  const f64x2 b1s = splat(f.b1) * s;
  const f64x2 a1c = splat(f.a1) * c;
  const f64x2 a1s = splat(f.a1) * s;
  const f64x2 nr = splat(f.b0) + b1c + splat(f.b2) * c2;
  const f64x2 ni = b1s + splat(f.b2) * s2;
  const f64x2 dr = splat(1) + a1c + splat(f.a2) * c2;
  const f64x2 di = a1s + splat(f.a2) * s2;
  return (nr * nr + ni * ni) / (dr * dr + di * di);
}

// ln of the centre of each of 512 equal slices of [1, 2), and its reciprocal.
constexpr int log_slice_bits = 9;
struct log_slice {
  double reciprocal;
  double ln;
};
using log_slices = std::array<log_slice, size_t{1} << log_slice_bits>;

const log_slices& log_table() {
  static const log_slices table = [] {
    log_slices t{};
    for (size_t i = 0; i < t.size(); ++i) {
      const double centre = 1 + (static_cast<double>(i) + 0.5) / static_cast<double>(t.size());
      t[i] = {1 / centre, std::log(centre)};
    }
    return t;
  }();
  return table;
}

// centi_db(10 log10 x) for two power ratios without the library logarithm, which is most
// of a curve's cost. This logarithm is good to about 1e-10 of a step, far inside the
// margin, so wherever a level is not within the margin of a rounding boundary it rounds to
// what centi_db gives. There, and for zero, subnormal, infinite or NaN x, the lane is not
// `decided` and the caller takes the exact path: the stored steps are exactly the exact
// path's.
struct level_pair {
  f64x2 steps;      // whole steps, not yet clamped
  i64x2 decided;    // all ones where `steps` holds
};

inline level_pair fast_levels(f64x2 x, const log_slices& table) {
  const u64x2 bits = std::bit_cast<u64x2>(x);
  // The biased exponent as a double: its bits under those of 2^52, minus 2^52 and the bias.
  const u64x2 exponent_bits = (bits >> 52) | 0x4330'0000'0000'0000ULL;
  const f64x2 exponent =
      std::bit_cast<f64x2>(exponent_bits) - splat(4503599627370496.0 + 1023);
  const u64x2 mantissa_bits = (bits & 0x000f'ffff'ffff'ffffULL) | 0x3ff0'0000'0000'0000ULL;
  const f64x2 m = std::bit_cast<f64x2>(mantissa_bits);  // 1 <= m < 2
  const u64x2 slice = (bits >> (52 - log_slice_bits)) & (table.size() - 1);
  const log_slice& s0 = table[slice[0]];
  const log_slice& s1 = table[slice[1]];
  // ln(1 + r) with |r| <= 2^-10 around the slice's centre; the first omitted term is below
  // 3e-13.
  const f64x2 r = m * f64x2{s0.reciprocal, s1.reciprocal} - splat(1);
  const f64x2 ln_1r = r * (splat(1) + r * (splat(-0.5) + r * splat(1.0 / 3)));
  const f64x2 ln_x = exponent * splat(0.6931471805599453) + (f64x2{s0.ln, s1.ln} + ln_1r);
  const f64x2 a = splat(434.29448190325182) * ln_x;  // 1000 / ln 10 steps per neper
  // Nearest whole step (|a| < 2^51 for any normal x); halves are never decided, so how
  // they would round does not matter.
  constexpr double round_shift = 6755399441055744.0;  // 1.5 x 2^52
  const f64x2 steps = (a + splat(round_shift)) - splat(round_shift);
  const f64x2 off = a - steps;
  constexpr double margin = 1e-4;
  const i64x2 decided = (x >= splat(std::numeric_limits<double>::min())) &
                        (x <= splat(std::numeric_limits<double>::max())) &
                        (off < splat(0.5 - margin)) & (off > splat(margin - 0.5));
  return {steps, decided};
}

inline int16_t clamped_steps(double steps) {
  return static_cast<int16_t>(
      std::clamp(steps, double{eq_level_floor}, double{eq_level_ceiling}));
}

}  // namespace

double section_level_db(const biquad& f, const eq_point& p) {
  return 10 * std::log10(power_ratio(f, p));
}

int centi_db(double db) {
  if (std::isnan(db)) return 0;
  const double r = std::round(100 * db);
  if (r < eq_level_floor) return eq_level_floor;
  if (r > eq_level_ceiling) return eq_level_ceiling;
  return static_cast<int>(r);
}

filter_design design_of(int type_code) {
  filter_design d;
  if (type_code < first_design_code || type_code > last_design_code) return d;
  const design_row& row = designs[static_cast<size_t>(type_code - first_design_code)];
  d.effect = row.effect;
  d.high_pass = type_code % 2 == 0;
  d.count = row.count;
  d.sections = row.sections;
  return d;
}

// ---- curves ----

eq_curve::eq_curve(curve_kind kind, int id, double hz, double gain_db, double q, int type_code)
    : kind_(kind),
      id_(id),
      frequency_(finite_or(hz, 0)),
      gain_(finite_or(gain_db, 0)),
      q_(finite_or(q, 1)),
      type_code_(type_code),
      frequency_key_(key_of(frequency_)),
      gain_key_(key_of(gain_)),
      q_key_(key_of(q_)) {}

namespace {
bool set_keyed(double v, double& value, int64_t& key, bool& dirty) {
  if (!std::isfinite(v)) return false;
  const int64_t k = key_of(v);
  if (k == key) return false;
  value = v;
  key = k;
  dirty = true;
  return true;
}
}  // namespace

bool eq_curve::set_frequency(double hz) { return set_keyed(hz, frequency_, frequency_key_, dirty_); }
bool eq_curve::set_gain(double db) { return set_keyed(db, gain_, gain_key_, dirty_); }
bool eq_curve::set_q(double q) { return set_keyed(q, q_, q_key_, dirty_); }

bool eq_curve::set_type(int code) {
  if (code == type_code_) return false;
  type_code_ = code;
  dirty_ = true;
  return true;
}

bool eq_curve::set_shape(band_shape shape) {
  if (shape == shape_) return false;
  shape_ = shape;
  dirty_ = true;
  return true;
}

bool eq_curve::switched_off() const {
  switch (kind_) {
    case curve_kind::high_pass: return frequency_ <= eq_highpass_off_hz;
    case curve_kind::low_pass: return frequency_ >= eq_lowpass_off_hz;
    case curve_kind::band: break;
  }
  return false;
}

void eq_curve::compute(std::span<const eq_point> grid) {
  if (response_.size() != grid.size()) response_.assign(grid.size(), 0);
  if (kind_ == curve_kind::band)
    compute_band(grid);
  else
    compute_filter(grid);
  dirty_ = false;
}

void eq_curve::compute_band(std::span<const eq_point> grid) {
  const biquad f = band_biquad(shape_, frequency_, gain_, q_);
  const log_slices& table = log_table();
  // With p = sin^2(w / 2) of the point, |b0 + b1 z^-1 + b2 z^-2|^2 on the unit circle is
  // (b0 + b1 + b2)^2 - 4 (b0 b1 + 4 b0 b2 + b1 b2) p + 16 b0 b2 p^2, and the same for the
  // denominator with a0 = 1: a few multiply-adds a point. The leading sums stay exact where
  // a band's poles and zeros crowd z = 1 (the low points), so the ratio is good to far
  // inside the fast logarithm's margin and every level rounds as the exact path's.
  const auto terms = [](double c0, double c1, double c2) {
    return std::array<f64x2, 3>{splat((c0 + c1 + c2) * (c0 + c1 + c2)), splat(-4 * (c0 * c1 + 4 * c0 * c2 + c1 * c2)),
                                splat(16 * c0 * c2)};
  };
  const auto [n0, n1, n2] = terms(f.b0, f.b1, f.b2);
  const auto [d0, d1, d2] = terms(1, f.a1, f.a2);
  const size_t n = grid.size();
  for (size_t i = 0; i < n; i += 2) {
    const eq_point& p = grid[i];
    const eq_point& q = grid[std::min(i + 1, n - 1)];
    const f64x2 h = f64x2{p.half_sine_squared, q.half_sine_squared};
    const f64x2 x = (n0 + h * (n1 + h * n2)) / (d0 + h * (d1 + h * d2));
    const level_pair l = fast_levels(x, table);
    for (size_t k = 0; k < 2 && i + k < n; ++k)
      response_[i + k] = l.decided[k] ? clamped_steps(l.steps[k])
                                      : static_cast<int16_t>(centi_db(section_level_db(f, grid[i + k])));
  }
}

void eq_curve::compute_filter(std::span<const eq_point> grid) {
  if (switched_off()) {
    std::fill(response_.begin(), response_.end(), int16_t{0});
    return;
  }
  const filter_design d = design_of(type_code_);
  switch (d.effect) {
    case design_effect::keep:
      return;
    case design_effect::flat:
      std::fill(response_.begin(), response_.end(), int16_t{0});
      return;
    case design_effect::cascade:
      break;
  }
  std::array<biquad, eq_max_sections> sections{};
  for (int k = 0; k < d.count; ++k) sections[k] = build_section(d.sections[k], d.high_pass, frequency_);
  const log_slices& table = log_table();
  const size_t n = grid.size();
  for (size_t i = 0; i < n; i += 2) {
    // The product of the sections' power ratios takes one logarithm; where that is not
    // decisive the sum of their levels is taken as always.
    const point_pair p = pair_at(grid, i);
    f64x2 product = splat(1);
    for (int k = 0; k < d.count; ++k) product *= power_ratio(sections[k], p);
    const level_pair l = fast_levels(product, table);
    for (size_t j = 0; j < 2 && i + j < n; ++j) {
      if (l.decided[j]) {
        response_[i + j] = clamped_steps(l.steps[j]);
        continue;
      }
      double sum = 0;
      for (int k = 0; k < d.count; ++k) sum += section_level_db(sections[k], grid[i + j]);
      response_[i + j] = static_cast<int16_t>(centi_db(sum));
    }
  }
}

// ---- one graph's curves ----

eq_response::eq_response(int points) : spread_random_(spread_seed) { set_points(points); }

void eq_response::set_points(int points) {
  grid_ = eq_grid(std::max(0, points));
  if (highpass_) highpass_->mark_dirty();
  if (lowpass_) lowpass_->mark_dirty();
  for (auto& b : bands_) b->mark_dirty();
}

int eq_response::add_highpass(double hz, int type_code) {
  if (highpass_) return -1;
  highpass_ = std::make_unique<eq_curve>(curve_kind::high_pass, eq_highpass_id, hz, 0, 0, type_code);
  return eq_highpass_id;
}

int eq_response::add_lowpass(double hz, int type_code) {
  if (lowpass_) return -1;
  lowpass_ = std::make_unique<eq_curve>(curve_kind::low_pass, eq_lowpass_id, hz, 0, 0, type_code);
  return eq_lowpass_id;
}

int eq_response::add_band(double hz, double gain_db, double q) {
  const int number = next_band_number_++;
  bands_.push_back(std::make_unique<eq_curve>(curve_kind::band, number, hz, gain_db, q, 0));
  return number;
}

void eq_response::spread_bands(int n) {
  for (int k = 0; k < n; ++k) {
    const double hz = spread_base_hz * std::pow(spread_ratio, k * spread_exponent / n);
    const auto r = static_cast<int>(spread_random_() % spread_gain_steps);
    add_band(hz, (r - (spread_gain_steps - 1) / 2) / 10.0, 1.0);
  }
}

void eq_response::reset_bands(int n) {
  bands_.clear();
  spread_bands(n);
}

eq_curve* eq_response::band(int index) {
  return index >= 0 && index < band_count() ? bands_[static_cast<size_t>(index)].get() : nullptr;
}

const eq_curve* eq_response::band(int index) const {
  return index >= 0 && index < band_count() ? bands_[static_cast<size_t>(index)].get() : nullptr;
}

bool eq_response::any_dirty() const {
  if (highpass_ && highpass_->dirty()) return true;
  if (lowpass_ && lowpass_->dirty()) return true;
  return std::any_of(bands_.begin(), bands_.end(), [](const auto& b) { return b->dirty(); });
}

int eq_response::compute_dirty() {
  int computed = 0;
  auto run = [&](eq_curve* c) {
    if (c && c->dirty()) {
      c->compute(grid_);
      ++computed;
    }
  };
  run(highpass_.get());
  run(lowpass_.get());
  for (auto& b : bands_) run(b.get());
  return computed;
}

void eq_response::sum_rows(int height, double level_min, double level_max) {
  const size_t n = grid_.size();
  std::vector<int> totals(n, 0);
  auto add = [&](const eq_curve* c) {
    // A curve not yet computed for this grid adds nothing rather than reading past its end.
    if (!c || c->response().size() != n) return;
    const int16_t* r = c->response().data();
    for (size_t i = 0; i < n; ++i) totals[i] += r[i];
  };
  add(highpass_.get());
  add(lowpass_.get());
  for (const auto& b : bands_) add(b.get());
  rows_.resize(n);
  for (size_t i = 0; i < n; ++i) rows_[i] = eq_row_of(totals[i] / 100.0, height, level_min, level_max);
}

std::vector<int> eq_response::curve_rows(const eq_curve& c, int height, double level_min,
                                         double level_max) {
  std::vector<int> rows(c.response().size());
  for (size_t i = 0; i < rows.size(); ++i)
    rows[i] = eq_row_of(c.response()[i] / 100.0, height, level_min, level_max);
  return rows;
}

}  // namespace vorante
