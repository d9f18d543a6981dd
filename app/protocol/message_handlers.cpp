#include "app/protocol/message_handlers.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vorante {

namespace {

std::string_view text_of(std::span<const uint8_t> payload) {
  return std::string_view(reinterpret_cast<const char*>(payload.data()), payload.size());
}

// Frames shorter than one pair carry no values.
bool has_pairs(std::span<const uint8_t> payload) { return payload.size() >= pair_size; }

}  // namespace

void message_handlers::store_values(std::span<const uint8_t> payload, bool pushed) {
  if (!has_pairs(payload)) return;
  for (const id_value p : pair_list(payload)) {
    if (p.id > last_param_id) continue;
    if (pushed)
      store_.store_received(p.id, p.value);
    else
      store_.store_read_reply(p.id, p.value);
    verdicts_.answered(p.id, p.value);
    if (on_value_) on_value_(p.id, p.value);
  }
}

bool message_handlers::on_values(std::span<const uint8_t> frame) {
  const std::span<const uint8_t> payload = frame_payload(frame);
  store_values(payload, false);
  if (payload.size() == presence_probe_payload && options_.link_mode == link_serial) {
    if (is_presence_probe(frame)) device_.send(make_probe_answer());
    return false;
  }
  notify_values(payload, false);
  return true;
}

void message_handlers::on_change(std::span<const uint8_t> frame) {
  const std::span<const uint8_t> payload = frame_payload(frame);
  store_values(payload, true);
  device_.send(make_frame(code_byte(message_code::param_change), payload));
  if (on_push_ && has_pairs(payload))
    for (const id_value p : pair_list(payload)) on_push_(p.id, p.value);
  notify_values(payload, true);
  if (options_.surface_takeover && has_pairs(payload))
    for (const id_value p : pair_list(payload))
      if (param_value_type(p.id) == value_type::fader_level) surface_.fader_written(p.id);
}

void message_handlers::notify_values(std::span<const uint8_t> payload, bool pushed) {
  if (!has_pairs(payload)) return;
  for (const id_value p : pair_list(payload)) {
    if (p.id == end_marker_id) {
      end_marker_seen_ = true;
    } else {
      if (is_meter_id(p.id) || p.id > last_param_id) continue;
      if (p.id == lock_state_id) lock_changed(p.value != 0);
    }
    if (pushed && p.id == scene_change_marker_id) store_.resync_all();
    ui_.on_param(p.id, p.value, pushed);
    store_.tell_group_bar(p.id);
  }
}

void message_handlers::lock_changed(bool locked) {
  if (locked == locked_) return;
  locked_ = locked;
  if (!locked) {
    lock_held_ = false;
    surface_.lights_full_refresh(step_time_, ui_.surface_state(), locked_);
    surface_.faders_full_refresh_if_ready(options_.surface_takeover, end_marker_seen_);
  }
  ui_.console_lock_changed(locked);
}

void message_handlers::on_write_confirmation(std::span<const uint8_t> payload) {
  for (const id_value p : pair_list(payload))
    if (store_.acknowledge_write(p.id, p.value)) {
      verdicts_.answered(p.id, p.value);
      if (on_ack_) on_ack_(p.id, p.value);
    }
}

void message_handlers::on_status(std::span<const uint8_t> payload) {
  // First index, count, then the bytes; bytes beyond the console's status are dropped.
  constexpr std::size_t head = 2;
  if (payload.size() < head) return;
  const std::size_t first = payload[0];
  const std::size_t count = std::min<std::size_t>(payload[1], payload.size() - head);
  for (std::size_t i = 0; i < count && first + i < status_byte_count; ++i) status_[first + i] = payload[head + i];
}

void message_handlers::on_control_events(std::span<const uint8_t> frame) {
  const std::span<const uint8_t> payload = frame_payload(frame);
  device_.send(make_frame(code_byte(message_code::control_events), payload));
  for (const id_value p : pair_list(payload)) {
    if (p.id == event_key) {
      ui_.console_key(p.value);
    } else if (p.id >= event_first_fader && p.id < event_first_encoder) {
      surface_.fader_moved(p.id - event_first_fader, p.value, locked());
    } else if (p.id >= event_first_encoder && p.id < event_first_encoder + surface_encoder_count) {
      if (!locked()) ui_.console_encoder(p.id - event_first_encoder, static_cast<int16_t>(p.value));
    }
  }
}

void message_handlers::on_control_outputs(std::span<const uint8_t> payload) {
  for (const id_value p : pair_list(payload)) surface_.output_applied(p.id, p.value);
}

void message_handlers::on_network_list(std::span<const uint8_t> payload) {
  // A count, then that many zero-terminated names, bounded by the payload.
  if (payload.empty()) return;
  std::vector<std::string> names;
  std::size_t pos = 1;
  for (int i = 0; i < payload[0] && pos < payload.size(); ++i) {
    std::size_t end = pos;
    while (end < payload.size() && payload[end] != 0) ++end;
    names.emplace_back(reinterpret_cast<const char*>(payload.data() + pos), end - pos);
    pos = end + 1;
  }
  ui_.network_list(names);
}

void message_handlers::on_config_report(std::span<const uint8_t> payload) {
  if (on_config_report_) on_config_report_(text_of(payload));
}

void message_handlers::on_config_result(std::span<const uint8_t> payload) {
  if (on_config_result_) on_config_result_(text_of(payload));
}

void message_handlers::on_media_report(std::span<const uint8_t> frame) {
  if (on_media_report_) on_media_report_(frame);
}

}  // namespace vorante
