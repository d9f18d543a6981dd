#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "app/params/defaults.h"
#include "sim_test_support.h"
#include "tools/sim/console_activity.h"
#include "tools/sim/console_model.h"

namespace vorante::sim {
namespace {

using test::all_pairs;
using test::pairs_of;
using test::text_of;
using test::with_code;

struct model_fixture {
  console_settings settings;
  std::unique_ptr<console_model> model;
  uint32_t now = 0;

  explicit model_fixture(console_settings s = {}) : settings(std::move(s)) {
    model = std::make_unique<console_model>(settings, now);
  }
  frame_list send(const frame_bytes& f) { return model->handle(f.view(), now); }
  frame_list tick_at(uint32_t t) {
    now = t;
    return model->tick(now);
  }
};

TEST(sim_model_test, identification_carries_codes_and_device_name) {
  console_settings s;
  s.name = "Stage Left";
  s.model = 0x3C;
  model_fixture f(s);
  const frame_list out = f.send(make_identify());
  ASSERT_EQ(out.size(), 1u);
  EXPECT_TRUE(test::same_bytes(out[0], make_identification(0, 0xE001, 0x3C, "Stage Left")));
}

TEST(sim_model_test, read_answers_every_valid_id_in_frames_of_sixty_including_the_end_marker) {
  console_settings s;
  s.random_values = true;
  s.random_seed = 7;
  model_fixture f(s);
  // 62 IDs fit one request frame; two of them are no parameter and get no answer.
  std::vector<uint16_t> ids;
  for (uint16_t id = 3458; id <= last_param_id; ++id) ids.push_back(id);
  ids.push_back(3518);
  ids.push_back(0xFFFF);
  std::vector<uint8_t> payload;
  for (uint16_t id : ids) payload.insert(payload.end(), {static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id)});
  const frame_list out = f.send(make_frame(code_byte(message_code::read_params), payload));

  ASSERT_EQ(out.size(), 1u);
  const std::vector<id_value> got = all_pairs(out, message_code::read_params);
  ASSERT_EQ(got.size(), 60u);
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_EQ(got[i].id, ids[i]);
    EXPECT_EQ(got[i].value, f.model->value(ids[i]));
  }
  EXPECT_EQ(got.back().id, end_marker_id);

  // A request of more than 60 IDs (a frame holds up to 125) is split.
  std::vector<uint8_t> many;
  for (uint16_t id = 100; id < 225; ++id) many.insert(many.end(), {static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id)});
  const frame_list split = f.send(make_frame(code_byte(message_code::read_params), many));
  ASSERT_EQ(split.size(), 3u);
  EXPECT_EQ(pairs_of(split[0]).size(), 60u);
  EXPECT_EQ(pairs_of(split[2]).size(), 5u);
}

TEST(sim_model_test, presence_probe_is_answered_only_by_the_local_service) {
  model_fixture remote;
  EXPECT_TRUE(remote.send(make_presence_probe()).empty());
  // A read of ID 0 among others is an ordinary read.
  const std::array<uint16_t, 2> ids{0, 1};
  EXPECT_EQ(remote.send(make_read_params(ids)).size(), 1u);

  console_settings s;
  s.answer_probe = true;
  model_fixture local(s);
  const frame_list out = local.send(make_presence_probe());
  ASSERT_EQ(out.size(), 1u);
  EXPECT_TRUE(test::same_bytes(out[0], make_probe_answer()));
}

TEST(sim_model_test, write_is_applied_and_echoed_pair_by_pair_except_what_it_refuses) {
  model_fixture f;
  const uint16_t fader = param_id(kind_input, 2, code_fader);
  const std::array<id_value, 4> pairs{{{fader, 1111}, {3518, 5}, {lock_state_id, 0}, {scene_change_marker_id, 4}}};
  const frame_list out = f.send(make_write_params(pairs));
  ASSERT_EQ(out.size(), 1u);
  const std::vector<id_value> echoed = pairs_of(out[0]);
  // The lock follows the password commands, never a plain write.
  EXPECT_EQ(echoed, (std::vector<id_value>{{fader, 1111}, {scene_change_marker_id, 4}}));
  EXPECT_EQ(f.model->value(fader), 1111);
  EXPECT_EQ(f.model->value(scene_change_marker_id), 4);
  // The program's own writes are not pushed back to it.
  EXPECT_TRUE(f.tick_at(10).empty());
}

