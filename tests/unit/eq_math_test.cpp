// EQ response maths: known levels, every filter code and band shape against an independent
// evaluation, the change keys, the grid and the summed rows.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <string>
#include <vector>

#include "ui/foundation/eq_math.h"

using namespace vorante;

namespace {

constexpr int plot_points = 300;
constexpr double fs = 48000.0;
constexpr double two_pi_single = 6.2831854820251465;

// ---- the reference: textbook biquads evaluated as complex transfer functions ----

struct ref_biquad {
  double b0, b1, b2, a0, a1, a2;
};

double ref_level_db(const ref_biquad& f, double hz) {
  const std::complex<double> z1 = std::polar(1.0, -two_pi_single * hz / fs);  // z^-1
  const std::complex<double> h =
      (f.b0 + f.b1 * z1 + f.b2 * z1 * z1) / (f.a0 + f.a1 * z1 + f.a2 * z1 * z1);
  return 20 * std::log10(std::abs(h));
}

// First order by the bilinear transform with K = tan(w / 2).
ref_biquad ref_first_order(bool high_pass, double fc) {
  const double k = std::tan(two_pi_single * fc / fs / 2);
  if (high_pass) return {1, -1, 0, 1 + k, k - 1, 0};
  return {k, k, 0, 1 + k, k - 1, 0};
}

// Second-order high/low pass, audio-EQ cookbook form.
ref_biquad ref_second_order(bool high_pass, double fc, double q) {
  const double w = two_pi_single * fc / fs;
  const double cw = std::cos(w), alpha = std::sin(w) / (2 * q);
  if (high_pass) return {(1 + cw) / 2, -(1 + cw), (1 + cw) / 2, 1 + alpha, -2 * cw, 1 - alpha};
  return {(1 - cw) / 2, 1 - cw, (1 - cw) / 2, 1 + alpha, -2 * cw, 1 - alpha};
}

// Bands, cookbook form. The console rounds A, w, sin w and cos w to single precision; that
// shifts low bands visibly, so the reference does the same.
ref_biquad ref_band(band_shape shape, double fc, double gain, double q) {
  const double a = static_cast<float>(std::pow(10.0, static_cast<double>(static_cast<float>(gain / 40))));
  const float w = static_cast<float>(two_pi_single * fc / fs);
  const double cw = static_cast<float>(std::cos(static_cast<double>(w)));
  const double sw = static_cast<float>(std::sin(static_cast<double>(w)));
  if (shape == band_shape::peaking) {
    const double alpha = sw / (2 * q);
    return {1 + alpha * a, -2 * cw, 1 - alpha * a, 1 + alpha / a, -2 * cw, 1 - alpha / a};
  }
  const double alpha = sw / (2 * std::min(q, 2.0));  // shelves stop steepening at q 2
  const double sa = 2 * std::sqrt(a) * alpha;
  if (shape == band_shape::low_shelf)
    return {a * ((a + 1) - (a - 1) * cw + sa), 2 * a * ((a - 1) - (a + 1) * cw),
            a * ((a + 1) - (a - 1) * cw - sa), (a + 1) + (a - 1) * cw + sa,
            -2 * ((a - 1) + (a + 1) * cw), (a + 1) + (a - 1) * cw - sa};
  return {a * ((a + 1) + (a - 1) * cw + sa), -2 * a * ((a - 1) + (a + 1) * cw),
          a * ((a + 1) + (a - 1) * cw - sa), (a + 1) - (a - 1) * cw + sa,
          2 * ((a - 1) - (a + 1) * cw), (a + 1) - (a - 1) * cw - sa};
}

int ref_centi(double db) {
  const double r = std::round(100 * db);
  return static_cast<int>(std::clamp(r, -32767.0, 32767.0));
}

double ref_grid_hz(int i, int n) {
  return 14.0 * std::pow(24000.0 / 14.0, static_cast<double>(i) / n);
}

// Section lists per code, written out from the family tables: 0 stands for a first-order
// section, anything else is the Q of a second-order one.
struct code_sections {
  int code;
  std::vector<double> sections;
};

const double bw_h = 0.707106544800711, bw_l = 0.7071446287005226;
const double be_h = 0.5773504926818718, be_l = 0.5774155654292669;
const double one_h = 0.9999992045996837, one_l = 0.9997589510477013;
const double b4a_h = 1.3065644940070889, b4b_h = 0.5411964065845227;
const double b4a_l = 1.3067514717803075, b4b_l = 0.5411366136198881;

const std::vector<code_sections> filter_codes = {
    {8, {bw_h}}, {9, {bw_l}}, {10, {be_h}}, {11, {be_l}}, {12, {0, 0}}, {13, {0, 0}},
    {14, {0, one_h}}, {15, {0, one_l}}, {16, {0, be_h}}, {17, {0, be_l}},
    {18, {0, bw_h}}, {19, {0, bw_l}}, {20, {b4a_h, b4b_h}}, {21, {b4a_l, b4b_l}},
    {22, {be_h, be_h}}, {23, {be_l, be_l}}, {24, {bw_h, bw_h}}, {25, {bw_l, bw_l}},
    {26, {0.5097956299341924, 0.6013447988467182, 0.8999759830684372, 2.5629186436560953}},
    {27, {0.509862408694738, 0.6013821034084735, 0.9000991248190391, 2.563485122055519}},
    {28, {be_h, be_h, be_h, be_h}}, {29, {be_l, be_l, be_l, be_l}},
    {30, {b4a_h, b4b_h, b4a_h, b4b_h}}, {31, {b4a_l, b4b_l, b4a_l, b4b_l}},
    {40, {0}}, {41, {0}}, {42, {0}}, {43, {0}}, {44, {0}}, {45, {0}},
    {46, {0, 1.6180339888271817, 0.6180339887902606}},
    {47, {0, 1.6180339888271817, 0.6180339887902606}},
    {48, {0, be_h, be_h}}, {49, {0, be_l, be_l}},
    {50, {0, bw_h, one_h}}, {51, {0, bw_l, one_l}},
    {52, {0.5176381882164414, bw_h, 1.931851489633714}},
    {53, {0.5175921050402528, bw_l, 1.9314301856396467}},
    {54, {be_h, be_h, be_h}}, {55, {be_l, be_l, be_l}},
    {56, {0, 0, one_h, one_h}}, {57, {0, 0, one_l, one_l}},
    {58, {0, 2.246979603823764, 0.8019377357999808, 0.5549581321144866}},
    {59, {0, 2.246979603823764, 0.8019377357999808, 0.5549581321144866}},
    {60, {0, be_h, be_h, be_h}}, {61, {0, be_l, be_l, be_l}},
    {62, {0, one_h, b4a_h, b4b_h}}, {63, {0, one_l, b4a_l, b4b_l}},
};

std::vector<int> computed(eq_curve& c, int n = plot_points) {
  const auto grid = eq_grid(n);
  c.compute(grid);
  return {c.response().begin(), c.response().end()};
}

std::vector<int> all(int n, int v) { return std::vector<int>(static_cast<size_t>(n), v); }

}  // namespace

