#include "app/protocol/surface.h"

#include <vector>

#include "app/media/media_client.h"
#include "app/params/banks.h"
#include "app/params/solo.h"

namespace vorante {

std::optional<channel_ref> control_surface::slot_channel(int slot) const {
  if (slot == surface_main_l_slot) return channel_ref{kind_bus, main_l_bus};
  if (slot == surface_main_r_slot) return channel_ref{kind_bus, main_r_bus};
  if (layer_ < 0 || layer_ >= bank_count) return std::nullopt;
  const fader_bank& bank = fader_banks[layer_];
  if (slot < 0 || slot >= bank.slot_count) return std::nullopt;
  return bank.channels[slot];
}

int control_surface::slot_param(int slot) const {
  if (slot == surface_main_l_slot) return main_l_fader_id;
  if (slot == surface_main_r_slot) return main_r_fader_id;
  const std::optional<channel_ref> channel = slot_channel(slot);
  return channel ? static_cast<int>(param_id(channel->kind, channel->index, code_fader)) : -1;
}

int control_surface::param_slot(unsigned id) const {
  if (id == main_l_fader_id) return surface_main_l_slot;
  if (id == main_r_fader_id) return surface_main_r_slot;
  if (param_value_type(id) != value_type::fader_level) return -1;
  const param_info p = info_of(id);
  return bank_slot_of(layer_, p.kind, p.index);
}

void control_surface::queue_fader(int slot, uint16_t level) {
  if (slot < 0 || slot >= surface_fader_count) return;
  level_[slot] = level & 0x3FFF;
  pending_[slot] = true;
  state_[slot] = retry::queued(state_[slot]);
  flush_ = true;
}

void control_surface::fader_written(unsigned id) {
  const int slot = param_slot(id);
  if (slot >= 0) queue_fader(slot, store_.get(id));
}

void control_surface::faders_full_refresh() {
  for (int s = 0; s < surface_strip_slots; ++s) {
    const int id = slot_param(s);
    if (id >= 0) queue_fader(s, store_.get(id));
  }
  queue_fader(surface_main_l_slot, store_.get(main_l_fader_id));
  queue_fader(surface_main_r_slot, store_.get(main_r_fader_id));
}

void control_surface::flush_faders() {
  if (!flush_) return;
  std::vector<id_value> pairs;
  int counted = 0;
  bool any = false;
  for (int s = 0; s < surface_fader_count && counted < static_cast<int>(max_list_entries); ++s) {
    if (!pending_[s]) continue;
    any = true;
    switch (retry::tick(state_[s])) {
      case retry::tick_result::idle:
        pending_[s] = false;
        break;
      case retry::tick_result::waiting:
        ++counted;
        break;
      case retry::tick_result::send_last:
        pending_[s] = false;
        [[fallthrough]];
      case retry::tick_result::send:
        ++counted;
        pairs.push_back({static_cast<uint16_t>(output_first_fader + s), level_[s]});
        break;
    }
  }
  if (!any) flush_ = false;
  if (!pairs.empty()) send_(pairs);
}

void control_surface::output_applied(uint16_t output_id, uint16_t value) {
  if (output_id < output_first_fader || output_id >= output_first_fader + surface_fader_count) return;
  const int s = output_id - output_first_fader;
  if (value != level_[s]) return;
  pending_[s] = false;
  state_[s] = retry::cleared(state_[s]);
}

void control_surface::set_light(int n, bool on, uint32_t now) {
  if (n < 0 || n > surface_last_light) return;
  const uint16_t bit = static_cast<uint16_t>(1u << (n % 16));
  lights_[n / 16] = static_cast<uint16_t>(on ? lights_[n / 16] | bit : lights_[n / 16] & ~bit);
  changed_[n / 16] = true;
  if (!light_timer_) {
    light_timer_ = true;
    light_due_ = now + light_send_delay_ms;
  }
}

void control_surface::set_light_if_changed(int n, bool on, uint32_t now) {
  if (light(n) != on) set_light(n, on, now);
}

void control_surface::step(uint32_t now) {
  if (!light_timer_ || static_cast<int32_t>(now - light_due_) < 0) return;
  light_timer_ = false;
  std::vector<id_value> pairs;
  for (int w = 0; w < surface_light_words; ++w) {
    if (!changed_[w]) continue;
    changed_[w] = false;
    pairs.push_back({static_cast<uint16_t>(output_first_light_word + w), lights_[w]});
  }
  if (!pairs.empty() && store_.options().drives_surface()) send_(pairs);
}

namespace {

constexpr int light_phones = 6;
constexpr int light_settings = 7;
constexpr int light_always_a = 8;
constexpr int light_first_select = 9;
constexpr int light_main_l_select = 17;
constexpr int light_main_r_select = 18;
constexpr int light_first_solo = 19;
constexpr int light_main_l_solo = 27;
constexpr int light_main_r_solo = 28;
constexpr int light_first_mute = 29;
constexpr int light_main_l_mute = 37;
constexpr int light_main_r_mute = 38;
constexpr int light_first_scene = 42;  // + scene number 1..6
constexpr int light_lock = 50;
constexpr int light_always_b = 55;

struct layer_lights {
  std::array<int, 5> lights;
  int count;
};
constexpr layer_lights layer_light_table[bank_count] = {
    {{39, 81, 82}, 3}, {{40, 83, 84}, 3}, {{41, 85, 86}, 3}, {{42, 81, 82, 85, 86}, 5}, {{}, 0},
};

}  // namespace

void control_surface::lights_full_refresh(uint32_t now, const surface_page_state& page, bool locked) {
  for (int n = 0; n <= surface_last_light; ++n) set_light(n, false, now);
  media_lights(now, page);
  compute_lights(true, now, page, locked);
}

void control_surface::media_lights(uint32_t now, const surface_page_state& page) {
  const int s = page.play_device;
  const int p = page.transport_state;
  const bool playing = (s == play_device_udisk || s == play_device_bluetooth) && p == transport_playing_state;
  set_light_if_changed(light_media_play, playing, now);
  set_light_if_changed(light_media_record, !playing && p == transport_recording_state, now);
  set_light_if_changed(light_media_bluetooth, s == play_device_bluetooth, now);
  // The player page's source codes are the play-device codes.
  set_light_if_changed(light_media_player, s == play_device_udisk && page.player_shown && page.player_source == play_device_udisk,
                       now);
}

void control_surface::lights_incremental_refresh(uint32_t now, const surface_page_state& page, bool locked) {
  compute_lights(false, now, page, locked);
}

void control_surface::schedule_incremental(uint32_t now) {
  if (incremental_pending_) return;
  incremental_pending_ = true;
  incremental_due_ = now + light_send_delay_ms;
}

bool control_surface::incremental_due(uint32_t now) {
  if (!incremental_pending_ || static_cast<int32_t>(now - incremental_due_) < 0) return false;
  incremental_pending_ = false;
  return true;
}

void control_surface::compute_lights(bool full, uint32_t now, const surface_page_state& page, bool locked) {
  const auto set = [&](int n, bool on) {
    if (full)
      set_light(n, on, now);
    else
      set_light_if_changed(n, on, now);
  };
  set(light_always_b, true);
  set(light_always_a, true);
  set(light_phones, page.phones_pinned);

  if (locked) {
    set(light_lock, true);
  } else {
    if (page.editor_kind == kind_bus && page.editor_index == main_l_bus) {
      set(light_main_l_select, true);
    } else if (page.editor_kind == kind_bus && page.editor_index == main_r_bus) {
      set(light_main_r_select, true);
    } else if (page.editor_kind != 0) {
      const int slot = bank_slot_of(layer_, page.editor_kind, page.editor_index);
      if (slot >= 0) set(light_first_select + slot, true);
    }
    if (page.settings_shown)
      set(light_settings, true);
    else if (page.player_shown)
      set(light_media_player, true);
  }

  const uint16_t scene = store_.get(scene_change_marker_id);
  if (scene >= 1 && scene <= 6) set(light_first_scene + scene, true);

  if (layer_ >= 0 && layer_ < bank_count)
    for (int i = 0; i < layer_light_table[layer_].count; ++i) set(layer_light_table[layer_].lights[i], true);

  if (layer_ >= 0 && layer_ < bank_count) {
    const fader_bank& bank = fader_banks[layer_];
    for (int slot = 0; slot < bank.slot_count; ++slot) {
      const channel_ref ch = bank.channels[slot];
      if (ch.kind != kind_input && ch.kind != kind_fx && ch.kind != kind_bus) continue;
      set(light_first_mute + slot, store_.get(param_id(ch.kind, ch.index, code_on)) == 0);
      set(light_first_solo + slot, is_soloed(store_, ch.kind, ch.index));
    }
  }
  set(light_main_l_mute, store_.get(param_id(kind_bus, main_l_bus, code_on)) == 0);
  set(light_main_l_solo, is_soloed(store_, kind_bus, main_l_bus));
  set(light_main_r_mute, store_.get(param_id(kind_bus, main_r_bus, code_on)) == 0);
  set(light_main_r_solo, is_soloed(store_, kind_bus, main_r_bus));
}

bool control_surface::fader_moved(int fader, uint16_t value, bool locked) {
  if (locked || observe_only_) return false;
  const int id = slot_param(fader);
  if (id < 0) return false;
  store_.linked_set(id, static_cast<uint16_t>((value & 0x3FFF) | (store_.get(id) & 0xC000)));
  // Do not drive the motor against the hand that moves it.
  if (fader >= 0 && fader < surface_fader_count) {
    pending_[fader] = false;
    state_[fader] = retry::cleared(state_[fader]);
  }
  return true;
}

}  // namespace vorante
