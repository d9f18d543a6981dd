#include "app/settings/copy_groups.h"

#include "app/params/channel_state.h"
#include "app/params/copy.h"

namespace vorante {

namespace {

constexpr std::array<group_channel, 16> grid_inputs = [] {
  std::array<group_channel, 16> a{};
  for (int i = 0; i < 16; ++i) a[static_cast<std::size_t>(i)] = {kind_input, i, 0};
  return a;
}();
constexpr std::array<group_channel, 5> grid_stereo_inputs{{
    {kind_input, 16, 6}, {kind_input, 18, 6}, {kind_input, 24, 6}, {kind_fx, 0, 6}, {kind_fx, 1, 6}}};
constexpr std::array<group_channel, 8> grid_buses = [] {
  std::array<group_channel, 8> a{};
  for (int i = 0; i < 8; ++i) a[static_cast<std::size_t>(i)] = {kind_bus, i, 5};
  return a;
}();
constexpr std::array<group_channel, 2> grid_mains{{{kind_bus, main_l_bus, 7}, {kind_bus, main_r_bus, 7}}};

int member_code(int group_kind) { return group_kind == kind_mute_group ? code_mute_members : code_phantom_members; }

}  // namespace

std::vector<int> copy_sources(int kind) {
  std::vector<int> out;
  for (int i = 0; i < copy_slots(kind); ++i)
    if (channel_fitted(kind, i)) out.push_back(i);
  return out;
}

std::optional<int> copy_partner(const param_store& store, int kind, int index) {
  if (kind != kind_input || index < 0 || index >= copy_input_slots || !stereo_bit(store, kind, index)) return {};
  return index ^ 1;
}

std::vector<int> copy_targets(int source, std::span<const bool> checked) {
  std::vector<int> out;
  for (int i = 0; i < static_cast<int>(checked.size()); ++i)
    if (checked[static_cast<std::size_t>(i)] && i != source) out.push_back(i);
  return out;
}

bool start_copy(param_store& store, int kind, int source, std::span<const bool> checked) {
  if (store.copy_busy()) return false;
  const std::vector<int> targets = copy_targets(source, checked);
  if (targets.empty()) return false;
  for (const int t : targets) {
    if (kind == kind_input)
      copy_input(store, t, source);
    else
      copy_bus(store, t, source);
  }
  return true;
}

std::span<const group_channel> group_grid(int group_kind, int grid) {
  if (group_kind == kind_phantom_group) return grid == 0 ? std::span<const group_channel>(grid_inputs) : std::span<const group_channel>();
  switch (grid) {
    case 0: return grid_inputs;
    case 1: return grid_stereo_inputs;
    case 2: return grid_buses;
    case 3: return grid_mains;
    default: return {};
  }
}

int group_grid_count(int group_kind) { return group_kind == kind_mute_group ? 4 : 1; }

std::optional<int> group_right_member(int group_kind, int kind, int index) {
  if (group_kind != kind_mute_group || kind != kind_input) return {};
  if (index == 16 || index == 18 || index == 24) return index + 1;
  return {};
}

void set_group_member(param_store& store, int group_kind, int group, int kind, int index, bool on) {
  write_membership(store, group_kind, group, logical_of(kind, index), on);
  if (const auto right = group_right_member(group_kind, kind, index))
    write_membership(store, group_kind, group, logical_of(kind, *right), on);
}

void set_all_group_members(param_store& store, int group_kind, int group, bool on) {
  // One write per bitmap word rather than one per channel: the words go out whole anyway.
  std::array<uint16_t, 4> words{};
  for (std::size_t w = 0; w < words.size(); ++w) words[w] = store.get(param_id(group_kind, group, member_code(group_kind) + static_cast<int>(w)));
  auto put = [&](int kind, int index) {
    const int logical = logical_of(kind, index);
    const auto bit = static_cast<uint16_t>(1u << (logical % 16));
    uint16_t& word = words[static_cast<std::size_t>(logical / 16)];
    word = static_cast<uint16_t>(on ? word | bit : word & ~bit);
  };
  for (int g = 0; g < group_grid_count(group_kind); ++g)
    for (const group_channel& c : group_grid(group_kind, g)) {
      if (!channel_fitted(c.kind, c.index)) continue;
      put(c.kind, c.index);
      if (const auto right = group_right_member(group_kind, c.kind, c.index)) put(c.kind, *right);
    }
  const int word_count = group_kind == kind_mute_group ? 4 : 2;
  for (int w = 0; w < word_count; ++w) {
    const unsigned id = param_id(group_kind, group, member_code(group_kind) + w);
    if (store.get(id) != words[static_cast<std::size_t>(w)]) store.linked_set(id, words[static_cast<std::size_t>(w)]);
  }
}

int group_grid_columns(int group_kind, int fitted_inputs) {
  return group_kind == kind_mute_group ? (fitted_inputs + 1) / 2 : (fitted_inputs + 3) / 4;
}

generator_view generator_state(const param_store& store) {
  generator_view v;
  v.on = store.get(generator_on_id) != 0;
  if (!v.on) return v;
  const int type = store.get(generator_type_id);
  v.type = type >= noise_white && type <= sine_wave ? type : 0;
  for (int o = 0; o < generator_output_count; ++o)
    v.outputs[static_cast<std::size_t>(o)] = store.get(generator_first_output_id + static_cast<unsigned>(o)) != 0;
  return v;
}

void toggle_generator(param_store& store) {
  store.linked_set(generator_on_id, store.get(generator_on_id) == 0 ? 1 : 0);
}

void choose_generator_type(param_store& store, int type) {
  if (type >= noise_white && type <= sine_wave) store.linked_set(generator_type_id, static_cast<uint16_t>(type));
}

void toggle_generator_output(param_store& store, int output) {
  if (output < 0 || output >= generator_output_count) return;
  const unsigned id = generator_first_output_id + static_cast<unsigned>(output);
  store.linked_set(id, store.get(id) == 0 ? generator_output_on : 0);
}

void set_all_volumes(param_store& store, uint16_t level) {
  auto put = [&](int kind, int index, int code, bool check_fitted) {
    const bool off = check_fitted && !channel_fitted(kind, index);
    store.quiet_linked_set(param_id(kind, index, code), off ? 0 : level);
  };
  for (int i = 0; i < input_count; ++i) {
    put(kind_input, i, code_fader, true);
    for (int s = 0; s < 8; ++s) put(kind_input, i, code_input_aux_send + s, true);
    for (int s = 0; s < 2; ++s) put(kind_input, i, code_input_fx_send + s, true);
  }
  for (int f = 0; f < fx_count; ++f) {
    put(kind_fx, f, code_fader, false);
    for (int s = 0; s < 8; ++s) put(kind_fx, f, code_fx_aux_send + s, false);
  }
  for (int b = 0; b < 8; ++b) put(kind_bus, b, code_fader, true);
  for (int d = 0; d < dca_count; ++d) put(kind_dca, d, code_fader, false);
  put(kind_bus, main_l_bus, code_fader, false);
  put(kind_bus, main_r_bus, code_fader, false);
}

}  // namespace vorante
