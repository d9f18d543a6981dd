#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "app/params/channel_state.h"
#include "app/params/store.h"
#include "store_fixture.h"

namespace vorante {
namespace {

using test::store_fixture;

// --- the tick rule ----------------------------------------------------------------------

TEST(retry_test, unacknowledged_entry_goes_out_four_times_six_passes_apart) {
  pending_set<100> set;
  set.queue(7);
  std::vector<int> sent_on;
  for (int pass = 0; pass < 40; ++pass)
    set.pass(60, [&](unsigned id) {
      EXPECT_EQ(id, 7u);
      sent_on.push_back(pass);
    });
  EXPECT_EQ(sent_on, (std::vector<int>{0, 6, 12, 18}));
  EXPECT_FALSE(set.contains(7));
  EXPECT_FALSE(set.pending());
}

TEST(retry_test, state_bits_six_and_seven_survive_everything) {
  pending_set<8> set;
  set.state_ref(3) = 0xC0;
  set.queue(3);
  EXPECT_EQ(set.state(3), 0xC0 | 0x20);
  for (int pass = 0; pass < 30; ++pass) set.pass(60, [](unsigned) {});
  EXPECT_EQ(set.state(3), 0xC0);
  set.queue(3);
  set.settle(3);
  EXPECT_EQ(set.state(3), 0xC0);
}

TEST(retry_test, requeueing_restarts_the_count) {
  pending_set<8> set;
  set.queue(1);
  int sends = 0;
  for (int pass = 0; pass < 10; ++pass) set.pass(60, [&](unsigned) { ++sends; });
  set.queue(1);
  for (int pass = 0; pass < 30; ++pass) set.pass(60, [&](unsigned) { ++sends; });
  EXPECT_EQ(sends, 2 + 4);
}

TEST(retry_test, a_pass_stops_after_sixty_counted_entries) {
  pending_set<param_count> set;
  for (unsigned id = 0; id < 200; ++id) set.queue(id);
  std::vector<unsigned> first;
  auto r = set.pass(60, [&](unsigned id) { first.push_back(id); });
  ASSERT_EQ(first.size(), 60u);
  EXPECT_EQ(first.front(), 0u);
  EXPECT_EQ(first.back(), 59u);
  // The sixty that were sent now wait and still count, so the next pass sends nothing.
  r = set.pass(60, [&](unsigned) { ADD_FAILURE(); });
  EXPECT_EQ(r.counted, 60);
  EXPECT_TRUE(set.pending());
  // Once the console answered the first sixty, the next sixty go out.
  for (unsigned id = 0; id < 60; ++id) set.settle(id);
  std::vector<unsigned> second;
  set.pass(60, [&](unsigned id) { second.push_back(id); });
  ASSERT_EQ(second.size(), 60u);
  EXPECT_EQ(second.front(), 60u);
}

TEST(retry_test, pending_flag_drops_only_after_a_scan_of_an_empty_set) {
  pending_set<64> set;
  set.queue(40);
  set.settle(40);
  EXPECT_TRUE(set.pending());
  set.pass(60, [](unsigned) {});
  EXPECT_FALSE(set.pending());
}

// --- basic store operations -------------------------------------------------------------

TEST(store_test, out_of_range_ids_are_ignored_and_read_zero) {
  store_fixture f;
  f.store.set_local(3518, 5);
  f.store.set_and_send(4000, 5);
  f.store.linked_set(65535, 5);
  f.store.request(3518);
  EXPECT_EQ(f.store.get(3518), 0);
  EXPECT_EQ(f.store.default_of(9999), 0);
  EXPECT_TRUE(f.store.dirty().empty());
  EXPECT_TRUE(f.store.requests().empty());
  EXPECT_TRUE(f.ui.params.empty());
}

TEST(store_test, set_and_send_queues_and_set_local_does_not) {
  store_fixture f;
  f.store.set_local(100, 3);
  EXPECT_FALSE(f.store.dirty().contains(100));
  f.store.set_and_send(101, 4);
  EXPECT_TRUE(f.store.dirty().contains(101));
  EXPECT_TRUE(f.store.dirty().pending());
  EXPECT_EQ(retry::attempts_left(f.store.dirty().state(101)), 4);
  EXPECT_EQ(f.store.get(101), 4);
}

TEST(store_test, received_values_answer_requests_and_never_enter_the_dirty_set) {
  store_fixture f;
  f.store.request(500);
  f.store.store_received(500, 77);
  EXPECT_EQ(f.store.get(500), 77);
  EXPECT_FALSE(f.store.requests().contains(500));
  EXPECT_EQ(retry::attempts_left(f.store.requests().state(500)), 0);
  EXPECT_FALSE(f.store.dirty().contains(500));
}

TEST(store_test, write_acknowledged_only_with_the_value_held) {
  store_fixture f;
  f.store.set_and_send(600, 10);
  f.store.acknowledge_write(600, 11);
  EXPECT_TRUE(f.store.dirty().contains(600));
  f.store.acknowledge_write(600, 10);
  EXPECT_FALSE(f.store.dirty().contains(600));
}

TEST(store_test, change_hook_schedules_key_lights_only_when_driving_the_surface) {
  store_fixture f;
  const unsigned fader = param_id(kind_input, 0, code_fader);
  f.store.set_and_send(fader, 900);
  EXPECT_EQ(f.events.key_lights, 0);
  EXPECT_TRUE(f.events.surface_faders.empty());
  f.options.surface_takeover = true;
  f.store.set_and_send(fader, 901);
  f.store.set_local(3110, 2);  // a global ID: no key lights
  EXPECT_EQ(f.events.key_lights, 1);
  EXPECT_EQ(f.events.surface_faders, std::vector<uint16_t>{static_cast<uint16_t>(fader)});
}

TEST(store_test, refresh_reaches_page_and_group_bar) {
  store_fixture f;
  f.ui.bar = true;
  f.store.linked_set(param_id(kind_bus, 0, code_fader), 1100);
  ASSERT_EQ(f.ui.bar_levels.size(), 1u);
  EXPECT_DOUBLE_EQ(f.ui.bar_levels[0], -10.0);
  f.store.linked_set(param_id(kind_input, 0, code_input_pan), 90);
  EXPECT_EQ(f.ui.bar_levels.size(), 1u);
  EXPECT_EQ(f.ui.params.size(), 2u);
}

TEST(store_test, quiet_linked_set_writes_without_refresh) {
  store_fixture f;
  f.store.quiet_linked_set(param_id(kind_input, 2, code_fader), 700);
  EXPECT_TRUE(f.ui.params.empty());
  EXPECT_TRUE(f.store.dirty().contains(param_id(kind_input, 2, code_fader)));
  f.store.linked_set(param_id(kind_input, 2, code_fader), 800);
  EXPECT_EQ(f.ui.params.size(), 1u);
}

// --- linked set -------------------------------------------------------------------------

struct fixed_stereo_case {
  int code;
  int mode;  // send mode for AUX sends; -1 when not an AUX send
  uint16_t left, right;
  bool right_refreshed;
};

class fixed_stereo_test : public ::testing::TestWithParam<fixed_stereo_case> {};

TEST_P(fixed_stereo_test, left_member_write_feeds_the_pair) {
  const fixed_stereo_case& c = GetParam();
  store_fixture f;
  if (c.mode >= 0) set_send_mode(f.store, 16, c.code - 13, c.mode);
  f.ui.params.clear();
  f.store.set_local(param_id(kind_input, 16, c.code), 999);
  f.store.set_local(param_id(kind_input, 17, c.code), 999);
  f.store.linked_set(param_id(kind_input, 16, c.code), 1000);
  EXPECT_EQ(f.store.get(param_id(kind_input, 16, c.code)), c.left);
  EXPECT_EQ(f.store.get(param_id(kind_input, 17, c.code)), c.right);
  EXPECT_TRUE(f.store.dirty().contains(param_id(kind_input, 17, c.code)));
  EXPECT_EQ(f.ui.refreshed(param_id(kind_input, 17, c.code)), c.right_refreshed);
  EXPECT_EQ(f.ui.refreshed(param_id(kind_input, 16, c.code)), !c.right_refreshed);
}

INSTANTIATE_TEST_SUITE_P(codes, fixed_stereo_test,
                         ::testing::Values(fixed_stereo_case{21, -1, 1000, 0, false},     // to MAIN L
                                           fixed_stereo_case{22, -1, 0, 1000, true},      // to MAIN R
                                           fixed_stereo_case{23, -1, 1000, 0, false},     // solo L
                                           fixed_stereo_case{24, -1, 0, 1000, true},      // solo R
                                           fixed_stereo_case{25, -1, 1000, 1000, false},  // FX send
                                           fixed_stereo_case{12, -1, 1000, 1000, false},  // fader
                                           fixed_stereo_case{13, 0, 1000, 1000, false},
                                           fixed_stereo_case{14, 1, 1000, 0, false},
                                           fixed_stereo_case{15, 2, 0, 1000, true},
                                           fixed_stereo_case{20, 3, 1000, 1000, false}));

TEST(linked_set_test, linked_inputs_share_all_but_pan_and_sends) {
  store_fixture f;
  set_stereo_bit(f.store, kind_input, 4, true);
  EXPECT_TRUE(stereo_bit(f.store, kind_input, 5));
  EXPECT_TRUE(is_stereo_right(f.store, kind_input, 5));
  EXPECT_FALSE(is_stereo_right(f.store, kind_input, 4));
  f.store.linked_set(param_id(kind_input, 4, code_input_pan), 60);
  EXPECT_EQ(f.store.get(param_id(kind_input, 5, code_input_pan)), 100);
  f.store.linked_set(param_id(kind_input, 5, code_input_fader), 1111);
  EXPECT_EQ(f.store.get(param_id(kind_input, 4, code_input_fader)), 1111);
  f.store.linked_set(param_id(kind_input, 4, 13), 500);
  EXPECT_EQ(f.store.get(param_id(kind_input, 5, 13)), 0);
}

TEST(linked_set_test, unlinked_input_writes_only_itself) {
  store_fixture f;
  f.store.linked_set(param_id(kind_input, 4, code_input_fader), 1111);
  EXPECT_EQ(f.store.get(param_id(kind_input, 5, code_input_fader)), 0);
}

TEST(linked_set_test, linked_bus_solo_crosses_between_members) {
  struct row {
    int bus, code, partner_code;
    bool refresh;
  } rows[] = {{0, 74, 75, true}, {1, 75, 74, true}, {0, 75, 74, false}, {1, 74, 75, false}};
  for (const row& r : rows) {
    store_fixture f;
    set_stereo_bit(f.store, kind_bus, 0, true);
    f.ui.params.clear();
    f.store.linked_set(param_id(kind_bus, r.bus, r.code), 777);
    const unsigned partner = param_id(kind_bus, r.bus ^ 1, r.partner_code);
    EXPECT_EQ(f.store.get(partner), 777) << r.bus << "/" << r.code;
    EXPECT_EQ(f.ui.params.size(), r.refresh ? 2u : 0u) << r.bus << "/" << r.code;
  }
}

TEST(linked_set_test, main_pair_links_with_bit_four) {
  store_fixture f;
  set_stereo_bit(f.store, kind_bus, main_l_bus, true);
  EXPECT_EQ(f.store.get(output_stereo_bits_id), 1 << 4);
  f.store.linked_set(main_r_fader_id, 1000);
  EXPECT_EQ(f.store.get(main_l_fader_id), 1000);
}

TEST(linked_set_test, mute_group_mutes_members_and_respects_other_groups) {
  store_fixture f;
  const unsigned on3 = param_id(kind_input, 3, code_input_on);
  const unsigned on7 = param_id(kind_input, 7, code_input_on);
  write_membership(f.store, kind_mute_group, 0, 3, true);
  write_membership(f.store, kind_mute_group, 0, 7, true);
  write_membership(f.store, kind_mute_group, 1, 3, true);
  f.store.linked_set(param_id(kind_mute_group, 0, code_mute_active), 1);
  EXPECT_EQ(f.store.get(on3), 0);
  EXPECT_EQ(f.store.get(on7), 0);
  f.store.linked_set(param_id(kind_mute_group, 1, code_mute_active), 1);
  f.store.linked_set(param_id(kind_mute_group, 0, code_mute_active), 0);
  EXPECT_EQ(f.store.get(on3), 0) << "still muted by group 1";
  EXPECT_EQ(f.store.get(on7), 1);
  f.store.linked_set(param_id(kind_mute_group, 1, code_mute_active), 0);
  EXPECT_EQ(f.store.get(on3), 1);
}

TEST(linked_set_test, mute_group_reaches_buses_and_effect_returns) {
  store_fixture f;
  write_membership(f.store, kind_mute_group, 2, logical_of(kind_bus, 9), true);
  write_membership(f.store, kind_mute_group, 2, logical_of(kind_fx, 1), true);
  write_membership(f.store, kind_mute_group, 2, logical_of(kind_dca, 0), true);
  f.store.linked_set(param_id(kind_mute_group, 2, code_mute_active), 1);
  EXPECT_EQ(f.store.get(param_id(kind_bus, 9, code_on)), 0);
  EXPECT_EQ(f.store.get(param_id(kind_fx, 1, code_on)), 0);
  EXPECT_EQ(f.store.get(param_id(kind_dca, 0, code_on)), 0) << "DCA stays as it was";
}

TEST(linked_set_test, phantom_group_switches_input_members) {
  store_fixture f;
  const unsigned ph2 = param_id(kind_input, 2, code_input_phantom);
  write_membership(f.store, kind_phantom_group, 0, 2, true);
  write_membership(f.store, kind_phantom_group, 1, 2, true);
  write_membership(f.store, kind_phantom_group, 0, logical_of(kind_fx, 0), true);
  f.store.linked_set(param_id(kind_phantom_group, 0, code_phantom_active), 1);
  EXPECT_EQ(f.store.get(ph2), 1);
  f.store.linked_set(param_id(kind_phantom_group, 1, code_phantom_active), 1);
  f.store.linked_set(param_id(kind_phantom_group, 0, code_phantom_active), 0);
  EXPECT_EQ(f.store.get(ph2), 1) << "group 1 still powers it";
  f.store.linked_set(param_id(kind_phantom_group, 1, code_phantom_active), 0);
  EXPECT_EQ(f.store.get(ph2), 0);
}

// What a client reads before a linked set has to hold everything the linked set looks at
// and everything it writes. Both are checked from the outside: the writes must lie within
// the reads, and changing every ID outside the reads must not change what is written.
using value_image = std::array<uint16_t, param_count>;

// The (ID, value) pairs a linked set of `id` to `value` queues, starting from `image`.
std::vector<std::pair<uint16_t, uint16_t>> linked_writes(const value_image& image, unsigned id, uint16_t value) {
  runtime_options options;
  param_store store(options);
  for (unsigned i = 0; i < param_count; ++i) store.set_local(i, image[i]);
  store.linked_set(id, value);
  std::vector<std::pair<uint16_t, uint16_t>> writes;
  for (unsigned i = 0; i < param_count; ++i)
    if (store.dirty().contains(i)) writes.emplace_back(static_cast<uint16_t>(i), store.get(i));
  return writes;
}

// Console states that make the linked set reach far: everything linked, every send mode
// used, every group active with every channel a member; and arbitrary values.
value_image far_reaching_state() {
  store_fixture f;
  value_image image = f.store.values();
  image[input_stereo_bits_id] = image[output_stereo_bits_id] = 0xFFFF;
  for (unsigned m = send_mode_base_id; m < send_mode_base_id + 6; ++m) image[m] = 0x1B1B;  // modes 3, 2, 1, 0
  for (int g = 0; g < mute_group_count; ++g) {
    image[param_id(kind_mute_group, g, code_mute_active)] = 1;
    for (int w = 0; w < 4; ++w) image[param_id(kind_mute_group, g, code_mute_members + w)] = 0xFFFF;
  }
  for (int g = 0; g < phantom_group_count; ++g) {
    image[param_id(kind_phantom_group, g, code_phantom_active)] = 1;
    for (int w = 0; w < 2; ++w) image[param_id(kind_phantom_group, g, code_phantom_members + w)] = 0xFFFF;
  }
  return image;
}

value_image arbitrary_state(uint32_t seed) {
  value_image image{};
  for (uint16_t& v : image) {
    seed = seed * 1664525u + 1013904223u;
    v = static_cast<uint16_t>(seed >> 16);
  }
  return image;
}

TEST(linked_set_reads_test, cover_everything_the_linked_set_consults_and_writes) {
  const std::vector<unsigned> targets = {
      param_id(kind_input, 4, code_input_fader),     // a pair that may be linked
      param_id(kind_input, 5, code_input_pan),       // pan stays apart
      param_id(kind_input, 3, 13),                   // an AUX send
      param_id(kind_input, 16, 14),                  // fixed stereo left, AUX send with a mode
      param_id(kind_input, 16, 21),                  // fixed stereo left to MAIN L
      param_id(kind_input, 18, 24),                  // fixed stereo left, solo R
      param_id(kind_input, 17, code_input_fader),    // fixed stereo right
      param_id(kind_input, 25, 20),
      param_id(kind_bus, 2, code_bus_fader),
      param_id(kind_bus, 3, code_bus_solo_l),        // solo crosses over
      param_id(kind_bus, 6, code_bus_solo_r),
      main_r_fader_id,
      param_id(kind_fx, 1, code_fx_fader),
      param_id(kind_dca, 2, code_fader),
      param_id(kind_mute_group, 0, code_mute_active),
      param_id(kind_mute_group, 3, code_mute_active),
      param_id(kind_mute_group, 1, code_mute_members + 2),
      param_id(kind_phantom_group, 2, code_phantom_active),
      param_id(kind_phantom_group, 0, code_phantom_members),
      input_stereo_bits_id,
      selected_channel_id,
  };
  store_fixture defaults;
  const value_image states[] = {defaults.store.values(), far_reaching_state(), arbitrary_state(1),
                                arbitrary_state(7)};
  for (unsigned id : targets) {
    std::vector<uint16_t> reads = linked_set_reads(id);
    std::sort(reads.begin(), reads.end());
    ASSERT_TRUE(std::binary_search(reads.begin(), reads.end(), id)) << id;
    for (std::size_t s = 0; s < std::size(states); ++s) {
      for (const uint16_t value : {uint16_t{0}, uint16_t{1}, uint16_t{0x2345}}) {
        const auto writes = linked_writes(states[s], id, value);
        ASSERT_FALSE(writes.empty()) << id;
        for (const auto& w : writes)
          EXPECT_TRUE(std::binary_search(reads.begin(), reads.end(), w.first))
              << "linked set of " << id << " in state " << s << " writes " << w.first << " unread";
        // Whatever the console holds outside the reads, the linked set does the same.
        value_image changed = arbitrary_state(static_cast<uint32_t>(id * 31 + s));
        for (uint16_t r : reads) changed[r] = states[s][r];
        EXPECT_EQ(linked_writes(changed, id, value), writes) << "linked set of " << id << " in state " << s;
      }
    }
  }
}

// --- channel state ----------------------------------------------------------------------

TEST(channel_state_test, membership_follows_the_link_partner) {
  store_fixture f;
  set_stereo_bit(f.store, kind_input, 2, true);
  write_membership(f.store, kind_dca, 1, 2, true);
  EXPECT_TRUE(is_member(f.store, kind_dca, 1, 2));
  EXPECT_TRUE(is_member(f.store, kind_dca, 1, 3));
  write_membership(f.store, kind_dca, 1, 40, true);  // DCA bitmaps cover all 42 slots
  EXPECT_EQ(f.store.get(param_id(kind_dca, 1, 223)), 1 << 8);
  write_membership(f.store, kind_phantom_group, 0, 33, true);  // beyond the two words
  EXPECT_FALSE(is_member(f.store, kind_phantom_group, 0, 33));
}

TEST(channel_state_test, send_modes_only_for_fixed_stereo_inputs) {
  store_fixture f;
  set_send_mode(f.store, 18, 9, 2);
  EXPECT_EQ(f.store.get(3091 + 2 + 1), 2 << 2);
  EXPECT_EQ(send_mode(f.store, 19, 9), 2);
  set_send_mode(f.store, 3, 0, 1);
  EXPECT_EQ(send_mode(f.store, 3, 0), 0);
  EXPECT_EQ(send_mode(f.store, 24, 16), 0);
}

TEST(channel_state_test, selection) {
  store_fixture f;
  select_channel(f.store, kind_bus, 2);
  EXPECT_EQ(f.store.get(selected_channel_id), 29);
  EXPECT_TRUE(is_selected(f.store, kind_bus, 2));
  select_channel(f.store, kind_dca, 0);
  EXPECT_EQ(f.store.get(selected_channel_id), 29);
  select_channel(f.store, kind_input, 0);
  EXPECT_EQ(f.store.get(selected_channel_id), 1);
}

// --- read requests ----------------------------------------------------------------------

TEST(request_test, meter_rule) {
  struct row {
    bool disabled, locked, scene_call, meters_in;
  } rows[] = {{false, false, false, true}, {true, false, false, false}, {false, true, false, false},
              {false, false, true, false}};
  for (const row& r : rows) {
    store_fixture f;
    f.options.meter_polling_disabled = r.disabled;
    f.events.locked = r.locked;
    f.events.scene_call = r.scene_call;
    f.store.request_range(0, 60);
    EXPECT_EQ(f.store.requests().count(), r.meters_in ? 61u : 9u);
    EXPECT_TRUE(f.store.requests().contains(0));
    EXPECT_TRUE(f.store.requests().contains(54));
    EXPECT_EQ(f.store.requests().contains(2), r.meters_in);
    // A refused meter read still holds a queued state.
    EXPECT_EQ(retry::attempts_left(f.store.requests().state(30)), 4);
  }
}

TEST(request_test, request_range_with_last_before_first_does_nothing) {
  store_fixture f;
  f.store.request_range(10, 9);
  EXPECT_FALSE(f.store.requests().pending());
}

TEST(request_test, request_all_takes_everything_out_of_the_dirty_set) {
  store_fixture f;
  f.store.set_and_send(700, 1);
  f.store.request_all();
  EXPECT_EQ(f.events.restarts, 1);
  EXPECT_FALSE(f.store.dirty().contains(700));
  EXPECT_EQ(f.store.requests().count(), static_cast<std::size_t>(param_count));
}

TEST(request_test, resync_operations_reach_the_name_tables) {
  store_fixture f;
  f.store.full_resync();
  EXPECT_EQ(f.events.scene_name_requests, 1);
  EXPECT_EQ(f.events.channel_name_requests, 1);
  f.store.set_and_send(700, 1);
  f.store.resync_all();
  EXPECT_EQ(f.events.drops, 1);
  EXPECT_EQ(f.events.scene_name_requests, 2);
  EXPECT_EQ(f.events.channel_name_requests, 1);
  EXPECT_EQ(f.store.requests().count(), static_cast<std::size_t>(param_count));
  f.store.clear_all();
  EXPECT_TRUE(f.store.requests().empty());
  EXPECT_FALSE(f.store.requests().pending());
  EXPECT_FALSE(f.store.dirty().pending());
}

}  // namespace
}  // namespace vorante
