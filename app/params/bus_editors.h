// The rules of the output/aux and effects editors that need no widget: which send of a
// channel feeds a bus, linking a bus pair, the encoder filters, the graphic EQ's slider
// scale, the effect table and tap tempo.
#pragma once

#include <cstdint>
#include <optional>

#include "app/params/ids.h"

namespace vorante {

class param_store;

// ---------------------------------------------------------------------------------------
// Output and aux buses

// The send of channel (kind, index) into bus 0..9: input codes 13..22, effect codes
// 173..182; no_param_id for other channels.
unsigned bus_send_id(int kind, int index, int bus);
// The ID the send is shown from: a stereo left input's MAIN R send and its right-only aux
// sends (mode 2) live on the right member.
unsigned bus_send_shown_id(const param_store& store, int kind, int index, int bus);
// The aux L/R buttons of the output editor: with both off the send mode is 3 (both feeds).
constexpr int bus_send_none_mode = 3;

// Unlinked: the even bus's settings go to the odd bus, then the pair is linked. Linked:
// just unlinked. MAIN L/R do nothing.
void toggle_bus_link(param_store& store, int bus);

// Encoder 0 moves any selected parameter, 3 the filter frequencies, 4 the band
// frequencies, 5 the compressor's ratio, attack, release and threshold.
bool bus_encoder_moves(int encoder, int code);

// Graphic EQ band 0..14: frequency and gain codes, and the slider scale (1/100 dB).
constexpr int geq_frequency_code(int band) { return code_bus_graphic_bands + 1 + 4 * band; }
constexpr int geq_gain_code(int band) { return code_bus_graphic_bands + 2 + 4 * band; }
constexpr int geq_slider_min = -1200;
constexpr int geq_slider_max = 1200;
// The band of a graphic EQ code, -1 outside the block.
constexpr int geq_band_of(int code) {
  return code >= code_bus_graphic_bands && code < code_bus_graphic_bands + 4 * bus_graphic_band_count
             ? (code - code_bus_graphic_bands) / 4
             : -1;
}
uint16_t geq_raw_of_slider(int slider);
int geq_slider_of_raw(uint16_t raw);

// ---------------------------------------------------------------------------------------
// Effect returns

constexpr int effect_types_per_fx = 16;
// The stored type (1..32) of button 1..16 of effect fx, and back (0 when not this effect's).
constexpr int effect_type_of_button(int fx, int button) { return button + effect_types_per_fx * fx; }
constexpr int effect_button_of_type(int fx, int type) {
  const int b = type - effect_types_per_fx * fx;
  return b >= 1 && b <= effect_types_per_fx ? b : 0;
}
// First of the five IDs of entry 1..16 of the effect table of effect fx: type, parameter
// 1, parameter 2 and two further values.
constexpr unsigned effect_table_id(int fx, int entry) {
  return static_cast<unsigned>(3190 + 5 * entry + 161 * fx);
}
// Types 6..10 and 22..25 are delays and offer tap tempo.
bool is_delay_type(int type);
// The longest interval a tap sets for the type, in ms (0 for other types).
int tap_cap_ms(int type);

// A new type from button 1..16: the table entry's type and parameters are set locally
// (the console follows the type by itself), marked for nothing.
struct effect_entry {
  uint16_t type = 0;
  uint16_t param_1 = 0;
  uint16_t param_2 = 0;
};
effect_entry effect_table_entry(const param_store& store, int fx, int button);
void apply_effect_entry(param_store& store, int fx, const effect_entry& e);

// Tap tempo, one clock for both effects.
class tap_clock {
 public:
  // A tap at now_ms on an effect of `type`: parameter 1 for the interval since the last
  // tap, or nothing for the first tap, a gap over 999 ms or a type without delay.
  std::optional<uint16_t> tap(int64_t now_ms, int type);
  void reset() { last_.reset(); }

 private:
  std::optional<int64_t> last_;
};
tap_clock& shared_tap_clock();

// Encoder 0 any parameter, 3 the filter frequencies, 4 the first four band frequencies.
bool fx_encoder_moves(int encoder, int code);

// How an effects editor cell reads and steps its parameter. The return's EQ bands carry no
// value type of their own; their frequency, gain and Q cells work as the input's bands do
// (value types 21, 22, 23). Every other ID keeps its own type.
value_type fx_cell_value_type(unsigned id);

}  // namespace vorante
