// What the strips page shows where, without any widget: which strip a bank puts each
// channel on, which part of a strip shows which parameter, which stored value a send
// slider stands for and what moving it writes, and what a strip's meters read.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

#include "app/params/banks.h"
#include "app/params/ids.h"

namespace vorante {

class param_store;

constexpr int strip_count = max_bank_slots;
constexpr int strip_columns = 4;
constexpr int dca_bank = bank_count - 1;
// Strips take the meter byte as it comes and may fall by this much (percent) per tick.
constexpr int strip_meter_fall = 10;

struct strip_place {
  channel_ref channel;
  int column = 0;
  int row = 0;
};

struct bank_layout {
  bool dca_row = false;  // the DCA bank: the four DCA strips instead of the grid
  int count = 0;         // strips in use, in placing order
  std::array<strip_place, strip_count> strips{};
};

// What a redraw did with one parameter: not this part's, shown, or held back because the
// user is dragging the control that shows it (it is shown once the drag ends).
enum class redraw_outcome : uint8_t { ignored, shown, held };

// Whether a channel is left out of the console as built.
using not_fitted_fn = std::function<bool(int kind, int index)>;
bool channel_not_fitted(int kind, int index);

// Where the channels of `bank` go: inputs before effect returns, fitted channels only, and
// the first channel of a second kind starts the second grid row. Empty for banks out of
// range.
std::optional<bank_layout> layout_bank(int bank, const not_fitted_fn& not_fitted = channel_not_fitted);

// The part of a strip that shows one parameter code of the strip's channel.
enum class strip_part : uint8_t {
  none,
  phantom,
  gate,
  gain,
  mute,
  pan,
  fader,
  send,
  solo,
  solo_right_feed,  // an aux's second solo feed: its solo when it is the right of a linked pair
  comp,
  eq,
};

strip_part strip_part_of(int kind, int code);

// The EQ thumbnail's parameters: filter block first code, first band code, bands shown.
struct strip_eq_block {
  int filter_code = 0;
  int band_code = 0;
  int bands = 0;
};
strip_eq_block strip_eq_of(int kind);

// Codes a strip of that kind shows, first and last.
struct code_range {
  int first = 0;
  int last = -1;
};
code_range strip_codes(int kind);

// The stored send a slider of (kind, index) stands for at `code`. For the left member of a
// fixed stereo pair the MAIN R send lives on the right member, and so does an AUX send
// whose pair sends to the right side only (mode 2); everything else is the channel's own.
unsigned send_source_id(const param_store& store, int kind, int index, int code);

// The send code of a sends-panel slider (group 0 AUX, 1 FX, 2 MAIN; items from 0) on a
// channel of that kind; empty for sliders the kind does not have.
std::optional<int> send_code_of(int kind, int group, int item);

struct param_write {
  unsigned id = no_param_id;
  uint16_t value = 0;
};

// What moving a send slider to `position` (0..100) writes: the level of that position,
// keeping the three flag bits of the value the slider shows.
std::optional<param_write> send_write_of(const param_store& store, int kind, int index, int group, int item,
                                         int position);

// The meter levels a strip shows, in signed dB: one for mono inputs, effect returns and
// aux outputs (after their fader), two for a stereo pair (left, right).
struct strip_meter_levels {
  int first = -128;
  std::optional<int> second;
};
strip_meter_levels strip_meters_of(const param_store& store, int kind, int index);

}  // namespace vorante
