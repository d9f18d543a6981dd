#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/protocol/messages.h"
#include "app/scenes/scene_exchange.h"
#include "tests/support/engine_fixture.h"

namespace vorante {
namespace {

// The console's side of a transfer, answered by hand: what a values read returns for an ID.
uint16_t console_value(unsigned id) { return static_cast<uint16_t>(id ^ 0x5A5A); }

struct toast_seen {
  std::string text;
  uint16_t colour;
  int ms;
  bool modal;
  uint32_t at;
};

// An engine on a memory link, the exchange over its transfer senders, and a console that
// answers every transfer request at once (unless told otherwise). Time moves in 10 ms ticks.
struct exchange_rig : test::engine_rig<> {
  std::vector<toast_seen> toasts;
  std::vector<std::string> busy_texts;
  int busy_hidden = 0;
  std::vector<std::string> saved;
  int import_done = 0;
  int values_read = 0;
  scene_exchange x{engine.transfer(), {
                                          [this](std::string_view t) { busy_texts.emplace_back(t); },
                                          [this] { ++busy_hidden; },
                                          [this](std::string_view t, uint16_t c, int ms, bool modal) {
                                            toasts.push_back({std::string(t), c, ms, modal, now});
                                          },
                                          [this](const std::string& json) { saved.push_back(json); },
                                          [this] { ++import_done; },
                                          [this] { ++values_read; },
                                      }};
  // Whether the console answers; a hook may change or drop a reply (return false).
  bool answering = true;
  std::function<bool(message_code, std::vector<uint8_t>&)> alter;
  std::size_t seen = 0;
  std::vector<std::pair<uint32_t, std::vector<uint8_t>>> requests;  // transfer frames with send time

  exchange_rig() {
    engine.step(now);
    link->sent.clear();
  }

  static bool is_transfer(uint8_t code) { return (code >= 90 && code <= 94) || code == 106 || code == 107; }

  void answer_new() {
    for (; seen < link->sent.size(); ++seen) {
      const std::vector<uint8_t>& f = link->sent[seen];
      if (f.size() < min_frame_size || !is_transfer(f[2])) continue;
      requests.emplace_back(now, f);
      if (!answering) continue;
      const auto p = frame_payload(f);
      std::vector<uint8_t> reply;
      const auto code = static_cast<message_code>(f[2]);
      switch (code) {
        case message_code::scene_values_read: {
          reply.assign(p.begin(), p.begin() + 4);
          const unsigned first = get_be16(&p[2]);
          for (unsigned i = 0; i < p[1]; ++i) {
            const uint16_t v = console_value(first + i);
            reply.push_back(static_cast<uint8_t>(v >> 8));
            reply.push_back(static_cast<uint8_t>(v));
          }
          break;
        }
        case message_code::scene_values_write: reply = {p[0], 0, p[2], p[3]}; break;
        case message_code::scene_text_read:
          reply = {p[0], p[1], 'T'};
          reply.push_back(static_cast<uint8_t>('0' + p[1] % 10));
          break;
        case message_code::scene_text_write: reply = {p[0], p[1]}; break;
        case message_code::scene_name_read: reply = {p[0], 'N', 'm'}; break;
        default: reply = {p[0]}; break;
      }
      if (alter && !alter(code, reply)) continue;
      deliver(make_frame(code_byte(code), reply));
    }
  }

