#include "app/params/param_label.h"

#include <cstdarg>
#include <cstdio>

#include "app/core/id_names.h"
#include "app/params/names.h"

namespace vorante {

namespace {

std::string text(const char* format, ...) {
  char out[64];
  va_list args;
  va_start(args, format);
  std::vsnprintf(out, sizeof out, format, args);
  va_end(args);
  return out;
}

constexpr const char* band_fields[] = {"type", "freq", "gain", "Q"};

// Band `first`-based: "EQ 2 gain" for the third field of the second band.
std::string band_name(const char* eq, int code, int first) {
  const int k = code - first;
  return text("%s %d %s", eq, k / codes_per_band + 1, band_fields[k % codes_per_band]);
}

// The two filters of a channel, four codes from `first`.
std::string filter_name(int code, int first) {
  constexpr const char* names[] = {"HPF type", "HPF freq", "LPF type", "LPF freq"};
  return names[code - first];
}

std::string send_name(int code, int aux_first, int main_first) {
  if (code >= aux_first && code < aux_first + aux_send_count) return text("AUX%d send", code - aux_first + 1);
  return code == main_first ? "LEFT send" : "RIGHT send";
}

constexpr const char* comp_names[] = {"comp ratio", "comp attack", "comp release", "comp threshold"};

std::string input_name(int c) {
  switch (c) {
    case 0: return "switches";
    case code_input_phantom: return "phantom";
    case code_input_gate_on: return "gate on";
    case code_input_gate_threshold: return "gate threshold";
    case code_input_gate_attack: return "gate attack";
    case code_input_gate_decay: return "gate decay";
    case code_input_gate_hold: return "gate hold";
    case code_input_gain: return "gain";
    case 9: return "phase";
    case code_input_on: return "mute";
    case code_input_pan: return "pan";
    case code_input_fader: return "fader";
    case code_input_solo_l: return "solo L";
    case code_input_solo_r: return "solo R";
    case 28: return "delay";
    case code_input_comp_on: return "comp on";
    case code_input_comp_gain: return "comp gain";
    case 36: return "EQ switch";
    default: break;
  }
  if (c >= code_input_aux_send && c <= code_input_main_r_send)
    return send_name(c, code_input_aux_send, code_input_main_l_send);
  if (c >= code_input_fx_send && c < code_input_fx_send + fx_send_count) return text("FX%d send", c - code_input_fx_send + 1);
  if (c >= code_input_comp_ratio && c < code_input_comp_ratio + 4) return comp_names[c - code_input_comp_ratio];
  if (c >= code_input_filters && c < code_input_filters + codes_per_filter_block) return filter_name(c, code_input_filters);
  // The fifth band (58..61) follows the four typed ones directly.
  if (c >= code_input_bands && c <= last_input_code) return band_name("EQ", c, code_input_bands);
  return text("code %d", c);
}

std::string bus_name(int c) {
  switch (c) {
    case code_bus_fader: return "fader";
    case 63: return "phase";
    case code_bus_on: return "mute";
    case 65: return "state";
    case 67: return "delay";
    case code_bus_comp_on: return "comp on";
    case 73: return "comp gain";
    case code_bus_solo_l: return "solo L";
    case code_bus_solo_r: return "solo R";
    case 76: return "GEQ on";
    case 77: return "PEQ bypass";
    default: break;
  }
  if (c >= 69 && c <= 72) return comp_names[c - 69];
  if (c >= code_bus_filters && c < code_bus_filters + codes_per_filter_block) return filter_name(c, code_bus_filters);
  if (c >= code_bus_bands && c < code_bus_graphic_bands) return band_name("PEQ", c, code_bus_bands);
  if (c >= code_bus_graphic_bands && c <= last_bus_code) return band_name("GEQ", c, code_bus_graphic_bands);
  return text("code %d", c);
}

std::string fx_name(int c) {
  switch (c) {
    case code_fx_fader: return "fader";
    case code_fx_on: return "mute";
    case code_fx_solo_l: return "solo L";
    case code_fx_solo_r: return "solo R";
    case 185: return "bypass";
    case code_fx_type: return "effect type";
    case code_fx_value: return "effect value";
    default: break;
  }
  if (c >= code_fx_aux_send && c <= code_fx_main_r_send) return send_name(c, code_fx_aux_send, code_fx_main_l_send);
  if (c >= code_fx_filters && c < code_fx_filters + codes_per_filter_block) return filter_name(c, code_fx_filters);
  if (c >= code_fx_bands && c < code_fx_type) return band_name("EQ", c, code_fx_bands);
  if (c >= code_fx_param_1 && c < code_fx_param_1 + 4) return text("effect parameter %d", c - code_fx_param_1 + 1);
  return text("code %d", c);
}

std::string group_name(int kind, int c) {
  switch (kind) {
    case kind_dca:
      if (c == code_dca_switch) return "switch";
      if (c == code_dca_fader) return "fader";
      if (c == code_dca_on) return "mute";
      if (c == code_dca_solo) return "solo";
      if (c >= code_dca_members && c < code_dca_members + 3) return text("members %d", c - code_dca_members + 1);
      break;
    case kind_mute_group:
      if (c == code_mute_active) return "active";
      return text("members %d", c - code_mute_members + 1);
    case kind_phantom_group:
      if (c == code_phantom_active) return "active";
      return text("members %d", c - code_phantom_members + 1);
    default: break;
  }
  return text("code %d", c);
}

// Console settings outside the channel blocks, where they have a known role.
struct global_span {
  uint16_t first;
  uint16_t last;
  const char* format;  // takes the 1-based position in the span
};
constexpr global_span global_names[] = {
    {58, 58, "selected channel"},
    {headphone_level_id, headphone_level_id, "headphone level"},
    {2769, 2769, "generator on"},
    {2770, 2770, "generator type"},
    {2771, 2771, "generator frequency"},
    {2772, 2772, "generator level"},
    {2773, 2780, "generator to AUX%d"},
    {2781, 2781, "generator to LEFT"},
    {2782, 2782, "generator to RIGHT"},
    {2783, 2798, "recorder input %d source"},
    {2799, 2814, "recorder output %d"},
    {2847, 2862, "recorder aux %d"},
    {2863, 2888, "input %d source"},
    {2889, 2898, "output %d source"},
    {input_stereo_bits_id, input_stereo_bits_id, "input stereo links"},
    {output_stereo_bits_id, output_stereo_bits_id, "output stereo links"},
};

constexpr uint16_t effect_table_first[fx_count] = {3195, 3356};
constexpr int effect_table_entries = 32;
constexpr int effect_table_words = 5;
// The three fixed stereo inputs, left members, in the order of their send-mode words.
constexpr int stereo_send_inputs[] = {16, 18, 24};

param_label global_label(unsigned id) {
  for (int fx = 0; fx < fx_count; ++fx) {
    const int at = static_cast<int>(id) - effect_table_first[fx];
    if (at >= 0 && at < effect_table_entries * effect_table_words)
      return {kind_fx, fx, text("effect memory %d word %d", at / effect_table_words + 1, at % effect_table_words + 1)};
  }
  if (id >= colour_base_id && id < colour_base_id + logical_count) {
    if (const auto c = channel_of(static_cast<int>(id - colour_base_id))) return {c->kind, c->index, "colour"};
  }
  if (id >= send_mode_base_id && id < send_mode_base_id + 6) {
    const int p = static_cast<int>(id - send_mode_base_id);
    return {kind_input, stereo_send_inputs[p / 2], p % 2 == 0 ? "send modes 1-8" : "send modes 9-16"};
  }
  for (const global_span& g : global_names)
    if (id >= g.first && id <= g.last) return {kind_global, 0, text(g.format, static_cast<int>(id - g.first) + 1)};
  if (id < id_names().size()) return {kind_global, 0, id_name(id)};
  return {kind_global, 0, text("ID %u", id)};
}

// The channel blocks by their codes; where each starts and how far apart its channels lie
// comes from param_id, so the formulas stay in one place.
struct channel_block {
  int kind;
  int count;
  int first_code;
  int last_code;
};
constexpr channel_block channel_blocks[] = {
    {kind_input, input_count, first_input_code, last_input_code},
    {kind_bus, bus_count, first_bus_code, last_bus_code},
    {kind_fx, fx_count, first_fx_code, code_fx_value - 1},
    {kind_dca, dca_count, first_dca_code, last_dca_code},
    {kind_mute_group, mute_group_count, code_mute_active, code_mute_members + 3},
    {kind_phantom_group, phantom_group_count, code_phantom_active, code_phantom_members + 1},
};

}  // namespace

param_address address_of(unsigned id) {
  for (const channel_block& b : channel_blocks) {
    const int first = param_id(b.kind, 0, b.first_code);
    const int stride = param_id(b.kind, 1, b.first_code) - first;
    const int offset = static_cast<int>(id) - first;
    if (offset < 0 || offset >= b.count * stride) continue;
    const int code = b.first_code + offset % stride;
    if (code <= b.last_code) return {b.kind, offset / stride, code};
  }
  if (id == fx_value_base_id || id == fx_value_base_id + 1)
    return {kind_fx, static_cast<int>(id - fx_value_base_id), code_fx_value};
  return {};
}

bool is_mute_code(int code) {
  return code == code_input_on || code == code_bus_on || code == code_fx_on || code == code_dca_on;
}

param_label label_of(unsigned id) {
  const param_address a = address_of(id);
  switch (a.kind) {
    case kind_input: return {a.kind, a.index, input_name(a.code)};
    case kind_bus: return {a.kind, a.index, bus_name(a.code)};
    case kind_fx: return {a.kind, a.index, fx_name(a.code)};
    case kind_dca:
    case kind_mute_group:
    case kind_phantom_group: return {a.kind, a.index, group_name(a.kind, a.code)};
    default: return global_label(id);
  }
}

std::string label_channel_text(const param_label& label, std::string_view user_name) {
  switch (label.kind) {
    case kind_mute_group: return text("MUTE GROUP %d", label.index + 1);
    case kind_phantom_group: return text("PHANTOM GROUP %d", label.index + 1);
    case kind_global: return "SYSTEM";
    default: break;
  }
  return channel_display_name(label.kind, label.index, user_name);
}

}  // namespace vorante
