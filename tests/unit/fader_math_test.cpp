#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "ui/foundation/fader_math.h"

namespace vorante {
namespace {

// ---- Laws ----

struct law_case {
  fader_mode mode;
  double db;
  double permille;
};

void PrintTo(const law_case& c, std::ostream* os) {
  *os << "mode " << static_cast<int>(c.mode) << " " << c.db << " dB";
}

class fader_law_test : public ::testing::TestWithParam<law_case> {};

// Both directions and the round trip through each law.
TEST_P(fader_law_test, value_and_travel_agree) {
  const law_case& c = GetParam();
  const auto law = fader_law_of(c.mode);
  EXPECT_NEAR(law_permille(law, c.db), c.permille, 1e-9);
  EXPECT_NEAR(law_value(law, c.permille), c.db, 1e-9);
  EXPECT_NEAR(law_value(law, law_permille(law, c.db)), c.db, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    law_61, fader_law_test,
    ::testing::Values(law_case{fader_mode::law_61, -120, 0}, law_case{fader_mode::law_61, 0, 800},
                      law_case{fader_mode::law_61, 10, 1000}, law_case{fader_mode::law_61, 4.3, 900},
                      // Between the detents the travel is linear: 8 permille past 4.3 dB.
                      law_case{fader_mode::law_61, 4.3 + 0.7 * 0.48, 908},
                      law_case{fader_mode::law_61, -50, 7000.0 / 60},
                      law_case{fader_mode::law_61, -45, 10000.0 / 60}));

INSTANTIATE_TEST_SUITE_P(
    law_49, fader_law_test,
    ::testing::Values(law_case{fader_mode::law_49, -120, 0}, law_case{fader_mode::law_49, 0, 1000},
                      law_case{fader_mode::law_49, -10, 1000.0 * 32 / 48},
                      law_case{fader_mode::law_49, -5, 1000.0 * 39 / 48}));

TEST(fader_law, laws_are_the_console_level_ladders) {
  ASSERT_EQ(fader_law_61().size(), 61u);
  ASSERT_EQ(fader_law_49().size(), 49u);
  EXPECT_EQ(fader_law_61().front(), -120);
  EXPECT_EQ(fader_law_61()[48], 0);
  EXPECT_EQ(fader_law_61().back(), 10);
  EXPECT_EQ(fader_law_49().back(), 0);
  EXPECT_TRUE(fader_law_of(fader_mode::custom).empty());
  EXPECT_TRUE(fader_law_of(fader_mode::range).empty());
}

TEST(fader_law, values_outside_the_law_pin_to_its_ends) {
  const auto law = fader_law_61();
  EXPECT_EQ(law_permille(law, -200), 0);
  EXPECT_EQ(law_permille(law, 12), 1000);
  EXPECT_EQ(law_permille(law, NAN), 0);
  EXPECT_EQ(law_value(law, -5), -120);
  EXPECT_EQ(law_value(law, 1500), 10);
  EXPECT_EQ(law_value(law, NAN), -120);
  // 0 dB of the send law is the very top; the fader law still has 10 dB above it.
  EXPECT_EQ(law_permille(fader_law_49(), 3), 1000);
}

TEST(fader_law, custom_tables_tolerate_flat_steps_and_tiny_sizes) {
  const std::array<double, 4> flat{0, 10, 10, 20};
  EXPECT_NEAR(law_permille(flat, 5), 1000.0 / 6, 1e-9);
  EXPECT_TRUE(std::isfinite(law_permille(flat, 10)));
  EXPECT_NEAR(law_value(flat, 500), 10, 1e-9);
  const std::array<double, 1> one{3};
  EXPECT_EQ(law_value(one, 700), 3);
  EXPECT_EQ(law_permille(one, 3), 0);
  EXPECT_EQ(law_value({}, 700), 0);
}

TEST(fader_law, every_detent_of_the_law_survives_the_round_trip) {
  for (fader_mode m : {fader_mode::law_61, fader_mode::law_49}) {
    const auto law = fader_law_of(m);
    for (std::size_t i = 0; i < law.size(); ++i) {
      const double p = law_permille(law, law[i]);
      EXPECT_NEAR(p, 1000.0 * i / (law.size() - 1), 1e-9) << law[i];
      EXPECT_NEAR(law_value(law, p), law[i], 1e-9);
    }
  }
}

struct range_case {
  int min, max, value;
  double permille;
  int back;  // value read back at that permille
};

class fader_range_test : public ::testing::TestWithParam<range_case> {};

TEST_P(fader_range_test, integer_range) {
  const range_case& c = GetParam();
  EXPECT_NEAR(range_permille(c.value, c.min, c.max), c.permille, 1e-9);
  EXPECT_EQ(range_value(c.permille, c.min, c.max), c.back);
}

INSTANTIATE_TEST_SUITE_P(
    cases, fader_range_test,
    ::testing::Values(range_case{0, 100, 0, 0, 0}, range_case{0, 100, 100, 1000, 100},
                      range_case{0, 100, 37, 370, 37}, range_case{0, 10, 12, 1000, 10},
                      range_case{-10, 10, -20, 0, -10}, range_case{-10, 10, 0, 500, 0},
                      range_case{0, 4, 1, 250, 1}));

TEST(fader_range, drag_beyond_the_travel_stays_in_range) {
  EXPECT_EQ(range_value(-250, 0, 10), 0);
  EXPECT_EQ(range_value(1250, 0, 10), 10);
  EXPECT_EQ(range_value(999.9, 0, 10), 9);
  // A degenerate range is never divided by.
  EXPECT_EQ(range_permille(5, 5, 5), 0);
  EXPECT_EQ(range_value(500, 5, 5), 5);
}

// ---- Travel geometry ----

TEST(fader_travel, knob_centre_stays_half_a_knob_inside_the_padding) {
  const knob_travel t = fader_knob_travel(300, 2, 2, 28);
  EXPECT_EQ(t.top, 16);
  EXPECT_EQ(t.bottom, 284);
  EXPECT_EQ(travel_y(t, 1000), t.top);
  EXPECT_EQ(travel_y(t, 0), t.bottom);
  EXPECT_EQ(travel_y(t, 800), 284 - 214);
  EXPECT_EQ(travel_y(t, -40), t.bottom);
  EXPECT_EQ(travel_y(t, 1400), t.top);
  // Too short for its knob: a flat travel, never divided by zero.
  const knob_travel flat = fader_knob_travel(20, 2, 2, 28);
  EXPECT_EQ(flat.span(), 0);
  EXPECT_EQ(travel_permille(flat, 3), 0);
  EXPECT_EQ(drag_permille(flat, 3), 0);
}

TEST(fader_travel, value_to_y_and_back_at_the_ends_and_at_0_db) {
  const knob_travel t = fader_knob_travel(420, 2, 2, 22);
  const auto law = fader_law_61();
  for (double db : {-120.0, 0.0, 10.0}) {
    const int y = travel_y(t, law_permille(law, db));
    EXPECT_NEAR(law_value(law, travel_permille(t, y)), db, 0.05) << db;
  }
  EXPECT_EQ(travel_permille(t, t.top), 1000);
  EXPECT_EQ(travel_permille(t, t.bottom), 0);
  // A drag of the whole travel upwards is the whole range.
  EXPECT_EQ(drag_permille(t, -t.span()), 1000);
  EXPECT_EQ(drag_permille(t, t.span() / 2.0), -500);
}

TEST(fader_travel, knob_rect_is_centred_on_track_and_value) {
  EXPECT_EQ(knob_rect(40, 100, 50, 28), (int_rect{15, 86, 50, 28}));
  EXPECT_EQ(knob_rect(20, 8, 28, 16), (int_rect{6, 0, 28, 16}));
}

struct track_case {
  const char* name;
  track_layout_in in;
  int centre_x;
  int_rect rect;
};

void PrintTo(const track_case& c, std::ostream* os) { *os << c.name; }

class fader_track_test : public ::testing::TestWithParam<track_case> {};

TEST_P(fader_track_test, layout) {
  const track_case& c = GetParam();
  const fader_track t = fader_track_layout(c.in);
  EXPECT_EQ(t.centre_x, c.centre_x);
  EXPECT_EQ(t.rect, c.rect);
}

INSTANTIATE_TEST_SUITE_P(
    cases, fader_track_test,
    ::testing::Values(
        // Labels push the track right by half their column and gap.
        track_case{"labels", {130, 130, 16, 16, 20, 4, 4, 0, false}, 77, {75, 16, 4, 98}},
        track_case{"centred", {80, 300, 2, 2, 20, 4, 4, 0, true}, 40, {38, 2, 4, 296}},
        track_case{"shifted", {80, 300, 2, 2, 0, 4, 4, 4, true}, 44, {42, 2, 4, 296}},
        track_case{"no labels", {80, 300, 2, 2, 0, 4, 6, 0, false}, 42, {39, 2, 6, 296}}));

TEST(fader_ticks, automatic_gap_clears_the_knob_but_never_hugs_the_track) {
  EXPECT_EQ(fader_tick_gap(-1, 50, 10, 4), 18);
  EXPECT_EQ(fader_tick_gap(-1, 28, 10, 4), 7);
  EXPECT_EQ(fader_tick_gap(-1, 16, 10, 4), 4);
  EXPECT_EQ(fader_tick_gap(-1, 0, 10, 4), 4);
  EXPECT_EQ(fader_tick_gap(1, 50, 10, 4), 1);
}

TEST(fader_ticks, dB_laws_have_their_marks_and_labels) {
  const fader_scale s61 = fader_ticks(fader_mode::law_61);
  ASSERT_EQ(s61.count, 10);
  const std::array<int, 10> db{-120, -50, -40, -30, -20, -10, -5, 0, 5, 10};
  const std::array<const char*, 10> labels{"-\u221E", "-50", "-40", "-30", "-20", "-10", "-5", "0", "5", "10"};
  for (int i = 0; i < s61.count; ++i) {
    EXPECT_EQ(s61.ticks[i].db, db[i]);
    std::array<char, 8> buf{};
    EXPECT_STREQ(fader_tick_label(s61.ticks[i].db, buf), labels[i]);
  }
  EXPECT_EQ(s61.ticks[0].permille, 0);
  EXPECT_EQ(s61.ticks[7].permille, 800);
  EXPECT_EQ(s61.ticks[9].permille, 1000);

  const fader_scale s49 = fader_ticks(fader_mode::law_49);
  ASSERT_EQ(s49.count, 8);
  EXPECT_EQ(s49.ticks[7].permille, 1000);
  EXPECT_EQ(fader_ticks(fader_mode::custom).count, 0);
  EXPECT_EQ(fader_ticks(fader_mode::range).count, 0);
}

TEST(fader_glow, zero_draws_no_glow_and_one_is_opaque) {
  EXPECT_EQ(fader_glow_alpha(0), 0);
  EXPECT_EQ(fader_glow_alpha(1), 255);
  EXPECT_EQ(fader_glow_alpha(128), 128);
  EXPECT_EQ(fader_glow_alpha(255), 1);
}

// ---- Level meter ----

struct meter_case {
  int db;
  double position;
  int value;
};

void PrintTo(const meter_case& c, std::ostream* os) { *os << c.db << " dB"; }

class meter_mapping_test : public ::testing::TestWithParam<meter_case> {};

TEST_P(meter_mapping_test, byte_to_mark_and_bar) {
  const meter_case& c = GetParam();
  EXPECT_NEAR(meter_mark_position(c.db), c.position, 1e-9);
  EXPECT_EQ(meter_target(c.db), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    marks, meter_mapping_test,
    ::testing::Values(meter_case{-128, 0, 0}, meter_case{-41, 0, 0}, meter_case{-40, 0, 0},
                      meter_case{-35, 0.5, 41}, meter_case{-30, 1, 83}, meter_case{-10, 3, 250},
                      meter_case{-8, 3 + 2.0 / 3, 305}, meter_case{-7, 4, 333},
                      meter_case{-1, 6.5, 541}, meter_case{0, 7, 583}, meter_case{3, 8.5, 708},
                      meter_case{7, 10, 833}, meter_case{10, 11, 916}, meter_case{12, 11.5, 958},
                      meter_case{14, 12, 1000},
                      // Above the scale: beyond the top, clamped by the bar.
                      meter_case{15, 100, 1000}, meter_case{20, 100, 1000}, meter_case{127, 100, 1000}));

TEST(meter_ballistics, rises_at_once_and_falls_by_the_given_step) {
  EXPECT_EQ(meter_ballistics(1000, 0, 10), 900);
  EXPECT_EQ(meter_ballistics(900, 0, 10), 800);
  EXPECT_EQ(meter_ballistics(50, 0, 10), 0);
  EXPECT_EQ(meter_ballistics(100, 583, 10), 583);
  EXPECT_EQ(meter_ballistics(1000, 0, 0), 0);
  EXPECT_EQ(meter_ballistics(0, 5000, 10), 1000);
  EXPECT_EQ(meter_ballistics(583, 541, 10), 541);
}

TEST(meter_scale, value_reads_back_as_the_dB_of_its_marks) {
  for (int db : level_meter_marks) EXPECT_NEAR(meter_db_of_value(meter_target(db)), db, 0.1) << db;
  EXPECT_EQ(meter_db_of_value(0), -40);
  EXPECT_EQ(meter_db_of_value(1000), 14);
  EXPECT_EQ(meter_db_of_value(5000), 14);
}

TEST(meter_scale, line_and_zones_of_a_bar) {
  EXPECT_EQ(meter_line_y(0, 120), 120);
  EXPECT_EQ(meter_line_y(1000, 120), 0);
  EXPECT_EQ(meter_line_y(583, 120), 51);

  const meter_zones z = level_meter_zones(240);
  EXPECT_EQ(z.green_top, 100);   // 7/12 of 240 from the bottom
  EXPECT_EQ(z.yellow_top, 20);   // 11/12
  EXPECT_EQ(z.green_blend, 12);  // capped
  EXPECT_EQ(z.yellow_blend, 10); // half the 20 px red zone
  const meter_zones small = level_meter_zones(12);
  EXPECT_EQ(small.yellow_blend, 0);
  EXPECT_EQ(level_meter_zones(-5).green_top, 0);
}

// ---- Pan bar ----

struct pan_case {
  double x;
  int value;
};

void PrintTo(const pan_case& c, std::ostream* os) { *os << "x " << c.x; }

class pan_test : public ::testing::TestWithParam<pan_case> {};

// A track centred on 100 with a half width of 50.
TEST_P(pan_test, pointer_to_value) {
  EXPECT_EQ(pan_value_at(GetParam().x, 100, 50, -100, 100), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    cases, pan_test,
    ::testing::Values(pan_case{100, 0}, pan_case{104.9, 0}, pan_case{95, 0}, pan_case{105.5, 11},
                      pan_case{94, -12}, pan_case{150, 100}, pan_case{400, 100}, pan_case{50, -100},
                      pan_case{-30, -100}, pan_case{125, 50}, pan_case{75, -50}));

TEST(pan_bar, value_to_x_mirrors_round_the_centre) {
  EXPECT_EQ(pan_value_x(0, 100, 50, -100, 100), 100);
  EXPECT_EQ(pan_value_x(100, 100, 50, -100, 100), 150);
  EXPECT_EQ(pan_value_x(-50, 100, 50, -100, 100), 75);
  EXPECT_EQ(pan_value_x(300, 100, 50, -100, 100), 150);
  for (int v : {-100, -37, 0, 64, 100})
    EXPECT_EQ(pan_value_at(pan_value_x(v, 100, 50, -100, 100), 100, 50, -100, 100), v);
}

}  // namespace
}  // namespace vorante
