// The rules of the input channel editor that need no widget: which parameter each cell
// edits, how the one universal fader is set up for a value type and what it writes, which
// member of a stereo pair a send is shown from, which encoder may move what, stereo
// linking of mono pairs and the copy clipboard shared with the output editor.
#pragma once

#include <cstdint>
#include <span>

#include "app/params/ids.h"
#include "app/params/value_type.h"

namespace vorante {

class param_store;

// ---------------------------------------------------------------------------------------
// The universal fader

// The channel fader with its own law; a value list of the value type; or an integer range.
enum class universal_mode : uint8_t { channel_fader, table, range };

struct universal_fader_setup {
  universal_mode mode = universal_mode::channel_fader;
  vorante::value_type type = vorante::value_type::fader_level;
  std::span<const double> table;  // physical values, ascending (table mode)
  int min = 0;                    // integer positions (range mode)
  int max = 0;
};

// Fader levels give the channel fader; types with a ladder the ladder; every other type
// (input gain and delay included, whose value list is just their integer range) the range
// of its row.
universal_fader_setup universal_fader_of(value_type type);
// Where the fader stands for a raw value: the physical value in table mode and for the
// channel fader, the integer position in range mode (the decay setting by its index).
double universal_fader_value(const universal_fader_setup& setup, uint16_t raw);
// The raw value a fader movement writes. Sends keep the flag bits of `shown_raw`, the
// value the strip shows now.
uint16_t universal_fader_raw(const universal_fader_setup& setup, double fader_value, uint16_t shown_raw);

// ---------------------------------------------------------------------------------------
// Sends and the stereo pair

// The parameter a send or level cell of `input` is shown from: for a stereo left member
// the MAIN R send and the aux sends in mode 2 (right only) are the right member's.
unsigned shown_param_id(const param_store& store, int input, unsigned id);
// The send parameter of a send strip's target: AUX d+1 (kind bus 0..7), MAIN L/R (bus 8,
// 9) or FX d+1 (kind fx); no_param_id for any other target.
unsigned send_param_id(int input, int target_kind, int target_index);
// The fader of a send strip moved: the level with the flags of the value shown. The write
// is made even when nothing changes, so the console hears every touch.
void write_send_level(param_store& store, int input, unsigned send_id, double db);
// "POS" (pre = false) clears bit 15 of the shown value, "PRE" sets it.
void write_send_pre(param_store& store, int input, unsigned send_id, bool pre);
// The L/R buttons of aux send `aux` (0..7) of a stereo left member: the new mode, then the
// send rewritten with the level that was in effect before (the right member's when the
// old mode was 2). With neither checked the mode becomes `none_mode`.
void write_send_lr(param_store& store, int input, int aux, bool left, bool right, int none_mode = 0);
// L is checked unless the mode is 2, R unless it is 1; mode 0 feeds both.
constexpr bool send_left_checked(int mode) { return mode != 2; }
constexpr bool send_right_checked(int mode) { return mode != 1; }

// ---------------------------------------------------------------------------------------
// The console's encoders

// Encoder 0 moves any selected parameter, 3 only gain, pan and the filter frequencies,
// 4 only the band frequencies, 5 only the compressor's ratio, attack, release and
// threshold.
bool encoder_moves(int encoder, int code);
// One encoder detent on the selected parameter of `input`; -1 for none. Returns the ID
// whose value the screen should show afterwards, or -1 when nothing was done.
int encoder_step(param_store& store, int input, int encoder, int selected_id, int delta);

// ---------------------------------------------------------------------------------------
// Linking a mono pair

bool input_pan_locked(const param_store& store, int input);
// Unlinked: the even member's settings go to the odd member, the pair is linked and panned
// hard left and right. Linked: unlinked and both centred. Inputs 16 and above do nothing.
void toggle_input_link(param_store& store, int input);

// ---------------------------------------------------------------------------------------
// The copy clipboard

struct copy_clipboard {
  int kind = 0;
  int index = -1;
  bool holds(int k, int i) const { return kind == k && index == i; }
  bool empty() const { return index < 0; }
  void clear() { kind = 0, index = -1; }
};

enum class copy_outcome : uint8_t {
  copied,          // the channel is on the clipboard now
  cancelled,       // it already was: the copy is off
  stereo_refused,  // a stereo input: refused, any pending copy cancelled
};

copy_outcome press_copy_input(copy_clipboard& clip, int input);

enum class paste_outcome : uint8_t {
  nothing,         // no input on the clipboard, or this very channel
  pasted,          // copied, the clipboard emptied
  stereo_refused,  // onto a stereo input: refused, the clipboard emptied
};

paste_outcome press_paste_input(param_store& store, copy_clipboard& clip, int input);

// The same for the aux buses; MAIN L and R offer no copy.
copy_outcome press_copy_bus(copy_clipboard& clip, int bus);
paste_outcome press_paste_bus(param_store& store, copy_clipboard& clip, int bus);

}  // namespace vorante
