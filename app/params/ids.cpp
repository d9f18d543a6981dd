#include "app/params/ids.h"

#include <array>

namespace vorante {

namespace {

// Block layout: each kind owns one contiguous run of IDs, ID = base + stride * index + code.
struct block {
  uint8_t kind;
  int count;
  int first_code;
  int last_code;
  int base;
  int stride;
};

constexpr block blocks[] = {
    {kind_input, input_count, first_input_code, last_input_code, 64, 62},
    {kind_bus, bus_count, first_bus_code, last_bus_code, 1614, 109},
    {kind_fx, fx_count, first_fx_code, code_fx_value - 1, 2728, 45},
    {kind_dca, dca_count, first_dca_code, last_dca_code, 2802, 9},
    {kind_mute_group, mute_group_count, code_mute_active, 230, 2831, 5},
    {kind_phantom_group, phantom_group_count, code_phantom_active, 233, 2847, 3},
};

// Value type of (kind, code); empty for the untyped codes whose records stay all zero.
using enum value_type;
using maybe_type = std::optional<value_type>;

constexpr maybe_type input_type(int c) {
  switch (c) {
    case 0: case 9: return plain;
    case 1: return plain;
    case 2: case 27: case 36: case 37: return on_off;
    case 3: return gate_threshold;
    case 5: return gate_attack;
    case 6: return gate_decay;
    case 7: return gate_hold;
    case 8: return input_gain;
    case 10: return plain;
    case 11: return pan;
    case 12: return fader_level;
    case 28: return input_delay;
    case 29: return on_off;
    case 30: return compressor_ratio;
    case 31: return compressor_attack;
    case 32: return compressor_release;
    case 33: return compressor_threshold;
    case 35: return makeup_gain;
    case 38: return highpass_filter;
    case 39: return highpass_frequency;
    case 40: return lowpass_filter;
    case 41: return lowpass_frequency;
    case 4: case 34: return std::nullopt;
    default: break;
  }
  if (c >= 13 && c <= 26) return send_level;
  if (c >= 42 && c <= 57) {
    constexpr value_type band[] = {plain, peq_frequency, peq_gain, peq_q};
    return band[(c - 42) % 4];
  }
  return std::nullopt;  // 58..61
}

constexpr maybe_type bus_type(int c) {
  switch (c) {
    case 62: return fader_level;
    case 63: return phase;
    case 64: return plain;
    case 65: return bus_state;
    case 66: return plain;
    case 67: return output_delay;
    case 68: return on_off;
    case 69: return compressor_ratio;
    case 70: return compressor_attack;
    case 71: return compressor_release;
    case 72: return compressor_threshold;
    case 73: return makeup_gain;
    case 74: case 75: return send_level;
    case 76: case 77: case 78: return on_off;
    case 79: return highpass_filter;
    case 80: return highpass_frequency;
    case 81: return lowpass_filter;
    case 82: return lowpass_frequency;
    default: break;
  }
  if (c >= 83 && c <= 110) {
    constexpr value_type band[] = {plain, peq_frequency, peq_gain, peq_q};
    return band[(c - 83) % 4];
  }
  if (c >= 111 && c <= 170) {
    constexpr value_type band[] = {plain, geq_frequency, geq_gain, geq_q};
    return band[(c - 111) % 4];
  }
  return plain;
}

constexpr maybe_type fx_type(int c) {
  if (c == 171) return fader_level;
  if (c == 172) return plain;
  if (c >= 173 && c <= 184) return send_level;
  if (c == 185 || c == 186) return on_off;
  if (c == 187) return highpass_filter;
  if (c == 188) return highpass_frequency;
  if (c == 189) return lowpass_filter;
  if (c == 190) return lowpass_frequency;
  if (c >= 191 && c <= 210) return std::nullopt;
  if (c == 211) return effect_type;
  if (c >= 212 && c <= 215) {
    constexpr value_type params[] = {effect_param_1, effect_param_2, effect_param_3, effect_param_4};
    return params[c - 212];
  }
  return plain;
}

constexpr value_type group_type(int kind, int c) {
  switch (kind) {
    case kind_dca:
      if (c == 217 || c == 219) return on_off;
      if (c == 218) return fader_level;
      if (c == 220) return send_level;
      return plain;
    case kind_mute_group:
      return c == 226 ? on_off : plain;
    case kind_phantom_group:
      return c == 231 ? on_off : plain;
    default:
      return plain;
  }
}

constexpr maybe_type type_of(int kind, int c) {
  switch (kind) {
    case kind_input: return input_type(c);
    case kind_bus: return bus_type(c);
    case kind_fx: return fx_type(c);
    default: return group_type(kind, c);
  }
}

// Typed global IDs outside every block.
struct global_type {
  uint16_t first;
  uint16_t last;
  value_type type;
};
constexpr global_type global_types[] = {
    {2767, 2767, send_level}, {2769, 2769, on_off},        {2771, 2771, peq_frequency},
    {2772, 2772, fader_level}, {2773, 2778, send_level}, {2781, 2782, send_level},
};

constexpr std::array<param_info, param_count> build_info_table() {
  std::array<param_info, param_count> t{};
  for (const block& b : blocks) {
    for (int i = 0; i < b.count; ++i) {
      for (int c = b.first_code; c <= b.last_code; ++c) {
        const int id = b.base + b.stride * i + c;
        const maybe_type type = type_of(b.kind, c);
        if (!type) continue;  // untyped in-block codes keep an all-zero record
        t[id] = {static_cast<uint8_t>(i), b.kind, static_cast<uint8_t>(c), *type};
      }
    }
  }
  // Effect code 216 lives outside the effect block and reads as a kind-0 value.
  t[fx_value_base_id] = {0, 0, 0, effect_value};
  t[fx_value_base_id + 1] = {0, 0, 0, effect_value};
  for (const global_type& g : global_types)
    for (int id = g.first; id <= g.last; ++id) t[id] = {0, 0, 0, g.type};
  return t;
}

constexpr auto info_table = build_info_table();

constexpr std::array<logical_slot, logical_count> build_logical_table() {
  std::array<logical_slot, logical_count> t{};
  for (int l = 0; l < logical_count; ++l) t[l] = {kind_global, 0, false, no_bank};
  for (int i = 0; i < 20; ++i) t[i] = {kind_input, static_cast<uint8_t>(i), false, no_bank};
  t[24] = {kind_input, 24, false, no_bank};
  t[25] = {kind_input, 25, false, no_bank};
  t[26] = {kind_fx, 0, false, 2};
  t[27] = {kind_fx, 1, false, 2};
  for (int b = 0; b < bus_count; ++b)
    t[28 + b] = {kind_bus, static_cast<uint8_t>(b), false, static_cast<int8_t>(b < 8 ? 3 : no_bank)};
  for (int d = 0; d < dca_count; ++d) t[38 + d] = {kind_dca, static_cast<uint8_t>(d), false, 4};
  for (int i = 0; i < 8; ++i) t[i].bank = 0;
  for (int i = 8; i < 16; ++i) t[i].bank = 1;
  t[16].bank = 2;
  t[18].bank = 2;
  t[24].bank = 2;
  return t;
}

constexpr auto logical_table = build_logical_table();

constexpr int generic_code(int kind, int code) {
  constexpr int map[4][3] = {
      {code_input_fader, code_input_on, code_input_solo_l},  // inputs
      {code_fx_fader, code_fx_on, code_fx_solo_l},           // effect returns
      {code_bus_fader, code_bus_on, code_bus_solo_l},        // output buses
      {code_dca_fader, code_dca_on, code_dca_solo},          // DCA
  };
  return map[kind - 1][code - code_fader];
}

constexpr uint16_t plain_id(int kind, int index, int code) {
  switch (kind) {
    case kind_input: return static_cast<uint16_t>(64 + 62 * index + code);
    case kind_bus: return static_cast<uint16_t>(1614 + 109 * index + code);
    case kind_fx:
      if (code < first_fx_code || code > last_fx_code) return no_param_id;
      if (code == code_fx_value) return static_cast<uint16_t>(fx_value_base_id + index);
      return static_cast<uint16_t>(2728 + 45 * index + code);
    case kind_dca: return static_cast<uint16_t>(2802 + 9 * index + code);
    case kind_mute_group: return static_cast<uint16_t>(2831 + 5 * index + code);
    case kind_phantom_group: return static_cast<uint16_t>(2847 + 3 * index + code);
    default: return no_param_id;
  }
}

}  // namespace

uint16_t param_id(int kind, int index, int code) {
  if (kind >= kind_input && kind <= kind_dca && code >= code_fader && code <= code_solo) {
    const uint16_t id = plain_id(kind, index, generic_code(kind, code));
    if (id != no_param_id) return id;
  }
  return plain_id(kind, index, code);
}

param_info info_of(unsigned id) {
  if (!is_valid_id(id)) return {0, 0, 0, value_type::plain};
  return info_table[id];
}

const logical_slot& logical_slot_of(int logical) { return logical_table[logical]; }

int logical_of(int kind, int index) {
  switch (kind) {
    case kind_input: return index;
    case kind_fx: return 26 + index;
    case kind_bus: return 28 + index;
    case kind_dca: return 38 + index;
    default: return 0;
  }
}

std::optional<channel_ref> channel_of(int logical) {
  if (logical < 0 || logical >= logical_count) return std::nullopt;
  const logical_slot& s = logical_table[logical];
  if (s.kind == kind_global) return std::nullopt;
  return channel_ref{s.kind, s.index};
}

bool is_fixed_stereo_left(int kind, int index) {
  return kind == kind_input && (index == 16 || index == 18 || index == 24);
}

bool is_fixed_stereo_right(int kind, int index) {
  return kind == kind_input && (index == 17 || index == 19 || index == 25);
}

meter_ref meter_id(int kind, int index) {
  switch (kind) {
    case kind_input:
      if (index < 0 || index >= input_count) break;
      return {2 + index / 2, index & 1};
    case kind_fx:
      if (index < 0 || index >= fx_count) break;
      return {41 + index, 0};
    case kind_bus:
      if (index < 0 || index >= bus_count) break;
      return {43 + index / 2, index & 1};
    default:
      break;
  }
  return {};
}

}  // namespace vorante