// Rounding to the stored 0.01 dB differs by one step at most between two exact evaluations.
constexpr int tolerance_centi_db = 1;

TEST(eq_math, every_filter_code_matches_the_textbook_cascade) {
  for (const auto& fc : filter_codes) {
    const bool high_pass = fc.code % 2 == 0;
    for (double corner : {40.0, 1000.0, 9000.0}) {
      eq_curve c(high_pass ? curve_kind::high_pass : curve_kind::low_pass, 1, corner, 0, 0, fc.code);
      const auto got = computed(c);
      for (int i = 0; i < plot_points; ++i) {
        const double hz = ref_grid_hz(i, plot_points);
        double db = 0;
        for (double q : fc.sections)
          db += ref_level_db(q == 0 ? ref_first_order(high_pass, corner)
                                    : ref_second_order(high_pass, corner, q), hz);
        ASSERT_NEAR(got[static_cast<size_t>(i)], ref_centi(db), tolerance_centi_db)
            << "code " << fc.code << " corner " << corner << " Hz at " << hz << " Hz";
      }
    }
  }
}

TEST(eq_math, every_band_shape_matches_the_textbook_section) {
  struct band_case {
    band_shape shape;
    double hz, gain, q;
  };
  const std::vector<band_case> cases = {
      {band_shape::peaking, 1000, 6, 1},     {band_shape::peaking, 19.7, -12, 0.6},
      {band_shape::peaking, 120, 12, 28.08}, {band_shape::peaking, 15000, -7.5, 3.3},
      {band_shape::high_shelf, 4000, 9, 0.7}, {band_shape::high_shelf, 12000, -12, 4},
      {band_shape::high_shelf, 300, 3.3, 2},  {band_shape::low_shelf, 80, 12, 0.9},
      {band_shape::low_shelf, 250, -6, 10},   {band_shape::low_shelf, 20000, 4, 1.5},
  };
  for (const auto& bc : cases) {
    eq_curve c(curve_kind::band, 1, bc.hz, bc.gain, bc.q, 0);
    c.set_shape(bc.shape);
    const auto got = computed(c);
    for (int i = 0; i < plot_points; ++i) {
      const double hz = ref_grid_hz(i, plot_points);
      const double db = ref_level_db(ref_band(bc.shape, bc.hz, bc.gain, bc.q), hz);
      ASSERT_NEAR(got[static_cast<size_t>(i)], ref_centi(db), tolerance_centi_db)
          << "shape " << static_cast<int>(bc.shape) << " " << bc.hz << " Hz " << bc.gain
          << " dB q " << bc.q << " at " << hz << " Hz";
    }
  }
}

