#include "tools/sim/console_model.h"

#include <algorithm>
#include <cstdio>

#include "app/params/convert.h"
#include "app/params/defaults.h"
#include "app/protocol/surface.h"

namespace vorante::sim {

namespace {

// The factory-reset request: this value written to this ID.
constexpr uint16_t factory_reset_id = 56;
constexpr uint16_t factory_reset_value = 0x55AA;

// Faders and encoders of the surface; the control event and output IDs are the surface's own.
constexpr int surface_channels = 32;
constexpr uint16_t output_last_light = output_first_light_word + surface_light_words - 1;

// Solo levels are left alone by the varied image: a console that starts with channels
// soloed is not plausible.
bool is_solo_code(int code) {
  return code == code_input_solo_l || code == code_input_solo_r || code == code_bus_solo_l || code == code_bus_solo_r ||
         code == code_fx_solo_l || code == code_fx_solo_r || code == code_dca_solo;
}

bool is_on_code(int kind, int code) {
  return (kind == kind_input && code == code_input_on) || (kind == kind_bus && code == code_bus_on) ||
         (kind == kind_fx && code == code_fx_on);
}

uint16_t random_value(std::mt19937& rng, const param_info& p, uint16_t current) {
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  if (is_on_code(p.kind, p.code)) return pick(0, 9) == 0 ? 0 : 1;
  using enum value_type;
  switch (p.value_type) {
    case on_off: return static_cast<uint16_t>(pick(0, 1));
    case pan: return static_cast<uint16_t>(100 + pick(-60, 60));
    case fader_level: {
      const int level = pick(0, 9) == 0 ? 0 : pick(800, 1250);
      return static_cast<uint16_t>((current & level_flags) | level);
    }
    case send_level:
      if (is_solo_code(p.code)) return current;
      return static_cast<uint16_t>((current & level_flags) | pick(700, 1200));
    case peq_gain: return static_cast<uint16_t>(500 + 5 * pick(-18, 18));
    case input_gain: case input_delay: case gate_threshold: case gate_attack: case gate_hold:
    case compressor_threshold: case compressor_attack: case compressor_ratio: case compressor_release:
    case makeup_gain: case output_delay: {
      // Anywhere on the parameter's own scale, on a step.
      const value_type_info& row = value_type_row(p.value_type);
      if (row.scale == 0 || row.step <= 0) return current;
      const int steps = (row.max - row.min) / row.step;
      const int position = row.min + row.step * pick(0, steps);
      return to_raw(p.value_type, static_cast<double>(position) / row.scale);
    }
    default: return current;
  }
}

}  // namespace

std::string default_scene_name(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "Scene%d", n);
  return text;
}

bool is_scene_param(unsigned id) {
  if (!is_valid_id(id)) return false;
  if (id <= online_lock_poll_id || is_meter_id(id)) return false;
  if (id == scene_change_marker_id || id == end_marker_id || id == factory_reset_id) return false;
  return id < first_status_word_id || id > last_status_word_id;
}

void build_start_image(std::array<uint16_t, param_count>& image, bool random, uint32_t seed) {
  build_defaults(image.data(), image.size());
  if (!random) return;
  std::mt19937 rng(seed);
  for (unsigned id = 0; id < image.size(); ++id) {
    const param_info p = info_of(id);
    if (p.kind == kind_global || p.kind > kind_phantom_group) continue;
    image[id] = random_value(rng, p, image[id]);
  }
}

