#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "app/params/convert.h"
#include "app/params/names.h"
#include "app/params/param_label.h"
#include "app/scenes/scene_diff.h"

namespace vorante {
namespace {

using image = std::array<uint16_t, param_count>;

// Every ID holds a value of its own, the same live and in the scene.
image varied() {
  image v{};
  for (std::size_t id = 0; id < v.size(); ++id) v[id] = static_cast<uint16_t>(id * 7 + 3);
  return v;
}

TEST(scene_diff_test, the_ids_a_scene_covers_end_where_the_link_bookkeeping_starts) {
  const std::vector<std::pair<unsigned, bool>> cases = {
      {0, false},    {1, false},    {2, false},    {53, false},   {54, true},    {56, false},
      {58, true},    {64, true},    {3006, true},  {3007, false}, {3008, true},  {3177, true},
      {3178, false}, {3185, false}, {3191, false}, {3192, false}, {3193, true},  {3516, true},
      {3517, false}, {3518, false}, {65535, false},
  };
  for (const auto& [id, covered] : cases) EXPECT_EQ(scene_covers(id), covered) << id;
}

TEST(scene_diff_test, ids_name_their_channel_and_parameter_at_every_block_edge) {
  struct row {
    unsigned id;
    const char* channel;
    const char* parameter;
  };
  const std::vector<row> cases = {
      {64, "CH1", "switches"},
      {65, "CH1", "phantom"},
      {76, "CH1", "fader"},
      {64 + 62 + 13, "CH2", "AUX1 send"},
      {64 + 62 + 22, "CH2", "RIGHT send"},
      {64 + 62 + 26, "CH2", "FX2 send"},
      {64 + 62 * 2 + 48, "CH3", "EQ 2 gain"},
      {64 + 62 * 20 + 12, "CH21", "fader"},  // no logical channel, still its default name
      {1675, "CH26", "EQ 5 Q"},              // last input ID: input 25, code 61
      {1676, "AUX1", "fader"},
      {1614 + 109 * 8 + 64, "LEFT", "mute"},
      {1614 + 109 * 3 + 86, "AUX4", "PEQ 1 Q"},
      {2765, "RIGHT", "GEQ 15 Q"},
      {2899, "FX1", "fader"},
      {2728 + 45 + 181, "FX2", "LEFT send"},
      {2988, "FX2", "effect parameter 4"},
      {3097, "FX1", "effect value"},
      {3098, "FX2", "effect value"},
      {3019, "DCA1", "switch"},
      {2802 + 9 * 3 + 219, "DCA4", "mute"},
      {3057, "MUTE GROUP 1", "active"},
      {3076, "MUTE GROUP 4", "members 4"},
      {3078, "PHANTOM GROUP 1", "active"},
      {3089, "PHANTOM GROUP 4", "members 2"},
      {3110 + 28, "AUX1", "colour"},
      {3091 + 2, "CH19/20", "send modes 1-8"},
      {3091 + 5, "DIGI", "send modes 9-16"},
      {3195 + 7, "FX1", "effect memory 2 word 3"},
      {3515, "FX2", "effect memory 32 word 5"},
      {58, "SYSTEM", "selected channel"},
      {2780, "SYSTEM", "generator to AUX8"},
      {2782, "SYSTEM", "generator to RIGHT"},
      {3056, "SYSTEM", "output stereo links"},
  };
  for (const row& c : cases) {
    const param_label l = label_of(c.id);
    EXPECT_EQ(label_channel_text(l), c.channel) << c.id;
    EXPECT_EQ(l.parameter, c.parameter) << c.id;
  }
  // Between and after the blocks: the console's own settings.
  for (unsigned id : {54u, 2766u, 2989u, 3018u, 3077u, 3090u, 3099u, 3152u, 3194u, 3355u, 3516u})
    EXPECT_EQ(label_channel_text(label_of(id)), "SYSTEM") << id;
}

TEST(scene_diff_test, a_scene_equal_to_the_live_values_changes_nothing) {
  const image live = varied();
  EXPECT_TRUE(diff_scene(live, live).empty());
  // Nor do the IDs a recall leaves alone, however different.
  image scene = live;
  for (unsigned id : {0u, 1u, 10u, 56u, 3007u, 3179u, 3190u, 3192u, 3517u}) scene[id] ^= 0x1234;
  EXPECT_TRUE(diff_scene(live, scene).empty());
}

TEST(scene_diff_test, each_changed_parameter_is_one_entry_with_both_value_texts_in_id_order) {
  const unsigned mute_ch1 = 64 + 10, pan_ch2 = 64 + 62 + 11, eq_gain_ch3 = 64 + 62 * 2 + 48;
  const unsigned fx1_type = 2728 + 211, dca2_mute = 2802 + 9 + 219, mute_group_1 = 3057;
  image live = varied(), scene = live;
  live[mute_ch1] = 1;
  scene[mute_ch1] = 0;
  live[pan_ch2] = 100;
  scene[pan_ch2] = 90;
  live[eq_gain_ch3] = to_raw(value_type::peq_gain, 0.0);
  scene[eq_gain_ch3] = to_raw(value_type::peq_gain, 3.0);
  live[fx1_type] = 1;
  scene[fx1_type] = 2;
  live[dca2_mute] = 0;
  scene[dca2_mute] = 1;
  live[mute_group_1] = 0;
  scene[mute_group_1] = 1;

  struct row {
    unsigned id;
    const char* channel;
    const char* parameter;
    std::string live_text, scene_text;
  };
  const std::vector<row> expected = {
      {mute_ch1, "CH1", "mute", "OFF", "ON"},
      {pan_ch2, "CH2", "pan", "L = R", "L 10%"},
      {eq_gain_ch3, "CH3", "EQ 2 gain", "0.0dB", "3.0dB"},
      {fx1_type, "FX1", "effect type", effect_type_name(1), effect_type_name(2)},
      {dca2_mute, "DCA2", "mute", "ON", "OFF"},
      {mute_group_1, "MUTE GROUP 1", "active", "OFF", "ON"},
  };
  const std::vector<scene_diff_entry> d = diff_scene(live, scene);
  ASSERT_EQ(d.size(), expected.size());
  for (std::size_t i = 0; i < d.size(); ++i) {
    EXPECT_EQ(d[i].id, expected[i].id) << i;
    EXPECT_EQ(d[i].live, live[expected[i].id]) << i;
    EXPECT_EQ(d[i].scene, scene[expected[i].id]) << i;
    EXPECT_EQ(d[i].channel, expected[i].channel) << i;
    EXPECT_EQ(d[i].parameter, expected[i].parameter) << i;
    EXPECT_EQ(d[i].live_text, expected[i].live_text) << i;
    EXPECT_EQ(d[i].scene_text, expected[i].scene_text) << i;
  }
}

TEST(scene_diff_test, each_side_reads_its_own_effect_type_and_equal_texts_show_the_raw_values) {
  const unsigned type = 2728 + 211, param1 = 2728 + 212, fader = 64 + 12;
  image live{}, scene{};
  // The same parameter value means something else under another effect type.
  live[type] = 1;
  scene[type] = 9;
  live[param1] = scene[param1] = 5;
  // A level flag the text does not show.
  live[fader] = 1000;
  scene[fader] = 1000 | 0x4000;
  const std::vector<scene_diff_entry> d = diff_scene(live, scene);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].id, fader);
  EXPECT_NE(d[0].live_text, d[0].scene_text);
  EXPECT_NE(d[0].scene_text.find("(0x43E8)"), std::string::npos) << d[0].scene_text;
  EXPECT_NE(d[0].live_text.find("(0x03E8)"), std::string::npos) << d[0].live_text;
  EXPECT_EQ(d[1].id, type);
  EXPECT_EQ(scene_value_text(live, param1), value_text_of_type(value_type::effect_param_1, 5, 1));
  EXPECT_EQ(scene_value_text(scene, param1), value_text_of_type(value_type::effect_param_1, 5, 9));
}

