// Parameter IDs and channel addressing: every console setting is one 16-bit parameter
// with an ID in 0..3517, addressed through (channel kind, channel index, parameter code).
#pragma once

#include <cstdint>
#include <optional>

#include "app/params/value_type.h"

namespace vorante {

constexpr int param_count = 3518;
constexpr uint16_t last_param_id = 3517;

// The slot every address that does not exist resolves to; a plain kind-0 parameter.
constexpr uint16_t no_param_id = 3192;

// Global IDs with fixed roles.
constexpr uint16_t probe_id = 0;
constexpr uint16_t online_lock_poll_id = 1;
constexpr uint16_t first_meter_id = 2;
constexpr uint16_t last_meter_id = 53;
constexpr uint16_t selected_channel_id = 58;
constexpr uint16_t main_l_fader_id = 2548;
constexpr uint16_t main_r_fader_id = 2657;
constexpr uint16_t main_l_solo_id = 2560;
constexpr uint16_t main_r_solo_id = 2670;
constexpr uint16_t headphone_level_id = 2767;
constexpr uint16_t scene_change_marker_id = 3007;
constexpr uint16_t input_stereo_bits_id = 3055;
constexpr uint16_t output_stereo_bits_id = 3056;
constexpr uint16_t send_mode_base_id = 3091;
constexpr uint16_t fx_value_base_id = 3097;   // effect code 216 of returns 0 and 1
constexpr uint16_t colour_base_id = 3110;     // + logical channel
constexpr uint16_t first_status_word_id = 3178;
constexpr uint16_t last_status_word_id = 3191;
constexpr uint16_t main_level_percent_id = 3179;
constexpr uint16_t headphone_percent_id = 3180;
constexpr uint16_t lock_state_id = 3190;
constexpr uint16_t end_marker_id = 3517;

enum channel_kind : uint8_t {
  kind_global = 0,
  kind_input = 1,
  kind_fx = 2,
  kind_bus = 3,
  kind_dca = 4,
  kind_mute_group = 5,
  kind_phantom_group = 6,
};

constexpr int input_count = 26;
constexpr int fx_count = 2;
constexpr int bus_count = 10;
constexpr int dca_count = 4;
constexpr int mute_group_count = 4;
constexpr int phantom_group_count = 4;
constexpr int main_l_bus = 8;
constexpr int main_r_bus = 9;

// A channel with a strip or an editor of its own: an input, effect return, bus or DCA.
constexpr bool is_channel(int kind, int index) {
  switch (kind) {
    case kind_input: return index >= 0 && index < input_count;
    case kind_fx: return index >= 0 && index < fx_count;
    case kind_bus: return index >= 0 && index < bus_count;
    case kind_dca: return index >= 0 && index < dca_count;
    default: return false;
  }
}

// Generic codes: the same role in every kind.
constexpr int code_fader = 234;
constexpr int code_on = 235;
constexpr int code_solo = 236;

// The codes each kind owns.
constexpr int first_input_code = 0;
constexpr int last_input_code = 61;
constexpr int first_bus_code = 62;
constexpr int last_bus_code = 170;
constexpr int first_fx_code = 171;
constexpr int last_fx_code = 216;  // 216 sits outside the effect block (IDs 3097, 3098)
constexpr int first_dca_code = 217;
constexpr int last_dca_code = 225;

// Sends: eight aux sends, two effect sends, MAIN L and MAIN R, each at consecutive codes.
constexpr int aux_send_count = 8;
constexpr int fx_send_count = 2;

// A filter block is four codes: high-pass type/slope code, its frequency, then the same
// for the low-pass. An EQ band is four codes: band type, frequency, gain, Q.
constexpr int codes_per_filter_block = 4;
constexpr int codes_per_band = 4;

// Input channel codes.
constexpr int code_input_phantom = 1;
constexpr int code_input_gate_on = 2;
constexpr int code_input_gain = 8;
constexpr int code_input_on = 10;
constexpr int code_input_pan = 11;
constexpr int code_input_fader = 12;
constexpr int code_input_aux_send = 13;     // AUX 1..8
constexpr int code_input_main_l_send = 21;
constexpr int code_input_main_r_send = 22;
constexpr int code_input_solo_l = 23;
constexpr int code_input_solo_r = 24;
constexpr int code_input_fx_send = 25;      // FX 1, 2
constexpr int code_input_comp_on = 29;
constexpr int code_input_filters = 38;
constexpr int code_input_bands = 42;        // four typed bands, then a fifth untyped one
constexpr int input_band_count = 4;

// The aux, main and effect sends of an input.
constexpr bool is_input_send_code(int code) {
  return (code >= code_input_aux_send && code <= code_input_main_r_send) ||
         (code >= code_input_fx_send && code < code_input_fx_send + fx_send_count);
}

// Output bus codes.
constexpr int code_bus_fader = 62;
constexpr int code_bus_on = 64;
constexpr int code_bus_comp_on = 68;
constexpr int code_bus_solo_l = 74;
constexpr int code_bus_solo_r = 75;
constexpr int code_bus_filters = 79;
constexpr int code_bus_bands = 83;          // parametric
constexpr int bus_band_count = 7;
constexpr int code_bus_graphic_bands = 111;
constexpr int bus_graphic_band_count = 15;

// Effect return codes.
constexpr int code_fx_fader = 171;
constexpr int code_fx_on = 172;
constexpr int code_fx_aux_send = 173;       // AUX 1..8
constexpr int code_fx_main_l_send = 181;
constexpr int code_fx_main_r_send = 182;
constexpr int code_fx_solo_l = 183;
constexpr int code_fx_solo_r = 184;
constexpr int code_fx_filters = 187;
constexpr int code_fx_bands = 191;          // untyped
constexpr int fx_band_count = 5;
constexpr int code_fx_type = 211;
constexpr int code_fx_param_1 = 212;        // parameters 1..4 at 212..215
constexpr int code_fx_value = 216;

// DCA and group codes.
constexpr int code_dca_switch = 217;
constexpr int code_dca_fader = 218;
constexpr int code_dca_on = 219;
constexpr int code_dca_solo = 220;
constexpr int code_dca_members = 221;
constexpr int code_mute_active = 226;
constexpr int code_mute_members = 227;
constexpr int code_phantom_active = 231;
constexpr int code_phantom_members = 232;

constexpr bool is_valid_id(unsigned id) { return id <= last_param_id; }
constexpr bool is_meter_id(unsigned id) { return id >= first_meter_id && id <= last_meter_id; }

// One record per ID.
struct param_info {
  uint8_t index;
  uint8_t kind;
  uint8_t code;
  vorante::value_type value_type;
};

// (kind, index, code) -> ID by the block formulas; 3192 for addresses that do not exist.
uint16_t param_id(int kind, int index, int code);

param_info info_of(unsigned id);   // all zero for IDs above 3517
inline int param_index(unsigned id) { return info_of(id).index; }
inline int param_kind(unsigned id) { return info_of(id).kind; }
inline int param_code(unsigned id) { return info_of(id).code; }
inline value_type param_value_type(unsigned id) { return info_of(id).value_type; }

// Logical channels 0..41: names, colours, fader banks and group bitmaps use them.
constexpr int logical_count = 42;
constexpr int no_bank = -1;

struct channel_ref {
  int kind = 0;
  int index = 0;
  friend bool operator==(const channel_ref&, const channel_ref&) = default;
};

struct logical_slot {
  uint8_t kind;
  uint8_t index;
  bool not_fitted;
  int8_t bank;   // fader bank 0..4, or no_bank
};

const logical_slot& logical_slot_of(int logical);   // logical must be 0..41
int logical_of(int kind, int index);                // 0 for kinds that have no logical slot
std::optional<channel_ref> channel_of(int logical); // empty for empty slots and above 41

bool is_fixed_stereo_left(int kind, int index);
bool is_fixed_stereo_right(int kind, int index);

// Meter levels: two signed bytes per meter parameter.
struct meter_ref {
  int id = -1;   // -1 when the channel has no meter
  int byte = 0;  // 0 low byte, 1 high byte
};
meter_ref meter_id(int kind, int index);

}  // namespace vorante