console_model::console_model(const console_settings& settings, uint32_t now)
    : settings_(settings),
      activity_(settings.seed, settings.meters, settings.activity_rate, now),
      media_(media_disk::demo(), now) {
  build_start_image(initial_, settings.random_values, settings.random_seed);
  for (std::size_t i = 0; i < media_identity.size(); ++i) initial_[media_client_id + i] = media_identity[i];
  values_ = initial_;
  // With meters the MAIN level reads as a live one from the first request on.
  if (settings.meters) values_[main_level_percent_id] = activity_.main_levels(now).value;
  for (int n = 1; n <= scene_memories; ++n) {
    scene_memory& s = scenes_[static_cast<std::size_t>(n - 1)];
    // With a varied image every scene differs, so a recall shows.
    if (settings.random_values) {
      build_start_image(s.values, true, settings.random_seed + static_cast<uint32_t>(n));
      for (std::size_t i = 0; i < media_identity.size(); ++i) s.values[media_client_id + i] = media_identity[i];
    } else {
      s.values = initial_;
    }
    s.name = default_scene_name(n);
  }
  config_.device_name = settings.name.substr(0, max_name_bytes);
  config_.password = settings.password;
  config_.network = default_network();
  pending_ids_.reserve(param_count);
}

void console_model::replace_disk(media_disk disk, uint32_t now) { media_ = media_module(std::move(disk), now); }

std::string_view console_model::channel_name(int logical) const {
  if (logical < 0 || logical >= channel_names) return {};
  return channel_names_[static_cast<std::size_t>(logical)];
}

frame_list console_model::handle(std::span<const uint8_t> frame, uint32_t now) {
  frame_list out;
  handle(frame, now, out);
  return out;
}

frame_list console_model::tick(uint32_t now) {
  frame_list out;
  tick(now, out);
  return out;
}

void console_model::handle(std::span<const uint8_t> frame, uint32_t now, frame_list& out) {
  // The server hands over checked frames; a frame whose length byte disagrees with its
  // size is still refused here rather than trusted.
  if (frame.size() < min_frame_size || frame[0] != frame_start || static_cast<std::size_t>(frame[1]) + frame_crc_size != frame.size()) {
    ++stats_.frames_ignored;
    return;
  }
  ++stats_.frames_handled;
  const std::span<const uint8_t> payload = frame_payload(frame);
  const auto text = [&] { return std::string_view(reinterpret_cast<const char*>(payload.data()), payload.size()); };
  switch (static_cast<message_code>(frame[2])) {
    case message_code::identify: on_identify(out); break;
    case message_code::read_params: on_read(frame, payload, out); break;
    case message_code::write_params: on_write(payload, now, out); break;
    case message_code::param_change: on_change_echo(frame); break;
    case message_code::call_scene: on_call_scene(payload, out); break;
    case message_code::save_scene: on_save_scene(payload, out); break;
    case message_code::scene_name:
    case message_code::set_scene_name: on_scene_name(static_cast<message_code>(frame[2]), payload, out); break;
    case message_code::channel_name:
    case message_code::set_channel_name: on_channel_name(static_cast<message_code>(frame[2]), payload, out); break;
    case message_code::status: on_status(payload, out); break;
    case message_code::network_list: on_network_list(out); break;
    case message_code::config_query: on_config_query(text(), out); break;
    case message_code::config_command: on_config_command(text(), out); break;
    case message_code::control_outputs: on_control_outputs(payload, out); break;
    case message_code::control_events: break;  // the program's echo of our events
    case message_code::media_command: media_.command(payload, now, out); break;
    default:
      if (const auto code = static_cast<message_code>(frame[2]); is_scene_transfer(code))
        on_transfer(code, payload, out);
      else
        ++stats_.frames_ignored;
      break;
  }
}

void console_model::on_identify(frame_list& out) {
  out.push_back(make_identification(0, settings_.product, settings_.model, config_.device_name));
}

void console_model::on_read(std::span<const uint8_t> frame, std::span<const uint8_t> payload, frame_list& out) {
  // The presence probe asks whether a parameter service runs on this machine; only the
  // console's own service says yes.
  if (is_presence_probe(frame) && !settings_.answer_probe) return;
  std::array<id_value, max_list_entries> pairs{};
  std::size_t n = 0;
  for (std::size_t at = 0; at + 2 <= payload.size(); at += 2) {
    const uint16_t id = get_be16(payload.data() + at);
    if (!is_valid_id(id)) continue;
    pairs[n++] = {id, values_[id]};
    if (n == pairs.size()) {
      out.push_back(make_param_values({pairs.data(), n}));
      n = 0;
    }
  }
  if (n > 0) out.push_back(make_param_values({pairs.data(), n}));
}