TEST(eq_math, known_levels) {
  struct level_case {
    const char* what;
    curve_kind kind;
    double hz, gain, q;
    int code;
    band_shape shape;
    double at_hz;
    int expected;
  };
  const std::vector<level_case> cases = {
      {"24 dB Butterworth high-pass at its corner", curve_kind::high_pass, 1000, 0, 0, 20,
       band_shape::peaking, 1000, -301},
      {"24 dB Butterworth high-pass one octave down", curve_kind::high_pass, 1000, 0, 0, 20,
       band_shape::peaking, 500, -2414},
      {"peaking +6 dB at its centre", curve_kind::band, 1000, 6, 1, 0, band_shape::peaking, 1000,
       600},
      {"12 dB Butterworth low-pass at its corner", curve_kind::low_pass, 2000, 0, 0, 9,
       band_shape::peaking, 2000, -301},
      {"first-order high-pass at its corner", curve_kind::high_pass, 500, 0, 0, 40,
       band_shape::peaking, 500, -301},
      {"low shelf +12 dB far below its corner", curve_kind::band, 1000, 12, 0.7, 0,
       band_shape::low_shelf, 20, 1200},
      {"high shelf -9 dB far above its corner", curve_kind::band, 200, -9, 0.7, 0,
       band_shape::high_shelf, 12000, -900},
      {"zero section", curve_kind::low_pass, 1000, 0, 0, 33, band_shape::peaking, 500,
       eq_level_floor},
      {"two zero sections", curve_kind::high_pass, 1000, 0, 0, 36, band_shape::peaking, 500,
       eq_level_floor},
  };
  for (const auto& lc : cases) {
    eq_curve c(lc.kind, 1, lc.hz, lc.gain, lc.q, lc.code);
    c.set_shape(lc.shape);
    const std::vector<eq_point> at{eq_point_at(lc.at_hz)};
    c.compute(at);
    EXPECT_EQ(c.response()[0], lc.expected) << lc.what;
  }
}

TEST(eq_math, flat_curves) {
  // Every band shape at 0 dB; switched-off filters whatever their code; codes 64..69.
  for (band_shape s : {band_shape::peaking, band_shape::high_shelf, band_shape::low_shelf}) {
    eq_curve c(curve_kind::band, 1, 700, 0, 0.8, 0);
    c.set_shape(s);
    EXPECT_EQ(computed(c), all(plot_points, 0)) << "shape " << static_cast<int>(s);
  }
  for (int code : {0, 7, 8, 20, 33, 36, 63, 64, 70}) {
    eq_curve hp(curve_kind::high_pass, 1, eq_highpass_off_hz, 0, 0, code);
    EXPECT_EQ(computed(hp), all(plot_points, 0)) << "high-pass off, code " << code;
    eq_curve hp_low(curve_kind::high_pass, 1, 19.6, 0, 0, code);
    EXPECT_EQ(computed(hp_low), all(plot_points, 0)) << "high-pass at 19.6, code " << code;
    eq_curve lp(curve_kind::low_pass, 1, 20001, 0, 0, code);
    EXPECT_EQ(computed(lp), all(plot_points, 0)) << "low-pass off, code " << code;
  }
  for (int code = 64; code <= 69; ++code) {
    eq_curve c(curve_kind::low_pass, 1, 300, 0, 0, code);
    EXPECT_EQ(computed(c), all(plot_points, 0)) << "code " << code;
  }
  // Just inside the range the filters work.
  eq_curve hp(curve_kind::high_pass, 1, 19.7, 0, 0, 8);
  EXPECT_LT(computed(hp)[0], 0);
  eq_curve lp(curve_kind::low_pass, 1, 20000, 0, 0, 9);
  EXPECT_LT(computed(lp)[plot_points - 1], 0);
}

