// How the editor frame moves between channels: the order its previous and next arrows walk,
// and the channel each bank group opens. Kept apart from the widgets so the rules are
// checked on their own.
#pragma once

#include <array>
#include <functional>

#include "app/params/banks.h"
#include "app/params/ids.h"

namespace vorante {

// The logical channels the arrows visit: the inputs (a stereo pair once, by its left
// member), the effect returns, the aux buses, the DCA groups, then MAIN L and MAIN R.
inline constexpr std::array<int, 35> editor_nav_order{
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 18, 24, 26,
    27, 28, 29, 30, 31, 32, 33, 34, 35, 38, 39, 40, 41, 36, 37};

// The bank groups of the frame: one per fader bank, then "MAIN" with MAIN L and MAIN R.
constexpr int editor_group_count = bank_count + 1;
constexpr int editor_main_group = bank_count;
constexpr int main_l_logical = 36;
constexpr int main_r_logical = 37;
inline constexpr std::array<channel_ref, 2> main_group_channels{{{kind_bus, main_l_bus}, {kind_bus, main_r_bus}}};

using fitted_fn = std::function<bool(int logical)>;
// A logical channel counts as fitted unless its slot says otherwise.
bool logical_fitted(int logical);

// The channel the next (direction > 0) or previous arrow opens from `current`: the first
// fitted entry after (before) it in the order, wrapping around. Input 0 when `current` is
// not in the order; `current` itself when nothing else is fitted.
int editor_nav_step(int current, int direction, const fitted_fn& fitted = logical_fitted);

// The group a channel's editor highlights: its bank, "MAIN" for MAIN L and MAIN R, -1 for
// channels on neither.
int editor_group_of(int logical);

// Number of slots of a group and the channel in slot s.
int editor_group_slots(int group);
channel_ref editor_group_channel(int group, int slot);

// The channel selecting a group opens: the one it remembers, else its first fitted slot
// (the first slot when none is fitted); "MAIN" falls back to MAIN L.
int editor_group_target(int group, int remembered, const fitted_fn& fitted = logical_fitted);

}  // namespace vorante