void console_model::on_write(std::span<const uint8_t> payload, uint32_t, frame_list& out) {
  if (refuse_writes_) return;
  std::array<id_value, max_list_entries> taken{};
  std::size_t n = 0;
  bool reset = false;
  for (const id_value p : pair_list(payload)) {
    if (!is_valid_id(p.id)) continue;
    // The lock follows the password commands only; a plain write must not open it.
    if (p.id == lock_state_id) continue;
    if (p.id == factory_reset_id && p.value == factory_reset_value) reset = true;
    apply_write(p.id, p.value);
    taken[n++] = p;
    if (n == taken.size()) {
      out.push_back(make_write_confirmation({taken.data(), n}));
      n = 0;
    }
  }
  if (n > 0) out.push_back(make_write_confirmation({taken.data(), n}));
  if (reset) {
    factory_reset();
    out.push_back(make_config_result("CMD=RESET\nRESULT=OK"));
  }
}

void console_model::apply_write(uint16_t id, uint16_t value) {
  values_[id] = value;
  if (id == media_claim_id) {
    // The claim of the one client this console serves: it holds the player while claimed.
    const uint16_t holder = value != 0 ? static_cast<uint16_t>(0x8000 | (values_[media_client_id] & 0x7FFF)) : 0;
    change(media_holder_id, holder);
    for (unsigned i = 1; i < media_identity.size(); ++i)
      change(media_holder_id + i, value != 0 ? values_[media_client_id + i] : uint16_t{0});
  }
}

void console_model::on_change_echo(std::span<const uint8_t> frame) {
  for (auto it = awaiting_.begin(); it != awaiting_.end(); ++it) {
    if (std::ranges::equal(it->sent.view(), frame)) {
      awaiting_.erase(it);
      ++stats_.changes_echoed;
      return;
    }
  }
}

void console_model::on_status(std::span<const uint8_t> payload, frame_list& out) {
  if (payload.size() < 2) return;
  const std::size_t first = payload[0];
  if (first >= status_byte_count) return;
  const std::size_t count = std::min<std::size_t>(payload[1], status_byte_count - first);
  // The console's status bytes: nothing the program reads, all quiet.
  const std::array<uint8_t, status_byte_count> status{};
  out.push_back(make_status(static_cast<uint8_t>(first), {status.data() + first, count}));
}

void console_model::on_network_list(frame_list& out) {
  static constexpr std::array<std::string_view, 4> networks = {"StageNet", "FOH-5G", "Backline", "Venue Guest"};
  out.push_back(make_network_list(networks));
}

void console_model::on_control_outputs(std::span<const uint8_t> payload, frame_list& out) {
  std::array<id_value, max_list_entries> applied{};
  std::size_t n = 0;
  for (const id_value p : pair_list(payload)) {
    if (p.id >= output_first_fader && p.id < output_first_fader + surface_channels) {
      fader_outputs_[p.id - output_first_fader] = static_cast<uint16_t>(p.value & level_mask);
      faders_received_ |= 1u << (p.id - output_first_fader);
    } else if (p.id >= output_first_light_word && p.id <= output_last_light) {
      light_words_[p.id - output_first_light_word] = p.value;
    } else {
      continue;
    }
    applied[n++] = p;
    if (n == applied.size()) {
      out.push_back(make_control_outputs_applied({applied.data(), n}));
      n = 0;
    }
  }
  if (n > 0) out.push_back(make_control_outputs_applied({applied.data(), n}));
}

// ---- console-side changes ----------------------------------------------------------------

void console_model::change(unsigned id, uint16_t value, bool force) {
  if (!is_valid_id(id)) return;
  if (values_[id] == value && !force) return;
  values_[id] = value;
  if (!pending_mask_.test(id)) {
    pending_mask_.set(id);
    pending_ids_.push_back(static_cast<uint16_t>(id));
  }
}

bool console_model::console_set(unsigned id, uint16_t value) {
  if (!is_valid_id(id)) return false;
  change(id, value, true);
  return true;
}