  void tick() {
    now += scene_tick_ms;
    engine.step(now);
    x.tick(now);
    answer_new();
  }
  // Ticks until both machines are idle; the ticks taken.
  int run(int max_ticks = 1000) {
    int n = 0;
    while (x.running() && n < max_ticks) {
      tick();
      ++n;
    }
    return n;
  }
  std::vector<std::vector<uint8_t>> sent(message_code code) const {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& [t, f] : requests)
      if (f[2] == code_byte(code)) out.push_back(f);
    return out;
  }
};

TEST(scene_exchange_test, export_reads_the_scene_in_chunks_and_hands_over_its_json) {
  exchange_rig r;
  ASSERT_TRUE(r.x.start_export(3, r.now));
  EXPECT_EQ(r.busy_texts, std::vector<std::string>{"EXPORT FROM SCENE 3..."});
  r.run();
  ASSERT_EQ(r.toasts.size(), 1u);
  EXPECT_EQ(r.toasts[0].text, "EXPORT SCENE SUCCESS!");
  EXPECT_EQ(r.toasts[0].colour, toast_green);
  EXPECT_EQ(r.toasts[0].ms, 2000);
  EXPECT_FALSE(r.toasts[0].modal);
  EXPECT_EQ(r.busy_hidden, 1);

  const auto reads = r.sent(message_code::scene_values_read);
  ASSERT_EQ(reads.size(), 59u);
  for (std::size_t i = 0; i < reads.size(); ++i) {
    const auto p = frame_payload(reads[i]);
    EXPECT_EQ(p[0], 3);
    EXPECT_EQ(get_be16(&p[2]), i * 60);
    EXPECT_EQ(p[1], i == 58 ? 38 : 60);
  }
  EXPECT_EQ(r.sent(message_code::scene_text_read).size(), 60u);
  EXPECT_EQ(r.sent(message_code::scene_name_read).size(), 1u);

  ASSERT_EQ(r.saved.size(), 1u);
  transfer_image image;
  ASSERT_EQ(check_scene_text(r.saved[0], image), scene_check::ok);
  for (unsigned id = 0; id < param_count; ++id) ASSERT_EQ(image.values[id], console_value(id)) << id;
  EXPECT_EQ(name_of(image.texts[0]), "T0");
  EXPECT_EQ(name_of(image.texts[59]), "T9");
  EXPECT_EQ(name_of(image.name), "Nm");
  EXPECT_NE(r.saved[0].find("\"num\":3"), std::string::npos);
}

TEST(scene_exchange_test, a_values_read_asks_for_the_values_only_and_tells_when_they_are_in) {
  exchange_rig r;
  ASSERT_TRUE(r.x.start_read(6, r.now));
  EXPECT_TRUE(r.x.reading_values());
  EXPECT_EQ(r.busy_texts, std::vector<std::string>{"READING SCENE 6..."});
  // Not while it runs: the image is shared.
  EXPECT_FALSE(r.x.start_export(6, r.now));
  r.run();
  EXPECT_EQ(r.values_read, 1);
  EXPECT_TRUE(r.toasts.empty()) << "a read that worked says nothing";
  EXPECT_TRUE(r.saved.empty());
  EXPECT_EQ(r.busy_hidden, 1);
  EXPECT_EQ(r.sent(message_code::scene_values_read).size(), 59u);
  EXPECT_EQ(r.sent(message_code::scene_text_read).size(), 0u);
  EXPECT_EQ(r.sent(message_code::scene_name_read).size(), 0u);
  for (unsigned id : {0u, 59u, 60u, 3480u, 3517u}) EXPECT_EQ(r.engine.transfer().image().values[id], console_value(id)) << id;

  // An export afterwards is a whole one again.
  ASSERT_TRUE(r.x.start_export(6, r.now));
  EXPECT_FALSE(r.x.reading_values());
  r.run();
  EXPECT_EQ(r.values_read, 1);
  ASSERT_EQ(r.toasts.size(), 1u);
  EXPECT_EQ(r.toasts[0].text, "EXPORT SCENE SUCCESS!");
  EXPECT_EQ(r.saved.size(), 1u);
}

TEST(scene_exchange_test, import_uploads_the_file_and_finishes_half_a_second_after_the_name) {
  exchange_rig r;
  transfer_image scene;
  for (unsigned id = 0; id < param_count; ++id) scene.values[id] = static_cast<uint16_t>(id * 3);
  store_name(scene.name, std::string_view("Show"));
  store_name(scene.texts[2], std::string_view("Vox"));
  const std::string text = build_scene_json(scene, 1);
  ASSERT_EQ(r.x.start_import(text, 7, r.now), scene_check::ok);
  EXPECT_EQ(r.busy_texts, std::vector<std::string>{"IMPORT TO SCENE 7..."});
  r.run();
  ASSERT_EQ(r.toasts.size(), 1u);
  EXPECT_EQ(r.toasts[0].text, "IMPORT SCENE SUCCESS!");
  EXPECT_EQ(r.import_done, 1);
  EXPECT_EQ(r.busy_hidden, 1);

  const auto writes = r.sent(message_code::scene_values_write);
  ASSERT_EQ(writes.size(), 59u);
  for (std::size_t i = 0; i < writes.size(); ++i) {
    const auto p = frame_payload(writes[i]);
    const unsigned first = get_be16(&p[2]);
    ASSERT_EQ(p[0], 7);
    ASSERT_EQ(first, i * 60);
    ASSERT_EQ(p.size(), 4u + 2u * p[1]);
    for (unsigned k = 0; k < p[1]; ++k) ASSERT_EQ(get_be16(&p[4 + 2 * k]), (first + k) * 3);
  }
  const auto texts = r.sent(message_code::scene_text_write);
  ASSERT_EQ(texts.size(), 60u);
  EXPECT_EQ(frame_payload(texts[2]).size(), 5u);  // scene, index, "Vox" without terminator
  EXPECT_EQ(frame_payload(texts[3]).size(), 2u);
  ASSERT_EQ(r.sent(message_code::scene_name_write).size(), 1u);
  ASSERT_EQ(r.sent(message_code::scene_write_finish).size(), 1u);
  uint32_t name_at = 0, finish_at = 0;
  for (const auto& [t, f] : r.requests) {
    if (f[2] == code_byte(message_code::scene_name_write)) name_at = t;
    if (f[2] == code_byte(message_code::scene_write_finish)) finish_at = t;
  }
  EXPECT_GE(finish_at - name_at, 500u);
  EXPECT_LE(finish_at - name_at, 530u);
}

TEST(scene_exchange_test, a_refused_file_shows_its_modal_toast_and_sends_nothing) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"not json", "WRONG SCENE FILE!"},
      {"{\"code\":\"0xE001\",\"type\":\"0x3C\",\"magic\":1,\"scenes\":[]}", "WRONG DEVICE CODE!"},
      {"{\"code\":\"0xE001\",\"type\":\"0x3B\",\"magic\":6885,\"scenes\":[]}", "IMPORT FAIL!"},
  };
  for (const auto& [text, toast] : cases) {
    exchange_rig r;
    EXPECT_NE(r.x.start_import(text, 2, r.now), scene_check::ok);
    for (int i = 0; i < 50; ++i) r.tick();
    EXPECT_TRUE(r.requests.empty()) << toast;
    EXPECT_TRUE(r.busy_texts.empty()) << toast;
    ASSERT_EQ(r.toasts.size(), 1u) << toast;
    EXPECT_EQ(r.toasts[0].text, toast);
    EXPECT_EQ(r.toasts[0].colour, toast_red);
    EXPECT_TRUE(r.toasts[0].modal);
  }
}

