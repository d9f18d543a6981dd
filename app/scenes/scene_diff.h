// What a recall of a scene would change: the live values against the values the scene
// memory holds, as named entries a person can read before pressing CALL.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/params/ids.h"

namespace vorante {

// The IDs a recall sets: everything the scene transfer carries except the link's own
// traffic and the console's state words (probe, lock poll, meters, factory reset, the
// scene marker, status words, the no-parameter slot, the end marker).
bool scene_covers(unsigned id);

struct scene_diff_entry {
  uint16_t id = 0;
  uint16_t live = 0;
  uint16_t scene = 0;
  // The channel, as label_of gives it.
  int kind = kind_global;
  int index = 0;
  std::string channel;
  std::string parameter;
  std::string live_text;
  std::string scene_text;
};

// The user's name of a logical channel, empty for none.
using channel_namer = std::function<std::string_view(int logical)>;

// One entry per covered ID whose values differ, ordered by ID. Both spans hold a value
// for every ID (param_count). Without a namer channels carry their default names.
std::vector<scene_diff_entry> diff_scene(std::span<const uint16_t> live, std::span<const uint16_t> scene,
                                         const channel_namer& names = {});

struct scene_diff_group {
  std::string channel;
  std::vector<scene_diff_entry> entries;
};

// The entries of each channel together, channels in the order of their first entry;
// within a channel the entries keep their order.
std::vector<scene_diff_group> group_by_channel(std::vector<scene_diff_entry> entries);

// The value of `id` as text, reading related values (the effect type of an effect
// parameter) from the same set of values.
std::string scene_value_text(std::span<const uint16_t> values, unsigned id);

}  // namespace vorante
