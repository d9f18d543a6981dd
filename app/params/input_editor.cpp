#include "app/params/input_editor.h"

#include <algorithm>
#include <cmath>

#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/copy.h"
#include "app/params/store.h"

namespace vorante {

namespace {

constexpr int pan_centre = 100;
constexpr int pan_left = 0;
constexpr int pan_right = 200;
constexpr uint16_t pre_bit = level_flag_15;

bool is_aux_send(int code) { return code >= code_input_aux_send && code < code_input_aux_send + aux_send_count; }

// Whether a send of a stereo left member is carried by the right member alone.
bool right_carries(const param_store& store, int input, int code) {
  if (!is_fixed_stereo_left(kind_input, input)) return false;
  if (code == code_input_main_r_send) return true;
  return is_aux_send(code) && send_mode(store, input, code - code_input_aux_send) == 2;
}

}  // namespace

universal_fader_setup universal_fader_of(value_type type) {
  universal_fader_setup s;
  s.type = type;
  if (type == value_type::fader_level) return s;
  s.table = ladder_of(type);
  if (!s.table.empty()) {
    s.mode = universal_mode::table;
    return s;
  }
  const value_type_info& row = value_type_row(type);
  s.mode = universal_mode::range;
  s.min = row.min;
  s.max = row.max;
  return s;
}

double universal_fader_value(const universal_fader_setup& setup, uint16_t raw) {
  if (setup.mode != universal_mode::range) return to_physical(setup.type, raw);
  if (setup.type == value_type::gate_decay) return gate_setting_index(raw);
  return std::lround(to_physical(setup.type, raw) * value_type_row(setup.type).scale);
}

uint16_t universal_fader_raw(const universal_fader_setup& setup, double fader_value, uint16_t shown_raw) {
  double physical = fader_value;
  if (setup.mode == universal_mode::range) {
    const int n = static_cast<int>(std::lround(fader_value));
    physical = setup.type == value_type::gate_decay ? gate_setting_value(n)
                                                    : static_cast<double>(n) / value_type_row(setup.type).scale;
  }
  uint16_t raw = to_raw(setup.type, physical);
  if (setup.type == value_type::send_level) raw = static_cast<uint16_t>((raw & level_mask) | (shown_raw & level_flags));
  return raw;
}

unsigned shown_param_id(const param_store& store, int input, unsigned id) {
  const param_info p = info_of(id);
  if (p.kind != kind_input || p.index != input || !right_carries(store, input, p.code)) return id;
  return param_id(kind_input, input + 1, p.code);
}

unsigned send_param_id(int input, int target_kind, int target_index) {
  int code = -1;
  if (target_kind == kind_bus && target_index >= 0 && target_index < aux_send_count) code = code_input_aux_send + target_index;
  else if (target_kind == kind_bus && target_index == main_l_bus) code = code_input_main_l_send;
  else if (target_kind == kind_bus && target_index == main_r_bus) code = code_input_main_r_send;
  else if (target_kind == kind_fx && target_index >= 0 && target_index < fx_send_count) code = code_input_fx_send + target_index;
  if (code < 0 || input < 0 || input >= input_count) return no_param_id;
  return param_id(kind_input, input, code);
}

void write_send_level(param_store& store, int input, unsigned send_id, double db) {
  const uint16_t shown = store.get(shown_param_id(store, input, send_id));
  const uint16_t raw = static_cast<uint16_t>((to_raw(value_type::send_level, db) & level_mask) | (shown & level_flags));
  store.linked_set(send_id, raw);
}

void write_send_pre(param_store& store, int input, unsigned send_id, bool pre) {
  const uint16_t shown = store.get(shown_param_id(store, input, send_id));
  store.linked_set(send_id, static_cast<uint16_t>(pre ? shown | pre_bit : shown & ~pre_bit));
}

void write_send_lr(param_store& store, int input, int aux, bool left, bool right, int none_mode) {
  if (!is_fixed_stereo_left(kind_input, input) || aux < 0 || aux >= aux_send_count) return;
  const unsigned id = param_id(kind_input, input, code_input_aux_send + aux);
  // Read before the mode changes: the level in effect is the right member's in mode 2.
  const uint16_t level = store.get(shown_param_id(store, input, id));
  const int mode = (left ? 1 : 0) | (right ? 2 : 0);
  set_send_mode(store, input, aux, mode == 0 ? none_mode : mode);
  store.linked_set(id, level);
}

bool encoder_moves(int encoder, int code) {
  switch (encoder) {
    case 0: return true;
    case 3: return code == code_input_gain || code == code_input_pan || code == 39 || code == 41;
    case 4: return code == 43 || code == 47 || code == 51 || code == 55;
    case 5: return code >= code_input_comp_ratio && code <= code_input_comp_threshold;
    default: return false;
  }
}

int encoder_step(param_store& store, int input, int encoder, int selected_id, int delta) {
  if (selected_id < 0 || !is_valid_id(static_cast<unsigned>(selected_id))) return -1;
  const unsigned id = static_cast<unsigned>(selected_id);
  const param_info p = info_of(id);
  // The record and playback levels are global; only the input's own codes are filtered.
  const bool own = p.kind == kind_input && p.index == input;
  if (own && !encoder_moves(encoder, p.code)) return -1;
  if (!own && encoder != 0) return -1;
  if (own && p.code == code_input_pan && input_pan_locked(store, input)) return -1;
  const unsigned shown = own ? shown_param_id(store, input, id) : id;
  if (shown != id) {
    // The left member's write is what the console expects; the linked set hands the level
    // to the right member, which is the one on screen.
    store.quiet_linked_set(id, step_value(store, shown, delta, step_normal));
    return static_cast<int>(shown);
  }
  step_param(store, id, delta, step_normal);
  return selected_id;
}

bool input_pan_locked(const param_store& store, int input) {
  return input >= 0 && input < 16 && stereo_bit(store, kind_input, input);
}

void toggle_input_link(param_store& store, int input) {
  if (input < 0 || input >= 16) return;
  const int even = input & ~1;
  const int odd = even + 1;
  const unsigned even_pan = param_id(kind_input, even, code_input_pan);
  const unsigned odd_pan = param_id(kind_input, odd, code_input_pan);
  if (!stereo_bit(store, kind_input, input)) {
    // Copied while still apart: a linked pair refuses copies between its members.
    copy_input(store, odd, even);
    set_stereo_bit(store, kind_input, input, true);
    store.linked_set(even_pan, pan_left);
    store.linked_set(odd_pan, pan_right);
  } else {
    set_stereo_bit(store, kind_input, input, false);
    store.linked_set(even_pan, pan_centre);
    store.linked_set(odd_pan, pan_centre);
  }
}

namespace {

// The clipboard rules of every copyable kind; `refused` marks channels that cannot take part.
copy_outcome press_copy_channel(copy_clipboard& clip, int kind, int index, bool refused) {
  if (clip.holds(kind, index)) {
    clip.clear();
    return copy_outcome::cancelled;
  }
  if (refused) {
    clip.clear();
    return copy_outcome::stereo_refused;
  }
  clip.kind = kind;
  clip.index = index;
  return copy_outcome::copied;
}

template <typename Copy>
paste_outcome press_paste_channel(copy_clipboard& clip, int kind, int index, bool refused, Copy copy) {
  if (clip.kind != kind || clip.empty() || clip.index == index) return paste_outcome::nothing;
  if (refused) {
    clip.clear();
    return paste_outcome::stereo_refused;
  }
  copy(clip.index);
  clip.clear();
  return paste_outcome::pasted;
}

}  // namespace

copy_outcome press_copy_input(copy_clipboard& clip, int input) {
  return press_copy_channel(clip, kind_input, input, input >= 16);
}

paste_outcome press_paste_input(param_store& store, copy_clipboard& clip, int input) {
  return press_paste_channel(clip, kind_input, input, input >= 16,
                             [&](int source) { copy_input(store, input, source); });
}

copy_outcome press_copy_bus(copy_clipboard& clip, int bus) { return press_copy_channel(clip, kind_bus, bus, false); }

paste_outcome press_paste_bus(param_store& store, copy_clipboard& clip, int bus) {
  return press_paste_channel(clip, kind_bus, bus, false, [&](int source) { copy_bus(store, bus, source); });
}

}  // namespace vorante