void console_model::set_lock(bool locked) { change(lock_state_id, locked ? 1 : 0); }

void console_model::queue_control_event(uint16_t event, uint16_t value) {
  const id_value pair{event, value};
  outbox_.push_back(make_control_events({&pair, 1}));
}

void console_model::press_key(uint16_t code, bool long_press) {
  queue_control_event(event_key, static_cast<uint16_t>(long_press ? (code | 0x8000) : (code & 0x7FFF)));
}

void console_model::move_fader(int fader, uint16_t level) {
  if (fader < 0 || fader >= surface_channels) return;
  queue_control_event(static_cast<uint16_t>(event_first_fader + fader), static_cast<uint16_t>(level & level_mask));
}

void console_model::turn_encoder(int encoder, int16_t steps) {
  if (encoder < 0 || encoder >= surface_channels) return;
  queue_control_event(static_cast<uint16_t>(event_first_encoder + encoder), static_cast<uint16_t>(steps));
}

void console_model::set_peer_present(bool present) { peer_present_ = present; }

void console_model::tick(uint32_t now, frame_list& out) {
  std::vector<id_value> meters = activity_.meters_due(now);
  // The MAIN meters read the output level word as well.
  if (!meters.empty()) meters.push_back(activity_.main_levels(now));
  for (const id_value& m : meters) values_[m.id] = m.value;
  for (const id_value& m : activity_.moves_due(values_, now)) change(m.id, m.value);

  if (!peer_present_) {
    // Nobody to tell: a program that connects later reads everything anyway.
    for (uint16_t id : pending_ids_) pending_mask_.reset(id);
    pending_ids_.clear();
    awaiting_.clear();
    outbox_.clear();
    media_.tick(now, false, out);
    return;
  }
  // Meters are pushed but not resent: the next period carries newer levels anyway.
  if (!meters.empty()) out.push_back(make_param_change(meters));
  flush_changes(now, out);
  resend_changes(now, out);
  for (frame_bytes& f : outbox_) out.push_back(f);
  outbox_.clear();
  media_.tick(now, true, out);
}

void console_model::flush_changes(uint32_t now, frame_list& out) {
  for (std::size_t at = 0; at < pending_ids_.size(); at += max_list_entries) {
    const std::size_t n = std::min(max_list_entries, pending_ids_.size() - at);
    awaiting_change a;
    a.ids.assign(pending_ids_.begin() + static_cast<std::ptrdiff_t>(at), pending_ids_.begin() + static_cast<std::ptrdiff_t>(at + n));
    std::array<id_value, max_list_entries> pairs{};
    for (std::size_t i = 0; i < n; ++i) pairs[i] = {a.ids[i], values_[a.ids[i]]};
    a.sent = make_param_change({pairs.data(), n});
    a.sent_at = now;
    a.sends = 1;
    out.push_back(a.sent);
    awaiting_.push_back(std::move(a));
    if (awaiting_.size() > max_awaiting_changes) {
      awaiting_.pop_front();
      ++stats_.changes_given_up;
    }
  }
  for (uint16_t id : pending_ids_) pending_mask_.reset(id);
  pending_ids_.clear();
}

void console_model::resend_changes(uint32_t now, frame_list& out) {
  for (auto it = awaiting_.begin(); it != awaiting_.end();) {
    if (now - it->sent_at < change_resend_ms) {
      ++it;
      continue;
    }
    if (it->sends >= change_max_sends) {
      it = awaiting_.erase(it);
      ++stats_.changes_given_up;
      continue;
    }
    // Sent again with today's values, so a resend never takes a newer change back.
    std::array<id_value, max_list_entries> pairs{};
    for (std::size_t i = 0; i < it->ids.size(); ++i) pairs[i] = {it->ids[i], values_[it->ids[i]]};
    it->sent = make_param_change({pairs.data(), it->ids.size()});
    it->sent_at = now;
    ++it->sends;
    ++stats_.changes_resent;
    out.push_back(it->sent);
    ++it;
  }
}

}  // namespace vorante::sim
