#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/protocol/messages.h"

namespace vorante {
namespace {

using bytes = std::vector<uint8_t>;

bytes payload_of(const frame_bytes& f) {
  const auto p = frame_payload(f.view());
  return bytes(p.begin(), p.end());
}

bytes text_bytes(std::string_view s) { return bytes(s.begin(), s.end()); }

TEST(messages, fixed_frames_on_the_wire) {
  struct row {
    const char* what;
    frame_bytes f;
    bytes wire;
  } rows[] = {
      {"identify", make_identify(), {0x80, 0x04, 0x00, 0x00, 0x25, 0x68}},
      {"probe", make_presence_probe(), {0x80, 0x05, 0x06, 0x00, 0x00, 0x13, 0xC5}},
      {"probe answer", make_probe_answer(), {0x80, 0x07, 0x06, 0x00, 0x00, 0x00, 0x00, 0x7F, 0x13}},
  };
  for (const row& r : rows) EXPECT_EQ(bytes(r.f.view().begin(), r.f.view().end()), r.wire) << r.what;
  EXPECT_TRUE(is_presence_probe(make_presence_probe().view()));
  EXPECT_FALSE(is_presence_probe(make_probe_answer().view()));
}

// Every builder produces one well-formed frame with its code and the payload layout the
// peer decodes.
TEST(messages, code_and_payload_of_every_message) {
  const id_value two[] = {{3190, 1}, {0x0102, 0xFFFE}};
  const bytes two_wire = {0x0C, 0x76, 0x00, 0x01, 0x01, 0x02, 0xFF, 0xFE};
  const uint16_t ids[] = {3178, 3191};
  const uint16_t values[] = {0x1234, 0xABCD};
  const std::string_view nets[] = {"home", "", "lab"};
  const uint8_t status_bytes[] = {7, 8, 9};
  const uint8_t media[] = {0x01, 0x80, 0x00};

  struct row {
    const char* what;
    frame_bytes f;
    message_code code;
    bytes payload;
  } rows[] = {
      {"call scene", make_call_scene(5), message_code::call_scene, {5}},
      {"save scene", make_save_scene(12), message_code::save_scene, {12}},
      {"write params", make_write_params(two), message_code::write_params, two_wire},
      {"read params", make_read_params(ids), message_code::read_params, {0x0C, 0x6A, 0x0C, 0x77}},
      {"scene name request", make_scene_name_request(16), message_code::scene_name, {16}},
      {"set scene name", make_set_scene_name(3, "Live"), message_code::set_scene_name, {3, 'L', 'i', 'v', 'e'}},
      {"channel name request", make_channel_name_request(59), message_code::channel_name, {59}},
      {"set channel name", make_set_channel_name(7, "Kick"), message_code::set_channel_name, {7, 'K', 'i', 'c', 'k'}},
      {"config query", make_config_query("DEVNAME="), message_code::config_query, text_bytes("DEVNAME=")},
      {"config command", make_config_command("LOCK=ON"), message_code::config_command, text_bytes("LOCK=ON")},
      {"status request", make_status_request(), message_code::status, {0x00, 0x1F}},
      {"scene values read", make_scene_values_read(2, 60, 3480), message_code::scene_values_read,
       {2, 60, 0x0D, 0x98}},
      {"scene values write", make_scene_values_write(2, 60, values), message_code::scene_values_write,
       {2, 2, 0x00, 0x3C, 0x12, 0x34, 0xAB, 0xCD}},
      {"scene write finish", make_scene_write_finish(4), message_code::scene_write_finish, {4}},
      {"scene text read", make_scene_text_read(4, 59), message_code::scene_text_read, {4, 59}},
      {"scene text write", make_scene_text_write(4, 1, "Vox"), message_code::scene_text_write, {4, 1, 'V', 'o', 'x'}},
      {"scene name read", make_scene_name_read(9), message_code::scene_name_read, {9}},
      {"scene name write", make_scene_name_write(9, "A"), message_code::scene_name_write, {9, 'A'}},
      {"control outputs", make_control_outputs(two), message_code::control_outputs, two_wire},
      {"media command", make_media_command(media), message_code::media_command, {0x01, 0x80, 0x00}},
      {"identification", make_identification(0x01, 0xE001, 0x3B, "Stage"), message_code::identify,
       {0x01, 0xE0, 0x01, 0x3B, 'S', 't', 'a', 'g', 'e', 0}},
      {"identification unnamed", make_identification(0, 0xE001, 0x3B, ""), message_code::identify,
       {0, 0xE0, 0x01, 0x3B, 0}},
      {"call scene done", make_call_scene_done(5), message_code::call_scene, {5}},
      {"write confirmation", make_write_confirmation(two), message_code::write_params, two_wire},
      {"scene name", make_scene_name(1, "Scene1"), message_code::scene_name, {1, 'S', 'c', 'e', 'n', 'e', '1'}},
      {"param values", make_param_values(two), message_code::read_params, two_wire},
      {"set scene name done", make_set_scene_name_done(3), message_code::set_scene_name, {3}},
      {"save scene done", make_save_scene_done(12), message_code::save_scene, {12}},
      {"param change", make_param_change(two), message_code::param_change, two_wire},
      {"channel name", make_channel_name(0, "CH1"), message_code::channel_name, {0, 'C', 'H', '1'}},
      {"set channel name done", make_set_channel_name_done(63), message_code::set_channel_name, {63}},
      {"network list", make_network_list(nets), message_code::network_list,
       {3, 'h', 'o', 'm', 'e', 0, 0, 'l', 'a', 'b', 0}},
      {"config report", make_config_report("FW_VER=1.2"), message_code::config_query, text_bytes("FW_VER=1.2")},
      {"config result", make_config_result("RESULT=OK"), message_code::config_command, text_bytes("RESULT=OK")},
      {"status", make_status(28, status_bytes), message_code::status, {28, 3, 7, 8, 9}},
      {"scene values", make_scene_values(2, 3516, values), message_code::scene_values_read,
       {2, 2, 0x0D, 0xBC, 0x12, 0x34, 0xAB, 0xCD}},
      {"scene values written", make_scene_values_written(2, 60, 120), message_code::scene_values_write,
       {2, 60, 0x00, 0x78}},
      {"scene write finished", make_scene_write_finished(2), message_code::scene_write_finish, {2}},
      {"scene text", make_scene_text(2, 10, "Bass"), message_code::scene_text_read, {2, 10, 'B', 'a', 's', 's'}},
      {"scene text written", make_scene_text_written(2, 10), message_code::scene_text_write, {2, 10}},
      {"control events", make_control_events(two), message_code::control_events, two_wire},
      {"control outputs applied", make_control_outputs_applied(two), message_code::control_outputs, two_wire},
      {"scene name reply", make_scene_name_reply(2, "X"), message_code::scene_name_read, {2, 'X'}},
      {"scene name written", make_scene_name_written(2), message_code::scene_name_write, {2}},
      {"media report", make_media_report(media), message_code::media_report, {0x01, 0x80, 0x00}},
  };
  for (const row& r : rows) {
    ASSERT_FALSE(r.f.empty()) << r.what;
    EXPECT_TRUE(check_datagram(r.f.data(), r.f.size())) << r.what;
    EXPECT_EQ(frame_code(r.f.view()), code_byte(r.code)) << r.what;
    EXPECT_EQ(payload_of(r.f), r.payload) << r.what;
  }
}

TEST(messages, list_limits) {
  std::vector<id_value> pairs(61, id_value{1, 2});
  std::vector<uint16_t> ids(61, 1);
  const std::span<const id_value> p60(pairs.data(), 60), p61(pairs), p0;
  const std::span<const uint16_t> i60(ids.data(), 60), i61(ids), i0;

  EXPECT_EQ(make_write_params(p60).size(), 245u);
  EXPECT_EQ(make_read_params(i60).size(), 125u);
  EXPECT_EQ(make_control_outputs(p60).size(), 245u);
  EXPECT_EQ(make_param_values(p60).size(), 245u);
  // Requests carry 1..60 entries; a reply may be empty.
  for (const frame_bytes& f : {make_write_params(p0), make_write_params(p61), make_read_params(i0),
                               make_read_params(i61), make_control_outputs(p0), make_param_values(p61),
                               make_param_change(p61)})
    EXPECT_TRUE(f.empty());
  EXPECT_EQ(make_param_values(p0).size(), 5u);
}

TEST(messages, text_limits) {
  const std::string long_name(40, 'n');
  EXPECT_EQ(payload_of(make_set_scene_name(1, long_name)).size(), 1 + max_name_bytes);
  EXPECT_EQ(payload_of(make_set_channel_name(1, long_name)).size(), 1 + max_name_bytes);
  EXPECT_EQ(payload_of(make_scene_text_write(1, 0, long_name)).size(), 2 + max_name_bytes);
  EXPECT_EQ(payload_of(make_scene_name_write(1, long_name)).size(), 1 + max_name_bytes);
  // The console side sends what it is given, so receivers can be tested against it.
  EXPECT_EQ(payload_of(make_channel_name(1, long_name)).size(), 1 + long_name.size());

  EXPECT_EQ(make_config_command(std::string(249, 'c')).size(), 254u);
  EXPECT_TRUE(make_config_command(std::string(250, 'c')).empty());
  EXPECT_EQ(make_config_query(std::string(251, 'q')).size(), 256u);
  EXPECT_TRUE(make_config_query(std::string(252, 'q')).empty());
  EXPECT_TRUE(make_media_command(std::vector<uint8_t>(252, 0)).empty());
  EXPECT_TRUE(make_frame(0x72, std::vector<uint8_t>(252, 0)).empty());
  EXPECT_EQ(make_frame(0x72, std::vector<uint8_t>(251, 0)).size(), 256u);
}

TEST(messages, scene_values_write_zeroes_ids_past_the_last_parameter) {
  const std::vector<uint16_t> values(4, 0x7777);
  const bytes p = payload_of(make_scene_values_write(1, 3516, values));
  EXPECT_EQ(p, (bytes{1, 4, 0x0D, 0xBC, 0x77, 0x77, 0x77, 0x77, 0, 0, 0, 0}));

  std::vector<uint16_t> most(max_scene_values, 1);
  EXPECT_EQ(make_scene_values_write(1, 0, most).size(), 4 + 2 * max_scene_values + frame_overhead);
  most.push_back(1);
  EXPECT_TRUE(make_scene_values_write(1, 0, most).empty());
  EXPECT_TRUE(make_scene_values(1, 0, most).empty());
}

TEST(messages, known_codes) {
  EXPECT_TRUE(is_known_code(0));
  EXPECT_TRUE(is_known_code(114));
  for (uint8_t c : {2, 5, 7, 38, 95, 100, 255}) EXPECT_FALSE(is_known_code(c)) << int(c);
}

}  // namespace
}  // namespace vorante
