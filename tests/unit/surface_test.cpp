// The console's surface as the program drives it: the key lights computed from the store
// and the screen, the motor-fader slots with their retries and echoes, and the rule that
// nothing goes out unless the surface is driven.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "app/media/media_client.h"
#include "app/params/banks.h"
#include "app/params/solo.h"
#include "app/protocol/engine.h"
#include "app/protocol/messages.h"
#include "tests/support/engine_fixture.h"

namespace vorante {
namespace {

// An engine whose sent control outputs are collected the way the console keeps them: the
// last light word and fader position of each.
struct surface_rig : test::engine_rig<> {
  std::array<uint16_t, surface_light_words> words{};
  std::vector<id_value> fader_pairs;  // every fader position sent, in order
  int light_frames = 0;

  explicit surface_rig(bool takeover = true) {
    options.surface_takeover = takeover;
    engine.step(now);
  }
  control_surface& surface() { return engine.surface(); }

  void collect() {
    for (const auto& f : link.sent_with(message_code::control_outputs)) {
      bool light_frame = false;
      for (const id_value p : pair_list(frame_payload(f))) {
        if (p.id >= output_first_light_word && p.id < output_first_light_word + surface_light_words) {
          words[p.id - output_first_light_word] = p.value;
          light_frame = true;
        } else if (p.id >= output_first_fader && p.id < output_first_fader + surface_fader_count) {
          fader_pairs.push_back(p);
        }
      }
      light_frames += light_frame;
    }
    link->sent.clear();
  }
  // Long enough for the light timer and a few paced passes.
  void settle(int passes = 4) {
    for (int i = 0; i < passes; ++i) pass();
    collect();
  }
  bool lit(int n) const { return ((words[static_cast<std::size_t>(n / 16)] >> (n % 16)) & 1) != 0; }
  void full(const surface_page_state& page = {}, bool locked = false) {
    surface().lights_full_refresh(now, page, locked);
    settle();
  }
};

// --- light computation ------------------------------------------------------------------

struct light_case {
  const char* what;
  int layer;
  surface_page_state page;
  bool locked;
  std::vector<int> on, off;
};

surface_page_state editor(int kind, int index) {
  surface_page_state p;
  p.editor_kind = kind;
  p.editor_index = index;
  return p;
}
surface_page_state with(surface_page_state p, bool settings, bool player, bool phones) {
  p.settings_shown = settings;
  p.player_shown = player;
  p.phones_pinned = phones;
  return p;
}

TEST(surface_lights, follow_the_page_on_screen_the_layer_and_the_lock) {
  const std::vector<int> selects = {9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
  auto without = [&](std::vector<int> v, int keep) {
    std::erase(v, keep);
    return v;
  };
  const light_case cases[] = {
      {"strips page", 0, {}, false, {8, 55, 39, 81, 82}, {3, 6, 7, 50, 40, 41, 42, 83, 84, 85, 86, 9, 17, 18}},
      {"input editor on layer", 0, editor(kind_input, 2), false, {11}, without(selects, 11)},
      {"input editor off layer", 0, editor(kind_input, 10), false, {}, selects},
      {"input editor, second layer", 1, editor(kind_input, 10), false, {11, 40, 83, 84}, without(selects, 11)},
      {"MAIN L editor", 3, editor(kind_bus, main_l_bus), false, {17}, without(selects, 17)},
      {"MAIN R editor", 0, editor(kind_bus, main_r_bus), false, {18}, without(selects, 18)},
      {"aux editor on the aux layer", 3, editor(kind_bus, 3), false, {12, 42, 81, 82, 85, 86}, without(selects, 12)},
      {"aux editor elsewhere", 0, editor(kind_bus, 3), false, {}, selects},
      {"effects editor", 2, editor(kind_fx, 1), false, {12, 41, 85, 86}, without(selects, 12)},
      {"settings page", 0, with({}, true, false, false), false, {7}, {3}},
      {"player page", 0, with({}, false, true, false), false, {3}, {7}},
      {"headphone toast pinned", 0, with({}, false, false, true), false, {6}, {}},
      {"DCA layer lights no layer key", 4, {}, false, {8, 55}, {39, 40, 41, 42, 81, 82, 83, 84, 85, 86}},
      {"locked: the lock light instead of select and page", 0, with(editor(kind_input, 2), true, false, false), true,
       {50, 8, 55, 39}, {11, 7}},
  };
  for (const light_case& c : cases) {
    surface_rig rig;
    rig.surface().set_layer(c.layer);
    rig.full(c.page, c.locked);
    for (int n : c.on) EXPECT_TRUE(rig.lit(n)) << c.what << ": light " << n;
    for (int n : c.off) EXPECT_FALSE(rig.lit(n)) << c.what << ": light " << n;
  }
}

TEST(surface_lights, show_mutes_solos_and_the_current_scene_of_the_layer) {
  surface_rig rig;
  rig.store.set_local(param_id(kind_fx, 0, code_on), 0);  // ST-FX slot 2 muted
  solo_write(rig.store, kind_input, 24, true);            // ST-FX slot 4 soloed
  solo_write(rig.store, kind_bus, main_l_bus, true);
  rig.store.set_local(param_id(kind_bus, main_r_bus, code_on), 0);
  rig.store.set_local(param_id(kind_input, 0, code_on), 0);  // on layer 0 only
  rig.store.set_local(scene_change_marker_id, 6);
  rig.surface().set_layer(2);
  rig.full();
  for (int n : {29 + 2, 19 + 4, 27, 38, 48}) EXPECT_TRUE(rig.lit(n)) << n;
  for (int n : {29, 19 + 2, 29 + 4, 37, 43, 47}) EXPECT_FALSE(rig.lit(n)) << n;
  // Slots 5..7 of the layer are empty: their mute and solo lights stay dark.
  for (int s = 5; s < 8; ++s) EXPECT_FALSE(rig.lit(29 + s) || rig.lit(19 + s)) << s;

  // A scene number beyond the six keys lights none of them.
  rig.store.set_local(scene_change_marker_id, 9);
  rig.full();
  for (int n = 43; n <= 48; ++n) EXPECT_FALSE(rig.lit(n)) << n;
}

struct media_case {
  int device, transport;
  bool player_shown;
  int source;
  bool play, player, record, bluetooth;
};

TEST(surface_lights, media_keys_follow_the_play_device_and_transport) {
  const media_case cases[] = {
      {play_device_udisk, transport_playing_state, false, 0, true, false, false, false},
      {play_device_bluetooth, transport_playing_state, false, 0, true, false, false, true},
      {play_device_bluetooth, transport_idle_state, false, 0, false, false, false, true},
      {play_device_recorder, transport_playing_state, false, 0, false, false, false, false},
      {play_device_recorder, transport_recording_state, false, 0, false, false, true, false},
      {play_device_udisk, transport_idle_state, true, play_device_udisk, false, true, false, false},
      {play_device_udisk, transport_idle_state, true, play_device_bluetooth, false, false, false, false},
      {play_device_udisk, transport_idle_state, false, play_device_udisk, false, false, false, false},
      {play_device_bluetooth, transport_idle_state, true, play_device_udisk, false, false, false, true},
  };
  for (const media_case& c : cases) {
    surface_rig rig;
    surface_page_state page;
    page.play_device = c.device;
    page.transport_state = c.transport;
    page.player_shown = c.player_shown;
    page.player_source = c.source;
    // Locked, so that the page's own player light does not cover the media rule.
    rig.full(page, true);
    const std::string what = "device " + std::to_string(c.device) + " transport " + std::to_string(c.transport) +
                             " source " + std::to_string(c.source) + (c.player_shown ? " shown" : "");
    EXPECT_EQ(rig.lit(light_media_play), c.play) << what;
    EXPECT_EQ(rig.lit(light_media_player), c.player) << what;
    EXPECT_EQ(rig.lit(light_media_record), c.record) << what;
    EXPECT_EQ(rig.lit(light_media_bluetooth), c.bluetooth) << what;
  }
}

TEST(surface_lights, a_media_change_sends_only_its_word_and_only_once) {
  surface_rig rig;
  rig.full();
  const int frames = rig.light_frames;
  surface_page_state page;
  page.play_device = play_device_bluetooth;
  rig.surface().media_lights(rig.now, page);
  rig.settle();
  EXPECT_TRUE(rig.lit(light_media_bluetooth));
  EXPECT_EQ(rig.light_frames, frames + 1);
  rig.surface().media_lights(rig.now, page);
  rig.settle();
  EXPECT_EQ(rig.light_frames, frames + 1) << "nothing changed, nothing sent";
}

TEST(surface_lights, the_incremental_refresh_leaves_unnamed_lights_and_the_full_one_clears_them) {
  surface_rig rig;
  rig.full();
  rig.surface().set_light(60, true, rig.now);  // a light only a page sets (a copy light)
  rig.surface().set_light(light_media_bluetooth, true, rig.now);
  rig.settle();
  rig.store.linked_set(param_id(kind_input, 1, code_on), 0);
  rig.settle(8);  // the recomputation 50 ms later, its frame 50 ms after that
  EXPECT_TRUE(rig.lit(29 + 1)) << "the change hook's refresh";
  EXPECT_TRUE(rig.lit(60));
  EXPECT_TRUE(rig.lit(light_media_bluetooth));
  rig.full();
  EXPECT_FALSE(rig.lit(60));
  EXPECT_FALSE(rig.lit(light_media_bluetooth));
  EXPECT_TRUE(rig.lit(29 + 1));
}

TEST(surface_lights, changes_within_fifty_ms_go_out_in_one_frame_of_changed_words) {
  surface_rig rig;
  rig.full();
  const int frames = rig.light_frames;
  for (int i = 0; i < 8; ++i) rig.store.linked_set(param_id(kind_input, i, code_on), 0);
  rig.store.linked_set(param_id(kind_bus, main_l_bus, code_on), 0);
  for (int i = 0; i < 6; ++i) rig.pass();  // the recomputation, then the light timer
  const auto sent = rig.link.sent_with(message_code::control_outputs);
  ASSERT_EQ(sent.size(), 1u);
  // Mutes 29..36 live in words 1 and 2, MAIN L's (37) in word 2.
  EXPECT_EQ(test::pairs_of(sent[0]).size(), 2u);
  rig.collect();
  EXPECT_EQ(rig.light_frames, frames + 1);
  for (int n = 29; n <= 37; ++n) EXPECT_TRUE(rig.lit(n)) << n;
}

// --- driven or not ----------------------------------------------------------------------

struct driven_case {
  const char* what;
  bool local, takeover;
  bool lights, faders;
};

TEST(surface_outputs, go_out_only_while_the_surface_is_driven) {
  const driven_case cases[] = {
      {"observing", false, false, false, false},
      {"on the console", true, false, true, false},  // the console moves its own faders
      {"taking over", false, true, true, true},
      {"both", true, true, true, true},
  };
  for (const driven_case& c : cases) {
    surface_rig rig(c.takeover);
    rig.options.local_device = c.local;
    // A full read ends: lights and faders are refreshed.
    const id_value end{end_marker_id, 0};
    rig.store.requests().queue(1);
    rig.pass();
    rig.deliver(make_param_values({&end, 1}));
    const id_value one{1, 0};
    rig.deliver(make_param_values({&one, 1}));
    rig.settle();
    ASSERT_TRUE(rig.engine.read_finished()) << c.what;
    // A mute, a fader write and a fader pushed by the console.
    rig.store.linked_set(param_id(kind_input, 0, code_on), 0);
    rig.store.linked_set(param_id(kind_input, 1, code_fader), 700);
    const id_value pushed{static_cast<uint16_t>(param_id(kind_input, 2, code_fader)), 650};
    rig.deliver(make_param_change({&pushed, 1}));
    rig.settle(8);
    EXPECT_EQ(rig.store.get(param_id(kind_input, 0, code_on)), 0) << c.what << ": the mute itself still happens";
    EXPECT_EQ(rig.light_frames > 0, c.lights) << c.what;
    EXPECT_EQ(!rig.fader_pairs.empty(), c.faders) << c.what;
    if (c.lights) {
      EXPECT_TRUE(rig.lit(29)) << c.what;
    }
    if (c.faders) {  // the write and the push both move their motors
      EXPECT_NE(std::find(rig.fader_pairs.begin(), rig.fader_pairs.end(), id_value{output_first_fader + 1, 700}),
                rig.fader_pairs.end());
      EXPECT_NE(std::find(rig.fader_pairs.begin(), rig.fader_pairs.end(), id_value{output_first_fader + 2, 650}),
                rig.fader_pairs.end());
    }
  }
}

// --- fader slots ------------------------------------------------------------------------

TEST(surface_faders, the_full_refresh_sends_the_layer_and_main_l_then_main_r) {
  for (int layer = 0; layer < bank_count; ++layer) {
    surface_rig rig;
    rig.surface().set_layer(layer);
    for (int s = 0; s < surface_strip_slots; ++s)
      if (const int id = rig.surface().slot_param(s); id >= 0) rig.store.set_local(id, static_cast<uint16_t>(100 + s));
    rig.store.set_local(main_l_fader_id, 0x4000 | 811);  // flag bits never reach the motor
    rig.store.set_local(main_r_fader_id, 822);
    rig.surface().faders_full_refresh();
    rig.pass();
    rig.collect();
    std::vector<id_value> expected;
    for (int s = 0; s < fader_banks[layer].slot_count; ++s)
      expected.push_back({static_cast<uint16_t>(output_first_fader + s), static_cast<uint16_t>(100 + s)});
    expected.push_back({output_first_fader + 8, 811});
    expected.push_back({output_first_fader + 9, 822});
    EXPECT_EQ(rig.fader_pairs, expected) << "layer " << layer;
  }
}

// The event path, the per-change output path and the full refresh agree on every slot.
TEST(surface_faders, one_slot_per_fader_on_every_path) {
  for (int layer = 0; layer < bank_count; ++layer) {
    for (int slot = 0; slot < 10; ++slot) {
      surface_rig rig;
      rig.surface().set_layer(layer);
      const int id = rig.surface().slot_param(slot);
      if (id < 0) continue;
      // A hand on fader `slot` moves the parameter...
      const id_value ev{static_cast<uint16_t>(event_first_fader + slot), 1234};
      rig.deliver(make_control_events({&ev, 1}));
      rig.pass();
      EXPECT_EQ(rig.store.get(static_cast<unsigned>(id)) & 0x3FFF, 1234) << layer << "/" << slot;
      // ...a write of that parameter drives the same motor...
      rig.store.linked_set(static_cast<unsigned>(id), 1500);
      rig.pass();
      rig.collect();
      ASSERT_FALSE(rig.fader_pairs.empty()) << layer << "/" << slot;
      EXPECT_EQ(rig.fader_pairs.back(), (id_value{static_cast<uint16_t>(output_first_fader + slot), 1500}));
      // ...and so does the full refresh.
      rig.fader_pairs.clear();
      rig.surface().faders_full_refresh();
      rig.pass();
      rig.collect();
      bool found = false;
      for (const id_value p : rig.fader_pairs) found |= p.id == output_first_fader + slot && p.value == 1500;
      EXPECT_TRUE(found) << layer << "/" << slot;
    }
  }
}

TEST(surface_faders, an_unechoed_position_is_resent_by_the_tick_rule_until_echoed) {
  surface_rig rig;
  rig.store.linked_set(param_id(kind_input, 3, code_fader), 900);
  std::vector<int> sent_at;
  for (int pass = 0; pass < 30; ++pass) {
    rig.pass();
    rig.collect();
    if (!rig.fader_pairs.empty()) sent_at.push_back(pass);
    rig.fader_pairs.clear();
  }
  EXPECT_EQ(sent_at, (std::vector<int>{0, 6, 12, 18})) << "four sends, six passes apart";
  EXPECT_FALSE(rig.surface().fader_pending(3));

  // An echo of another position does not stop the retries; the right one does.
  rig.store.linked_set(param_id(kind_input, 3, code_fader), 910);
  rig.pass();
  const id_value stale{output_first_fader + 3, 900}, right{output_first_fader + 3, 910};
  rig.deliver(make_control_outputs_applied({&stale, 1}));
  rig.pass();
  EXPECT_TRUE(rig.surface().fader_pending(3));
  rig.deliver(make_control_outputs_applied({&right, 1}));
  rig.pass();
  EXPECT_FALSE(rig.surface().fader_pending(3));
  rig.collect();
  rig.fader_pairs.clear();
  for (int pass = 0; pass < 12; ++pass) rig.pass();
  rig.collect();
  EXPECT_TRUE(rig.fader_pairs.empty());
}

TEST(surface_faders, a_hand_on_the_fader_stops_the_motor_being_driven_against_it) {
  surface_rig rig;
  // A write is queued for fader 5, then the hand moves the fader before it goes out.
  rig.store.linked_set(param_id(kind_input, 5, code_fader), 300);
  const id_value ev{event_first_fader + 5, 420};
  rig.deliver(make_control_events({&ev, 1}));
  for (int pass = 0; pass < 20; ++pass) rig.pass();
  rig.collect();
  for (const id_value p : rig.fader_pairs) EXPECT_NE(p.id, output_first_fader + 5) << p.value;
  EXPECT_EQ(rig.store.get(param_id(kind_input, 5, code_fader)) & 0x3FFF, 420);
}

TEST(surface_faders, events_for_empty_slots_or_while_locked_change_nothing) {
  surface_rig rig;
  rig.surface().set_layer(2);  // ST-FX: slots 5..7 empty
  const std::vector<uint16_t> before(rig.store.values().begin(), rig.store.values().end());
  const id_value empty[] = {{event_first_fader + 5, 1000}, {event_first_fader + 7, 2000}, {event_first_fader + 12, 3000}};
  rig.deliver(make_control_events(empty));
  rig.settle();
  EXPECT_TRUE(rig.store.dirty().empty());
  EXPECT_EQ(std::vector<uint16_t>(rig.store.values().begin(), rig.store.values().end()), before);

  const id_value locked{lock_state_id, 1};
  rig.deliver(make_param_values({&locked, 1}));
  rig.pass();
  const id_value ev{event_first_fader, 1000};
  rig.deliver(make_control_events({&ev, 1}));
  rig.settle();
  EXPECT_NE(rig.store.get(param_id(kind_input, 16, code_fader)) & 0x3FFF, 1000);
}

}  // namespace
}  // namespace vorante
