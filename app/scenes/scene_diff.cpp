#include "app/scenes/scene_diff.h"

#include <cstdio>

#include "app/params/convert.h"
#include "app/params/param_label.h"
#include "app/settings/factory_reset.h"

namespace vorante {

namespace {

uint16_t value_at(std::span<const uint16_t> values, unsigned id) { return id < values.size() ? values[id] : 0; }

// A difference the texts would hide (a flag bit of a level, a rounding) still shows.
void show_raw(std::string& text, uint16_t raw) {
  char hex[16];
  std::snprintf(hex, sizeof hex, " (0x%04X)", static_cast<unsigned>(raw));
  text += hex;
}

}  // namespace

bool scene_covers(unsigned id) {
  if (!is_valid_id(id)) return false;
  if (id == probe_id || id == online_lock_poll_id || is_meter_id(id)) return false;
  if (id == factory_reset_id || id == scene_change_marker_id || id == no_param_id || id == end_marker_id) return false;
  return id < first_status_word_id || id > last_status_word_id;
}

std::string scene_value_text(std::span<const uint16_t> values, unsigned id) {
  const uint16_t raw = value_at(values, id);
  const param_address a = address_of(id);
  if (is_mute_code(a.code) && a.kind != kind_global) return raw == 0 ? "ON" : "OFF";
  const value_type type = param_value_type(id);
  if (type == value_type::on_off) return raw != 0 ? "ON" : "OFF";
  const int effect_type = a.kind == kind_fx ? value_at(values, param_id(kind_fx, a.index, code_fx_type)) : 0;
  return value_text_of_type(type, raw, effect_type);
}

std::vector<scene_diff_entry> diff_scene(std::span<const uint16_t> live, std::span<const uint16_t> scene,
                                         const channel_namer& names) {
  std::vector<scene_diff_entry> out;
  for (unsigned id = 0; id < static_cast<unsigned>(param_count); ++id) {
    if (!scene_covers(id)) continue;
    const uint16_t now = value_at(live, id), then = value_at(scene, id);
    if (now == then) continue;
    param_label label = label_of(id);
    std::string user;
    if (names && is_channel(label.kind, label.index)) user = std::string(names(logical_of(label.kind, label.index)));
    scene_diff_entry e;
    e.id = static_cast<uint16_t>(id);
    e.live = now;
    e.scene = then;
    e.kind = label.kind;
    e.index = label.index;
    e.channel = label_channel_text(label, user);
    e.parameter = std::move(label.parameter);
    e.live_text = scene_value_text(live, id);
    e.scene_text = scene_value_text(scene, id);
    if (e.live_text == e.scene_text) {
      show_raw(e.live_text, now);
      show_raw(e.scene_text, then);
    }
    out.push_back(std::move(e));
  }
  return out;
}

std::vector<scene_diff_group> group_by_channel(std::vector<scene_diff_entry> entries) {
  std::vector<scene_diff_group> groups;
  std::vector<std::pair<int, int>> keys;
  for (scene_diff_entry& e : entries) {
    const std::pair<int, int> key{e.kind, e.index};
    std::size_t g = 0;
    while (g < keys.size() && keys[g] != key) ++g;
    if (g == keys.size()) {
      keys.push_back(key);
      groups.push_back({e.channel, {}});
    }
    groups[g].entries.push_back(std::move(e));
  }
  return groups;
}

}  // namespace vorante