TEST(eq_math, unknown_codes_keep_what_was_shown) {
  for (int code : {-1, 0, 7, 34, 35, 38, 39, 70, 1000}) {
    eq_curve c(curve_kind::low_pass, 1, 1000, 0, 0, 21);
    const auto before = computed(c);
    ASSERT_TRUE(c.set_type(code));
    EXPECT_EQ(computed(c), before) << "code " << code;
    EXPECT_FALSE(c.dirty());
    // A new grid size with nothing computed for it shows a flat line.
    EXPECT_EQ(computed(c, 50), all(50, 0)) << "code " << code;
  }
}

TEST(eq_math, shelves_treat_q_above_two_as_two) {
  for (band_shape s : {band_shape::high_shelf, band_shape::low_shelf}) {
    eq_curve at2(curve_kind::band, 1, 1500, 9, 2, 0);
    eq_curve at4(curve_kind::band, 1, 1500, 9, 4, 0);
    eq_curve at1(curve_kind::band, 1, 1500, 9, 1, 0);
    at2.set_shape(s);
    at4.set_shape(s);
    at1.set_shape(s);
    EXPECT_EQ(computed(at4), computed(at2));
    EXPECT_NE(computed(at1), computed(at2));
  }
}

TEST(eq_math, setters_ignore_changes_below_a_hundredth) {
  eq_curve c(curve_kind::band, 1, 1000.001, 3, 1, 0);
  c.compute(eq_grid(10));
  ASSERT_FALSE(c.dirty());

  EXPECT_FALSE(c.set_frequency(1000.004));  // same key 100000
  EXPECT_FALSE(c.set_gain(3.004));
  EXPECT_FALSE(c.set_q(0.996));
  EXPECT_FALSE(c.set_type(0));
  EXPECT_FALSE(c.set_shape(band_shape::peaking));
  EXPECT_FALSE(c.dirty());
  EXPECT_DOUBLE_EQ(c.frequency(), 1000.001);  // the accepted value stays

  EXPECT_TRUE(c.set_frequency(1000.006));
  EXPECT_DOUBLE_EQ(c.frequency(), 1000.006);
  EXPECT_TRUE(c.dirty());
  c.compute(eq_grid(10));
  EXPECT_TRUE(c.set_gain(3.01));
  c.compute(eq_grid(10));
  EXPECT_TRUE(c.set_q(1.01));
  c.compute(eq_grid(10));
  EXPECT_TRUE(c.set_shape(band_shape::low_shelf));
  c.compute(eq_grid(10));
  EXPECT_TRUE(c.set_type(9));
  EXPECT_TRUE(c.dirty());
}

TEST(eq_math, values_that_are_not_numbers_never_reach_a_curve) {
  eq_curve c(curve_kind::band, 1, 1000, 3, 1, 0);
  c.compute(eq_grid(10));
  for (double bad : {NAN, INFINITY, -INFINITY}) {
    EXPECT_FALSE(c.set_frequency(bad));
    EXPECT_FALSE(c.set_gain(bad));
    EXPECT_FALSE(c.set_q(bad));
  }
  EXPECT_FALSE(c.dirty());
  EXPECT_DOUBLE_EQ(c.gain(), 3);
  // Degenerate but finite values draw something defined, never garbage.
  EXPECT_TRUE(c.set_q(0));
  EXPECT_EQ(computed(c, 10), all(10, 0));
  EXPECT_TRUE(c.set_gain(5000));
  EXPECT_TRUE(c.set_q(1));
  for (int v : computed(c, 10)) EXPECT_LE(v, eq_level_ceiling);
}

