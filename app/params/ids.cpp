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
    {kind_input, input_count, 0, 61, 64, 62},
    {kind_bus, bus_count, 62, 170, 1614, 109},
    {kind_fx, fx_count, 171, 215, 2728, 45},
    {kind_dca, dca_count, 217, 225, 2802, 9},
    {kind_mute_group, mute_group_count, 226, 230, 2831, 5},
    {kind_phantom_group, phantom_group_count, 231, 233, 2847, 3},
};

// Value type of (kind, code); -1 marks the untyped codes whose records stay all zero.
constexpr int input_type(int c) {
  switch (c) {
    case 0: case 9: return 0;
    case 1: return 0;
    case 2: case 27: case 36: case 37: return 1;
    case 3: return 5;
    case 5: return 6;
    case 6: return 8;
    case 7: return 7;
    case 8: return 3;
    case 10: return 0;
    case 11: return 2;
    case 12: return 15;
    case 28: return 4;
    case 29: return 1;
    case 30: return 12;
    case 31: return 11;
    case 32: return 13;
    case 33: return 10;
    case 35: return 14;
    case 38: return 17;
    case 39: return 19;
    case 40: return 18;
    case 41: return 20;
    case 4: case 34: return -1;
    default: break;
  }
  if (c >= 13 && c <= 26) return 16;
  if (c >= 42 && c <= 57) {
    constexpr int band[] = {0, 21, 22, 23};
    return band[(c - 42) % 4];
  }
  return -1;  // 58..61
}

constexpr int bus_type(int c) {
  switch (c) {
    case 62: return 15;
    case 63: return 39;
    case 64: return 0;
    case 65: return 40;
    case 66: return 0;
    case 67: return 38;
    case 68: return 1;
    case 69: return 12;
    case 70: return 11;
    case 71: return 13;
    case 72: return 10;
    case 73: return 14;
    case 74: case 75: return 16;
    case 76: case 77: case 78: return 1;
    case 79: return 17;
    case 80: return 19;
    case 81: return 18;
    case 82: return 20;
    default: break;
  }
  if (c >= 83 && c <= 110) {
    constexpr int band[] = {0, 21, 22, 23};
    return band[(c - 83) % 4];
  }
  if (c >= 111 && c <= 170) {
    constexpr int band[] = {0, 24, 25, 26};
    return band[(c - 111) % 4];
  }
  return 0;
}

constexpr int fx_type(int c) {
  if (c == 171) return 15;
  if (c == 172) return 0;
  if (c >= 173 && c <= 184) return 16;
  if (c == 185 || c == 186) return 1;
  if (c == 187) return 17;
  if (c == 188) return 19;
  if (c == 189) return 18;
  if (c == 190) return 20;
  if (c >= 191 && c <= 210) return -1;
  if (c == 211) return 27;
  if (c >= 212 && c <= 215) return 28 + (c - 212);
  return 0;
}

constexpr int group_type(int kind, int c) {
  switch (kind) {
    case kind_dca:
      if (c == 217 || c == 219) return 1;
      if (c == 218) return 15;
      if (c == 220) return 16;
      return 0;
    case kind_mute_group:
      return c == 226 ? 1 : 0;
    case kind_phantom_group:
      return c == 231 ? 1 : 0;
    default:
      return 0;
  }
}

constexpr int type_of(int kind, int c) {
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
  uint8_t type;
};
constexpr global_type global_types[] = {
    {2767, 2767, 16}, {2769, 2769, 1},  {2771, 2771, 21}, {2772, 2772, 15},
    {2773, 2778, 16}, {2781, 2782, 16},
};

constexpr std::array<param_info, param_count> build_info_table() {
  std::array<param_info, param_count> t{};
  for (const block& b : blocks) {
    for (int i = 0; i < b.count; ++i) {
      for (int c = b.first_code; c <= b.last_code; ++c) {
        const int id = b.base + b.stride * i + c;
        const int type = type_of(b.kind, c);
        if (type < 0) continue;  // untyped in-block codes keep an all-zero record
        t[id] = {static_cast<uint8_t>(i), b.kind, static_cast<uint8_t>(c),
                 static_cast<uint8_t>(type)};
      }
    }
  }
  // Effect code 216 lives outside the effect block and reads as a kind-0 value.
  t[fx_value_base_id] = {0, 0, 0, 32};
  t[fx_value_base_id + 1] = {0, 0, 0, 32};
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
      {12, 10, 23},     // inputs
      {171, 172, 183},  // effect returns
      {62, 64, 74},     // output buses
      {218, 219, 220},  // DCA
  };
  return map[kind - 1][code - code_fader];
}

constexpr uint16_t plain_id(int kind, int index, int code) {
  switch (kind) {
    case kind_input: return static_cast<uint16_t>(64 + 62 * index + code);
    case kind_bus: return static_cast<uint16_t>(1614 + 109 * index + code);
    case kind_fx:
      if (code < 171 || code > 216) return no_param_id;
      if (code == 216) return static_cast<uint16_t>(fx_value_base_id + index);
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
  if (!is_valid_id(id)) return {0, 0, 0, 0};
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