TEST(scene_exchange_test, a_stalled_transfer_fails_three_seconds_after_its_last_progress) {
  struct stall {
    const char* what;
    bool exporting;
    message_code stops_at;  // the first request left unanswered
    const char* toast;
    bool values_only = false;  // the values read alone
  };
  const std::vector<stall> cases = {
      {"read, values", true, message_code::scene_values_read, "READ SCENE FAIL!", true},
      {"export, values", true, message_code::scene_values_read, "EXPORT SCENE FAIL!"},
      {"export, texts", true, message_code::scene_text_read, "EXPORT SCENE FAIL!"},
      {"export, name", true, message_code::scene_name_read, "EXPORT SCENE FAIL!"},
      {"import, values", false, message_code::scene_values_write, "IMPORT SCENE FAIL!"},
      {"import, texts", false, message_code::scene_text_write, "IMPORT SCENE FAIL!"},
      {"import, name", false, message_code::scene_name_write, "IMPORT SCENE FAIL!"},
      {"import, finish", false, message_code::scene_write_finish, "IMPORT SCENE FAIL!"},
  };
  for (const stall& c : cases) {
    exchange_rig r;
    // Values stall half-way; the other phases at their first request.
    int values_seen = 0;
    uint32_t last_answer = r.now;
    r.alter = [&](message_code code, std::vector<uint8_t>&) {
      const bool values = code == message_code::scene_values_read || code == message_code::scene_values_write;
      if (code == c.stops_at && (!values || ++values_seen > 20))
        r.answering = false;
      if (r.answering) last_answer = r.now;
      return r.answering;
    };
    if (c.values_only)
      ASSERT_TRUE(r.x.start_read(4, r.now));
    else if (c.exporting)
      ASSERT_TRUE(r.x.start_export(4, r.now));
    else
      ASSERT_EQ(r.x.start_import(build_scene_json(transfer_image{}, 4), 4, r.now), scene_check::ok);
    r.run(1000);
    ASSERT_EQ(r.toasts.size(), 1u) << c.what;
    EXPECT_EQ(r.toasts[0].text, c.toast) << c.what;
    EXPECT_EQ(r.toasts[0].colour, toast_red) << c.what;
    EXPECT_FALSE(r.toasts[0].modal) << c.what;
    // The reply is handled one tick after it was sent.
    const uint32_t waited = r.toasts[0].at - last_answer;
    EXPECT_GE(waited, 3000u) << c.what;
    EXPECT_LE(waited, 3030u) << c.what;
    EXPECT_EQ(r.busy_hidden, 1) << c.what;
    EXPECT_TRUE(r.saved.empty()) << c.what;
    EXPECT_EQ(r.import_done, 0) << c.what;
    EXPECT_EQ(r.values_read, 0) << c.what;
    // The unanswered request was sent again every ~110 ms (every ~510 ms for the finish).
    const std::size_t resends = r.sent(c.stops_at).size();
    if (c.stops_at == message_code::scene_write_finish)
      EXPECT_EQ(resends, 5u) << c.what;
    else
      EXPECT_GE(resends, (c.stops_at == message_code::scene_values_read || c.stops_at == message_code::scene_values_write ? 20u : 0u) + 27u)
          << c.what;
  }
}

