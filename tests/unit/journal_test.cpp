// The edit journal: what makes a step, what undo and redo write back, and when a step is
// left alone because the console changed it.
#include <gtest/gtest.h>

#include "app/params/journal.h"
#include "app/protocol/messages.h"
#include "app/protocol/undo.h"
#include "tests/support/engine_fixture.h"
#include "store_fixture.h"

namespace vorante {
namespace {


const uint16_t ch1_mute = param_id(kind_input, 0, code_input_on);
const uint16_t ch1_fader = param_id(kind_input, 0, code_input_fader);
const uint16_t ch2_fader = param_id(kind_input, 1, code_input_fader);

struct toasts_ui : test::recording_ui {
  std::vector<std::string> toasts;
  void show_toast(std::string_view text, uint16_t, int) override { toasts.emplace_back(text); }
};

// A store with its name tables, edited the way a page does: inside a group.
struct journal_fixture {
  runtime_options options;
  toasts_ui ui;
  param_store store{options, ui};
  name_tables names{ui};
  journal_fixture() {
    store.load_defaults();
    names.attach(store.journal());
  }
  edit_journal& journal() { return store.journal(); }
  void edit(uint16_t id, uint16_t value) {
    journal().begin_group();
    store.linked_set(id, value);
    journal().end_group();
  }
  journal_result undo() { return undo_edit(store, names, ui); }
  journal_result redo() { return redo_edit(store, names, ui); }
};

TEST(journal, writes_outside_a_group_and_console_values_are_not_steps) {
  journal_fixture f;
  f.store.linked_set(ch1_fader, 900);
  f.store.store_received(ch1_mute, 0);
  EXPECT_EQ(f.journal().undo_count(), 0u);
  EXPECT_EQ(f.undo().outcome, journal_outcome::nothing);
  EXPECT_EQ(f.ui.toasts.back(), "Nothing to undo");
}

TEST(journal, a_drag_is_one_step_from_its_first_value_to_its_last) {
  journal_fixture f;
  const uint16_t start = f.store.get(ch1_fader);
  f.journal().begin_group();
  for (uint16_t v = 100; v <= 500; v += 100) f.store.linked_set(ch1_fader, v);
  f.journal().end_group();
  ASSERT_EQ(f.journal().undo_count(), 1u);
  const auto& entries = f.journal().undo_steps().back().entries;
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].before, start);
  EXPECT_EQ(entries[0].after, 500);

  EXPECT_EQ(f.undo().outcome, journal_outcome::done);
  EXPECT_EQ(f.store.get(ch1_fader), start);
  EXPECT_EQ(f.redo().outcome, journal_outcome::done);
  EXPECT_EQ(f.store.get(ch1_fader), 500);
  // Undo and redo are not steps of their own.
  EXPECT_EQ(f.journal().undo_count(), 1u);
  EXPECT_EQ(f.journal().redo_count(), 0u);
}

TEST(journal, a_drag_back_to_where_it_began_is_no_step) {
  journal_fixture f;
  const uint16_t start = f.store.get(ch1_fader);
  f.journal().begin_group();
  f.store.linked_set(ch1_fader, start + 50);
  f.store.linked_set(ch1_fader, start);
  f.journal().end_group();
  EXPECT_EQ(f.journal().undo_count(), 0u);
}

TEST(journal, undo_restores_every_parameter_of_a_step_and_names_it) {
  journal_fixture f;
  f.store.set_local(input_stereo_bits_id, 1);  // CH1 and CH2 linked: one edit writes both
  const uint16_t before = f.store.get(ch1_fader);
  f.edit(ch1_fader, 777);
  ASSERT_EQ(f.store.get(ch2_fader), 777);
  f.ui.params.clear();
  f.undo();
  EXPECT_EQ(f.store.get(ch1_fader), before);
  EXPECT_EQ(f.store.get(ch2_fader), before);
  EXPECT_TRUE(f.ui.refreshed(ch1_fader));  // the page on screen follows
  EXPECT_EQ(f.ui.toasts.back(), "Undo: CH1 fader");
}

TEST(journal, toast_labels) {
  struct row {
    uint16_t id;
    const char* label;
  };
  const row rows[] = {
      {ch1_mute, "CH1 mute"},
      {param_id(kind_input, 4, code_input_aux_send + 2), "CH5 AUX3 send"},
      {param_id(kind_bus, 2, code_bus_fader), "AUX3 fader"},
      {param_id(kind_dca, 1, code_dca_on), "DCA2 mute"},
      // Named as the scene diff names them.
      {param_id(kind_input, 2, code_input_bands + 4 + 2), "CH3 EQ 2 gain"},
      {param_id(kind_bus, 8, code_bus_on), "LEFT mute"},
      {param_id(kind_mute_group, 1, code_mute_active), "MUTE GROUP 2 active"},
      {param_id(kind_fx, 0, code_fx_param_1 + 1), "FX1 effect parameter 2"},
      {static_cast<uint16_t>(colour_base_id + 2), "CH3 colour"},
      {selected_channel_id, "selected channel"},
  };
  for (const auto& r : rows) {
    journal_step step;
    step.entries.push_back({journal_item::param, r.id, 0, 1, {}, {}});
    EXPECT_EQ(journal_label(step), r.label) << r.id;
  }
  journal_step several;
  several.entries.push_back({journal_item::param, ch1_mute, 0, 1, {}, {}});
  several.entries.push_back({journal_item::param, param_id(kind_input, 2, code_input_on), 0, 1, {}, {}});
  several.entries.push_back({journal_item::scene_name, 3, 0, 0, "a", "b"});
  EXPECT_EQ(journal_label(several), "CH1 mute and 2 more");
  // A solo writes both sides; a stereo pair both members: each is one edit.
  journal_step solo;
  solo.entries.push_back({journal_item::param, param_id(kind_input, 0, code_input_solo_l), 0, 1, {}, {}});
  solo.entries.push_back({journal_item::param, param_id(kind_input, 0, code_input_solo_r), 0, 1, {}, {}});
  EXPECT_EQ(journal_label(solo), "CH1 solo");
  journal_step pair;
  pair.entries.push_back({journal_item::param, param_id(kind_input, 5, code_input_fader), 0, 1, {}, {}});
  pair.entries.push_back({journal_item::param, param_id(kind_input, 4, code_input_fader), 0, 1, {}, {}});
  EXPECT_EQ(journal_label(pair), "CH6 fader");
  journal_step name;
  name.entries.push_back({journal_item::channel_name, 2, 0, 0, "a", "b"});
  EXPECT_EQ(journal_label(name), "CH3 name");
}

