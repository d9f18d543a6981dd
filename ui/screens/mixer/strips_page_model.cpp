#include "ui/screens/mixer/strips_page_model.h"

#include <algorithm>

#include "app/params/channel_state.h"
#include "app/params/convert.h"
#include "app/params/levels.h"
#include "app/params/store.h"

namespace vorante {

namespace {

// Send words keep their top three bits (pre-fader and the console's two flags) on a level write.
constexpr uint16_t send_flag_bits = 0xE000;

struct send_group_codes {
  int items;
  int input_code;  // 0: inputs have no such group
  int fx_code;     // 0: effect returns have no such group
};
constexpr std::array<send_group_codes, 3> send_groups{{
    {8, code_input_aux_send, code_fx_aux_send},
    {2, code_input_fx_send, 0},
    {2, code_input_main_l_send, code_fx_main_l_send},
}};

bool in_range(int code, int first, int count) { return code >= first && code < first + count; }

bool is_eq_code(const strip_eq_block& eq, int total_bands, int code) {
  if (in_range(code, eq.filter_code, 4)) return true;
  // Band type codes are not drawn by the thumbnail.
  return in_range(code, eq.band_code, total_bands * codes_per_band) && (code - eq.band_code) % codes_per_band != 0;
}

int8_t byte_of(uint16_t word, int byte) { return static_cast<int8_t>(byte ? word >> 8 : word & 0xFF); }

}  // namespace

bool channel_not_fitted(int kind, int index) {
  const int logical = logical_of(kind, index);
  const auto c = channel_of(logical);
  return !c || c->kind != kind || c->index != index || logical_slot_of(logical).not_fitted;
}

std::optional<bank_layout> layout_bank(int bank, const not_fitted_fn& not_fitted) {
  if (bank < 0 || bank >= bank_count) return std::nullopt;
  const fader_bank& b = fader_banks[bank];
  bank_layout out;
  if (b.slot_count > 0 && b.channels[b.slot_count - 1].kind == kind_dca) {
    out.dca_row = true;
    return out;
  }
  // Inputs before effect returns; the sort keeps the bank's order within a kind.
  std::array<channel_ref, max_bank_slots> slots = b.channels;
  std::stable_sort(slots.begin(), slots.begin() + b.slot_count,
                   [](const channel_ref& x, const channel_ref& y) { return x.kind < y.kind; });
  const int first_kind = b.channels[0].kind;
  int j = 0;
  for (int s = 0; s < b.slot_count && out.count < strip_count; ++s) {
    const channel_ref c = slots[s];
    if (not_fitted(c.kind, c.index)) continue;
    if (c.kind != first_kind && j < strip_columns) j = strip_columns;
    if (j >= strip_count) break;
    out.strips[out.count++] = {c, j % strip_columns, j / strip_columns};
    ++j;
  }
  return out;
}

strip_part strip_part_of(int kind, int code) {
  const strip_eq_block eq = strip_eq_of(kind);
  switch (kind) {
    case kind_input:
      switch (code) {
        case code_input_phantom: return strip_part::phantom;
        case code_input_gate_on: return strip_part::gate;
        case code_input_gain: return strip_part::gain;
        case code_input_on: return strip_part::mute;
        case code_input_pan: return strip_part::pan;
        case code_input_fader: return strip_part::fader;
        case code_input_solo_l: return strip_part::solo;
        case code_input_comp_on: return strip_part::comp;
        default: break;
      }
      if (in_range(code, code_input_aux_send, 10) || in_range(code, code_input_fx_send, 2)) return strip_part::send;
      return is_eq_code(eq, 5, code) ? strip_part::eq : strip_part::none;
    case kind_fx:
      switch (code) {
        case code_fx_fader: return strip_part::fader;
        case code_fx_on: return strip_part::mute;
        case code_fx_solo_l: return strip_part::solo;
        default: break;
      }
      if (in_range(code, code_fx_aux_send, 10)) return strip_part::send;
      return is_eq_code(eq, 5, code) ? strip_part::eq : strip_part::none;
    case kind_bus:
      switch (code) {
        case code_bus_fader: return strip_part::fader;
        case code_bus_on: return strip_part::mute;
        case code_bus_comp_on: return strip_part::comp;
        case code_bus_solo_l: return strip_part::solo;
        case code_bus_solo_r: return strip_part::solo_right_feed;
        default: break;
      }
      return is_eq_code(eq, 7, code) ? strip_part::eq : strip_part::none;
    default:
      return strip_part::none;
  }
}

strip_eq_block strip_eq_of(int kind) {
  switch (kind) {
    case kind_input: return {code_input_filters, code_input_bands, input_band_count};
    case kind_fx: return {code_fx_filters, code_fx_bands, 4};
    case kind_bus: return {code_bus_filters, code_bus_bands, bus_band_count};
    default: return {};
  }
}

code_range strip_codes(int kind) {
  switch (kind) {
    case kind_input: return {first_input_code, last_input_code};
    case kind_fx: return {first_fx_code, last_fx_code};
    case kind_bus: return {first_bus_code, last_bus_code};
    default: return {};
  }
}

unsigned send_source_id(const param_store& store, int kind, int index, int code) {
  if (kind == kind_input && is_fixed_stereo_left(kind, index)) {
    const bool right_side = code == code_input_main_r_send ||
                            (in_range(code, code_input_aux_send, 8) && send_mode(store, index, code - code_input_aux_send) == 2);
    if (right_side) return param_id(kind, index + 1, code);
  }
  return param_id(kind, index, code);
}

std::optional<int> send_code_of(int kind, int group, int item) {
  if (group < 0 || group >= static_cast<int>(send_groups.size())) return std::nullopt;
  const send_group_codes& g = send_groups[static_cast<size_t>(group)];
  if (item < 0 || item >= g.items) return std::nullopt;
  const int first = kind == kind_input ? g.input_code : kind == kind_fx ? g.fx_code : 0;
  if (first == 0) return std::nullopt;
  return first + item;
}

std::optional<param_write> send_write_of(const param_store& store, int kind, int index, int group, int item,
                                         int position) {
  const std::optional<int> code = send_code_of(kind, group, item);
  if (!code) return std::nullopt;
  const unsigned id = param_id(kind, index, *code);
  if (id == no_param_id) return std::nullopt;
  const uint16_t flags = store.get(send_source_id(store, kind, index, *code)) & send_flag_bits;
  const uint16_t level = raw_of_position(value_type::send_level, std::clamp(position, 0, 100) / 100.0);
  return param_write{id, static_cast<uint16_t>((level & ~send_flag_bits) | flags)};
}

strip_meter_levels strip_meters_of(const param_store& store, int kind, int index) {
  const meter_ref m = meter_id(kind, index);
  strip_meter_levels out;
  if (m.id < 0) return out;
  const uint16_t word = store.get(static_cast<unsigned>(m.id));
  if (kind == kind_input && is_fixed_stereo_left(kind, index)) {
    out.first = byte_of(word, 0);
    out.second = byte_of(word, 1);
  } else if (kind == kind_bus) {
    out.first = meter_after_fader(static_cast<uint8_t>(byte_of(word, m.byte)), store.get(param_id(kind, index, code_bus_fader)));
  } else {
    out.first = byte_of(word, m.byte);
  }
  return out;
}

}  // namespace vorante
