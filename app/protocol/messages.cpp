#include "app/protocol/messages.h"

#include <algorithm>

#include "app/params/ids.h"

namespace vorante {

namespace {

// Fills the payload straight into the frame's own buffer, so finishing needs no copy. Any
// write past the payload limit spoils the frame and it comes out empty.
class payload_writer {
 public:
  void byte(uint8_t b) {
    if (!room(1)) return;
    frame_.bytes[frame_header_size + used_++] = b;
  }
  void be16(uint16_t v) {
    if (!room(2)) return;
    put_be16(frame_.bytes.data() + frame_header_size + used_, v);
    used_ += 2;
  }
  void bytes(const uint8_t* p, std::size_t n) {
    if (!room(n)) return;
    std::copy_n(p, n, frame_.bytes.data() + frame_header_size + used_);
    used_ += n;
  }
  void text(std::string_view s) { bytes(reinterpret_cast<const uint8_t*>(s.data()), s.size()); }

  frame_bytes finish(uint8_t code) {
    if (!ok_) return {};
    uint8_t* buf = frame_.bytes.data();
    frame_.length = build_frame(buf, frame_.bytes.size(), code, buf + frame_header_size, used_);
    return frame_;
  }
  frame_bytes finish(message_code code) { return finish(code_byte(code)); }

 private:
  bool room(std::size_t n) {
    if (ok_ && n <= max_payload_size - used_) return true;
    ok_ = false;
    return false;
  }

  frame_bytes frame_{};
  std::size_t used_ = 0;
  bool ok_ = true;
};

std::string_view cut_name(std::string_view name) { return name.substr(0, std::min(name.size(), max_name_bytes)); }

frame_bytes one_byte(message_code code, uint8_t b) {
  payload_writer w;
  w.byte(b);
  return w.finish(code);
}

frame_bytes two_bytes(message_code code, uint8_t a, uint8_t b) {
  payload_writer w;
  w.byte(a);
  w.byte(b);
  return w.finish(code);
}

frame_bytes number_and_text(message_code code, uint8_t number, std::string_view text) {
  payload_writer w;
  w.byte(number);
  w.text(text);
  return w.finish(code);
}

frame_bytes two_bytes_and_text(message_code code, uint8_t a, uint8_t b, std::string_view text) {
  payload_writer w;
  w.byte(a);
  w.byte(b);
  w.text(text);
  return w.finish(code);
}

// A scene values request or its answer: the scene, the value count and the first ID.
frame_bytes scene_range(message_code code, uint8_t scene, uint8_t count, uint16_t first_id) {
  payload_writer w;
  w.byte(scene);
  w.byte(count);
  w.be16(first_id);
  return w.finish(code);
}

frame_bytes pairs(message_code code, std::span<const id_value> list, std::size_t min_entries) {
  if (list.size() < min_entries || list.size() > max_list_entries) return {};
  payload_writer w;
  for (const id_value& p : list) {
    w.be16(p.id);
    w.be16(p.value);
  }
  return w.finish(code);
}

frame_bytes plain_text(message_code code, std::string_view text) {
  payload_writer w;
  w.text(text);
  return w.finish(code);
}

frame_bytes raw(message_code code, std::span<const uint8_t> payload) {
  payload_writer w;
  w.bytes(payload.data(), payload.size());
  return w.finish(code);
}

frame_bytes scene_values(message_code code, uint8_t scene, uint16_t first_id,
                         std::span<const uint16_t> values, bool zero_unused) {
  if (values.size() > max_scene_values) return {};
  payload_writer w;
  w.byte(scene);
  w.byte(static_cast<uint8_t>(values.size()));
  w.be16(first_id);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const bool unused = zero_unused && first_id + i >= static_cast<std::size_t>(param_count);
    w.be16(unused ? 0 : values[i]);
  }
  return w.finish(code);
}

}  // namespace

frame_bytes make_frame(uint8_t code, std::span<const uint8_t> payload) {
  payload_writer w;
  w.bytes(payload.data(), payload.size());
  return w.finish(code);
}

// ---- Application to console --------------------------------------------------------

frame_bytes make_identify() { return one_byte(message_code::identify, 0x00); }
frame_bytes make_call_scene(uint8_t scene) { return one_byte(message_code::call_scene, scene); }
frame_bytes make_save_scene(uint8_t scene) { return one_byte(message_code::save_scene, scene); }

frame_bytes make_write_params(std::span<const id_value> list) {
  return pairs(message_code::write_params, list, 1);
}

frame_bytes make_read_params(std::span<const uint16_t> ids) {
  if (ids.empty() || ids.size() > max_list_entries) return {};
  payload_writer w;
  for (uint16_t id : ids) w.be16(id);
  return w.finish(message_code::read_params);
}

frame_bytes make_scene_name_request(uint8_t scene) { return one_byte(message_code::scene_name, scene); }

frame_bytes make_set_scene_name(uint8_t scene, std::string_view name) {
  return number_and_text(message_code::set_scene_name, scene, cut_name(name));
}

frame_bytes make_channel_name_request(uint8_t channel) {
  return one_byte(message_code::channel_name, channel);
}

frame_bytes make_set_channel_name(uint8_t channel, std::string_view name) {
  return number_and_text(message_code::set_channel_name, channel, cut_name(name));
}

frame_bytes make_config_query(std::string_view text) { return plain_text(message_code::config_query, text); }

frame_bytes make_config_command(std::string_view text) {
  if (text.size() > max_config_command_bytes) return {};
  return plain_text(message_code::config_command, text);
}

frame_bytes make_status_request() {
  return two_bytes(message_code::status, 0x00, static_cast<uint8_t>(status_byte_count));
}

