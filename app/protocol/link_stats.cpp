#include "app/protocol/link_stats.h"

#include <algorithm>
#include <cstdio>

#include "app/core/translate.h"
#include "app/params/convert.h"
#include "app/params/ids.h"
#include "app/params/names.h"
#include "app/params/store.h"

namespace vorante {

namespace {

// A run of codes that share a label; `numbered` runs append 1, 2, ... per `stride` codes,
// and `fields` names the codes inside one stride.
struct code_label {
  int kind;  // -1: any kind
  int first, last;
  const char* text;
  int stride = 0;          // 0: one label for the whole run
  const char* fields = nullptr;  // '|'-separated names of the codes of one stride
};

constexpr const char* filter_fields = "HPF TYPE|HPF FREQ|LPF TYPE|LPF FREQ";
constexpr const char* band_fields = "TYPE|FREQ|GAIN|Q";

constexpr code_label code_labels[] = {
    {kind_input, code_input_phantom, code_input_phantom, "PHANTOM"},
    {kind_input, code_input_gate_on, code_input_gate_on, "GATE"},
    {kind_input, code_input_gate_threshold, code_input_gate_threshold, "GATE THRESHOLD"},
    {kind_input, code_input_gate_attack, code_input_gate_attack, "GATE ATTACK"},
    {kind_input, code_input_gate_decay, code_input_gate_decay, "GATE DECAY"},
    {kind_input, code_input_gate_hold, code_input_gate_hold, "GATE HOLD"},
    {kind_input, code_input_gain, code_input_gain, "GAIN"},
    {kind_input, code_input_on, code_input_on, "ON"},
    {kind_input, code_input_pan, code_input_pan, "PAN"},
    {kind_input, code_input_fader, code_input_fader, "FADER"},
    {kind_input, code_input_aux_send, code_input_aux_send + 7, "AUX SEND ", 1},
    {kind_input, code_input_main_l_send, code_input_main_l_send, "MAIN L SEND"},
    {kind_input, code_input_main_r_send, code_input_main_r_send, "MAIN R SEND"},
    {kind_input, code_input_solo_l, code_input_solo_l, "SOLO L"},
    {kind_input, code_input_solo_r, code_input_solo_r, "SOLO R"},
    {kind_input, code_input_fx_send, code_input_fx_send + 1, "FX SEND ", 1},
    {kind_input, code_input_comp_on, code_input_comp_on, "COMP"},
    {kind_input, code_input_comp_ratio, code_input_comp_ratio, "COMP RATIO"},
    {kind_input, code_input_comp_threshold, code_input_comp_threshold, "COMP THRESHOLD"},
    {kind_input, code_input_comp_gain, code_input_comp_gain, "COMP GAIN"},
    {kind_input, code_input_filters, code_input_filters + 3, "", 4, filter_fields},
    {kind_input, code_input_bands, code_input_bands + 19, "EQ", 4, band_fields},
    {kind_bus, code_bus_fader, code_bus_fader, "FADER"},
    {kind_bus, code_bus_on, code_bus_on, "ON"},
    {kind_bus, code_bus_comp_on, code_bus_comp_on, "COMP"},
    {kind_bus, code_bus_solo_l, code_bus_solo_l, "SOLO L"},
    {kind_bus, code_bus_solo_r, code_bus_solo_r, "SOLO R"},
    {kind_bus, code_bus_filters, code_bus_filters + 3, "", 4, filter_fields},
    {kind_bus, code_bus_bands, code_bus_bands + bus_band_count * 4 - 1, "PEQ", 4, band_fields},
    {kind_bus, code_bus_graphic_bands, code_bus_graphic_bands + bus_graphic_band_count * 4 - 1, "GEQ", 4, band_fields},
    {kind_fx, code_fx_fader, code_fx_fader, "FADER"},
    {kind_fx, code_fx_on, code_fx_on, "ON"},
    {kind_fx, code_fx_aux_send, code_fx_aux_send + 7, "AUX SEND ", 1},
    {kind_fx, code_fx_main_l_send, code_fx_main_l_send, "MAIN L SEND"},
    {kind_fx, code_fx_main_r_send, code_fx_main_r_send, "MAIN R SEND"},
    {kind_fx, code_fx_solo_l, code_fx_solo_l, "SOLO L"},
    {kind_fx, code_fx_solo_r, code_fx_solo_r, "SOLO R"},
    {kind_fx, code_fx_filters, code_fx_filters + 3, "", 4, filter_fields},
    {kind_fx, code_fx_bands, code_fx_bands + fx_band_count * 4 - 1, "EQ", 4, band_fields},
    {kind_fx, code_fx_type, code_fx_type, "TYPE"},
    {kind_fx, code_fx_param_1, code_fx_param_1 + 3, "PARAM", 1},
    {kind_fx, code_fx_value, code_fx_value, "VALUE"},
    {kind_dca, code_dca_switch, code_dca_switch, "SWITCH"},
    {kind_dca, code_dca_fader, code_dca_fader, "FADER"},
    {kind_dca, code_dca_on, code_dca_on, "ON"},
    {kind_dca, code_dca_solo, code_dca_solo, "SOLO"},
    {kind_dca, code_dca_members, code_dca_members, "MEMBERS"},
    {kind_mute_group, code_mute_active, code_mute_active, "ACTIVE"},
    {kind_mute_group, code_mute_members, code_mute_members, "MEMBERS"},
    {kind_phantom_group, code_phantom_active, code_phantom_active, "ACTIVE"},
    {kind_phantom_group, code_phantom_members, code_phantom_members, "MEMBERS"},
    {-1, code_fader, code_fader, "FADER"},
    {-1, code_on, code_on, "ON"},
    {-1, code_solo, code_solo, "SOLO"},
};

struct global_label {
  uint16_t id;
  const char* text;
};

constexpr global_label global_labels[] = {
    {selected_channel_id, "SELECTED CHANNEL"}, {headphone_level_id, "PHONES LEVEL"},
    {main_level_percent_id, "MAIN LEVEL %"},   {headphone_percent_id, "PHONES %"},
    {lock_state_id, "LOCK"},
};

std::string field_of(const char* fields, int n) {
  std::string_view rest(fields);
  for (; n > 0; --n) rest = rest.substr(std::min(rest.size(), rest.find('|') + 1));
  return std::string(rest.substr(0, rest.find('|')));
}

std::string code_text(int kind, int code, unsigned id) {
  if (kind == kind_global) {
    for (const global_label& g : global_labels)
      if (g.id == id) return g.text;
    return "ID " + std::to_string(id);
  }
  for (const code_label& l : code_labels) {
    if ((l.kind != -1 && l.kind != kind) || code < l.first || code > l.last) continue;
    if (l.stride == 0) return l.text;
    const int n = (code - l.first) / l.stride;
    if (l.fields == nullptr) return l.text + std::to_string(n + 1);
    const std::string field = field_of(l.fields, (code - l.first) % l.stride);
    // Filter blocks are one per channel: the field names them alone.
    if (*l.text == '\0') return field;
    return std::string(l.text) + std::to_string(n + 1) + " " + field;
  }
  return "CODE " + std::to_string(code);
}

std::string channel_text(int kind, int index) {
  if (kind == kind_global) return "-";
  if (kind == kind_mute_group) return "MUTE GROUP " + std::to_string(index + 1);
  if (kind == kind_phantom_group) return "PHANTOM GROUP " + std::to_string(index + 1);
  std::string name = default_channel_name(kind, index);
  return name.empty() ? "-" : name;
}

}  // namespace

given_up_texts describe_write(const param_store& store, uint16_t id, uint16_t value) {
  const param_info p = info_of(id);
  given_up_texts t;
  t.channel = channel_text(p.kind, p.index);
  t.parameter = code_text(p.kind, p.code, id);
  // Effect parameters read by the effect type the store holds for the same return.
  int effect_type = 0;
  if (p.kind == kind_fx) effect_type = store.get(param_id(kind_fx, p.index, code_fx_type));
  t.value = value_text_of_type(p.value_type, value, effect_type);
  // Codes outside a type's table have no text; the number still says what was sent.
  if (t.value.empty()) t.value = std::to_string(value);
  return t;
}

std::string rtt_summary(const link_stats& s) {
  if (s.rtt_count == 0) return "-";
  uint32_t lo = UINT32_MAX, hi = 0, last = 0;
  s.for_each_rtt([&](uint32_t ms) {
    lo = std::min(lo, ms);
    hi = std::max(hi, ms);
    last = ms;
  });
  char text[80];
  std::snprintf(text, sizeof text, "%u ms (min %u, max %u of %zu)", last, lo, hi, s.rtt_count);
  return text;
}

void given_up_notice::step(uint32_t now, ui_port& ui) {
  if (pending_ == 0 || static_cast<int32_t>(now - due_) < 0) return;
  ui.show_toast(given_up_toast_text(pending_), toast_red, given_up_toast_ms);
  pending_ = 0;
}

std::string given_up_toast_text(int count) {
  if (count == 1) return translate_text("1 change was not confirmed by the console");
  char text[120];
  std::snprintf(text, sizeof text, translate_text("%d changes were not confirmed by the console"), count);
  return text;
}

}  // namespace vorante