TEST(eq_math, grid_is_logarithmic_from_14_hz_to_one_step_below_24_khz) {
  const auto grid = eq_grid(plot_points);
  ASSERT_EQ(grid.size(), size_t{plot_points});
  EXPECT_DOUBLE_EQ(grid.front().frequency, 14.0);
  EXPECT_NEAR(eq_grid_frequency(plot_points, plot_points), 24000.0, 1e-6);
  const double step = std::pow(24000.0 / 14.0, 1.0 / plot_points);
  for (int i = 1; i < plot_points; ++i) {
    const auto& p = grid[static_cast<size_t>(i)];
    EXPECT_NEAR(p.frequency / grid[static_cast<size_t>(i) - 1].frequency, step, 1e-12);
    const double w = two_pi_single * p.frequency / fs;
    EXPECT_DOUBLE_EQ(p.sine, std::sin(w));
    EXPECT_DOUBLE_EQ(p.cosine, std::cos(w));
  }
  EXPECT_TRUE(eq_grid(0).empty());
  EXPECT_TRUE(eq_grid(-3).empty());
}

TEST(eq_math, columns_and_rows) {
  struct column_case {
    double hz;
    int n, expected;
  };
  for (const auto& cc : std::vector<column_case>{{14, 300, 0},
                                                 {24000, 300, 300},
                                                 {1000, 300, 171},  // floor of 171.97
                                                 {20, 100, 4},
                                                 {13, 300, -3},
                                                 {0, 300, -1},
                                                 {-5, 300, -1}})
    EXPECT_EQ(eq_column_of(cc.hz, cc.n), cc.expected) << cc.hz << " Hz over " << cc.n;
  // A column maps back to its own grid frequency.
  for (int i : {0, 1, 57, 150, 299}) EXPECT_EQ(eq_column_of(eq_grid_frequency(i, 300) * 1.0000001, 300), i);

  struct row_case {
    double db;
    int height, expected;
  };
  for (const auto& rc : std::vector<row_case>{{0, 100, 50}, {12, 100, 100}, {-12, 100, 0},
                                              {0, 101, 51},  // halves round away from zero
                                              {24, 100, 150}, {-327.67, 100, -1315},
                                              {3.01, 120, 75}})
    EXPECT_EQ(eq_row_of(rc.db, rc.height, -12, 12), rc.expected) << rc.db << " dB over " << rc.height;
  EXPECT_EQ(eq_row_of(5, 100, 12, 12), 0);  // an empty level range draws nothing sensible; no crash
}

TEST(eq_math, graph_curves_and_band_numbers) {
  eq_response r(100);
  EXPECT_EQ(r.add_highpass(80, 8), eq_highpass_id);
  EXPECT_EQ(r.add_highpass(90, 9), -1);
  EXPECT_DOUBLE_EQ(r.highpass()->frequency(), 80);
  EXPECT_EQ(r.add_lowpass(12000, 9), eq_lowpass_id);
  EXPECT_EQ(r.add_lowpass(9000, 9), -1);
  EXPECT_EQ(r.add_band(1000, 3, 1), 1);
  EXPECT_EQ(r.add_band(2000, 3, 1), 2);
  EXPECT_EQ(r.band(1)->id(), 2);
  EXPECT_EQ(r.band(2), nullptr);
  EXPECT_EQ(r.band(-1), nullptr);

  r.reset_bands(4);  // numbering goes on
  ASSERT_EQ(r.band_count(), 4);
  const double expected_hz[] = {50, 50 * std::sqrt(20.0), 1000, 1000 * std::sqrt(20.0)};
  for (int k = 0; k < 4; ++k) {
    const eq_curve& b = *r.band(k);
    EXPECT_EQ(b.id(), 3 + k);
    EXPECT_NEAR(b.frequency(), expected_hz[k], expected_hz[k] * 1e-6);
    EXPECT_DOUBLE_EQ(b.q(), 1);
    EXPECT_EQ(b.shape(), band_shape::peaking);
    EXPECT_GE(b.gain(), -12);
    EXPECT_LE(b.gain(), 12);
    EXPECT_NEAR(b.gain() * 10, std::round(b.gain() * 10), 1e-9);
  }
}