TEST(sim_model_test, console_change_is_pushed_and_resent_until_echoed) {
  model_fixture f;
  const uint16_t id = param_id(kind_input, 5, code_input_on);
  ASSERT_TRUE(f.model->console_set(id, 0));
  const frame_list first = f.tick_at(10);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(pairs_of(first[0]), (std::vector<id_value>{{id, 0}}));
  EXPECT_EQ(frame_code(first[0].view()), code_byte(message_code::param_change));

  auto changes = [](const frame_list& out) { return with_code(out, message_code::param_change); };
  EXPECT_TRUE(changes(f.tick_at(10 + change_resend_ms - 1)).empty());
  const frame_list again = changes(f.tick_at(10 + change_resend_ms));
  ASSERT_EQ(again.size(), 1u);
  EXPECT_TRUE(test::same_bytes(again[0], first[0]));

  // The program sends the frame back unchanged: no more resends.
  EXPECT_TRUE(f.send(again[0]).empty());
  EXPECT_EQ(f.model->awaiting_echo(), 0u);
  EXPECT_TRUE(changes(f.tick_at(10 + 5 * change_resend_ms)).empty());
  EXPECT_EQ(f.model->stats().changes_echoed, 1u);
}

TEST(sim_model_test, unanswered_change_goes_out_four_times_and_resends_carry_the_newest_value) {
  model_fixture f;
  const uint16_t id = param_id(kind_bus, 1, code_bus_fader);
  f.model->console_set(id, 900);
  std::vector<std::vector<id_value>> sent;
  for (uint32_t t = 10; t <= 10 + 10 * change_resend_ms; t += 10) {
    if (t == 100) f.model->console_set(id, 950);  // a newer move while the first waits
    for (const frame_bytes& fr : f.tick_at(t))
      if (frame_code(fr.view()) == code_byte(message_code::param_change)) sent.push_back(pairs_of(fr));
  }
  // First frame 900, the newer move 950 in a frame of its own, and each resent with 950.
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(sent[0], (std::vector<id_value>{{id, 900}}));
  for (std::size_t i = 1; i < sent.size(); ++i) EXPECT_EQ(sent[i], (std::vector<id_value>{{id, 950}})) << i;
  EXPECT_EQ(sent.size(), 2u * change_max_sends);
  EXPECT_EQ(f.model->stats().changes_given_up, 2u);
  EXPECT_EQ(f.model->awaiting_echo(), 0u);
}

TEST(sim_model_test, meters_push_the_main_level_word_with_the_meter_words) {
  console_settings s;
  s.meters = true;
  model_fixture f(s);
  std::set<uint16_t> words;
  for (uint32_t t = meter_period_ms; t <= 1000; t += meter_period_ms) {
    const std::vector<id_value> pushed = all_pairs(f.tick_at(t), message_code::param_change);
    const auto main = std::find_if(pushed.begin(), pushed.end(), [](const id_value& p) { return p.id == main_level_percent_id; });
    ASSERT_NE(main, pushed.end()) << "at " << t << " ms";
    EXPECT_TRUE(std::any_of(pushed.begin(), pushed.end(), [](const id_value& p) { return is_meter_id(p.id); }));
    EXPECT_EQ(f.model->value(main_level_percent_id), main->value) << "a read answers what was pushed";
    words.insert(main->value);
  }
  EXPECT_GT(words.size(), 1u);
}

TEST(sim_model_test, nothing_is_pushed_without_a_peer) {
  model_fixture f;
  f.model->set_peer_present(false);
  f.model->console_set(100, 7);
  f.model->press_key(9, false);
  EXPECT_TRUE(f.tick_at(1000).empty());
  f.model->set_peer_present(true);
  // The old change and key were not kept for later.
  EXPECT_TRUE(with_code(f.tick_at(1010), message_code::param_change).empty());
  EXPECT_TRUE(with_code(f.tick_at(1020), message_code::control_events).empty());
  EXPECT_EQ(f.model->value(100), 7);
}

