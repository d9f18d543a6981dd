// The message set of the link and a builder for every message either side sends. The
// program uses the "out" builders; the console simulator and the tests use the "in" ones.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "app/protocol/frame.h"

namespace vorante {

enum class message_code : uint8_t {
  identify = 0,
  call_scene = 1,
  write_params = 3,
  scene_name = 4,
  read_params = 6,
  set_scene_name = 16,
  save_scene = 17,
  param_change = 37,
  channel_name = 46,
  set_channel_name = 47,
  network_list = 56,
  config_query = 57,
  config_command = 58,
  status = 70,
  scene_values_read = 90,
  scene_values_write = 91,
  scene_write_finish = 92,
  scene_text_read = 93,
  scene_text_write = 94,
  control_events = 96,
  control_outputs = 99,
  scene_name_read = 106,
  scene_name_write = 107,
  media_report = 113,
  media_command = 114,
};

constexpr uint8_t code_byte(message_code c) { return static_cast<uint8_t>(c); }

inline constexpr std::array<message_code, 25> known_message_codes = {
    message_code::identify,           message_code::call_scene,
    message_code::write_params,       message_code::scene_name,
    message_code::read_params,        message_code::set_scene_name,
    message_code::save_scene,         message_code::param_change,
    message_code::channel_name,       message_code::set_channel_name,
    message_code::network_list,       message_code::config_query,
    message_code::config_command,     message_code::status,
    message_code::scene_values_read,  message_code::scene_values_write,
    message_code::scene_write_finish, message_code::scene_text_read,
    message_code::scene_text_write,   message_code::control_events,
    message_code::control_outputs,    message_code::scene_name_read,
    message_code::scene_name_write,   message_code::media_report,
    message_code::media_command,
};

// The block-wise reads and writes of a whole scene's values, texts and names.
constexpr bool is_scene_transfer(message_code c) {
  switch (c) {
    case message_code::scene_values_read:
    case message_code::scene_values_write:
    case message_code::scene_write_finish:
    case message_code::scene_text_read:
    case message_code::scene_text_write:
    case message_code::scene_name_read:
    case message_code::scene_name_write:
      return true;
    default:
      return false;
  }
}

constexpr bool is_known_code(uint8_t code) {
  for (message_code c : known_message_codes)
    if (code_byte(c) == code) return true;
  return false;
}

// Names and texts travel without a terminator; the program sends at most this many bytes.
constexpr std::size_t max_name_bytes = 31;
constexpr std::size_t max_config_command_bytes = 249;
constexpr std::size_t status_byte_count = 31;
// Scene values per transfer message: what a frame can carry after the 4-byte head.
constexpr std::size_t max_scene_values = (max_payload_size - 4) / 2;

// A built frame; length 0 means the message could not be built and must not be sent.
struct frame_bytes {
  std::array<uint8_t, max_frame_size> bytes{};
  std::size_t length = 0;

  const uint8_t* data() const { return bytes.data(); }
  std::size_t size() const { return length; }
  bool empty() const { return length == 0; }
  std::span<const uint8_t> view() const { return {bytes.data(), length}; }
};

// Any code with a raw payload; empty when the payload does not fit.
frame_bytes make_frame(uint8_t code, std::span<const uint8_t> payload);

// ---- Application to console --------------------------------------------------------

frame_bytes make_identify();                               // 80 04 00 00 25 68
frame_bytes make_call_scene(uint8_t scene);
frame_bytes make_save_scene(uint8_t scene);
// 1..60 pairs or IDs; empty frame otherwise.
frame_bytes make_write_params(std::span<const id_value> pairs);
frame_bytes make_read_params(std::span<const uint16_t> ids);
frame_bytes make_scene_name_request(uint8_t scene);
// Names are cut to max_name_bytes.
frame_bytes make_set_scene_name(uint8_t scene, std::string_view name);
frame_bytes make_channel_name_request(uint8_t channel);
frame_bytes make_set_channel_name(uint8_t channel, std::string_view name);
frame_bytes make_config_query(std::string_view text);    // empty when it does not fit
frame_bytes make_config_command(std::string_view text);  // empty above 249 bytes
frame_bytes make_status_request();                       // bytes 0..30
frame_bytes make_network_list_request();                 // 80 03 38 0A 71
frame_bytes make_scene_values_read(uint8_t scene, uint8_t count, uint16_t first_id);
// Values of IDs that are no parameter (param_count and above) go out as 0. Empty above
// max_scene_values.
frame_bytes make_scene_values_write(uint8_t scene, uint16_t first_id,
                                    std::span<const uint16_t> values);
frame_bytes make_scene_write_finish(uint8_t scene);
frame_bytes make_scene_text_read(uint8_t scene, uint8_t index);
frame_bytes make_scene_text_write(uint8_t scene, uint8_t index, std::string_view text);
frame_bytes make_scene_name_read(uint8_t scene);
frame_bytes make_scene_name_write(uint8_t scene, std::string_view name);
frame_bytes make_control_outputs(std::span<const id_value> pairs);
frame_bytes make_media_command(std::span<const uint8_t> payload);

// Read parameters for ID 0: looks for a local parameter service. 80 05 06 00 00 13 C5.
frame_bytes make_presence_probe();
// What the serial side answers to the probe: value 0 for ID 0. 80 07 06 00 00 00 00 7F 13.
frame_bytes make_probe_answer();
bool is_presence_probe(std::span<const uint8_t> frame);

// ---- Console to application --------------------------------------------------------
// Texts are not cut here, so a peer can send what the receiver has to cope with.

// lead byte, product BE16, model, then the device name and a zero byte.
frame_bytes make_identification(uint8_t lead, uint16_t product, uint8_t model,
                                std::string_view name);
frame_bytes make_call_scene_done(uint8_t scene);
// 0..60 pairs.
frame_bytes make_write_confirmation(std::span<const id_value> pairs);
frame_bytes make_scene_name(uint8_t scene, std::string_view name);
frame_bytes make_param_values(std::span<const id_value> pairs);
frame_bytes make_set_scene_name_done(uint8_t scene);
frame_bytes make_save_scene_done(uint8_t scene);
frame_bytes make_param_change(std::span<const id_value> pairs);
frame_bytes make_channel_name(uint8_t channel, std::string_view name);
frame_bytes make_set_channel_name_done(uint8_t channel);
// count, then the zero-terminated texts.
frame_bytes make_network_list(std::span<const std::string_view> texts);
frame_bytes make_config_report(std::string_view text);
frame_bytes make_config_result(std::string_view text);
frame_bytes make_status(uint8_t first_index, std::span<const uint8_t> status_bytes);
frame_bytes make_scene_values(uint8_t scene, uint16_t first_id, std::span<const uint16_t> values);
frame_bytes make_scene_values_written(uint8_t scene, uint8_t count, uint16_t first_id);
frame_bytes make_scene_write_finished(uint8_t scene);
frame_bytes make_scene_text(uint8_t scene, uint8_t index, std::string_view text);
frame_bytes make_scene_text_written(uint8_t scene, uint8_t index);
frame_bytes make_control_events(std::span<const id_value> pairs);
frame_bytes make_control_outputs_applied(std::span<const id_value> pairs);
frame_bytes make_scene_name_reply(uint8_t scene, std::string_view name);
frame_bytes make_scene_name_written(uint8_t scene);
frame_bytes make_media_report(std::span<const uint8_t> payload);

}  // namespace vorante