TEST(scene_diff_test, user_names_name_the_channels_and_groups_keep_each_channel_together) {
  const unsigned ch1_fader = 64 + 12, fx1_value = 3097, ch1_colour = 3110, ch3_gain = 64 + 62 * 2 + 8;
  image live{}, scene{};
  for (unsigned id : {ch1_fader, fx1_value, ch1_colour, ch3_gain}) scene[id] = 1;
  const auto names = [](int logical) -> std::string_view { return logical == 0 ? "Kick" : ""; };
  const std::vector<scene_diff_entry> d = diff_scene(live, scene, names);
  ASSERT_EQ(d.size(), 4u);
  EXPECT_EQ(d[0].channel, "Kick");
  EXPECT_EQ(d[1].channel, "CH3");

  const std::vector<scene_diff_group> g = group_by_channel(d);
  ASSERT_EQ(g.size(), 3u);
  EXPECT_EQ(g[0].channel, "Kick");
  ASSERT_EQ(g[0].entries.size(), 2u);
  EXPECT_EQ(g[0].entries[0].id, ch1_fader);
  EXPECT_EQ(g[0].entries[1].id, ch1_colour);
  EXPECT_EQ(g[1].channel, "CH3");
  EXPECT_EQ(g[2].channel, "FX1");
  EXPECT_EQ(g[2].entries.at(0).id, fx1_value);
}

}  // namespace
}  // namespace vorante