TEST(sim_model_test, scene_call_loads_the_scene_confirms_and_pushes_the_marker) {
  model_fixture f;
  const uint16_t fader = param_id(kind_input, 0, code_fader);
  f.send(make_write_params(std::array<id_value, 1>{{{fader, 1200}}}));
  f.send(make_set_channel_name(3, "Kick"));
  const frame_list saved = f.send(make_save_scene(9));
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(test::payload_of(saved[0]), (std::vector<uint8_t>{9}));
  EXPECT_EQ(f.model->value(scene_change_marker_id), 9);
  f.tick_at(10);  // the marker change of the save goes out

  f.send(make_write_params(std::array<id_value, 1>{{{fader, 300}}}));
  f.send(make_set_channel_name(3, "Snare"));
  const frame_list called = f.send(make_call_scene(9));
  ASSERT_EQ(called.size(), 1u);
  EXPECT_TRUE(test::same_bytes(called[0], make_call_scene_done(9)));
  EXPECT_EQ(f.model->value(fader), 1200);
  EXPECT_EQ(f.model->channel_name(3), "Kick");

  // Pushed although 3007 already held 9: the marker is what makes the program re-read.
  const frame_list pushed = f.tick_at(20);
  EXPECT_EQ(all_pairs(pushed, message_code::param_change), (std::vector<id_value>{{scene_change_marker_id, 9}}));

  for (uint8_t bad : {0, 17, 255}) EXPECT_TRUE(f.send(make_call_scene(bad)).empty()) << int(bad);
}

TEST(sim_model_test, scene_and_channel_names_are_kept_cut_and_confirmed) {
  model_fixture f;
  EXPECT_EQ(text_of(f.send(make_scene_name_request(16))[0]).substr(1), "Scene16");
  const std::string long_name(40, 'x');
  const frame_list set = f.send(make_frame(code_byte(message_code::set_scene_name),
                                           std::vector<uint8_t>{2, 'A', 'B', 0, 'C'}));
  EXPECT_TRUE(test::same_bytes(set[0], make_set_scene_name_done(2)));
  EXPECT_EQ(f.model->scene(2).name, "AB");  // up to a zero byte

  std::vector<uint8_t> channel(1 + long_name.size(), 'x');
  channel[0] = 59;
  EXPECT_TRUE(test::same_bytes(f.send(make_frame(code_byte(message_code::set_channel_name), channel))[0],
                               make_set_channel_name_done(59)));
  EXPECT_EQ(f.model->channel_name(59), std::string(31, 'x'));
  EXPECT_TRUE(test::same_bytes(f.send(make_channel_name_request(59))[0], make_channel_name(59, std::string(31, 'x'))));

  struct refused {
    frame_bytes frame;
    const char* what;
  };
  for (const refused& r : {refused{make_scene_name_request(0), "scene 0"}, refused{make_scene_name_request(17), "scene 17"},
                           refused{make_set_scene_name(17, "x"), "set scene 17"},
                           refused{make_channel_name_request(60), "channel 60"},
                           refused{make_set_channel_name(60, "x"), "set channel 60"},
                           refused{make_frame(code_byte(message_code::scene_name), {}), "empty"}})
    EXPECT_TRUE(f.send(r.frame).empty()) << r.what;
}

