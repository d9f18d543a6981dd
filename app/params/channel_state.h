// Channel state that lives in shared global parameters: stereo pair bits, send modes of
// the fixed stereo pairs, the selected channel and group memberships. Every write goes
// through the store's linked set.
#pragma once

#include "app/params/store.h"

namespace vorante {

// Stereo bit of the pair holding (kind, index): inputs in ID 3055, buses in ID 3056.
// Other kinds read 0 and ignore writes.
bool stereo_bit(const param_store& store, int kind, int index);
void set_stereo_bit(param_store& store, int kind, int index, bool on);
bool is_stereo_right(const param_store& store, int kind, int index);

// Send mode (0..3) of fixed stereo input `input` (16..19, 24, 25) for send 0..15.
int send_mode(const param_store& store, int input, int send);
void set_send_mode(param_store& store, int input, int send, int mode);

// The selected channel (ID 58): inputs 0..25 and buses 0..9; others are ignored.
void select_channel(param_store& store, int kind, int index);
bool is_selected(const param_store& store, int kind, int index);

// Membership of logical channel L in DCA (kind 4), mute (5) or phantom (6) group `group`.
bool is_member(const param_store& store, int kind, int group, int logical);
// Also applies the change to L's partner when L is one side of a stereo input or bus pair.
void write_membership(param_store& store, int kind, int group, int logical, bool on);

}  // namespace vorante
