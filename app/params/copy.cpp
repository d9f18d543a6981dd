#include "app/params/copy.h"

#include "app/params/channel_state.h"

namespace vorante {

namespace {

// Mute groups, phantom groups, then DCA groups: the target takes the source's memberships.
void copy_memberships(param_store& store, int kind, int target, int source) {
  const int t = logical_of(kind, target);
  const int s = logical_of(kind, source);
  for (int group_kind : {kind_mute_group, kind_phantom_group, kind_dca})
    for (int g = 0; g < 4; ++g) write_membership(store, group_kind, g, t, is_member(store, group_kind, g, s));
}

bool in_range(int index, int count) { return index >= 0 && index < count; }

}  // namespace

// Fader levels reach the group bar through linked_set's refresh, so the copies need not
// tell it again.

void copy_input(param_store& store, int target, int source) {
  if (target == source || !in_range(target, input_count) || !in_range(source, input_count)) return;
  const bool linked = stereo_bit(store, kind_input, target);
  if (linked && (target ^ source) == 1) return;
  store.set_copy_busy(true);
  for (int c = first_input_code; c <= last_input_code; ++c) {
    if (linked && (c == code_input_pan || is_input_send_code(c))) continue;
    store.linked_set(param_id(kind_input, target, c), store.get(param_id(kind_input, source, c)));
  }
  copy_memberships(store, kind_input, target, source);
}

void copy_bus(param_store& store, int target, int source) {
  if (target == source || !in_range(target, bus_count) || !in_range(source, bus_count)) return;
  store.set_copy_busy(true);
  const bool main_l_to_r = source == main_l_bus && target == main_r_bus;
  for (int c = first_bus_code; c <= last_bus_code; ++c) {
    const unsigned to = param_id(kind_bus, target, c);
    // MAIN R carries its solo on the right feed: it takes MAIN L's left solo there, and
    // its left feed is silenced without a redraw.
    if (main_l_to_r && c == code_bus_solo_l)
      store.quiet_linked_set(to, 0);
    else if (main_l_to_r && c == code_bus_solo_r)
      store.linked_set(main_r_solo_id, store.get(main_l_solo_id));
    else
      store.linked_set(to, store.get(param_id(kind_bus, source, c)));
  }
  copy_memberships(store, kind_bus, target, source);
}

void copy_fx(param_store& store, int target, int source) {
  if (target == source || !in_range(target, fx_count) || !in_range(source, fx_count)) return;
  store.set_copy_busy(true);
  for (int c = first_fx_code; c <= last_fx_code; ++c)
    store.linked_set(param_id(kind_fx, target, c), store.get(param_id(kind_fx, source, c)));
}

}  // namespace vorante