TEST(sim_model_test, scene_transfer_reads_a_stored_scene_and_an_upload_takes_effect_at_finish) {
  console_settings s;
  s.random_values = true;
  s.random_seed = 3;
  model_fixture f(s);
  const scene_memory& stored = f.model->scene(5);

  // Export: the last chunk runs past the end, values beyond 3517 read as 0.
  const frame_list values = f.send(make_scene_values_read(5, 60, 3480));
  ASSERT_EQ(values.size(), 1u);
  const std::vector<uint8_t> p = test::payload_of(values[0]);
  ASSERT_EQ(p.size(), 4u + 120u);
  EXPECT_EQ(p[1], 60);
  EXPECT_EQ(get_be16(&p[4]), stored.values[3480]);
  EXPECT_EQ(get_be16(&p[4 + 2 * 37]), stored.values[3517]);
  EXPECT_EQ(get_be16(&p[4 + 2 * 38]), 0);
  EXPECT_EQ(text_of(f.send(make_scene_name_read(5))[0]).substr(1), "Scene5");

  // Import into scene 6: nothing changes until the finish message.
  const std::array<uint16_t, 3> upload{11, 22, 33};
  const frame_list written = f.send(make_scene_values_write(6, 100, upload));
  EXPECT_TRUE(test::same_bytes(written[0], make_scene_values_written(6, 3, 100)));
  EXPECT_TRUE(test::same_bytes(f.send(make_scene_text_write(6, 59, "Bass"))[0], make_scene_text_written(6, 59)));
  EXPECT_TRUE(test::same_bytes(f.send(make_scene_name_write(6, "Imported"))[0], make_scene_name_written(6)));
  EXPECT_EQ(f.model->scene(6).name, "Scene6");
  EXPECT_NE(f.model->scene(6).values[101], 22);

  EXPECT_TRUE(test::same_bytes(f.send(make_scene_write_finish(6))[0], make_scene_write_finished(6)));
  EXPECT_EQ(f.model->scene(6).name, "Imported");
  EXPECT_EQ(f.model->scene(6).texts[59], "Bass");
  EXPECT_EQ(f.model->scene(6).values[101], 22);
  EXPECT_TRUE(test::same_bytes(f.send(make_scene_text_read(6, 59))[0], make_scene_text(6, 59, "Bass")));

  // A values write announcing more values than it carries is not taken.
  const std::vector<uint8_t> short_write{6, 10, 0, 0, 0, 1};
  EXPECT_TRUE(f.send(make_frame(code_byte(message_code::scene_values_write), short_write)).empty());
  EXPECT_TRUE(f.send(make_scene_text_read(6, 60)).empty());
  EXPECT_TRUE(f.send(make_scene_values_read(17, 1, 0)).empty());
}

TEST(sim_model_test, configuration_query_reports_known_keys_and_keeps_secrets) {
  console_settings s;
  s.name = "FOH";
  model_fixture f(s);
  const frame_list out = f.send(make_config_query(
      "DEVNAME=\nFW_VER=\nFW_BUILD=\nLAYER=\nCMD=SCENEKEYLOCK\nSCENEKEYLOCK=\nAP_KEY=\nETH_IP=\nNOSUCH=\nWIFI_STATE=\n"));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(frame_code(out[0].view()), code_byte(message_code::config_query));
  EXPECT_EQ(text_of(out[0]),
            "DEVNAME=FOH\nFW_VER=V2.1.4\nFW_BUILD=20240917\nLAYER=0\nSCENEKEYLOCK=OFF\nAP_KEY=\nETH_IP=192.168.1.120\n"
            "WIFI_STATE=down\n");
  EXPECT_TRUE(f.send(make_config_query("NOSUCH=\n")).empty());
}