frame_bytes make_network_list_request() { return make_frame(code_byte(message_code::network_list), {}); }

frame_bytes make_scene_values_read(uint8_t scene, uint8_t count, uint16_t first_id) {
  return scene_range(message_code::scene_values_read, scene, count, first_id);
}

frame_bytes make_scene_values_write(uint8_t scene, uint16_t first_id, std::span<const uint16_t> values) {
  return scene_values(message_code::scene_values_write, scene, first_id, values, true);
}

frame_bytes make_scene_write_finish(uint8_t scene) { return one_byte(message_code::scene_write_finish, scene); }

frame_bytes make_scene_text_read(uint8_t scene, uint8_t index) {
  return two_bytes(message_code::scene_text_read, scene, index);
}

frame_bytes make_scene_text_write(uint8_t scene, uint8_t index, std::string_view text) {
  return two_bytes_and_text(message_code::scene_text_write, scene, index, cut_name(text));
}

frame_bytes make_scene_name_read(uint8_t scene) { return one_byte(message_code::scene_name_read, scene); }

frame_bytes make_scene_name_write(uint8_t scene, std::string_view name) {
  return number_and_text(message_code::scene_name_write, scene, cut_name(name));
}

frame_bytes make_control_outputs(std::span<const id_value> list) {
  return pairs(message_code::control_outputs, list, 1);
}

frame_bytes make_media_command(std::span<const uint8_t> payload) {
  return raw(message_code::media_command, payload);
}

frame_bytes make_presence_probe() {
  const uint16_t id = 0;
  return make_read_params({&id, 1});
}

frame_bytes make_probe_answer() {
  const id_value pair{0, 0};
  return make_param_values({&pair, 1});
}

bool is_presence_probe(std::span<const uint8_t> frame) {
  const frame_bytes probe = make_presence_probe();
  return std::ranges::equal(frame, probe.view());
}

// ---- Console to application --------------------------------------------------------

frame_bytes make_identification(uint8_t lead, uint16_t product, uint8_t model, std::string_view name) {
  payload_writer w;
  w.byte(lead);
  w.be16(product);
  w.byte(model);
  w.text(name);
  w.byte(0);
  return w.finish(message_code::identify);
}

frame_bytes make_call_scene_done(uint8_t scene) { return one_byte(message_code::call_scene, scene); }

frame_bytes make_write_confirmation(std::span<const id_value> list) {
  return pairs(message_code::write_params, list, 0);
}

frame_bytes make_scene_name(uint8_t scene, std::string_view name) {
  return number_and_text(message_code::scene_name, scene, name);
}

frame_bytes make_param_values(std::span<const id_value> list) {
  return pairs(message_code::read_params, list, 0);
}

frame_bytes make_set_scene_name_done(uint8_t scene) { return one_byte(message_code::set_scene_name, scene); }
frame_bytes make_save_scene_done(uint8_t scene) { return one_byte(message_code::save_scene, scene); }

frame_bytes make_param_change(std::span<const id_value> list) {
  return pairs(message_code::param_change, list, 0);
}

frame_bytes make_channel_name(uint8_t channel, std::string_view name) {
  return number_and_text(message_code::channel_name, channel, name);
}

frame_bytes make_set_channel_name_done(uint8_t channel) {
  return one_byte(message_code::set_channel_name, channel);
}

frame_bytes make_network_list(std::span<const std::string_view> texts) {
  if (texts.size() > 0xFF) return {};
  payload_writer w;
  w.byte(static_cast<uint8_t>(texts.size()));
  for (std::string_view t : texts) {
    w.text(t);
    w.byte(0);
  }
  return w.finish(message_code::network_list);
}

frame_bytes make_config_report(std::string_view text) { return plain_text(message_code::config_query, text); }
frame_bytes make_config_result(std::string_view text) { return plain_text(message_code::config_command, text); }

frame_bytes make_status(uint8_t first_index, std::span<const uint8_t> status_bytes) {
  if (status_bytes.size() > 0xFF) return {};
  payload_writer w;
  w.byte(first_index);
  w.byte(static_cast<uint8_t>(status_bytes.size()));
  w.bytes(status_bytes.data(), status_bytes.size());
  return w.finish(message_code::status);
}

frame_bytes make_scene_values(uint8_t scene, uint16_t first_id, std::span<const uint16_t> values) {
  return scene_values(message_code::scene_values_read, scene, first_id, values, false);
}

frame_bytes make_scene_values_written(uint8_t scene, uint8_t count, uint16_t first_id) {
  return scene_range(message_code::scene_values_write, scene, count, first_id);
}

frame_bytes make_scene_write_finished(uint8_t scene) { return one_byte(message_code::scene_write_finish, scene); }

frame_bytes make_scene_text(uint8_t scene, uint8_t index, std::string_view text) {
  return two_bytes_and_text(message_code::scene_text_read, scene, index, text);
}

frame_bytes make_scene_text_written(uint8_t scene, uint8_t index) {
  return two_bytes(message_code::scene_text_write, scene, index);
}

frame_bytes make_control_events(std::span<const id_value> list) {
  return pairs(message_code::control_events, list, 0);
}

frame_bytes make_control_outputs_applied(std::span<const id_value> list) {
  return pairs(message_code::control_outputs, list, 0);
}

frame_bytes make_scene_name_reply(uint8_t scene, std::string_view name) {
  return number_and_text(message_code::scene_name_read, scene, name);
}

frame_bytes make_scene_name_written(uint8_t scene) { return one_byte(message_code::scene_name_write, scene); }

frame_bytes make_media_report(std::span<const uint8_t> payload) {
  return raw(message_code::media_report, payload);
}

}  // namespace vorante
