#include "app/protocol/engine.h"

#include "app/core/id_names.h"
#include "app/core/log.h"
#include "app/protocol/messages.h"
#include "app/protocol/ticks.h"

namespace vorante {

namespace {

// Whether a send by the tick rule, leaving `state_after` behind, repeats an earlier one:
// the first send leaves one attempt fewer than queued, and the last send is never the first.
bool is_resend(uint8_t state_after, bool last) {
  return last || retry::attempts_left(state_after) < retry::attempts_when_queued - 1;
}

bool holds_status_word(std::span<const uint8_t> payload) {
  for (const id_value p : pair_list(payload))
    if (p.id >= first_status_word_id && p.id <= last_status_word_id) return true;
  return false;
}

}  // namespace

sync_engine::sync_engine(param_store& store, const runtime_options& options, ui_port& ui)
    : store_(store),
      options_(options),
      ui_(ui),
      verdicts_(store),
      surface_(store, [this](std::span<const id_value> pairs) { device_.send(make_control_outputs(pairs)); }),
      supervision_(store, options, ui, device_),
      messages_(store, options, ui, surface_, device_, verdicts_, last_now_),
      names_(ui),
      scenes_(store),
      transfer_(device_) {
  device_.set_stats(&stats_);
  verdicts_.set_stats(&stats_, &given_up_notice_);
  names_.attach(store.journal());
}

sync_engine::~sync_engine() = default;

void sync_engine::open_link() {
  if (supervision_.incompatible()) {
    device_.close();
    return;
  }
  device_.open();
}

void sync_engine::wake() {
  if (wake_) wake_();
}

void sync_engine::read_restarted() {
  stats_.read_started(last_now_);
  messages_.forget_end_marker();
  read_finished_ = false;
}

// --- the step ---------------------------------------------------------------------------

void sync_engine::step(uint32_t now) {
  last_now_ = now;
  // A read asked for before the first step starts with it: there was no clock before.
  if (!stepped_) {
    stepped_ = true;
    if (stats_.full_read_running) stats_.full_read_started = now;
  }
  supervision_.step(now);
  if (!enabled_) return;

  drain(now);
  edge_notifications();
  flush_reads();
  if (!flushed_once_ || due(now, last_flush_ + pace_period_ms)) {
    flushed_once_ = true;
    last_flush_ = now;
    flush_writes(now);
    surface_.flush_faders();
    scenes_.flush(device_);
    names_.flush(device_);
  }
  if (surface_.incremental_due(now)) surface_.lights_incremental_refresh(now, ui_.surface_state(), console_locked());
  surface_.step(now);
  verdicts_.step(now);
  given_up_notice_.step(now, ui_);
  messages_.media_step(now);
}

void sync_engine::drain(uint32_t now) {
  std::size_t moved = device_.poll(ring_, now);
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
    if (messages_.end_marker_seen() && !read_finished_) {
      read_finished_ = true;
      read_finished_actions();
    } else if (!messages_.end_marker_seen()) {
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
        ++stats_.read_resends;
        ids[n++] = lock_state_id;
        break;
      case retry::tick_result::send:
        if (is_resend(lock_state, false)) ++stats_.read_resends;
        ids[n++] = lock_state_id;
        break;
      default:
        break;
    }
  }
  set.pass(static_cast<int>(max_list_entries), [&](unsigned id, bool last) {
    if (is_resend(set.state(id), last)) ++stats_.read_resends;
    if (n < ids.size()) ids[n++] = static_cast<uint16_t>(id);
  }, counted, lock_state_id);
  if (n > 0) device_.send(make_read_params({ids.data(), n}));
}

void sync_engine::flush_writes(uint32_t now) {
  auto& set = store_.dirty();
  if (!set.pending()) return;
  std::array<id_value, max_list_entries> pairs{};
  std::size_t n = 0;
  set.pass(static_cast<int>(max_list_entries), [&](unsigned id, bool last) {
    const id_value p{static_cast<uint16_t>(id), store_.get(id)};
    if (n < pairs.size()) pairs[n++] = p;
    if (is_resend(set.state(id), last)) ++stats_.write_resends;
    if (last) verdicts_.given_up(p.id, p.value, now);
  });
  if (n == 0) return;
  if (options_.print_writes_by_name) {
    log_print("##");
    for (std::size_t i = 0; i < n; ++i)
      log_print("  %s(%u) --> hex: %04X    dec: %u\n", id_name(pairs[i].id), pairs[i].id, pairs[i].value,
                pairs[i].value);
  }
  device_.send(make_write_params({pairs.data(), n}));
}

void sync_engine::read_finished_actions() {
  stats_.read_finished(last_now_);
  log_print("read finished!\n");
  surface_.lights_full_refresh(last_now_, ui_.surface_state(), console_locked());
  surface_.faders_full_refresh_if_ready(options_.surface_takeover, messages_.end_marker_seen());
  device_.send_config_query("DEVNAME=");
  device_.send_config_query("CMD=SCENEKEYLOCK\nSCENEKEYLOCK=\n");
  names_.request_channel_names();
}

// --- receiving --------------------------------------------------------------------------

void sync_engine::handle_frame(std::span<const uint8_t> frame, uint32_t now) {
  if (frame.size() < min_frame_size) return;
  ++stats_.frames_received;
  const auto code = static_cast<message_code>(frame_code(frame));
  const std::span<const uint8_t> payload = frame_payload(frame);

  switch (code) {
    case message_code::read_params:
      supervision_.heard(now);
      if (supervision_.heartbeat_waiting() && holds_status_word(payload))
        stats_.add_rtt(supervision_.heartbeat_answered(now));
      // A values reply may let the next step go at once, unless writes or a scene
      // request still wait for their pace.
      if (messages_.on_values(frame) && !store_.dirty().pending() && !scenes_.busy()) wake();
      break;
    case message_code::param_change:
      messages_.on_change(frame);
      break;
    case message_code::write_params:
      messages_.on_write_confirmation(payload);
      break;
    case message_code::identify:
      supervision_.identification(payload);
      break;
    case message_code::call_scene:
      scenes_.on_call_reply(payload);
      break;
    case message_code::save_scene:
      scenes_.on_save_reply();
      break;
    case message_code::scene_name:
      names_.on_scene_name(payload);
      break;
    case message_code::set_scene_name:
      names_.on_scene_name_set(payload);
      break;
    case message_code::channel_name:
      names_.on_channel_name(payload);
      break;
    case message_code::set_channel_name:
      names_.on_channel_name_set(payload);
      break;
    case message_code::status:
      messages_.on_status(payload);
      break;
    case message_code::network_list:
      messages_.on_network_list(payload);
      break;
    case message_code::config_query:
      messages_.on_config_report(payload);
      break;
    case message_code::config_command:
      messages_.on_config_result(payload);
      break;
    case message_code::control_events:
      messages_.on_control_events(frame);
      break;
    case message_code::control_outputs:
      messages_.on_control_outputs(payload);
      break;
    case message_code::media_report:
      messages_.on_media_report(frame);
      break;
    default:
      if (is_scene_transfer(code)) transfer_.handle(code, payload);
      break;
  }
}

}  // namespace vorante
