// The rules of the fader overview that need no widget: which channels the sends view lists
// for a send bus, which parameter a send strip edits and which one it shows, and the values
// its buttons, fader and the console's encoders write.
#pragma once

#include <cstdint>
#include <vector>

#include "app/params/editor_nav.h"
#include "app/params/ids.h"

namespace vorante {

class param_store;

constexpr int overview_send_strips = 28;
constexpr uint16_t send_pre_bit = 0x8000;

// A send bus of the sends view: AUX1..AUX8 (kind bus, 0..7) or FX1, FX2 (kind fx, 0, 1).
struct send_target {
  int kind = 0;
  int index = 0;
  bool is_aux() const { return kind == kind_bus && index >= 0 && index < aux_send_count; }
  bool is_fx() const { return kind == kind_fx && index >= 0 && index < fx_send_count; }
};

// The channels with a send strip, in strip order: the fitted inputs below 20 and DIGI,
// without the right members of the fixed pairs, then for an aux the two effect returns
// (returns cannot feed the effects). At most overview_send_strips.
std::vector<channel_ref> sends_view_channels(send_target t, const fitted_fn& fitted = logical_fitted);

// The send of `source` (an input or an effect return) to `t`; no_param_id when there is none.
unsigned overview_send_id(channel_ref source, send_target t);
// The parameter that send is shown from: a stereo left input sending to an aux right only
// (mode 2) shows its right member's send.
unsigned overview_shown_id(const param_store& store, channel_ref source, send_target t);

enum class send_change : uint8_t { post, pre, level };
// A send strip's button or fader: "POS" clears bit 15 of the shown value, "PRE" sets it, a
// fader move gives the level with the shown flag bits. Written only when it changes.
void write_overview_send(param_store& store, channel_ref source, send_target t, send_change e, double db = 0);
// "L"/"R" of a stereo left input with an aux target: both off stores mode 3 (both feeds).
void write_overview_lr(param_store& store, int input, int aux, bool left, bool right);
// One encoder detent on the send: the shown value stepped, written to the send.
void step_overview_send(param_store& store, channel_ref source, send_target t, int delta);

}  // namespace vorante
