// The editor frame's channel order and bank groups: the arrows wrap and skip what is not
// fitted, and a group opens what it remembers or its first fitted channel.
#include <gtest/gtest.h>

#include <set>

#include "app/params/editor_nav.h"

using namespace vorante;

namespace {

fitted_fn all_but(std::set<int> missing) {
  return [missing](int logical) { return !missing.contains(logical); };
}

// Both rules take two numbers and what is fitted, and answer the channel to open: the arrows
// (current channel, direction) and the bank groups (group, channel it remembers).
using open_rule = int (*)(int, int, const fitted_fn&);

struct open_case {
  const char* name;
  int first;
  int second;
  std::set<int> missing;
  int opened;
};

template <open_rule rule>
class editor_open_test : public testing::TestWithParam<open_case> {
 protected:
  void check() {
    const open_case& c = GetParam();
    EXPECT_EQ(rule(c.first, c.second, all_but(c.missing)), c.opened);
  }
};

std::string case_name(const testing::TestParamInfo<open_case>& i) { return std::string(i.param.name); }

using step_case = open_case;
class editor_nav_step_test : public editor_open_test<editor_nav_step> {};
TEST_P(editor_nav_step_test, opens) { check(); }

INSTANTIATE_TEST_SUITE_P(
    cases, editor_nav_step_test,
    testing::Values(step_case{"next_input", 3, 1, {}, 4},
                    // A stereo pair is visited once, through its left member.
                    step_case{"ch16_to_stereo_pair", 15, 1, {}, 16},
                    step_case{"pair_to_pair", 16, 1, {}, 18},
                    step_case{"digi_to_fx", 18, 1, {}, 24},
                    step_case{"aux8_to_dca1", 35, 1, {}, 38},
                    step_case{"dca4_to_main_l", 41, 1, {}, 36},
                    step_case{"main_r_wraps_to_input_0", 37, 1, {}, 0},
                    step_case{"input_0_back_to_main_r", 0, -1, {}, 37},
                    step_case{"main_l_back_to_dca4", 36, -1, {}, 41},
                    // Channels not fitted are stepped over, in both directions and over the wrap.
                    step_case{"skips_forward", 3, 1, {4, 5}, 6},
                    step_case{"skips_backward", 6, -1, {4, 5}, 3},
                    step_case{"skips_over_the_wrap", 37, 1, {0, 1}, 2},
                    // A right member is not in the order: input 0.
                    step_case{"right_member", 17, 1, {}, 0},
                    step_case{"no_channel", -1, -1, {}, 0},
                    step_case{"nothing_else_fitted", 5, 1, {0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16,
                                                            18, 24, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37,
                                                            38, 39, 40, 41}, 5}),
    case_name);

TEST(editor_nav, order_visits_every_channel_but_the_right_members_once) {
  std::set<int> seen(editor_nav_order.begin(), editor_nav_order.end());
  EXPECT_EQ(seen.size(), editor_nav_order.size());
  for (int logical = 0; logical < logical_count; ++logical) {
    const std::optional<channel_ref> c = channel_of(logical);
    const bool expected = c && !is_fixed_stereo_right(c->kind, c->index) && !(c->kind == kind_input && c->index >= 20 && c->index < 24);
    EXPECT_EQ(seen.contains(logical), expected) << logical;
  }
}

TEST(editor_nav, groups_of_channels) {
  EXPECT_EQ(editor_group_of(12), 1);
  EXPECT_EQ(editor_group_of(26), 2);  // FX1 on ST-FX
  EXPECT_EQ(editor_group_of(main_l_logical), editor_main_group);
  EXPECT_EQ(editor_group_of(main_r_logical), editor_main_group);
  EXPECT_EQ(editor_group_of(40), 4);
  EXPECT_EQ(editor_group_of(17), -1);  // a right member sits on no bank
  EXPECT_EQ(editor_group_slots(editor_main_group), 2);
  EXPECT_EQ(editor_group_channel(editor_main_group, 1), (channel_ref{kind_bus, main_r_bus}));
  EXPECT_EQ(editor_group_channel(2, 4), (channel_ref{kind_input, 24}));
  EXPECT_EQ(editor_group_channel(2, 5), channel_ref{});
}

using target_case = open_case;
class editor_group_target_test : public editor_open_test<editor_group_target> {};
TEST_P(editor_group_target_test, opens) { check(); }

INSTANTIATE_TEST_SUITE_P(
    cases, editor_group_target_test,
    testing::Values(target_case{"aux_first_time", 3, -1, {}, 28},
                    target_case{"aux_remembered", 3, 32, {}, 32},
                    target_case{"first_fitted_slot", 3, -1, {28, 29}, 30},
                    target_case{"none_fitted_gives_first_slot", 4, -1, {38, 39, 40, 41}, 38},
                    target_case{"main_first_time", editor_main_group, -1, {}, main_l_logical},
                    target_case{"main_remembered", editor_main_group, main_r_logical, {}, main_r_logical},
                    target_case{"st_fx", 2, -1, {16}, 18}),
    case_name);

}  // namespace