TEST(eq_math, one_changed_band_is_the_only_recomputation_and_the_sum_follows) {
  constexpr int height = 120;
  eq_response r(plot_points);
  r.add_highpass(100, 20);
  r.add_lowpass(10000, 21);
  r.spread_bands(4);
  EXPECT_EQ(r.compute_dirty(), 6);
  EXPECT_EQ(r.compute_dirty(), 0);
  EXPECT_FALSE(r.any_dirty());

  ASSERT_TRUE(r.band(2)->set_gain(9));
  EXPECT_TRUE(r.any_dirty());
  EXPECT_EQ(r.compute_dirty(), 1);
  r.sum_rows(height, -12, 12);

  ASSERT_EQ(r.rows().size(), size_t{plot_points});
  for (size_t i = 0; i < plot_points; ++i) {
    int total = r.highpass()->response()[i] + r.lowpass()->response()[i];
    for (int k = 0; k < r.band_count(); ++k) total += r.band(k)->response()[i];
    ASSERT_EQ(r.rows()[i], eq_row_of(total / 100.0, height, -12, 12)) << "point " << i;
  }
  // A lone curve's rows are its own response, converted the same way.
  const auto band_rows = eq_response::curve_rows(*r.band(2), height, -12, 12);
  EXPECT_EQ(band_rows[150], eq_row_of(r.band(2)->response()[150] / 100.0, height, -12, 12));

  // A new plot width makes every curve dirty and resizes everything.
  r.set_points(200);
  EXPECT_EQ(r.compute_dirty(), 6);
  r.sum_rows(height, -12, 12);
  EXPECT_EQ(r.rows().size(), size_t{200});
  EXPECT_EQ(r.band(0)->response().size(), size_t{200});
}

TEST(eq_math, curves_not_yet_computed_add_nothing_to_the_sum) {
  eq_response r(50);
  r.add_band(1000, 12, 1);
  r.sum_rows(100, -12, 12);
  EXPECT_EQ(r.rows(), all(50, 50));
}

// The stored steps are exactly what rounding each section's own level in dB gives, point by
// point: random bands of every shape and filters of every code, over grids of even and odd
// size, plus the awkward inputs (zero sections, a degenerate q, gains far out of range).
TEST(eq_math, stored_steps_are_the_exactly_rounded_levels) {
  std::mt19937 random(7);
  auto uniform = [&](double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(random);
  };
  auto expected_band = [](const eq_curve& c, const std::vector<eq_point>& grid) {
    const biquad f = band_biquad(c.shape(), c.frequency(), c.gain(), c.q());
    std::vector<int> out;
    for (const auto& p : grid) out.push_back(centi_db(section_level_db(f, p)));
    return out;
  };
  int compared = 0;
  for (int n : {1, 2, 299, 300}) {
    const auto grid = eq_grid(n);
    for (int trial = 0; trial < 400; ++trial) {
      const auto shape = static_cast<band_shape>(trial % 3);
      const double hz = std::exp(uniform(std::log(15.0), std::log(23000.0)));
      const double gain = trial % 50 == 0 ? uniform(-3000, 3000) : uniform(-15, 15);
      const double q = trial % 97 == 0 ? 0 : uniform(0.3, 30);
      eq_curve c(curve_kind::band, 1, hz, gain, q, 0);
      c.set_shape(shape);
      c.compute(grid);
      ASSERT_EQ(std::vector<int>(c.response().begin(), c.response().end()), expected_band(c, grid))
          << "shape " << trial % 3 << " " << hz << " Hz " << gain << " dB q " << q << " over " << n;
      compared += n;
    }
    for (int code = 8; code <= 69; ++code) {
      for (int trial = 0; trial < 6; ++trial) {
        const bool high_pass = code % 2 == 0;
        const double hz = std::exp(uniform(std::log(20.0), std::log(19000.0)));
        eq_curve c(high_pass ? curve_kind::high_pass : curve_kind::low_pass, 1, hz, 0, 0, code);
        c.compute(grid);
        const filter_design d = design_of(code);
        if (d.effect != design_effect::cascade) continue;
        for (int i = 0; i < n; ++i) {
          double sum = 0;
          for (int k = 0; k < d.count; ++k) {
            const section_spec& sp = d.sections[static_cast<size_t>(k)];
            const biquad s = sp.type == section_type::first_order
                                 ? (high_pass ? first_order_highpass(hz) : first_order_lowpass(hz))
                             : sp.type == section_type::second_order
                                 ? (high_pass ? second_order_highpass(hz, sp.q)
                                              : second_order_lowpass(hz, sp.q))
                                 : biquad{0, 0, 0, 0, 0};
            sum += section_level_db(s, grid[static_cast<size_t>(i)]);
          }
          ASSERT_EQ(c.response()[static_cast<size_t>(i)], centi_db(sum))
              << "code " << code << " corner " << hz << " Hz, point " << i << " of " << n;
        }
        compared += n;
      }
    }
  }
  EXPECT_GT(compared, 400000);
}