TEST(sim_model_test, configuration_commands_answer_with_their_results) {
  struct step {
    const char* command;
    const char* result;
    int lock;  // expected 3190 afterwards
  };
  // One console's life: the password guards every unlock and every change of itself.
  const step steps[] = {
      {"CMD=CHGPWD\nPWD=\nNEWPWD=abc123", "CMD=CHGPWD\nRESULT=OK", 0},
      {"CMD=CHGPWD\nPWD=wrong\nNEWPWD=x", "CMD=CHGPWD\nRESULT=ERR", 0},
      {"CMD=CHGPWD\nPWD=abc123\nNEWPWD=123456789", "CMD=CHGPWD\nRESULT=ERR", 0},  // 9 bytes
      {"CMD=CHGPWD\nPWD=abc123\nNEWPWD=a b", "CMD=CHGPWD\nRESULT=ERR", 0},
      {"CMD=CHGPWD\nPWD=abc123", "CMD=CHGPWD\nRESULT=ERR", 0},
      {"CMD=CHGLOCK\nPWD=bad\nLOCK=ON", "CMD=CHGLOCK\nRESULT=ERR", 0},
      {"CMD=CHGLOCK\nPWD=abc123\nLOCK=ON", "CMD=CHGLOCK\nRESULT=OK", 1},
      {"CMD=CHGLOCK\nPWD=bad\nLOCK=OFF", "CMD=CHGLOCK\nRESULT=ERR", 1},
      {"CMD=FORCELOCK\nLOCK=OFF", "CMD=FORCELOCK\nRESULT=ERR", 1},
      {"CMD=CHGLOCK\nPWD=abc123\nLOCK=OFF", "CMD=CHGLOCK\nRESULT=OK", 0},
      {"CMD=FORCELOCK\nLOCK=ON", "CMD=FORCELOCK\nRESULT=OK", 1},
      {"CMD=CHGLOCK\nPWD=abc123\nLOCK=maybe", "CMD=CHGLOCK\nRESULT=ERR", 1},
      {"CMD=SCENEKEYLOCK\nSCENEKEYLOCK=ON", "CMD=SCENEKEYLOCK\nSCENEKEYLOCK=ON", 1},
      {"CMD=SCENEKEYLOCK\nSCENEKEYLOCK=on", "CMD=SCENEKEYLOCK\nSCENEKEYLOCK=ON", 1},
      {"CMD=FLY\n", "CMD=FLY\nRESULT=ERR", 1},
      {"DEVNAME=VORANTE9M", "DEVNAME=VORANTE9M\nRESULT=OK", 1},
      {"WIFI_MODE=sta\nSTA_SSID=StageNet\nSTA_KEY=secret99\n", "RESULT=OK", 1},
      {"NOTHING=1", "RESULT=ERR", 1},
  };
  model_fixture f;
  uint32_t t = 0;
  for (const step& s : steps) {
    const frame_list out = f.send(make_config_command(s.command));
    ASSERT_EQ(out.size(), 1u) << s.command;
    EXPECT_EQ(frame_code(out[0].view()), code_byte(message_code::config_command));
    EXPECT_EQ(text_of(out[0]), s.result) << s.command;
    EXPECT_EQ(f.model->value(lock_state_id), s.lock) << s.command;
    f.tick_at(t += 10);
  }
  EXPECT_EQ(f.model->config().device_name, "VORANTE9M");
  EXPECT_TRUE(f.model->config().scene_key_lock);
  EXPECT_EQ(text_of(f.send(make_config_query("WIFI_STATE=\nSTA_SSID=\nSTA_KEY=\n"))[0]),
            "WIFI_STATE=up\nSTA_SSID=StageNet\nSTA_KEY=\n");
}

TEST(sim_model_test, lock_changes_are_pushed_as_the_lock_state_parameter) {
  model_fixture f;
  f.send(make_config_command("CMD=FORCELOCK\nLOCK=ON"));
  EXPECT_EQ(all_pairs(f.tick_at(10), message_code::param_change), (std::vector<id_value>{{lock_state_id, 1}}));
  f.model->set_lock(false);  // the console's own key
  EXPECT_EQ(all_pairs(f.tick_at(20), message_code::param_change), (std::vector<id_value>{{lock_state_id, 0}}));
  f.model->set_lock(false);
  EXPECT_TRUE(all_pairs(f.tick_at(30), message_code::param_change).empty());
}

TEST(sim_model_test, factory_reset_restores_defaults_and_makes_the_program_read_again) {
  console_settings s;
  s.random_values = true;
  s.random_seed = 11;
  s.password = "pw";
  model_fixture f(s);
  f.send(make_config_command("DEVNAME=Monitor"));
  const std::array<id_value, 1> reset{{{56, 0x55AA}}};
  const frame_list out = f.send(make_write_params(reset));
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(pairs_of(out[0]), (std::vector<id_value>{{56, 0x55AA}}));
  EXPECT_EQ(text_of(out[1]), "CMD=RESET\nRESULT=OK");

  std::array<uint16_t, param_count> defaults{};
  build_defaults(defaults.data(), defaults.size());
  const uint16_t gain = param_id(kind_input, 0, 8);
  EXPECT_EQ(f.model->value(gain), defaults[gain]);
  EXPECT_EQ(f.model->config().device_name, "unnamed");
  EXPECT_EQ(f.model->config().password, "");
  EXPECT_EQ(all_pairs(f.tick_at(10), message_code::param_change),
            (std::vector<id_value>{{scene_change_marker_id, defaults[scene_change_marker_id]}}));
}

