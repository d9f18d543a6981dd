#include "app/params/editor_nav.h"

#include <algorithm>

namespace vorante {

static_assert(editor_nav_order.back() == main_r_logical, "MAIN R closes the round");

bool logical_fitted(int logical) {
  return logical >= 0 && logical < logical_count && !logical_slot_of(logical).not_fitted;
}

int editor_nav_step(int current, int direction, const fitted_fn& fitted) {
  const auto it = std::find(editor_nav_order.begin(), editor_nav_order.end(), current);
  if (it == editor_nav_order.end()) return 0;
  const int n = static_cast<int>(editor_nav_order.size());
  const int at = static_cast<int>(it - editor_nav_order.begin());
  const int step = direction > 0 ? 1 : n - 1;
  for (int k = 1; k < n; ++k) {
    const int candidate = editor_nav_order[static_cast<std::size_t>((at + k * step) % n)];
    if (fitted(candidate)) return candidate;
  }
  return current;
}

int editor_group_of(int logical) {
  if (logical == main_l_logical || logical == main_r_logical) return editor_main_group;
  if (logical < 0 || logical >= logical_count) return -1;
  return logical_slot_of(logical).bank;
}

int editor_group_slots(int group) {
  if (group == editor_main_group) return static_cast<int>(main_group_channels.size());
  return group >= 0 && group < bank_count ? fader_banks[static_cast<std::size_t>(group)].slot_count : 0;
}

channel_ref editor_group_channel(int group, int slot) {
  if (slot < 0 || slot >= editor_group_slots(group)) return {};
  if (group == editor_main_group) return main_group_channels[static_cast<std::size_t>(slot)];
  return fader_banks[static_cast<std::size_t>(group)].channels[static_cast<std::size_t>(slot)];
}

int editor_group_target(int group, int remembered, const fitted_fn& fitted) {
  if (remembered >= 0) return remembered;
  if (group == editor_main_group) return main_l_logical;
  const int slots = editor_group_slots(group);
  if (slots == 0) return -1;
  for (int s = 0; s < slots; ++s) {
    const channel_ref c = editor_group_channel(group, s);
    const int logical = logical_of(c.kind, c.index);
    if (fitted(logical)) return logical;
  }
  const channel_ref first = editor_group_channel(group, 0);
  return logical_of(first.kind, first.index);
}

}  // namespace vorante
