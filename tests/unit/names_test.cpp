#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/core/translate.h"
#include "app/params/ids.h"
#include "app/params/names.h"

namespace vorante {
namespace {

struct effect_case {
  int type;
  const char* name;
  const char* label1;
  int max1;
  const char* label2;
};

class effect_names_test : public ::testing::TestWithParam<effect_case> {};

TEST_P(effect_names_test, name_labels_and_ranges) {
  const effect_case& c = GetParam();
  EXPECT_EQ(effect_type_name(c.type), c.name);
  EXPECT_EQ(effect_param1_label(c.type), c.label1);
  EXPECT_EQ(effect_param1_max(c.type), c.max1);
  EXPECT_EQ(effect_param2_label(c.type), c.label2);
  EXPECT_EQ(effect_param2_max(c.type), is_effect_type(c.type) ? 100 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    types, effect_names_test,
    ::testing::Values(
        effect_case{1, "REVERB HALL", "REVERB PREDELAY", 30, "REVERB DURATION"},
        effect_case{5, "REVERB VOCAL2", "REVERB PREDELAY", 30, "REVERB DURATION"},
        effect_case{7, "VOCAL ECHO2", "ECHO DELAY", 68, "ECHO REPEAT"},
        effect_case{10, "MOD.DELAY", "ECHO DELAY", 135, "ECHO REPEAT"},
        effect_case{11, "REVERB GATE", "ECHO DELAY", 100, "ECHO DELAY"},
        effect_case{12, "PITCH CHANGE", "SLOPE", 63, "DEPTH"},
        effect_case{13, "CHORUS", "FREQUENCY", 42, "DEPTH"},
        effect_case{15, "FLANGE", "FREQUENCY", 63, "DEPTH"},
        effect_case{16, "TREMOLO", "FREQUENCY", 127, "DEPTH"},
        effect_case{17, "REVERB HALL", "REVERB PREDELAY", 30, "REVERB DURATION"},
        effect_case{22, "VOCAL ECHO1", "ECHO DELAY", 68, "ECHO REPEAT"},
        effect_case{25, "DELAY2", "ECHO DELAY", 135, "ECHO REPEAT"},
        effect_case{26, "EARLY REF.", "REVERB DELAY", 100, "ECHO REPEAT"},
        effect_case{27, "GATE REVERB", "REVERB DELAY", 100, "ECHO REPEAT"},
        effect_case{28, "VOCAL DOUBLER", "FREQUENCY", 42, "REVERB RATIO"},
        effect_case{29, "FLANGE", "FREQUENCY", 63, "REVERB RATIO"},
        effect_case{30, "SYMPHONIC", "ECHO DELAY", 42, "ECHO REPEAT"},
        effect_case{31, "DISTORTION", "FREQUENCY", 63, "DEPTH"},
        effect_case{32, "TAP DELAY", "ECHO DELAY", 135, "ECHO REPEAT"},
        effect_case{0, "", "UNDEF", 0, "UNDEF"}, effect_case{33, "", "UNDEF", 0, "UNDEF"},
        effect_case{-1, "", "UNDEF", 0, "UNDEF"}));

struct filter_case {
  int code;
  const char* type;
  const char* slope;
};

class filter_text_test : public ::testing::TestWithParam<filter_case> {};

TEST_P(filter_text_test, type_and_slope) {
  const filter_texts t = filter_text(GetParam().code);
  EXPECT_EQ(t.type, GetParam().type);
  EXPECT_EQ(t.slope, GetParam().slope);
}

INSTANTIATE_TEST_SUITE_P(
    codes, filter_text_test,
    ::testing::Values(filter_case{20, "BUTTER\nWORTH", "24dB"}, filter_case{8, "BUTTER\nWORTH", "12dB"},
                      filter_case{13, "LINKWITZ\n-RILEY", "12dB"}, filter_case{17, "BESSEL", "18dB"},
                      filter_case{48, "BESSEL", "30dB"}, filter_case{57, "LINKWITZ\n-RILEY", "36dB"},
                      filter_case{63, "LINKWITZ\n-RILEY", "42dB"}, filter_case{31, "LINKWITZ\n-RILEY", "48dB"},
                      filter_case{7, "", ""}, filter_case{0, "", ""}, filter_case{40, "", ""},
                      filter_case{64, "", ""}));

TEST(filter_table_test, every_code_appears_once_and_finds_its_place) {
  std::set<int> seen;
  for (bool low_pass : {false, true})
    for (int row = 0; row < static_cast<int>(filter_rows.size()); ++row)
      for (int t = 0; t < filter_type_count; ++t) {
        const int code = filter_code_at(low_pass, row, t);
        EXPECT_TRUE(seen.insert(code).second) << code;
        // High-pass codes are even, low-pass codes odd.
        EXPECT_EQ(code % 2 == 1, low_pass) << code;
        const auto place = find_filter_code(code);
        ASSERT_TRUE(place.has_value());
        EXPECT_EQ(place->low_pass, low_pass);
        EXPECT_EQ(place->row, row);
        EXPECT_EQ(place->filter_type, t);
      }
  EXPECT_EQ(seen.size(), 42u);
  int selectable = 0;
  for (const auto& r : filter_rows) selectable += r.selectable;
  EXPECT_EQ(selectable, 2);
}

TEST(translation_test, words_pass_through_the_translation) {
  static const translation_pair pairs[] = {
      {"REVERB HALL", "HALL"}, {"UNDEF", "?"}, {"DEPTH", "TIEFE"}, {"BESSEL", "B"}, {"DIGI", "X"}};
  static const translation_table table{"de", pairs, 5};
  set_translation_table(&table);
  EXPECT_EQ(effect_type_name(17), "HALL");
  EXPECT_EQ(effect_param1_label(0), "?");
  EXPECT_EQ(effect_param2_label(12), "TIEFE");
  EXPECT_EQ(filter_text(10).type, "B");
  EXPECT_EQ(filter_text(10).slope, "12dB");
  EXPECT_EQ(default_channel_name(kind_input, 24), "DIGI");  // channel names are names, not words
  set_translation_table(nullptr);
}

struct channel_case {
  int kind;
  int index;
  const char* name;
  const char* short_name;
};

class channel_name_test : public ::testing::TestWithParam<channel_case> {};

TEST_P(channel_name_test, default_and_short_names) {
  const channel_case& c = GetParam();
  EXPECT_EQ(default_channel_name(c.kind, c.index), c.name);
  EXPECT_EQ(channel_short_name(c.kind, c.index), c.short_name);
}

INSTANTIATE_TEST_SUITE_P(
    kinds, channel_name_test,
    ::testing::Values(channel_case{kind_input, 0, "CH1", "1"}, channel_case{kind_input, 15, "CH16", "16"},
                      channel_case{kind_input, 16, "CH17/18", "17/18"}, channel_case{kind_input, 17, "CH18", "18"},
                      channel_case{kind_input, 18, "CH19/20", "19/20"}, channel_case{kind_input, 20, "CH21", "21"},
                      channel_case{kind_input, 24, "DIGI", "DIGI"}, channel_case{kind_input, 25, "CH26", "26"},
                      channel_case{kind_fx, 0, "FX1", "FX1"}, channel_case{kind_fx, 1, "FX2", "FX2"},
                      channel_case{kind_bus, 0, "AUX1", "A1"}, channel_case{kind_bus, 7, "AUX8", "A8"},
                      channel_case{kind_bus, 8, "LEFT", "L"}, channel_case{kind_bus, 9, "RIGHT", "R"},
                      channel_case{kind_dca, 0, "DCA1", "D1"}, channel_case{kind_dca, 3, "DCA4", "D4"},
                      // Channels that do not exist have no name.
                      channel_case{kind_input, 26, "", ""}, channel_case{kind_fx, 2, "", ""},
                      channel_case{kind_bus, -1, "", ""}, channel_case{kind_dca, 4, "", ""},
                      channel_case{kind_mute_group, 0, "", ""}, channel_case{kind_global, 0, "", ""}));

TEST(channel_display_name_test, user_name_wins_when_set) {
  EXPECT_EQ(channel_display_name(kind_input, 4, "Vox"), "Vox");
  EXPECT_EQ(channel_display_name(kind_input, 4, ""), "CH5");
  EXPECT_EQ(channel_display_name(kind_bus, 8, ""), "LEFT");
  EXPECT_EQ(channel_display_name(kind_dca, 1, std::string_view{}), "DCA2");
}

TEST(channel_display_name_test, numbers_equal_indices_with_every_channel_fitted) {
  for (int i = 0; i < input_count; ++i) EXPECT_EQ(channel_display_number(kind_input, i), i);
  for (int i = 0; i < bus_count; ++i) EXPECT_EQ(channel_display_number(kind_bus, i), i);
}

}  // namespace
}  // namespace vorante
