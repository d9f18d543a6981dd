// Gate and compressor curves without painting: the square plot, the mark offsets, the
// points of each curve, and what presses and drags do to the values and the parameters.
#include <gtest/gtest.h>

#include "app/params/convert.h"
#include "app/params/ids.h"
#include "ui/foundation/dyn_math.h"

using namespace vorante;

namespace {

// Label text sizes a 16 px font gives "888" and "8888".
constexpr int comp_text_w = 27;
constexpr int gate_text_w = 36;
constexpr int text_h = 16;

// The editors' compressor: -80..0 dB on both axes, 320 x 240, full form.
// x0 = 2 + 27 + 4 = 33, w = 320 - 8 - 2 - 33 = 277; y0 = 10, h = 240 - 16 - 2 - 10 = 212;
// squared: w = 212, x0 = 33 + 32 = 65, bottom 222.
comp_model editor_comp() {
  comp_model c(comp_editor_marks(), comp_editor_marks());
  c.layout(320, 240, comp_text_w, text_h, false);
  return c;
}

// A gate whose plot is 250 px square, so that time and pixels convert exactly (20 per px):
// x0 = 42, y0 = 10, bottom 260.
gate_model even_gate() {
  gate_model g;
  g.layout(302, 270, gate_text_w, text_h, false);
  return g;
}

struct layout_case {
  const char* name;
  int width, height, text_w;
  bool compact, full_bottom;
  int x0, y0, w, h, left_offset;
};

class dyn_layout_test : public testing::TestWithParam<layout_case> {};

TEST_P(dyn_layout_test, plot_is_square_and_centred) {
  const layout_case& c = GetParam();
  const dyn_plot p = dyn_layout(c.width, c.height, c.text_w, text_h, c.compact, c.full_bottom);
  EXPECT_EQ(p.x0, c.x0);
  EXPECT_EQ(p.y0, c.y0);
  EXPECT_EQ(p.w, c.w);
  EXPECT_EQ(p.h, c.h);
  EXPECT_EQ(p.left_offset, c.left_offset);
  EXPECT_EQ(p.label_h, c.compact ? 0 : text_h);
}

INSTANTIATE_TEST_SUITE_P(
    cases, dyn_layout_test,
    testing::Values(
        // Wide: the plot moves right by half the spare width, so do the level labels.
        layout_case{"compressor_full", 320, 240, comp_text_w, false, true, 65, 10, 212, 212, 32},
        // No labels, no gap, no reserve below.
        layout_case{"compressor_compact", 320, 240, comp_text_w, true, true, 42, 2, 236, 236, 40},
        // Tall: it moves down instead, the label column stays.
        layout_case{"tall", 100, 300, comp_text_w, false, true, 33, 117, 57, 57, 0},
        // An unlabelled time axis keeps only half a label height below the plot.
        layout_case{"gate_unlabelled_time", 320, 240, gate_text_w, false, false, 66, 10, 220, 220, 24}),
    [](const testing::TestParamInfo<layout_case>& i) { return std::string(i.param.name); });

TEST(dyn_marks, offsets_round_halves_up_and_end_exactly_on_the_axis) {
  std::vector<dyn_mark> time = gate_time_default_marks(9);
  ASSERT_EQ(time.size(), 9u);
  EXPECT_EQ(time[1].value, 625);
  EXPECT_EQ(time.back().value, 5000);
  place_marks(time, 220);
  std::vector<int> offsets;
  for (const dyn_mark& m : time) offsets.push_back(m.offset);
  EXPECT_EQ(offsets, (std::vector<int>{0, 28, 55, 83, 110, 138, 165, 193, 220}));

  // Uneven marks keep their values' proportions; the last one always lands on the end.
  std::vector<dyn_mark> uneven{{0, "0", 0}, {1, "1", 0}, {3, "3", 0}};
  place_marks(uneven, 100);
  EXPECT_EQ(uneven[1].offset, 33);
  EXPECT_EQ(uneven[2].offset, 100);
}

TEST(dyn_marks, defaults_and_copies) {
  // No table: the compressor spans -80..20 dB and the gate's time axis has nine lines.
  const comp_model c;
  EXPECT_EQ(c.x_min(), -80);
  EXPECT_EQ(c.x_max(), 20);
  EXPECT_EQ(c.input_marks.size(), 6u);
  const gate_model g;
  EXPECT_EQ(g.time_marks.size(), g.level_marks.size());
  EXPECT_FALSE(g.time_labelled());

  const std::vector<dyn_mark> given{{0, "TOO-LONG-LABEL", 5}, {10, "", 7}};
  const std::vector<dyn_mark> copy = copy_marks(given, comp_default_marks);
  EXPECT_EQ(copy[0].label, "TOO-LON");
  EXPECT_EQ(copy[1].offset, 0);
  EXPECT_EQ(copy_marks({}, comp_default_marks).size(), 6u);
}

TEST(comp_points, unity_line_knee_and_slope) {
  comp_model c = editor_comp();
  EXPECT_EQ(c.start, (dyn_point{65, 222}));
  // Threshold -20 dB: 60 of 80 dB across, on the unity line.
  EXPECT_EQ(c.knee, (dyn_point{224, 63}));
  // 53 px further the line has risen 26.5 px at ratio 2.
  EXPECT_EQ(c.end, (dyn_point{277, 36}));

  // Make-up gain lifts the whole line: 10 dB is 26.5 px; near 0 dB the knee leaves the plot
  // through the top (drawing clips it, the point is kept).
  c.gain = 10;
  c.threshold = -5;
  c.compute_points();
  EXPECT_EQ(c.start.y, 222 - 27);
  EXPECT_EQ(c.knee.x, 65 + 199);
  EXPECT_LT(c.knee.y, c.plot.y0);

  // A threshold on the last input mark puts the knee on the end point.
  c.gain = 0;
  c.threshold = 0;
  c.compute_points();
  EXPECT_EQ(c.knee, c.end);
}

TEST(comp_press, hit_squares_are_half_a_label_each_way) {
  comp_model c = editor_comp();
  EXPECT_EQ(c.press({c.knee.x + 8, c.knee.y - 8}), 1);
  EXPECT_EQ(c.press({c.end.x - 8, c.end.y + 8}), 2);
  EXPECT_EQ(c.press({c.knee.x + 9, c.knee.y}), 0);
  EXPECT_EQ(c.drag, 0);

  // Compact: no labels, so only the point's own pixel takes a press.
  c.layout(320, 240, comp_text_w, text_h, true);
  EXPECT_EQ(c.press({c.knee.x + 1, c.knee.y}), 0);
  EXPECT_EQ(c.press(c.knee), 1);
}

struct ratio_case {
  const char* name;
  dyn_point knee, end;
  int pointer_y;
  double ratio;
};

class comp_ratio_drag : public testing::TestWithParam<ratio_case> {};

TEST_P(comp_ratio_drag, candidate_is_truncated_and_limited) {
  const ratio_case& r = GetParam();
  comp_model c = editor_comp();
  c.ratio = 7.77;  // differs from every expected result
  c.knee = r.knee;
  c.end = r.end;
  c.drag = 2;
  EXPECT_TRUE(c.drag_to({r.end.x, r.pointer_y}));
  EXPECT_DOUBLE_EQ(c.ratio, r.ratio);
}

INSTANTIATE_TEST_SUITE_P(
    cases, comp_ratio_drag,
    testing::Values(
        ratio_case{"plain", {100, 100}, {200, 50}, 60, 2.5},
        ratio_case{"two_decimals_truncated", {100, 100}, {200, 50}, 97, 33.33},
        // Above the plot the pointer counts from one pixel under its top: 100 / 89.
        ratio_case{"pointer_above_plot", {100, 100}, {200, 50}, -40, 1.12},
        ratio_case{"half_becomes_one", {100, 150}, {150, 120}, 50, 1},
        // At or below the knee the pointer counts as one pixel above it.
        ratio_case{"forty_stays", {100, 100}, {140, 90}, 150, 40},
        ratio_case{"forty_one_becomes_sixty", {100, 100}, {141, 90}, 100, 60},
        // Knee on the end: 0 before limiting.
        ratio_case{"knee_on_end", {200, 100}, {200, 100}, 50, 1}),
    [](const testing::TestParamInfo<ratio_case>& i) { return std::string(i.param.name); });

TEST(comp_drag, ratio_unchanged_in_hundredths_is_no_change) {
  comp_model c = editor_comp();
  c.knee = {100, 100};
  c.end = {200, 50};
  c.drag = 2;
  c.ratio = 2.509;
  EXPECT_FALSE(c.drag_to({200, 60}));  // 2.5 against 2.50
  EXPECT_DOUBLE_EQ(c.ratio, 2.509);
  EXPECT_EQ(c.knee, (dyn_point{100, 100}));  // points untouched
}

TEST(comp_drag, threshold_follows_x_in_tenths_and_ignores_y) {
  comp_model c = editor_comp();
  ASSERT_EQ(c.press(c.knee), 1);
  // x0 + 159 is exactly -20 dB; -20.04 reads as the same tenths: nothing changes.
  c.threshold = -20.04;
  EXPECT_FALSE(c.drag_to({65 + 159, 0}));
  EXPECT_DOUBLE_EQ(c.threshold, -20.04);
  c.threshold = -20.5;
  EXPECT_TRUE(c.drag_to({65 + 159, 500}));
  EXPECT_DOUBLE_EQ(c.threshold, -20.0);
  EXPECT_EQ(c.knee, (dyn_point{224, 63}));
  // Not rounded: one pixel is 80/212 dB.
  EXPECT_TRUE(c.drag_to({65 + 100, 100}));
  EXPECT_DOUBLE_EQ(c.threshold, -80 + 100 * 80.0 / 212);
  // Limited to the plot.
  EXPECT_TRUE(c.drag_to({-50, 100}));
  EXPECT_DOUBLE_EQ(c.threshold, -80);
  EXPECT_TRUE(c.drag_to({2000, 100}));
  EXPECT_DOUBLE_EQ(c.threshold, 0);

  c.release();
  EXPECT_FALSE(c.drag_to({65 + 20, 100}));
}

TEST(gate_points, envelope_of_the_defaults) {
  const gate_model g = even_gate();
  ASSERT_EQ(g.plot.w, 250);
  ASSERT_EQ(g.plot.h, 250);
  // Attack 80 sits at 800 on the time axis (40 px); -40 dB is half way up.
  EXPECT_EQ(g.p[0], (dyn_point{42, 260}));
  EXPECT_EQ(g.p[1], (dyn_point{82, 135}));
  EXPECT_EQ(g.p[2], (dyn_point{132, 135}));  // + hold 1000
  EXPECT_EQ(g.p[3], (dyn_point{207, 260}));  // + decay 1500
}

TEST(gate_points, times_past_the_axis_leave_the_plot) {
  gate_model g = even_gate();
  g.hold = 4500;
  g.compute_points();
  EXPECT_GT(g.p[2].x, g.plot.x0 + g.plot.w);
  EXPECT_GT(g.p[3].x, g.p[2].x);
}

struct gate_drag_case {
  const char* name;
  int handle;
  dyn_point pointer;  // relative to the plot's top-left corner
  double threshold, attack, hold, decay;
};

class gate_drag : public testing::TestWithParam<gate_drag_case> {};

TEST_P(gate_drag, handle_sets_its_values) {
  const gate_drag_case& c = GetParam();
  gate_model g = even_gate();
  ASSERT_EQ(g.press(g.p[static_cast<std::size_t>(c.handle)]), c.handle);
  EXPECT_TRUE(g.drag_to({g.plot.x0 + c.pointer.x, g.plot.y0 + c.pointer.y}));
  EXPECT_DOUBLE_EQ(g.threshold, c.threshold);
  EXPECT_DOUBLE_EQ(g.attack, c.attack);
  EXPECT_DOUBLE_EQ(g.hold, c.hold);
  EXPECT_DOUBLE_EQ(g.decay, c.decay);
}

INSTANTIATE_TEST_SUITE_P(
    cases, gate_drag,
    testing::Values(
        // 50 px is time 1000, attack a tenth of it; 50 px below the top is -16 dB.
        gate_drag_case{"attack", 1, {50, 50}, -16, 100, 1000, 1500},
        // Held limits: x to the last column, y to the plot.
        gate_drag_case{"attack_limited", 1, {400, -30}, 0, 498, 1000, 1500},
        // Hold counts from the attack point (800); far left leaves 2.
        gate_drag_case{"hold", 2, {100, 250}, -80, 80, 1200, 1500},
        gate_drag_case{"hold_at_least_2", 2, {-100, 125}, -40, 80, 2, 1500},
        // Decay counts from the hold end (1800) and ignores y.
        gate_drag_case{"decay", 3, {200, 0}, -40, 80, 1000, 2200},
        gate_drag_case{"decay_at_least_2", 3, {0, 0}, -40, 80, 1000, 2}),
    [](const testing::TestParamInfo<gate_drag_case>& i) { return std::string(i.param.name); });

TEST(gate_press, handles_are_tested_in_order) {
  gate_model g = even_gate();
  // Hold 0: P1 and P2 coincide and the attack handle wins.
  g.hold = 0;
  g.compute_points();
  EXPECT_EQ(g.press(g.p[2]), 1);
  EXPECT_EQ(g.press(g.p[0]), 0);  // the foot is no handle
  EXPECT_EQ(g.press({g.p[3].x + 8, g.p[3].y - 8}), 3);
  g.release();
  EXPECT_FALSE(g.drag_to({100, 100}));
}

TEST(dyn_params, curves_write_their_parameters_in_order) {
  gate_model g = even_gate();
  g.threshold = -16.4;
  g.attack = 99.6;
  g.hold = 1234;
  g.decay = 1500;  // 15 steps: the setting below it is x8
  const std::array<dyn_write, 4> gw = gate_curve_writes(g);
  EXPECT_EQ(gw[0], (dyn_write{code_input_gate_threshold, to_raw(value_type::gate_threshold, -16)}));
  EXPECT_EQ(gw[1], (dyn_write{code_input_gate_attack, 100}));
  EXPECT_EQ(gw[2], (dyn_write{code_input_gate_hold, 1234}));
  EXPECT_EQ(gw[3], (dyn_write{code_input_gate_decay, 8}));
  // Out of the parameters' ranges the writes stop at their ends.
  g.attack = 0.5;
  g.hold = 9000;
  EXPECT_EQ(gate_curve_writes(g)[1].raw, 3);
  EXPECT_EQ(gate_curve_writes(g)[2].raw, 2000);

  comp_model c = editor_comp();
  c.threshold = -20.04;
  c.ratio = 60;  // past the top of the scale
  const std::array<dyn_write, 2> cw = comp_curve_writes(c);
  EXPECT_EQ(cw[0], (dyn_write{code_input_comp_threshold, to_raw(value_type::compressor_threshold, -20.0)}));
  EXPECT_EQ(cw[1], (dyn_write{code_input_comp_ratio, 4100}));
}

TEST(dyn_params, parameters_move_the_curves) {
  gate_model g = even_gate();
  EXPECT_TRUE(gate_curve_take(g, code_input_gate_threshold, to_raw(value_type::gate_threshold, -20)));
  EXPECT_TRUE(gate_curve_take(g, code_input_gate_decay, 4));
  EXPECT_FALSE(gate_curve_take(g, code_input_comp_ratio, 4));
  EXPECT_DOUBLE_EQ(g.threshold, -20);
  EXPECT_DOUBLE_EQ(g.decay, 400);
  EXPECT_EQ(g.p[1].y, 260 - 187);  // recomputed

  comp_model c = editor_comp();
  EXPECT_TRUE(comp_curve_take(c, code_input_comp_ratio, 400));
  EXPECT_TRUE(comp_curve_take(c, code_input_comp_gain, to_raw(value_type::makeup_gain, 5)));
  EXPECT_DOUBLE_EQ(c.ratio, 4);
  EXPECT_DOUBLE_EQ(c.gain, 5);
  EXPECT_EQ(c.start.y, 222 - 13);  // 5 dB is 13.25 px
  // Parameter types behind the codes.
  EXPECT_EQ(param_value_type(param_id(kind_input, 0, code_input_gate_decay)), value_type::gate_decay);
  EXPECT_EQ(param_value_type(param_id(kind_input, 0, code_input_comp_gain)), value_type::makeup_gain);
  EXPECT_EQ(param_value_type(param_id(kind_dca, 0, code_dca_fader)), value_type::fader_level);
}

}  // namespace
