#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/core/translate.h"
#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/levels.h"
#include "store_fixture.h"

namespace vorante {
namespace {

using enum value_type;

// ---- Texts ----

struct text_case {
  value_type type;
  uint16_t raw;
  const char* text;
  const char* plain;  // nullptr: same as text
  int effect_type = 0;
};

void PrintTo(const text_case& c, std::ostream* os) { *os << "type " << type_number(c.type) << " raw " << c.raw; }

class value_text_test : public ::testing::TestWithParam<text_case> {};

TEST_P(value_text_test, with_and_without_units) {
  const text_case& c = GetParam();
  EXPECT_EQ(value_text_of_type(c.type, c.raw, c.effect_type), c.text);
  EXPECT_EQ(value_text_of_type(c.type, c.raw, c.effect_type, unit_display::hidden), c.plain ? c.plain : c.text);
}

INSTANTIATE_TEST_SUITE_P(
    levels, value_text_test,
    ::testing::Values(text_case{fader_level, 1200, "0.0dB", "0.0"}, text_case{fader_level, 0, "-\u221E", nullptr},
                      text_case{fader_level, 1300, "10.0dB", "10.0"}, text_case{send_level, 1199, "-0.1dB", "-0.1"},
                      text_case{send_level, 1, "-119.9dB", "-119.9"},
                      // Flags do not change the level shown, and do not hide "off".
                      text_case{fader_level, 0xC000 | 1200, "0.0dB", "0.0"}, text_case{send_level, 0x4000, "-\u221E", nullptr},
                      text_case{makeup_gain, 1200, "0.0dB", "0.0"}, text_case{makeup_gain, 1400, "20.0dB", "20.0"}));

INSTANTIATE_TEST_SUITE_P(
    pan_and_ratio, value_text_test,
    ::testing::Values(text_case{pan, 100, "L = R", nullptr}, text_case{pan, 90, "L 10%", nullptr},
                      text_case{pan, 135, "R 35%", nullptr}, text_case{pan, 0, "L 100%", nullptr},
                      text_case{pan, 200, "R 100%", nullptr}, text_case{compressor_ratio, 4100, "Infinity", nullptr},
                      text_case{compressor_ratio, 4000, "1 : 40", nullptr}, text_case{compressor_ratio, 100, "1 : 1", nullptr},
                      text_case{compressor_ratio, 103, "1 : 1.03", nullptr}, text_case{compressor_ratio, 250, "1 : 2.5", nullptr}));

INSTANTIATE_TEST_SUITE_P(
    frequencies, value_text_test,
    ::testing::Values(text_case{highpass_frequency, 0x80C4, "OFF", nullptr}, text_case{peq_frequency, 0x80C5, "19.7Hz", "19.7"},
                      text_case{highpass_frequency, 0x8320, "80.0Hz", "80.0"}, text_case{peq_frequency, 0x8000 | 999, "99.9Hz", "99.9"},
                      text_case{peq_frequency, 100, "100Hz", "100"}, text_case{geq_frequency, 400, "400Hz", "400"},
                      text_case{peq_frequency, 999, "999Hz", "999"}, text_case{peq_frequency, 1000, "1kHz", "1k"},
                      text_case{peq_frequency, 2500, "2.5kHz", "2.5k"}, text_case{peq_frequency, 12345, "12.3kHz", "12.3k"},
                      text_case{peq_frequency, 20000, "20kHz", "20k"},
                      // 20.6 kHz is the low-pass filter's "off" setting.
                      text_case{lowpass_frequency, 20600, "OFF", nullptr}, text_case{lowpass_frequency, 0, "OFF", nullptr}));

INSTANTIATE_TEST_SUITE_P(
    eq_and_dynamics, value_text_test,
    ::testing::Values(
        // EQ gain keeps its unit even in the plain variant.
        text_case{peq_gain, 500, "0.0dB", nullptr}, text_case{geq_gain, 620, "12.0dB", nullptr},
        text_case{peq_gain, 380, "-12.0dB", nullptr}, text_case{peq_q, 100, "1.00", nullptr},
        text_case{geq_q, 2808, "28.08", nullptr}, text_case{compressor_threshold, 0x8000 | 200, "-20.0dB", "-20.0"},
        text_case{compressor_threshold, 0, "0.0dB", "0.0"}, text_case{compressor_attack, 100, "10.0mS", "10.0"},
        text_case{compressor_release, 5000, "500mS", "500"}, text_case{gate_threshold, 80, "-80dB", "-80"}, text_case{gate_attack, 3, "3mS", "3"},
        text_case{gate_decay, 16, "16", nullptr}, text_case{output_delay, 0xFFF6, "-1.0mS", "-1.0"}));

INSTANTIATE_TEST_SUITE_P(
    switches_and_plain, value_text_test,
    ::testing::Values(text_case{phase, 0, "180", nullptr}, text_case{phase, 1, "0", nullptr},
                      text_case{input_gain, 30, "30", nullptr}, text_case{input_delay, 5, "0.5", nullptr},
                      text_case{plain, 65535, "65535", nullptr}, text_case{effect_param_3, 1234, "1234", nullptr},
                      text_case{static_cast<value_type>(60), 7, "7", nullptr}, text_case{effect_type, 1, "REVERB HALL", nullptr},
                      text_case{effect_type, 32, "TAP DELAY", nullptr}, text_case{effect_type, 0, "", nullptr},
                      text_case{highpass_filter, 20, "BUTTER\nWORTH 24dB", nullptr}, text_case{lowpass_filter, 7, "", nullptr}));

// Effect parameters are read by the effect type of their return.
INSTANTIATE_TEST_SUITE_P(
    effect_parameters, value_text_test,
    ::testing::Values(text_case{effect_param_1, 20, "20ms", "20", 1}, text_case{effect_param_1, 30, "30ms", "30", 21},
                      text_case{effect_param_1, 78, "7.8s", "7.8", 11}, text_case{effect_param_1, 5, "0.5s", "0.5", 27},
                      text_case{effect_param_1, 35, "35", nullptr, 12}, text_case{effect_param_1, 25, "25Hz", "25", 13},
                      text_case{effect_param_1, 10, "10Hz", "10", 31}, text_case{effect_param_1, 30, "150ms", "150", 6},
                      text_case{effect_param_1, 135, "675ms", "675", 32}, text_case{effect_param_1, 5, "", nullptr, 0},
                      text_case{effect_param_1, 5, "", nullptr, 33}, text_case{effect_param_2, 78, "7.8s", "7.8", 1},
                      text_case{effect_param_2, 50, "50%", "50", 6}, text_case{effect_param_2, 100, "100%", "100", 32},
                      text_case{effect_param_2, 50, "", nullptr, 0}));

TEST(value_text_store_test, effect_parameters_follow_their_returns_type) {
  test::store_fixture f;
  const unsigned fx1_p1 = param_id(kind_fx, 0, 212), fx2_p1 = param_id(kind_fx, 1, 212);
  const unsigned fx1_p2 = param_id(kind_fx, 0, 213);
  EXPECT_EQ(value_text(f.store, fx1_p1), "30ms");  // type 1, predelay 30
  EXPECT_EQ(value_text(f.store, fx1_p2), "7.8s");
  EXPECT_EQ(value_text_plain(f.store, fx1_p2), "7.8");
  f.store.set_local(param_id(kind_fx, 0, code_fx_type), 11);
  EXPECT_EQ(value_text(f.store, fx1_p1), "3.0s");
  EXPECT_EQ(value_text(f.store, fx2_p1), "30ms");  // the other return keeps type 17
  EXPECT_EQ(value_text(f.store, main_l_fader_id), "0.0dB");
  EXPECT_EQ(value_text_plain(f.store, main_l_fader_id), "0.0");
}

TEST(value_text_store_test, words_are_translated_and_numbers_are_not) {
  static const translation_pair pairs[] = {{"Infinity", "unendlich"}, {"OFF", "AUS"}, {"dB", "XX"}};
  static const translation_table table{"de", pairs, 3};
  set_translation_table(&table);
  EXPECT_EQ(value_text_of_type(compressor_ratio, 4100), "unendlich");
  EXPECT_EQ(value_text_of_type(highpass_frequency, 0x80C4), "AUS");
  EXPECT_EQ(value_text_of_type(fader_level, 1200), "0.0dB");
  set_translation_table(nullptr);
}

// ---- Conversions ----

TEST(conversion_test, physical_values_of_the_encodings) {
  EXPECT_NEAR(to_physical(pan, 135), 35.001, 1e-9);
  EXPECT_NEAR(to_physical(pan, 90), -10.001, 1e-9);
  EXPECT_EQ(to_physical(pan, 100), 0.0);
  EXPECT_EQ(to_physical(output_delay, 0xFFF6), -1.0);
  EXPECT_EQ(to_physical(compressor_threshold, 0x8000 | 200), -20.0);
  EXPECT_EQ(to_physical(gate_threshold, 80), -80.0);
  EXPECT_EQ(to_physical(fader_level, 0xC000 | 1300), 10.0);
  EXPECT_EQ(to_physical(highpass_frequency, 0x80C4), 19.6);
  EXPECT_EQ(to_physical(highpass_frequency, 400), 400.0);
  EXPECT_EQ(to_physical(peq_gain, 380), -12.0);
  EXPECT_EQ(to_physical(peq_q, 2808), 28.08);
  EXPECT_EQ(to_physical(percent, 77), 77.0);
}

TEST(conversion_test, raw_values_at_the_limits) {
  EXPECT_EQ(to_raw(pan, 0.0), 100);
  EXPECT_EQ(to_raw(pan, -0.4), 100 - 0);   // rounds toward the centre below half a step
  EXPECT_EQ(to_raw(pan, 0.5), 101);        // halves go away from the centre
  EXPECT_EQ(to_raw(pan, -0.5), 99);
  EXPECT_EQ(to_raw(compressor_threshold, -20.0), 0x8000 | 200);
  EXPECT_EQ(to_raw(compressor_threshold, 0.0), 0);
  EXPECT_EQ(to_raw(highpass_frequency, -1.0), 0);
  EXPECT_EQ(to_raw(highpass_frequency, 99.94), 0x8000 | 999);
  EXPECT_EQ(to_raw(highpass_frequency, 99.96), 0x8000 | 1000);
  EXPECT_EQ(to_raw(highpass_frequency, 100.0), 100);
  EXPECT_EQ(to_raw(peq_frequency, 70000.0), 0xFFFF);
  EXPECT_EQ(to_raw(peq_gain, -60.0), 0);       // below the encoding's floor
  EXPECT_EQ(to_raw(output_delay, -1.0), 0xFFF6);
  // A level outside the 14-bit field stays inside it instead of setting flag bits.
  EXPECT_EQ(to_raw(fader_level, -130.0), 0);
  EXPECT_EQ(to_raw(fader_level, 2000.0), level_mask);
}

struct round_trip_case {
  value_type type;
  std::vector<uint16_t> raws;
};

class round_trip_test : public ::testing::TestWithParam<round_trip_case> {};

TEST_P(round_trip_test, raw_survives_physical_and_back) {
  for (uint16_t raw : GetParam().raws)
    EXPECT_EQ(to_raw(GetParam().type, to_physical(GetParam().type, raw)), raw) << "raw " << raw;
}

INSTANTIATE_TEST_SUITE_P(
    types, round_trip_test,
    ::testing::Values(round_trip_case{plain, {0, 1, 65535}}, round_trip_case{pan, {0, 1, 90, 99, 100, 101, 135, 200}},
                      round_trip_case{input_gain, {0, 60}}, round_trip_case{input_delay, {0, 55, 100}},
                      round_trip_case{gate_threshold, {0, 80}}, round_trip_case{compressor_threshold, {0, 5, 0x8005, 0x8000 | 800}},
                      round_trip_case{compressor_attack, {30, 10000}}, round_trip_case{compressor_ratio, {100, 103, 4100}},
                      round_trip_case{compressor_release, {100, 50000}}, round_trip_case{makeup_gain, {0, 1200, 1400}},
                      round_trip_case{fader_level, {0, 1, 733, 1199, 1200, 1300, level_mask}},
                      round_trip_case{send_level, {0, 717, 1200}},
                      round_trip_case{highpass_frequency, {0x80C4, 0x8000 | 999, 100, 20600}},
                      round_trip_case{lowpass_frequency, {0x80C5, 20600}}, round_trip_case{peq_frequency, {0x80C5, 1019, 20000}},
                      round_trip_case{geq_frequency, {0x80FA, 16000}}, round_trip_case{peq_gain, {380, 500, 501, 620}},
                      round_trip_case{geq_gain, {499, 620}}, round_trip_case{peq_q, {60, 64, 2808}},
                      round_trip_case{geq_q, {100}}, round_trip_case{output_delay, {0, 400, 0xFFF6}},
                      round_trip_case{percent, {0, 100}}));

// ---- Stepping ----

struct step_case {
  value_type type;
  uint16_t raw;
  int delta;
  int mode;
  uint16_t want;
  int effect_type = 0;
};

void PrintTo(const step_case& c, std::ostream* os) {
  *os << "type " << type_number(c.type) << " raw " << c.raw << " delta " << c.delta << " mode " << c.mode;
}

class step_test : public ::testing::TestWithParam<step_case> {};

TEST_P(step_test, one_step) {
  const step_case& c = GetParam();
  EXPECT_EQ(step_value_of_type(c.type, c.raw, c.delta, c.mode, c.effect_type), c.want);
}

INSTANTIATE_TEST_SUITE_P(
    ladders, step_test,
    ::testing::Values(
        // -48.0 dB is nearest to -48.3, so one step up lands on -46.7.
        step_case{fader_level, 720, 1, 0, 733}, step_case{fader_level, 720, -1, 0, 700},
        // -47.5 dB is exactly between -48.3 and -46.7: the upper entry counts as current.
        step_case{fader_level, 725, 1, 0, 750}, step_case{fader_level, 725, -1, 0, 717},
        step_case{fader_level, 0, 1, 0, 100}, step_case{fader_level, 0, -1, 0, 0}, step_case{fader_level, 1200, 1, 0, 1207},
        step_case{fader_level, 1300, 1, 0, 1300}, step_case{send_level, 1200, 1, 0, 1200}, step_case{send_level, 1200, -1, 0, 1194},
        // Flags ride along with the level.
        step_case{fader_level, 0xC000 | 720, 1, 0, 0xC000 | 733}, step_case{send_level, 0x4000 | 1200, -1, 0, 0x4000 | 1194},
        step_case{peq_gain, 620, 1, 0, 620}, step_case{peq_gain, 380, -1, 0, 380}, step_case{geq_gain, 500, 1, 0, 501},
        step_case{compressor_threshold, 0, -1, 0, 0x8005}, step_case{compressor_threshold, 0x8000 | 800, -1, 0, 0x8000 | 800},
        step_case{compressor_ratio, 100, 1, 0, 103}, step_case{compressor_ratio, 6000, 1, 0, 6000},
        step_case{highpass_frequency, 0x80C4, 1, 0, 0x80C5}, step_case{highpass_frequency, 0x80C4, -1, 0, 0x80C4},
        step_case{peq_frequency, 0x80C5, -1, 0, 0x80C5}, step_case{peq_frequency, 1000, 1, 0, 1019},
        step_case{peq_frequency, 0x8000 | 987, 1, 0, 102}, step_case{geq_frequency, 20000, 1, 0, 20000},
        step_case{peq_q, 100, 1, 0, 107}, step_case{geq_q, 60, -1, 0, 60}, step_case{peq_q, 64, 1, 0, 67}));

INSTANTIATE_TEST_SUITE_P(
    level_flags, step_test,
    ::testing::Values(step_case{fader_level, 1200, 1, 1, 0x4000 | 1200}, step_case{fader_level, 0x4000 | 1200, -1, 1, 1200},
                      step_case{send_level, 0x8000 | 900, 1, 1, 0xC000 | 900}, step_case{fader_level, 1200, 1, 2, 0x8000 | 1200},
                      step_case{fader_level, 0xC000 | 1200, 0, 2, 0x4000 | 1200},
                      step_case{makeup_gain, 0x8000 | 1200, 3, 1, 0xC000 | 1200}));

INSTANTIATE_TEST_SUITE_P(
    plain_steps, step_test,
    ::testing::Values(step_case{on_off, 0, 0, 0, 1}, step_case{on_off, 1, -1, 0, 0}, step_case{input_gain, 30, 1, 0, 31},
                      step_case{input_gain, 60, 1, 0, 60}, step_case{input_gain, 0, -5, 0, 0}, step_case{pan, 100, 1, 0, 101},
                      step_case{pan, 90, 1, 0, 91}, step_case{pan, 0, -1, 0, 0}, step_case{pan, 200, 1, 0, 200},
                      step_case{gate_threshold, 80, 1, 0, 79}, step_case{gate_threshold, 0, 1, 0, 0}, step_case{gate_hold, 0, 1, 0, 50},
                      step_case{gate_hold, 2000, 1, 0, 2000}, step_case{compressor_attack, 100, 1, 0, 200},
                      step_case{compressor_attack, 30, 1, 0, 130}, step_case{compressor_attack, 10000, 1, 0, 10000},
                      step_case{compressor_release, 5000, 1, 0, 5500}, step_case{makeup_gain, 1200, 1, 0, 1201},
                      step_case{makeup_gain, 1400, 1, 0, 1400}, step_case{makeup_gain, 0x4000 | 1200, 1, 0, 0x4000 | 1201},
                      step_case{plain, 65535, 1, 0, 65535}, step_case{plain, 5, -1, 0, 4},
                      step_case{effect_type, 32, 1, 0, 32}, step_case{effect_type, 1, -1, 0, 1}, step_case{phase, 0, 1, 0, 1},
                      step_case{output_delay, 0, -1, 0, 0}, step_case{output_delay, 400, 1, 0, 400}, step_case{input_delay, 5, 1, 0, 6}));

// Gate settings step by their index in 2, 4, 6, 8, 16, 32.
INSTANTIATE_TEST_SUITE_P(
    gate_settings, step_test,
    ::testing::Values(step_case{gate_decay, 2, 1, 0, 4}, step_case{gate_decay, 4, -1, 0, 2}, step_case{gate_decay, 8, 1, 0, 16},
                      step_case{gate_decay, 16, 1, 0, 32}, step_case{gate_decay, 32, 1, 0, 32}, step_case{gate_decay, 5, 1, 0, 6},
                      step_case{gate_decay, 0, -1, 0, 2}));

INSTANTIATE_TEST_SUITE_P(
    effect_parameters, step_test,
    ::testing::Values(step_case{effect_param_1, 29, 5, 0, 30, 1}, step_case{effect_param_1, 2, -5, 0, 0, 1},
                      step_case{effect_param_1, 10, 3, 0, 13, 1}, step_case{effect_param_1, 130, 10, 0, 135, 8},
                      step_case{effect_param_1, 10, 1, 0, 0, 0}, step_case{effect_param_2, 99, 5, 0, 100, 6},
                      step_case{effect_param_2, 50, 1, 0, 0, 40}));

// Filter codes: mode 0 cycles the filter type, mode 1 the selectable slopes (12 and 24 dB).
INSTANTIATE_TEST_SUITE_P(
    filter_codes, step_test,
    ::testing::Values(step_case{highpass_filter, 20, 1, 0, 22}, step_case{highpass_filter, 24, 1, 0, 20}, step_case{highpass_filter, 20, -1, 0, 24},
                      step_case{highpass_filter, 8, 1, 1, 20}, step_case{highpass_filter, 20, 1, 1, 8}, step_case{highpass_filter, 8, -1, 1, 20},
                      step_case{highpass_filter, 14, 1, 1, 20}, step_case{highpass_filter, 14, -1, 1, 8}, step_case{highpass_filter, 26, 1, 1, 8},
                      step_case{highpass_filter, 28, -1, 1, 22}, step_case{lowpass_filter, 21, 1, 0, 23}, step_case{lowpass_filter, 21, 1, 1, 9},
                      step_case{lowpass_filter, 13, 1, 1, 25}, step_case{lowpass_filter, 31, -1, 0, 29},
                      // Codes the table does not hold restart at 12 dB Butterworth.
                      step_case{highpass_filter, 40, 1, 0, 8}, step_case{lowpass_filter, 7, -1, 1, 9}));

struct ladder_case {
  value_type type;
  std::size_t entries;
};

class ladder_test : public ::testing::TestWithParam<ladder_case> {};

TEST_P(ladder_test, every_entry_has_its_own_raw_value_and_position) {
  const auto [type, entries] = GetParam();
  const std::span<const double> ladder = ladder_of(type);
  ASSERT_EQ(ladder.size(), entries);
  const int last = static_cast<int>(entries) - 1;
  for (int i = 0; i <= last; ++i) {
    const uint16_t raw = raw_of_position(type, (i + 0.5) / last);
    EXPECT_EQ(nearest_ladder_index(ladder, to_physical(type, raw)), i) << "entry " << ladder[i];
    EXPECT_EQ(position_of(type, raw), i * 100 / last);
  }
}

TEST_P(ladder_test, stepping_up_visits_every_entry) {
  const auto [type, entries] = GetParam();
  const std::span<const double> ladder = ladder_of(type);
  uint16_t raw = raw_of_position(type, 0.0);
  for (std::size_t i = 1; i < entries; ++i) {
    raw = step_value_of_type(type, raw, 1, step_normal);
    ASSERT_EQ(nearest_ladder_index(ladder, to_physical(type, raw)), static_cast<int>(i));
  }
  EXPECT_EQ(step_value_of_type(type, raw, 1, step_normal), raw);
  EXPECT_EQ(raw, raw_of_position(type, 1.0));
}

INSTANTIATE_TEST_SUITE_P(types, ladder_test,
                         ::testing::Values(ladder_case{compressor_threshold, 161}, ladder_case{compressor_ratio, 41}, ladder_case{fader_level, 61},
                                           ladder_case{send_level, 49}, ladder_case{highpass_frequency, 237}, ladder_case{lowpass_frequency, 237},
                                           ladder_case{peq_frequency, 236}, ladder_case{geq_frequency, 236}, ladder_case{peq_gain, 241},
                                           ladder_case{geq_gain, 241}, ladder_case{peq_q, 67}, ladder_case{geq_q, 67}));

TEST(ladder_test_edges, ends_and_ties) {
  const std::array<double, 3> l{1.0, 2.0, 4.0};
  EXPECT_EQ(nearest_ladder_index(l, -5.0), 0);
  EXPECT_EQ(nearest_ladder_index(l, 9.0), 2);
  EXPECT_EQ(nearest_ladder_index(l, 1.5), 1);
  EXPECT_EQ(nearest_ladder_index(l, 2.9), 1);
  EXPECT_EQ(nearest_ladder_index(l, 3.0), 2);
  EXPECT_TRUE(ladder_of(input_gain).empty());
}

// ---- Positions ----

struct position_case {
  value_type type;
  uint16_t raw;
  int position;
};

class position_test : public ::testing::TestWithParam<position_case> {};

TEST_P(position_test, zero_to_hundred) {
  EXPECT_EQ(position_of(GetParam().type, GetParam().raw), GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(
    types, position_test,
    ::testing::Values(position_case{fader_level, 0, 0}, position_case{fader_level, 1200, 80}, position_case{fader_level, 1300, 100},
                      position_case{send_level, 1200, 100}, position_case{peq_gain, 500, 50}, position_case{peq_gain, 380, 0},
                      position_case{peq_frequency, 0x80C5, 0}, position_case{peq_frequency, 20000, 100}, position_case{highpass_frequency, 0x80C4, 0},
                      position_case{pan, 100, 50}, position_case{pan, 135, 67}, position_case{pan, 0, 0},
                      position_case{pan, 200, 100}, position_case{input_gain, 30, 50}, position_case{gate_decay, 2, 0},
                      position_case{gate_decay, 8, 60}, position_case{gate_decay, 32, 100}, position_case{on_off, 1, 100},
                      position_case{plain, 65535, 100}, position_case{gate_threshold, 80, 0}, position_case{gate_threshold, 0, 100},
                      position_case{compressor_attack, 30, 0}, position_case{output_delay, 200, 50},
                      // Values beyond the row's range stay on the bar.
                      position_case{makeup_gain, 0, 0}, position_case{input_gain, 99, 100}));

TEST(position_test_raw, raw_of_position_clamps_and_is_ladder_only) {
  EXPECT_EQ(raw_of_position(fader_level, 0.0), 0);
  EXPECT_EQ(raw_of_position(fader_level, 0.5), 1067);  // entry 30: -13.3 dB
  EXPECT_EQ(raw_of_position(fader_level, 1.5), 1300);
  EXPECT_EQ(raw_of_position(fader_level, -0.2), 0);
  EXPECT_EQ(raw_of_position(peq_gain, 0.5), 500);
  EXPECT_EQ(raw_of_position(peq_frequency, 0.0), 0x80C5);
  EXPECT_EQ(raw_of_position(highpass_frequency, 0.0), 0x80C4);
  EXPECT_EQ(raw_of_position(input_gain, 0.5), 0);
  EXPECT_EQ(raw_of_position(fader_level, std::nan("")), 0);
}

TEST(value_type_row_test, empty_and_unknown_rows_read_as_raw_values) {
  EXPECT_EQ(&value_type_row(effect_param_1), &value_type_row(plain));
  EXPECT_EQ(&value_type_row(static_cast<value_type>(45)), &value_type_row(plain));
  EXPECT_EQ(&value_type_row(static_cast<value_type>(255)), &value_type_row(plain));
  EXPECT_EQ(value_type_row(plain).max, 65535);
  EXPECT_EQ(value_type_row(fader_level).min, -1200);
  EXPECT_STREQ(value_type_row(compressor_release).unit, "mS");
  EXPECT_EQ(param_type_row(main_l_fader_id).max, 100);
}

// ---- Stepping through the store ----

TEST(step_param_test, writes_only_changes_through_the_linked_set) {
  test::store_fixture f;
  const unsigned fader = param_id(kind_input, 4, code_input_fader);
  const unsigned partner = param_id(kind_input, 5, code_input_fader);
  set_stereo_bit(f.store, kind_input, 4, true);
  f.store.dirty().clear();

  EXPECT_EQ(step_param(f.store, fader, 1, step_normal), 100);  // off -> -110 dB
  EXPECT_EQ(f.store.get(fader), 100);
  EXPECT_EQ(f.store.get(partner), 100);
  EXPECT_TRUE(f.store.dirty().contains(fader));

  f.store.dirty().clear();
  EXPECT_EQ(step_param(f.store, fader, -1, step_normal), 0);
  EXPECT_EQ(step_param(f.store, fader, -1, step_normal), 0);  // already at the bottom
  f.store.dirty().clear();
  EXPECT_EQ(step_param(f.store, fader, -1, step_normal), 0);
  EXPECT_FALSE(f.store.dirty().contains(fader));
}

TEST(step_param_test, effect_parameter_range_follows_the_effect_type) {
  test::store_fixture f;
  const unsigned p1 = param_id(kind_fx, 0, 212);
  EXPECT_EQ(step_value(f.store, p1, 1, step_normal), 30);  // reverb predelay is at its maximum
  f.store.set_local(param_id(kind_fx, 0, code_fx_type), 8);
  EXPECT_EQ(step_param(f.store, p1, 1, step_normal), 31);
  EXPECT_EQ(f.store.get(p1), 31);
}

// ---- Level helpers ----

struct meter_case {
  int meter;
  uint16_t fader;
  int want;
};

class meter_after_fader_test : public ::testing::TestWithParam<meter_case> {};

TEST_P(meter_after_fader_test, adds_whole_decibels_and_limits) {
  const meter_case& c = GetParam();
  EXPECT_EQ(meter_after_fader(static_cast<uint8_t>(c.meter), c.fader), c.want);
}

INSTANTIATE_TEST_SUITE_P(
    cases, meter_after_fader_test,
    ::testing::Values(meter_case{-128, 1200, -120}, meter_case{10, 1300, 20}, meter_case{100, 1300, 100},
                      meter_case{-5, 1195, -5},   // -0.5 dB truncates to 0
                      meter_case{-5, 1185, -6},   // -1.5 dB truncates to -1
                      meter_case{0, 0xC000 | 1300, 10}, meter_case{0, 0, -120}, meter_case{-20, 1000, -40}));

TEST(scaled_level_test, percentage_scales_amplitude) {
  EXPECT_EQ(scale_level_by_percent(1200, 100), 1200);
  EXPECT_EQ(scale_level_by_percent(1200, 50), 1140);   // -6.02 dB
  EXPECT_EQ(scale_level_by_percent(1000, 10), 800);
  EXPECT_EQ(scale_level_by_percent(1300, 255), 1300);  // never above +10 dB
  EXPECT_EQ(scale_level_by_percent(1200, 0), 0);
  EXPECT_EQ(scale_level_by_percent(0, 100), 0);
  EXPECT_EQ(scale_level_by_percent(0xC000 | 1200, 50), 0xC000 | 1140);
}

TEST(scaled_level_test, main_outputs_and_headphones_use_their_percentages) {
  test::store_fixture f;
  f.store.set_local(main_level_percent_id, 50 << 8 | 100);
  f.store.set_local(headphone_percent_id, 0x6400 | 10);  // only the low byte counts
  f.store.set_local(main_l_fader_id, 1200);
  f.store.set_local(main_r_fader_id, 1200);
  EXPECT_EQ(scaled_main_level(f.store, main_l_fader_id), 1200);
  EXPECT_EQ(scaled_main_level(f.store, main_r_fader_id), 1140);
  EXPECT_EQ(scaled_main_level(f.store, headphone_level_id), 700);  // default 900, -20 dB
  const unsigned aux = param_id(kind_bus, 0, code_bus_fader);
  f.store.set_local(aux, 1234);
  EXPECT_EQ(scaled_main_level(f.store, aux), 1234);
}

}  // namespace
}  // namespace vorante
