// Scene memories 1..16: call and save, scene and channel names, and the transfer of one
// whole scene in small request/answer steps.
#include <algorithm>

#include "tools/sim/console_model.h"

namespace vorante::sim {

namespace {

bool is_scene_number(int n) { return n >= 1 && n <= scene_memories; }

// Name bytes of a payload tail: up to a zero byte, at most the 31 bytes a name slot keeps.
std::string name_of(std::span<const uint8_t> bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(end - bytes.begin()), max_name_bytes);
  return std::string(reinterpret_cast<const char*>(bytes.data()), n);
}

}  // namespace

void console_model::load_scene(int n) {
  const scene_memory& s = scenes_[static_cast<std::size_t>(n - 1)];
  // The program reads everything after a recall, so the values change quietly here.
  for (unsigned id = 0; id < values_.size(); ++id)
    if (is_scene_param(id)) values_[id] = s.values[id];
  channel_names_ = s.texts;
}

bool console_model::call_scene(int n) {
  if (!is_scene_number(n)) return false;
  load_scene(n);
  change(scene_change_marker_id, static_cast<uint16_t>(n), true);
  return true;
}

bool console_model::save_scene(int n) {
  if (!is_scene_number(n)) return false;
  scene_memory& s = scenes_[static_cast<std::size_t>(n - 1)];
  s.values = values_;
  s.texts = channel_names_;
  change(scene_change_marker_id, static_cast<uint16_t>(n));
  return true;
}

void console_model::on_call_scene(std::span<const uint8_t> payload, frame_list& out) {
  if (payload.empty() || !is_scene_number(payload[0])) return;
  const int n = payload[0];
  load_scene(n);
  out.push_back(make_call_scene_done(static_cast<uint8_t>(n)));
  // Pushed even when the number stays: the marker tells the program the values moved.
  change(scene_change_marker_id, static_cast<uint16_t>(n), true);
}

void console_model::on_save_scene(std::span<const uint8_t> payload, frame_list& out) {
  if (payload.empty() || !is_scene_number(payload[0])) return;
  save_scene(payload[0]);
  out.push_back(make_save_scene_done(payload[0]));
}

void console_model::on_scene_name(message_code code, std::span<const uint8_t> payload, frame_list& out) {
  if (payload.empty() || !is_scene_number(payload[0])) return;
  const uint8_t n = payload[0];
  std::string& name = scenes_[n - 1u].name;
  if (code == message_code::scene_name) {
    out.push_back(make_scene_name(n, name));
    return;
  }
  name = name_of(payload.subspan(1));
  out.push_back(make_set_scene_name_done(n));
}

void console_model::on_channel_name(message_code code, std::span<const uint8_t> payload, frame_list& out) {
  if (payload.empty() || payload[0] >= channel_names) return;
  const uint8_t logical = payload[0];
  if (code == message_code::channel_name) {
    out.push_back(make_channel_name(logical, channel_names_[logical]));
    return;
  }
  channel_names_[logical] = name_of(payload.subspan(1));
  out.push_back(make_set_channel_name_done(logical));
}

void console_model::on_transfer(message_code code, std::span<const uint8_t> payload, frame_list& out) {
  if (payload.empty() || !is_scene_number(payload[0])) return;
  const uint8_t n = payload[0];
  const scene_memory& stored = scenes_[n - 1u];
  std::unique_ptr<scene_memory>& staged = staged_[n - 1u];
  auto stage = [&]() -> scene_memory& {
    if (!staged) staged = std::make_unique<scene_memory>(stored);
    return *staged;
  };

  switch (code) {
    case message_code::scene_values_read: {
      if (payload.size() < 4) return;
      const std::size_t count = std::min<std::size_t>(payload[1], max_scene_values);
      const uint16_t first = get_be16(payload.data() + 2);
      std::array<uint16_t, max_scene_values> values{};
      for (std::size_t i = 0; i < count; ++i) {
        const std::size_t id = first + i;
        values[i] = id < stored.values.size() ? stored.values[id] : 0;
      }
      out.push_back(make_scene_values(n, first, {values.data(), count}));
      return;
    }
    case message_code::scene_values_write: {
      if (payload.size() < 4) return;
      const std::size_t count = payload[1];
      const uint16_t first = get_be16(payload.data() + 2);
      // A write that carries fewer values than it announces is not taken at all.
      if (payload.size() < 4 + 2 * count) return;
      scene_memory& s = stage();
      for (std::size_t i = 0; i < count; ++i) {
        const std::size_t id = first + i;
        if (id < s.values.size()) s.values[id] = get_be16(payload.data() + 4 + 2 * i);
      }
      out.push_back(make_scene_values_written(n, payload[1], first));
      return;
    }
    case message_code::scene_write_finish:
      if (staged) {
        scenes_[n - 1u] = std::move(*staged);
        staged.reset();
      }
      out.push_back(make_scene_write_finished(n));
      return;
    case message_code::scene_text_read:
      if (payload.size() < 2 || payload[1] >= channel_names) return;
      out.push_back(make_scene_text(n, payload[1], stored.texts[payload[1]]));
      return;
    case message_code::scene_text_write:
      if (payload.size() < 2 || payload[1] >= channel_names) return;
      stage().texts[payload[1]] = name_of(payload.subspan(2));
      out.push_back(make_scene_text_written(n, payload[1]));
      return;
    case message_code::scene_name_read:
      out.push_back(make_scene_name_reply(n, stored.name));
      return;
    case message_code::scene_name_write:
      stage().name = name_of(payload.subspan(1));
      out.push_back(make_scene_name_written(n));
      return;
    default: return;
  }
}

}  // namespace vorante::sim