TEST(sim_model_test, control_outputs_are_applied_and_echoed_and_surface_events_are_pushed) {
  model_fixture f;
  const std::array<id_value, 4> outputs{{{66, 0x4000 | 1200}, {97, 800}, {129, 0x8001}, {130, 1}}};
  const frame_list out = f.send(make_control_outputs(outputs));
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(frame_code(out[0].view()), code_byte(message_code::control_outputs));
  EXPECT_EQ(pairs_of(out[0]), (std::vector<id_value>{{66, 0x4000 | 1200}, {97, 800}, {129, 0x8001}}));
  EXPECT_EQ(f.model->fader_output(0), 1200);
  EXPECT_EQ(f.model->fader_output(31), 800);
  EXPECT_EQ(f.model->light_word(31), 0x8001);
  EXPECT_EQ(f.model->faders_received(), (1u << 0) | (1u << 31)) << "only the faders sent a position";

  f.model->press_key(43, true);
  f.model->move_fader(3, 0x7FFF);
  f.model->turn_encoder(1, -2);
  f.model->move_fader(32, 1);  // no such fader
  EXPECT_EQ(all_pairs(f.tick_at(10), message_code::control_events),
            (std::vector<id_value>{{1, 0x8000 | 43}, {5, 0x3FFF}, {35, 0xFFFE}}));
}

TEST(sim_model_test, media_claim_makes_this_client_the_holder) {
  model_fixture f;
  f.send(make_write_params(std::array<id_value, 1>{{{media_claim_id, 1}}}));
  const std::vector<id_value> pushed = all_pairs(f.tick_at(10), message_code::param_change);
  ASSERT_EQ(pushed.size(), 4u);
  EXPECT_EQ(pushed[0], (id_value{media_holder_id, static_cast<uint16_t>(0x8000 | media_identity[0])}));
  EXPECT_EQ(pushed[3], (id_value{media_holder_id + 3, media_identity[3]}));
  f.send(make_write_params(std::array<id_value, 1>{{{media_claim_id, 0}}}));
  EXPECT_EQ(f.model->value(media_holder_id), 0);
}

TEST(sim_model_test, malformed_and_random_frames_never_break_the_console) {
  model_fixture f;
  std::mt19937 rng(2024);
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<uint8_t> payload;
  for (int i = 0; i < 20000; ++i) {
    payload.resize(static_cast<std::size_t>(std::uniform_int_distribution<int>(0, max_payload_size)(rng)));
    for (uint8_t& b : payload) b = static_cast<uint8_t>(byte(rng));
    const auto code = static_cast<uint8_t>(i % 2 ? byte(rng) : code_byte(known_message_codes[i % known_message_codes.size()]));
    frame_bytes fr = make_frame(code, payload);
    f.model->handle(fr.view(), f.now);
    // A frame whose length byte disagrees with its size is refused outright.
    fr.bytes[1] = static_cast<uint8_t>(byte(rng));
    if (fr.bytes[1] + 2u != fr.length) {
      const auto ignored = f.model->stats().frames_ignored;
      EXPECT_TRUE(f.model->handle(fr.view(), f.now).empty());
      EXPECT_EQ(f.model->stats().frames_ignored, ignored + 1);
    }
    if (i % 100 == 0) f.tick_at(f.now + 10);
  }
  EXPECT_TRUE(f.model->handle(std::span<const uint8_t>{}, 0).empty());
  // Still the same console afterwards.
  EXPECT_EQ(f.send(make_identify()).size(), 1u);
}

}  // namespace
}  // namespace vorante::sim
