#include "app/protocol/engine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/core/id_names.h"
#include "app/core/identity.h"
#include "app/core/log.h"
#include "app/core/translate.h"
#include "app/protocol/messages.h"

namespace vorante {

namespace {

bool due(uint32_t now, uint32_t deadline) { return static_cast<int32_t>(now - deadline) >= 0; }

// Stores at most 31 bytes of a received name, up to its first zero byte.
template <std::size_t N>
void store_name(std::array<char, N>& slot, std::span<const uint8_t> bytes) {
  std::size_t n = 0;
  while (n < bytes.size() && n < N - 1 && bytes[n] != 0) ++n;
  std::memcpy(slot.data(), bytes.data(), n);
  slot[n] = '\0';
}

template <std::size_t N>
void store_name(std::array<char, N>& slot, std::string_view text) {
  store_name(slot, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

template <std::size_t N>
std::string_view name_of(const std::array<char, N>& slot) {
  return std::string_view(slot.data(), ::strnlen(slot.data(), N));
}

}  // namespace

sync_engine::sync_engine(param_store& store, runtime_options& options, ui_port& ui)
    : store_(store),
      options_(options),
      ui_(ui),
      surface_(store, [this](std::span<const id_value> pairs) { send_frame(make_control_outputs(pairs)); }),
      image_(std::make_unique<transfer_image>()) {
  for (int n = 1; n <= scene_count; ++n) {
    char text[16];
    std::snprintf(text, sizeof text, "Scene%d", n);
    store_name(scene_names_[n - 1], std::string_view(text));
  }
}

sync_engine::~sync_engine() = default;

void sync_engine::open_link() {
  transport_.reset();
  if (factory_) transport_ = factory_();
}

void sync_engine::close_link() { transport_.reset(); }

void sync_engine::wake() {
  if (wake_) wake_();
}

// --- sending ----------------------------------------------------------------------------

void sync_engine::send_frame(const frame_bytes& frame) {
  if (frame.empty() || !transport_) return;
  transport_->send(frame.data(), frame.size());
}

void sync_engine::send_write_now(uint16_t id, uint16_t value) {
  const id_value pair{id, value};
  send_frame(make_write_params({&pair, 1}));
}

void sync_engine::send_status_request() { send_frame(make_status_request()); }
void sync_engine::send_identify() { send_frame(make_identify()); }
void sync_engine::send_config_query(std::string_view text) { send_frame(make_config_query(text)); }
void sync_engine::send_config_command(std::string_view text) { send_frame(make_config_command(text)); }
void sync_engine::send_media_command(std::span<const uint8_t> payload) { send_frame(make_media_command(payload)); }

void sync_engine::send_transfer_values_read(int scene, int count, uint16_t first_id) {
  status_[status_transfer_scene] = static_cast<uint8_t>(scene);
  expected_read_first_ = first_id;
  transfer_.values_read = false;
  send_frame(make_scene_values_read(static_cast<uint8_t>(scene), static_cast<uint8_t>(count), first_id));
}

void sync_engine::send_transfer_values_write(int scene, int count, uint16_t first_id) {
  status_[status_transfer_scene] = static_cast<uint8_t>(scene);
  expected_write_first_ = first_id;
  transfer_.values_written = false;
  std::vector<uint16_t> values(static_cast<std::size_t>(std::max(count, 0)));
  for (std::size_t i = 0; i < values.size(); ++i) {
    const std::size_t id = first_id + i;
    values[i] = id < param_count ? image_->values[id] : 0;
  }
  send_frame(make_scene_values_write(static_cast<uint8_t>(scene), first_id, values));
}

void sync_engine::send_transfer_text_read(int scene, int index) {
  status_[status_transfer_scene] = static_cast<uint8_t>(scene);
  status_[status_transfer_text] = static_cast<uint8_t>(index);
  transfer_.text_read = false;
  send_frame(make_scene_text_read(static_cast<uint8_t>(scene), static_cast<uint8_t>(index)));
}

void sync_engine::send_transfer_text_write(int scene, int index) {
  if (index < 0 || index >= channel_name_count) return;
  status_[status_transfer_scene] = static_cast<uint8_t>(scene);
  expected_text_write_ = index;
  transfer_.text_written = false;
  send_frame(make_scene_text_write(static_cast<uint8_t>(scene), static_cast<uint8_t>(index),
                                   name_of(image_->texts[index])));
}

void sync_engine::send_transfer_name_read(int scene) {
  status_[status_transfer_scene] = static_cast<uint8_t>(scene);
  transfer_.name_read = false;
  send_frame(make_scene_name_read(static_cast<uint8_t>(scene)));
}

void sync_engine::send_transfer_name_write(int scene) {
  status_[status_transfer_scene] = static_cast<uint8_t>(scene);
  transfer_.name_written = false;
  send_frame(make_scene_name_write(static_cast<uint8_t>(scene), name_of(image_->name)));
}

void sync_engine::send_transfer_write_finish(int scene) {
  status_[status_transfer_scene] = static_cast<uint8_t>(scene);
  transfer_.write_finished = false;
  send_frame(make_scene_write_finish(static_cast<uint8_t>(scene)));
}

// --- names and scenes -------------------------------------------------------------------

void sync_engine::set_scene_name(int n, std::string_view text) {
  if (n < 1 || n > scene_count) return;
  store_name(scene_names_[n - 1], text);
  scene_updates_.queue(n - 1);
}

std::string_view sync_engine::scene_name(int n) const {
  if (n < 1 || n > scene_count) return {};
  return name_of(scene_names_[n - 1]);
}

void sync_engine::set_channel_name(int logical, std::string_view text) {
  if (logical < 0 || logical >= channel_name_count) return;
  store_name(channel_names_[logical], text);
  channel_updates_.queue(logical);
}

std::string_view sync_engine::channel_name_slot(int logical) const {
  if (logical < 0 || logical >= channel_name_count) return {};
  return name_of(channel_names_[logical]);
}

void sync_engine::request_scene_names() {
  for (int i = 0; i < scene_count; ++i) scene_requests_.queue(i);
}

void sync_engine::request_channel_names() {
  for (int i = 0; i < channel_name_count; ++i) channel_requests_.queue(i);
}

void sync_engine::drop_name_traffic() {
  scene_requests_.clear();
  scene_updates_.clear();
  channel_requests_.clear();
  channel_updates_.clear();
}

void sync_engine::read_restarted() {
  status_[status_end_marker_seen] = 0;
  read_finished_ = false;
}

void sync_engine::request_scene_call(int n) {
  status_[status_scene_call_done] = 0;
  scene_call_ = {n, scene_request_attempts, 0};
}

void sync_engine::request_scene_save(int n) {
  if (scene_save_.number != 0) return;
  status_[status_scene_save_done] = 0;
  scene_save_ = {n, scene_request_attempts, 0};
}

// --- the step ---------------------------------------------------------------------------

void sync_engine::step(uint32_t now) {
  last_now_ = now;
  if (!supervision_started_) {
    supervision_started_ = true;
    next_supervision_ = now + supervision_period_ms;
  } else if (due(now, next_supervision_)) {
    next_supervision_ = now + supervision_period_ms;
    supervise(now);
  }
  if (resync_scheduled_ && due(now, resync_due_)) {
    resync_scheduled_ = false;
    resync_done_ = true;
    store_.full_resync();
  }
  if (!enabled_) return;

  drain(now);
  edge_notifications();
  flush_reads();
  if (!flushed_once_ || due(now, last_flush_ + pace_period_ms)) {
    flushed_once_ = true;
    last_flush_ = now;
    flush_writes();
    surface_.flush_faders();
    flush_scene_request(scene_call_, message_code::call_scene);
    flush_scene_request(scene_save_, message_code::save_scene);
    flush_names();
  }
  if (surface_.incremental_due(now)) surface_.lights_incremental_refresh(now, ui_.surface_state(), locked_);
  surface_.step(now);
  if (media_step_) media_step_(now);
}

void sync_engine::drain(uint32_t now) {
  std::size_t moved = transport_ ? transport_->poll(ring_, now) : 0;
  // Bytes fed directly (tests, fuzzing) count as delivered too.
  if (moved == 0 && ring_.count() == 0) return;
  for (parse_mode mode : {parse_mode::strict, parse_mode::scanning}) {
    if (mode == parse_mode::scanning && ring_.count() == 0) break;
    for (;;) {
      const int n = parse_frame(ring_, frame_.data(), frame_.size(), mode);
      if (n == 0) break;
      if (n < 0) continue;  // a candidate too long to be a frame was dropped
      handle_frame({frame_.data(), static_cast<std::size_t>(n)}, now);
    }
  }
}

void sync_engine::edge_notifications() {
  const bool request_pending = store_.requests().pending();
  const bool dirty_pending = store_.dirty().pending();
  if (prev_request_pending_ && !request_pending) {
    if (end_marker_seen() && !read_finished_) {
      read_finished_ = true;
      read_finished_actions();
    } else if (!end_marker_seen()) {
      read_finished_ = false;
    }
  }
  if (prev_dirty_pending_ && !dirty_pending) store_.set_copy_busy(false);
  prev_request_pending_ = store_.requests().pending();
  prev_dirty_pending_ = store_.dirty().pending();
}

void sync_engine::flush_reads() {
  auto& set = store_.requests();
  if (!set.pending()) return;
  std::array<uint16_t, max_list_entries> ids{};
  std::size_t n = 0;
  int counted = 0;
  // The lock state goes first so that a locked console is noticed within one frame.
  uint8_t& lock_state = set.state_ref(lock_state_id);
  if (retry::attempts_left(lock_state) != 0) {
    counted = 1;
    switch (retry::tick(lock_state)) {
      case retry::tick_result::send_last:
        set.erase(lock_state_id);
        [[fallthrough]];
      case retry::tick_result::send:
        ids[n++] = lock_state_id;
        break;
      default:
        break;
    }
  }
  set.pass(static_cast<int>(max_list_entries), [&](unsigned id) {
    if (n < ids.size()) ids[n++] = static_cast<uint16_t>(id);
  }, counted, lock_state_id);
  if (n > 0) send_frame(make_read_params({ids.data(), n}));
}

void sync_engine::flush_writes() {
  auto& set = store_.dirty();
  if (!set.pending()) return;
  std::array<id_value, max_list_entries> pairs{};
  std::size_t n = 0;
  set.pass(static_cast<int>(max_list_entries), [&](unsigned id) {
    if (n < pairs.size()) pairs[n++] = {static_cast<uint16_t>(id), store_.get(id)};
  });
  if (n == 0) return;
  if (options_.print_writes_by_name) {
    log_print("##");
    for (std::size_t i = 0; i < n; ++i)
      log_print("  %s(%u) --> hex: %04X    dec: %u\n", id_name(pairs[i].id), pairs[i].id, pairs[i].value,
                pairs[i].value);
  }
  send_frame(make_write_params({pairs.data(), n}));
}

void sync_engine::flush_scene_request(scene_request& request, message_code code) {
  if (request.number == 0 || request.attempts <= 0) return;
  if (request.countdown > 0) {
    --request.countdown;
    return;
  }
  request.countdown = scene_request_countdown;
  --request.attempts;
  const uint8_t scene = static_cast<uint8_t>(request.number);
  send_frame(code == message_code::call_scene ? make_call_scene(scene) : make_save_scene(scene));
  if (request.attempts == 0) request.number = 0;
}

void sync_engine::flush_names() {
  if (const int i = scene_requests_.pass(); i >= 0) send_frame(make_scene_name_request(static_cast<uint8_t>(i + 1)));
  if (const int i = scene_updates_.pass(); i >= 0)
    send_frame(make_set_scene_name(static_cast<uint8_t>(i + 1), name_of(scene_names_[i])));
  if (const int i = channel_requests_.pass(); i >= 0) send_frame(make_channel_name_request(static_cast<uint8_t>(i)));
  if (const int i = channel_updates_.pass(); i >= 0)
    send_frame(make_set_channel_name(static_cast<uint8_t>(i), name_of(channel_names_[i])));
}

void sync_engine::read_finished_actions() {
  log_print("read finished!\n");
  surface_.lights_full_refresh(last_now_, ui_.surface_state(), locked_);
  surface_.faders_full_refresh_if_ready(options_.surface_takeover, end_marker_seen());
  send_config_query("DEVNAME=");
  send_config_query("CMD=SCENEKEYLOCK\nSCENEKEYLOCK=\n");
  request_channel_names();
}

// --- receiving --------------------------------------------------------------------------

void sync_engine::handle_frame(std::span<const uint8_t> frame, uint32_t now) {
  if (frame.size() < min_frame_size) return;
  const uint8_t code = frame[2];
  const std::span<const uint8_t> payload = frame_payload(frame);
  const std::size_t d = frame.size();

  const bool is_values = code == code_byte(message_code::read_params) || code == code_byte(message_code::param_change);
  if (is_values && d >= 9) {
    for (const id_value p : pair_list(payload)) {
      if (p.id > last_param_id) continue;
      store_.store_received(p.id, p.value);
      if (on_value_) on_value_(p.id, p.value);
    }
  }

  switch (static_cast<message_code>(code)) {
    case message_code::identify:
      if (d >= 10) identification(payload);
      break;
    case message_code::call_scene:
      if (!payload.empty() && payload[0] != 0 && payload[0] == scene_call_.number) {
        scene_call_ = {};
        store_.request_all();
        status_[status_scene_call_done] = 1;
        log_print("call scene %d success!\n", payload[0]);
      }
      break;
    case message_code::write_params:
      for (const id_value p : pair_list(payload))
        if (store_.acknowledge_write(p.id, p.value) && on_ack_) on_ack_(p.id, p.value);
      break;
    case message_code::scene_name:
      if (!payload.empty() && payload[0] >= 1 && payload[0] <= scene_count) {
        const int n = payload[0];
        scene_requests_.answer(n - 1);
        store_name(scene_names_[n - 1], payload.subspan(1));
        ui_.on_scene_name(n, name_of(scene_names_[n - 1]));
      }
      break;
    case message_code::read_params:
      alive_ = true;
      last_values_ = now;
      if (d == 7 && options_.link_mode == link_serial) {
        if (is_presence_probe(frame)) send_frame(make_probe_answer());
        break;
      }
      notify_values(frame, 0);
      if (!store_.dirty().pending() && scene_call_.number == 0 && scene_save_.number == 0) wake();
      break;
    case message_code::set_scene_name:
      if (!payload.empty() && payload[0] >= 1 && payload[0] <= 32) scene_updates_.answer(payload[0] - 1);
      break;
    case message_code::save_scene:
      scene_save_ = {};
      status_[status_scene_save_done] = 1;
      log_print("save scene success!\n");
      break;
    case message_code::param_change:
      send_frame(make_frame(code, payload));
      if (on_push_ && d >= 9)
        for (const id_value p : pair_list(payload)) on_push_(p.id, p.value);
      notify_values(frame, 1);
      if (options_.surface_takeover && d >= 9)
        for (const id_value p : pair_list(payload))
          if (param_value_type(p.id) == value_type::fader_level) surface_.fader_written(p.id);
      break;
    case message_code::channel_name:
      if (!payload.empty() && payload[0] < channel_name_count) {
        const int l = payload[0];
        channel_requests_.answer(l);
        store_name(channel_names_[l], payload.subspan(1));
        ui_.on_name(l, name_of(channel_names_[l]));
      }
      break;
    case message_code::set_channel_name:
      if (!payload.empty() && payload[0] <= 63) channel_updates_.answer(payload[0]);
      break;
    case message_code::network_list:
      if (!payload.empty()) {
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
      break;
    case message_code::config_query:
      if (on_config_report_)
        on_config_report_(std::string_view(reinterpret_cast<const char*>(payload.data()), payload.size()));
      break;
    case message_code::config_command:
      if (on_config_result_)
        on_config_result_(std::string_view(reinterpret_cast<const char*>(payload.data()), payload.size()));
      break;
    case message_code::status:
      if (payload.size() >= 2) {
        const std::size_t first = payload[0];
        const std::size_t count = std::min<std::size_t>(payload[1], payload.size() - 2);
        for (std::size_t i = 0; i < count && first + i <= 30; ++i) status_[first + i] = payload[2 + i];
      }
      break;
    case message_code::scene_values_read:
      if (payload.size() >= 4 && payload[0] == status_[status_transfer_scene] &&
          get_be16(&payload[2]) == expected_read_first_) {
        const std::size_t n = std::min<std::size_t>(payload[1], (payload.size() - 4) / 2);
        for (std::size_t i = 0; i < n; ++i) {
          const std::size_t id = expected_read_first_ + i;
          if (id < param_count) image_->values[id] = get_be16(&payload[4 + 2 * i]);
        }
        transfer_.values_read = true;
      }
      break;
    case message_code::scene_values_write:
      if (payload.size() >= 4 && payload[0] == status_[status_transfer_scene] &&
          get_be16(&payload[2]) == expected_write_first_)
        transfer_.values_written = true;
      break;
    case message_code::scene_write_finish:
      if (!payload.empty() && payload[0] == status_[status_transfer_scene]) transfer_.write_finished = true;
      break;
    case message_code::scene_text_read:
      if (d >= 7 && payload.size() >= 2 && payload[0] == status_[status_transfer_scene] &&
          payload[1] < channel_name_count && payload[1] == status_[status_transfer_text]) {
        store_name(image_->texts[payload[1]], payload.subspan(2));
        transfer_.text_read = true;
      }
      break;
    case message_code::scene_text_write:
      if (payload.size() >= 2 && payload[0] == status_[status_transfer_scene] && payload[1] == expected_text_write_)
        transfer_.text_written = true;
      break;
    case message_code::control_events:
      send_frame(make_frame(code, payload));
      for (const id_value p : pair_list(payload)) {
        if (p.id == event_key) {
          ui_.console_key(p.value);
        } else if (p.id >= event_first_fader && p.id < event_first_encoder) {
          surface_.fader_moved(p.id - event_first_fader, p.value, locked_);
        } else if (p.id >= event_first_encoder && p.id < event_first_encoder + surface_encoder_count) {
          if (!locked_) ui_.console_encoder(p.id - event_first_encoder, static_cast<int16_t>(p.value));
        }
      }
      break;
    case message_code::control_outputs:
      for (const id_value p : pair_list(payload)) surface_.output_applied(p.id, p.value);
      break;
    case message_code::scene_name_read:
      if (d >= 6 && payload[0] == status_[status_transfer_scene]) {
        store_name(image_->name, payload.subspan(1));
        transfer_.name_read = true;
      }
      break;
    case message_code::scene_name_write:
      if (!payload.empty() && payload[0] == status_[status_transfer_scene]) transfer_.name_written = true;
      break;
    case message_code::media_report:
      if (on_media_report_) on_media_report_(frame);
      break;
    default:
      break;
  }
}

void sync_engine::notify_values(std::span<const uint8_t> frame, int pushed) {
  if (frame.size() < 9) return;
  for (const id_value p : pair_list(frame_payload(frame))) {
    if (p.id == end_marker_id) {
      status_[status_end_marker_seen] = 1;
    } else {
      if (is_meter_id(p.id) || p.id > last_param_id) continue;
      if (p.id == lock_state_id) lock_changed(p.value != 0);
    }
    if (pushed && p.id == scene_change_marker_id) store_.resync_all();
    ui_.on_param(p.id, p.value, pushed);
    store_.tell_group_bar(p.id);
  }
}

void sync_engine::lock_changed(bool locked) {
  if (locked == locked_) return;
  locked_ = locked;
  if (!locked) {
    surface_.lights_full_refresh(last_now_, ui_.surface_state(), locked_);
    surface_.faders_full_refresh_if_ready(options_.surface_takeover, end_marker_seen());
  }
  ui_.console_lock_changed(locked);
}

void sync_engine::identification(std::span<const uint8_t> payload) {
  if (payload.size() < 4) return;
  identified_product_ = get_be16(&payload[1]);
  identified_model_ = payload[3];
  if (identified_product_ == identity().product && identified_model_ == identity().model) return;
  incompatible_ = true;
  options_.link_mode = link_incompatible;
  options_.heartbeat_enabled = false;
  options_.resync_once_only = true;
  options_.online_lock_poll_disabled = true;
  close_link();
  if (on_incompatible_) on_incompatible_();
  ui_.show_incompatible_overlay(translate_text(incompatible_console_text));
}

// --- supervision ------------------------------------------------------------------------

void sync_engine::supervise(uint32_t now) {
  if (!options_.online_lock_poll_disabled && !options_.local_device && options_.heartbeat_enabled)
    store_.request(online_lock_poll_id);
  if (!ui_.connect_dialog_open() && options_.heartbeat_enabled)
    store_.request_range(first_status_word_id, last_status_word_id);

  if (alive_ && now - last_values_ >= alive_window_ms) alive_ = false;
  if (was_alive_ && !alive_) went_down();
  if (!was_alive_ && alive_) came_up(now);
  was_alive_ = alive_;

  if (!alive_ && (options_.link_mode == link_tcp || options_.link_mode == link_none)) {
    if (countdown_ != 0) --countdown_;
    if (countdown_ == 0) {
      countdown_ = reconnect_countdown;
      close_link();
      open_link();
    }
  }
}

void sync_engine::went_down() {
  ui_.link_state_changed(false);
  if (options_.link_mode == link_tcp || options_.link_mode == link_none) {
    close_link();
    countdown_ = reconnect_countdown;
  }
}

void sync_engine::came_up(uint32_t now) {
  ui_.link_state_changed(true);
  send_identify();
  send_config_query("LAYER=");
  if (options_.resync_once_only && resync_done_) return;
  resync_scheduled_ = true;
  resync_due_ = now + resync_delay_ms;
}

}  // namespace vorante