TEST(scene_exchange_test, a_stalled_first_request_fails_sooner) {
  exchange_rig r;
  r.answering = false;
  ASSERT_TRUE(r.x.start_export(1, r.now));
  const uint32_t start = r.now;
  r.run();
  ASSERT_EQ(r.toasts.size(), 1u);
  EXPECT_EQ(r.toasts[0].text, "EXPORT SCENE FAIL!");
  EXPECT_GE(r.toasts[0].at - start, 2800u);
  EXPECT_LE(r.toasts[0].at - start, 2830u);
}

TEST(scene_exchange_test, replies_for_another_scene_chunk_or_text_are_ignored) {
  struct wrong {
    const char* what;
    message_code code;
    std::size_t byte;  // payload byte that is changed in the first reply of that kind
  };
  const std::vector<wrong> cases = {
      {"values of another scene", message_code::scene_values_read, 0},
      {"values from another first ID", message_code::scene_values_read, 3},
      {"text of another scene", message_code::scene_text_read, 0},
      {"another text index", message_code::scene_text_read, 1},
      {"name of another scene", message_code::scene_name_read, 0},
  };
  for (const wrong& c : cases) {
    exchange_rig r;
    bool spoiled = false;
    r.alter = [&](message_code code, std::vector<uint8_t>& reply) {
      if (code == c.code && !spoiled) {
        spoiled = true;
        reply[c.byte] ^= 1;
      }
      return true;
    };
    ASSERT_TRUE(r.x.start_export(5, r.now));
    r.run();
    ASSERT_EQ(r.toasts.size(), 1u) << c.what;
    EXPECT_EQ(r.toasts[0].text, "EXPORT SCENE SUCCESS!") << c.what;
    const std::size_t normal = c.code == message_code::scene_values_read ? 59 : c.code == message_code::scene_text_read ? 60 : 1;
    EXPECT_EQ(r.sent(c.code).size(), normal + 1) << c.what << ": the spoiled reply's request is sent once more";
    transfer_image image;
    ASSERT_EQ(check_scene_text(r.saved.at(0), image), scene_check::ok);
    EXPECT_EQ(image.values[0], console_value(0)) << c.what;
    EXPECT_EQ(name_of(image.texts[0]), "T0") << c.what;
  }
}

TEST(scene_exchange_test, export_and_import_refuse_to_start_while_the_other_runs) {
  exchange_rig r;
  const std::string file = build_scene_json(transfer_image{}, 1);
  ASSERT_TRUE(r.x.start_export(2, r.now));
  r.tick();
  EXPECT_EQ(r.x.start_import(file, 3, r.now), scene_check::busy);
  EXPECT_FALSE(r.x.start_export(3, r.now));
  r.run();
  EXPECT_EQ(r.sent(message_code::scene_values_write).size(), 0u);
  EXPECT_EQ(r.x.scene(), 2);

  ASSERT_EQ(r.x.start_import(file, 3, r.now), scene_check::ok);
  r.tick();
  EXPECT_FALSE(r.x.start_export(4, r.now));
  EXPECT_EQ(r.x.start_import(file, 4, r.now), scene_check::busy);
  r.run();
  EXPECT_EQ(r.x.scene(), 3);
  EXPECT_EQ(r.sent(message_code::scene_values_read).size(), 59u);
  EXPECT_EQ(r.toasts.size(), 2u);
}

}  // namespace
}  // namespace vorante