TEST(journal, a_new_edit_clears_redo) {
  journal_fixture f;
  f.edit(ch1_mute, 0);
  f.undo();
  ASSERT_EQ(f.journal().redo_count(), 1u);
  f.edit(ch1_fader, 300);
  EXPECT_EQ(f.journal().redo_count(), 0u);
  EXPECT_EQ(f.redo().outcome, journal_outcome::nothing);
}

TEST(journal, a_step_the_console_changed_since_is_skipped_not_undone) {
  journal_fixture f;
  const uint16_t fader_before = f.store.get(ch1_fader);
  f.edit(ch1_fader, 400);
  f.edit(ch1_mute, 0);
  f.store.store_received(ch1_fader, 650);  // moved on the console itself
  EXPECT_EQ(f.undo().outcome, journal_outcome::done);  // the mute is untouched by it
  const journal_result skipped = f.undo();
  EXPECT_EQ(skipped.outcome, journal_outcome::skipped);
  EXPECT_EQ(f.store.get(ch1_fader), 650);
  EXPECT_NE(f.store.get(ch1_fader), fader_before);
  EXPECT_EQ(f.ui.toasts.back(), "Not undone, changed on the console: CH1 fader");
  EXPECT_EQ(f.journal().undo_count(), 0u);
  EXPECT_EQ(f.journal().redo_count(), 1u);  // the mute can still be made again

  // The console's change after an undo keeps the redo from overwriting it as well.
  f.store.store_received(ch1_mute, 0);
  EXPECT_EQ(f.redo().outcome, journal_outcome::skipped);
}

TEST(journal, the_same_value_read_back_from_the_console_is_no_change) {
  journal_fixture f;
  f.edit(ch1_fader, 400);
  f.store.store_received(ch1_fader, 400);  // the echo, or a full read of the same console
  EXPECT_EQ(f.undo().outcome, journal_outcome::done);
}

TEST(journal, keeps_the_last_200_steps) {
  journal_fixture f;
  for (int i = 1; i <= 250; ++i) f.edit(ch1_fader, static_cast<uint16_t>(i));
  EXPECT_EQ(f.journal().undo_count(), journal_capacity);
  int undone = 0;
  while (f.undo().outcome == journal_outcome::done) ++undone;
  EXPECT_EQ(undone, 200);
  EXPECT_EQ(f.store.get(ch1_fader), 50);  // the oldest 50 steps were dropped
}

TEST(journal, another_console_forgets_every_step) {
  journal_fixture f;
  f.journal().console_is("10.0.0.5 mixer");
  f.edit(ch1_fader, 400);
  f.journal().console_is("10.0.0.5 mixer");  // the same console after a resync
  EXPECT_EQ(f.journal().undo_count(), 1u);
  f.undo();
  f.edit(ch1_mute, 0);
  f.journal().console_is("10.0.0.9 stage");
  EXPECT_EQ(f.journal().undo_count(), 0u);
  EXPECT_EQ(f.journal().redo_count(), 0u);
}

TEST(journal, renames_are_steps_too) {
  journal_fixture f;
  f.journal().begin_group();
  f.names.set_scene_name(3, "Choir");
  f.journal().end_group();
  f.undo();
  EXPECT_EQ(f.names.scene_name(3), "Scene3");
  EXPECT_EQ(f.ui.toasts.back(), "Undo: scene 3 name");
  f.redo();
  EXPECT_EQ(f.names.scene_name(3), "Choir");

  // A name the console reports otherwise marks the step.
  f.undo();
  const uint8_t reply[] = {3, 'L', 'i', 'v', 'e'};
  f.names.on_scene_name(reply);
  EXPECT_EQ(f.redo().outcome, journal_outcome::skipped);
  EXPECT_EQ(f.names.scene_name(3), "Live");
}

TEST(journal, undoing_one_step_costs_one_write_frame) {
  test::engine_rig<> rig;
  rig.pass();
  rig.link->sent.clear();
  rig.store.journal().begin_group();
  rig.store.linked_set(ch1_mute, 0);
  rig.store.journal().end_group();
  rig.pass();
  ASSERT_EQ(rig.link.sent_with(message_code::write_params).size(), 1u);
  rig.link->sent.clear();
  undo_edit(rig.store, rig.engine.names(), rig.ui);
  rig.pass();
  const auto frames = rig.link.sent_with(message_code::write_params);
  ASSERT_EQ(frames.size(), 1u);
  const auto pairs = test::pairs_of(frames[0]);
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_EQ(pairs[0].id, ch1_mute);
  EXPECT_EQ(pairs[0].value, 1);
}

}  // namespace
}  // namespace vorante
