#include "app/protocol/surface.h"

#include <vector>

#include "app/params/banks.h"

namespace vorante {

int control_surface::slot_param(int slot) const {
  if (slot == surface_main_l_slot) return main_l_fader_id;
  if (slot == surface_main_r_slot) return main_r_fader_id;
  if (layer_ < 0 || layer_ >= bank_count) return -1;
  const fader_bank& bank = fader_banks[layer_];
  if (slot < 0 || slot >= bank.slot_count) return -1;
  return param_id(bank.slots[slot].kind, bank.slots[slot].index, code_fader);
}

int control_surface::param_slot(unsigned id) const {
  if (id == main_l_fader_id) return surface_main_l_slot;
  if (id == main_r_fader_id) return surface_main_r_slot;
  if (param_value_type(id) != 15) return -1;
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

bool control_surface::fader_moved(int fader, uint16_t value, bool locked) {
  if (locked) return false;
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
