#include "app/params/channel_state.h"

namespace vorante {

namespace {

int stereo_word_id(int kind) {
  if (kind == kind_input) return input_stereo_bits_id;
  if (kind == kind_bus) return output_stereo_bits_id;
  return -1;
}

// First code and word count of a group kind's membership bitmap; words 0 when unknown.
struct membership_layout {
  int first_code = 0;
  int words = 0;
  int groups = 0;
};

membership_layout membership_of(int kind) {
  switch (kind) {
    case kind_dca: return {code_dca_members, 3, dca_count};
    case kind_mute_group: return {code_mute_members, 4, mute_group_count};
    case kind_phantom_group: return {code_phantom_members, 2, phantom_group_count};
    default: return {};
  }
}

// Send-mode word of fixed stereo input `input` for send `send`; -1 when there is none.
int send_mode_id(int input, int send) {
  if (send < 0 || send > 15) return -1;
  int pair;
  switch (input) {
    case 16: case 17: pair = 0; break;
    case 18: case 19: pair = 2; break;
    case 24: case 25: pair = 4; break;
    default: return -1;
  }
  return send_mode_base_id + pair + send / 8;
}

int selection_value(int kind, int index) {
  if (kind == kind_input && index >= 0 && index < input_count) return 1 + index;
  if (kind == kind_bus && index >= 0 && index < bus_count) return 27 + index;
  return -1;
}

}  // namespace

bool stereo_bit(const param_store& store, int kind, int index) {
  const int id = stereo_word_id(kind);
  if (id < 0 || index < 0 || index / 2 > 15) return false;
  return (store.get(id) >> (index / 2)) & 1;
}

void set_stereo_bit(param_store& store, int kind, int index, bool on) {
  const int id = stereo_word_id(kind);
  if (id < 0 || index < 0 || index / 2 > 15) return;
  const uint16_t bit = static_cast<uint16_t>(1u << (index / 2));
  const uint16_t old = store.get(id);
  store.linked_set(id, static_cast<uint16_t>(on ? old | bit : old & ~bit));
}

bool is_stereo_right(const param_store& store, int kind, int index) {
  return (index & 1) && stereo_bit(store, kind, index);
}

int send_mode(const param_store& store, int input, int send) {
  const int id = send_mode_id(input, send);
  if (id < 0) return 0;
  return (store.get(id) >> (2 * (send % 8))) & 3;
}

void set_send_mode(param_store& store, int input, int send, int mode) {
  const int id = send_mode_id(input, send);
  if (id < 0) return;
  const int shift = 2 * (send % 8);
  const uint16_t old = store.get(id);
  store.linked_set(id, static_cast<uint16_t>((old & ~(3u << shift)) | ((mode & 3u) << shift)));
}

void select_channel(param_store& store, int kind, int index) {
  const int v = selection_value(kind, index);
  if (v >= 0) store.linked_set(selected_channel_id, static_cast<uint16_t>(v));
}

bool is_selected(const param_store& store, int kind, int index) {
  const int v = selection_value(kind, index);
  return v >= 0 && store.get(selected_channel_id) == v;
}

bool is_member(const param_store& store, int kind, int group, int logical) {
  const membership_layout m = membership_of(kind);
  if (m.words == 0 || group < 0 || group >= m.groups || logical < 0 || logical >= 16 * m.words) return false;
  const unsigned id = param_id(kind, group, m.first_code + logical / 16);
  return (store.get(id) >> (logical % 16)) & 1;
}

namespace {

void write_membership_bit(param_store& store, const membership_layout& m, int kind, int group, int logical,
                          bool on) {
  const unsigned id = param_id(kind, group, m.first_code + logical / 16);
  const uint16_t bit = static_cast<uint16_t>(1u << (logical % 16));
  const uint16_t old = store.get(id);
  store.linked_set(id, static_cast<uint16_t>(on ? old | bit : old & ~bit));
}

}  // namespace

void write_membership(param_store& store, int kind, int group, int logical, bool on) {
  const membership_layout m = membership_of(kind);
  if (m.words == 0 || group < 0 || group >= m.groups || logical < 0 || logical >= 16 * m.words) return;
  write_membership_bit(store, m, kind, group, logical, on);
  const auto ch = channel_of(logical);
  if (!ch || (ch->kind != kind_input && ch->kind != kind_bus) || !stereo_bit(store, ch->kind, ch->index)) return;
  const int partner = logical_of(ch->kind, ch->index ^ 1);
  if (partner < 16 * m.words) write_membership_bit(store, m, kind, group, partner, on);
}

}  // namespace vorante
