#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

#include "app/core/log.h"
#include "app/media/media_client.h"
#include "app/media/playlist.h"
#include "media_test_support.h"

namespace vorante {
namespace {

using test::ascii_record;
using test::media_bench;
using test::status_payload;
using test::utf16_record;

// --- the item stream -------------------------------------------------------------------

std::vector<item_record> drain(item_stream& s) {
  std::vector<item_record> out;
  while (auto r = s.next()) out.push_back(*r);
  return out;
}

TEST(media_item_stream, records_come_out_whole_however_the_bytes_arrive) {
  const auto a = ascii_record(1, 4, item_flag_is_file, 0x01020304, "Intro.mp3");
  const auto b = utf16_record(1, 5, item_flag_is_last, 0xA0B0C0D0, {0x591C, 0x66F2, ' ', 0xC7, 'a'});
  std::vector<uint8_t> both = a;
  both.insert(both.end(), b.begin(), b.end());

  struct shape {
    const char* name;
    std::size_t chunk;
    std::vector<uint8_t> prefix;
  };
  const shape shapes[] = {
      {"one byte at a time", 1, {}},
      {"split over reports", 10, {}},
      {"merged into one append", both.size(), {}},
      {"after noise", 10, {0x00, 0x13, 0xAA, 0x00, 0x05}},  // a false start byte, resynchronised
  };
  for (const shape& sh : shapes) {
    SCOPED_TRACE(sh.name);
    item_stream s;
    std::vector<uint8_t> bytes = sh.prefix;
    bytes.insert(bytes.end(), both.begin(), both.end());
    std::vector<item_record> got;
    for (std::size_t at = 0; at < bytes.size(); at += sh.chunk) {
      s.append(std::span(bytes).subspan(at, std::min(sh.chunk, bytes.size() - at)));
      for (auto& r : drain(s)) got.push_back(r);
    }
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].name, "Intro.mp3");
    EXPECT_EQ(got[0].id(), 0x01020304u);
    EXPECT_EQ(got[0].index, 4);
    EXPECT_TRUE(got[0].is_file());
    EXPECT_EQ(got[1].name, "夜曲 Ça");
    EXPECT_TRUE(got[1].is_last());
    EXPECT_FALSE(got[1].is_file());
    EXPECT_EQ(s.queued(), 0u);
  }
}

TEST(media_item_stream, corrupt_and_oversized_records_are_dropped_and_the_next_one_found) {
  const auto good = ascii_record(1, 7, 0, 9, "Good");
  auto bad_sum = ascii_record(1, 1, 0, 1, "Bad");
  bad_sum.back() ^= 0x55;
  auto bad_byte = ascii_record(1, 2, 0, 2, "Flipped");
  bad_byte[13] ^= 0x01;
  // Says 300 bytes: skipped whole, also the part still to come.
  std::vector<uint8_t> oversized{0xAA, 0x01, 0x29};
  oversized.resize(300, 0x11);
  const std::vector<uint8_t> too_short{0xAA, 0x00, 0x02, 0x00, 0x00};

  const std::vector<uint8_t>* junks[] = {&bad_sum, &bad_byte, &oversized, &too_short};
  for (const std::vector<uint8_t>* junk : junks) {
    item_stream s;
    std::vector<uint8_t> bytes = *junk;
    bytes.insert(bytes.end(), good.begin(), good.end());
    std::vector<item_record> got;
    for (std::size_t at = 0; at < bytes.size(); at += 10) {
      s.append(std::span(bytes).subspan(at, std::min<std::size_t>(10, bytes.size() - at)));
      for (auto& r : drain(s)) got.push_back(r);
    }
    ASSERT_EQ(got.size(), 1u) << junk->size();
    EXPECT_EQ(got[0].name, "Good");
  }
}

TEST(media_item_stream, names_are_cut_to_126_bytes_and_converted_from_utf16) {
  item_stream s;
  s.append(ascii_record(1, 0, 0, 0, std::string(200, 'n')));
  EXPECT_EQ(s.next()->name, std::string(126, 'n'));

  // 100 units of three UTF-8 bytes: 63 units fit in 126 bytes.
  s.append(utf16_record(1, 0, 0, 0, std::vector<uint16_t>(100, 0x4E2D)));
  std::string expected;
  for (int i = 0; i < 63; ++i) expected += "中";
  EXPECT_EQ(s.next()->name, expected);

  const uint8_t units[] = {'A', 0, 0xE9, 0, 0x00, 0x08, 0x34, 0x6C, 0, 0, 'X', 0};
  EXPECT_EQ(utf16le_to_utf8(units), "Aé\xE0\xA0\x80水");
}

// --- reports and events ----------------------------------------------------------------

struct event_log {
  std::vector<std::string> seen;
  media_events events() {
    media_events e;
    e.udisk_inserted = [this] { seen.push_back("udisk+"); };
    e.udisk_removed = [this] { seen.push_back("udisk-"); };
    e.usb_audio_connected = [this] { seen.push_back("audio+"); };
    e.usb_audio_disconnected = [this] { seen.push_back("audio-"); };
    e.play_device_changed = [this](int d) { seen.push_back("device " + std::to_string(d)); };
    e.transport_changed = [this](int t) { seen.push_back("transport " + std::to_string(t)); };
    e.bluetooth_changed = [this](bool c, bool p) { seen.push_back(std::string("bt ") + (c ? "c" : "-") + (p ? "p" : "-")); };
    e.playback = [this](const playback_status& s) {
      seen.push_back("playback " + std::to_string(s.song_count) + " " + std::to_string(s.current_song) + " " +
                     std::to_string(s.minutes) + ":" + std::to_string(s.seconds) + " f" + std::to_string(s.format) +
                     (s.repeat_one ? " one" : " all"));
    };
    e.time = [this](const media_time_report& t) {
      seen.push_back("time " + std::to_string(t.position_seconds) + " " + std::to_string(t.length_minutes) + ":" +
                     std::to_string(t.length_seconds) + " id " + std::to_string(t.file_id));
    };
    e.status_report = [this](std::span<const uint8_t>) { seen.push_back("status"); };
    e.now_playing = [this](std::string_view name, uint32_t id, uint16_t) {
      seen.push_back("playing " + std::string(name) + " " + std::to_string(id));
    };
    return e;
  }
  std::vector<std::string> take() { return std::exchange(seen, {}); }
};

TEST(media_reports, status_reports_fire_changes_in_order_and_playback_only_for_the_player) {
  media_bench b;
  event_log log;
  b.client.set_events(log.events());

  b.report(status_payload(2, 2, 2, 12, 3, 1, 7, 0x58));
  EXPECT_EQ(log.take(), (std::vector<std::string>{"udisk+", "device 2", "transport 2", "playback 12 3 1:7 f5 one", "status"}));
  b.report(status_payload(2, 2, 2, 12, 3, 1, 8, 0x20));
  EXPECT_EQ(log.take(), (std::vector<std::string>{"playback 12 3 1:8 f2 all", "status"}));

  // Bluetooth: p10 = 0 connected, p11 = 0 playing; the disk leaves, USB audio arrives.
  b.report(status_payload(4, 6, 1, 0, 0, 0, 0, 0));
  EXPECT_EQ(log.take(), (std::vector<std::string>{"udisk-", "audio+", "device 6", "bt cp", "transport 1", "status"}));
  b.report(status_payload(4, 6, 1, 0, 0, 0, 0, 1));
  EXPECT_EQ(log.take(), (std::vector<std::string>{"bt c-", "status"}));
  b.report(status_payload(0, 5, 5, 0, 0, 0, 3));
  EXPECT_EQ(log.take(), (std::vector<std::string>{"audio-", "device 5", "bt --", "transport 5", "playback 0 0 0:3 f1 all", "status"}));

  // Time reports, and reports of another length or kind are ignored.
  b.report({0x80, 42, 3, 30, 0x00, 0x01, 0x00, 0x02, 0, 0, 0, 9});
  EXPECT_EQ(log.take(), (std::vector<std::string>{"time 42 3:30 id 65538"}));
  b.client.report_payload(std::vector<uint8_t>(11, 0), b.now);
  b.report({0x81, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
  const std::vector<uint8_t> short_frame{0x80, 0x10, 113, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  b.client.media_report(short_frame, b.now);
  EXPECT_TRUE(log.take().empty());

  // The now-playing record comes through the item stream, whether a scan runs or not.
  b.items(ascii_record(0, 3, item_flag_is_file, 77, "Song.wav"));
  b.step();
  EXPECT_EQ(log.take(), (std::vector<std::string>{"playing Song.wav 77"}));
}

TEST(media_reports, silence_returns_to_no_device_once) {
  media_bench b;
  event_log log;
  b.client.set_events(log.events());
  b.report(status_payload(2, 6, 2, 0, 0, 0, 0, 0));
  log.take();
  b.run(media_silence_ms - 20);
  EXPECT_TRUE(log.take().empty());
  b.run(60);
  EXPECT_EQ(log.take(), (std::vector<std::string>{"transport 1", "device 0", "bt --", "udisk-"}));
  b.run(5000);
  EXPECT_TRUE(log.take().empty());
  EXPECT_EQ(b.client.usb_port_state(), 0);
  EXPECT_FALSE(b.client.udisk_present());

  // A USB audio device is forgotten the same way; a report brings it back.
  b.report(status_payload(4, 9, 1));
  log.take();
  b.run(media_silence_ms + 40);
  EXPECT_EQ(log.take(), (std::vector<std::string>{"device 0", "audio-"}));
  b.report(status_payload(4, 9, 1));
  EXPECT_EQ(log.take(), (std::vector<std::string>{"audio+", "device 9", "status"}));
}

TEST(media_commands, user_commands_send_their_units_and_hold_the_item_stream) {
  media_bench b;
  struct row {
    void (*send)(media_client&);
    std::vector<uint8_t> bytes;
  };
  const row rows[] = {
      {[](media_client& c) { c.select_udisk(); }, {0, 0, 0xA8}},
      {[](media_client& c) { c.select_recorder(); }, {0, 0, 0xC8}},
      {[](media_client& c) { c.select_bluetooth(); }, {0, 0, 0xC7}},
      {[](media_client& c) { c.select_usb_audio(); }, {0, 0, 0xB5}},
      {[](media_client& c) { c.select_spdif(0); }, {1, 0, 0xC3}},
      {[](media_client& c) { c.select_spdif(2); }, {3, 0, 0xC3}},
      {[](media_client& c) { c.play(); }, {0, 0, 0xA0}},
      {[](media_client& c) { c.pause(); }, {0, 0, 0xA1}},
      {[](media_client& c) { c.bluetooth_play_pause(); }, {0, 0, 0xA2}},
      {[](media_client& c) { c.previous(); }, {0, 0, 0xA4}},
      {[](media_client& c) { c.next(); }, {0, 0, 0xA6}},
      {[](media_client& c) { c.repeat_mode(); }, {0, 0, 0xAA}},
      {[](media_client& c) { c.record(); }, {0, 0, 0xE0}},
      {[](media_client& c) { c.take_playlist(); }, {5, 0, 0xD0}},
      {[](media_client& c) { c.play_file(0x12345678); }, {0x34, 0x12, 0xD1, 0x78, 0x56, 0xD2, 1, 0, 0xD0}},
  };
  b.step();  // the client times the hold on the step it last ran
  for (const row& r : rows) {
    b.sent.clear();
    r.send(b.client);
    ASSERT_EQ(b.sent.size(), 1u);
    EXPECT_EQ(b.sent[0].bytes, r.bytes);
  }

  // The last command holds the stream for 2 s: the now-playing record waits in the ring.
  std::vector<std::string> playing;
  media_events e;
  e.now_playing = [&](std::string_view n, uint32_t, uint16_t) { playing.emplace_back(n); };
  b.client.set_events(e);
  b.step();
  b.items(ascii_record(0, 1, item_flag_is_file, 5, "Held.mp3"));
  b.run(media_user_hold_ms - 40);
  EXPECT_TRUE(playing.empty());
  b.run(60);
  EXPECT_EQ(playing, (std::vector<std::string>{"Held.mp3"}));
}

TEST(media_log, levels_gate_the_lines_by_their_kind) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / ("vorante_media_log_" + std::to_string(::getpid()));
  struct row {
    int level;
    bool info, warning;
  };
  for (const row r : {row{0, false, false}, row{1, false, false}, row{2, false, true}, row{3, true, true}}) {
    std::FILE* f = std::fopen(path.c_str(), "w+");
    set_log_stream(f);
    media_bench b;
    b.log_level = r.level;
    b.client.scan_start();  // "[INFO] enter folder: ROOT"
    b.client.scan_start();  // "[WARNING] scanner is working!"
    set_log_stream(stdout);
    std::rewind(f);
    std::string text(4096, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), f));
    std::fclose(f);
    EXPECT_EQ(text.find("[INFO] enter folder: ROOT\n") != std::string::npos, r.info) << r.level;
    EXPECT_EQ(text.find("[WARNING] scanner is working!\n") != std::string::npos, r.warning) << r.level;
  }
  std::filesystem::remove(path);
}

// --- the scanner against crafted disks ---------------------------------------------------

// A disk that answers enter folder and query item as the console does, after the step in
// which the command was sent. Folder IDs are their keys; files have IDs of their own.
struct crafted_disk {
  struct entry {
    std::string name;
    uint32_t id;
    bool file;
  };
  std::map<uint32_t, std::vector<entry>> folders;
  bool answering = true;
  uint32_t entered = 0;

  std::vector<uint8_t> answer(const std::vector<uint8_t>& cmd) {
    if (!answering) return {};
    if (cmd.size() == 9 && cmd[8] == 0xD0 && cmd[6] == 2) {
      entered = static_cast<uint32_t>(cmd[0] | cmd[1] << 8) << 16 | static_cast<uint32_t>(cmd[3] | cmd[4] << 8);
      return item(0);
    }
    if (cmd.size() == 6 && cmd[5] == 0xD0 && cmd[3] == 8) return item((cmd[0] | cmd[1] << 8) + 1);
    return {};
  }
  std::vector<uint8_t> item(std::size_t i) {
    const auto& list = folders[entered];
    if (list.empty()) return ascii_record(item_kind_folder_empty, 0, 0, 0, "");
    if (i >= list.size()) return {};
    const entry& e = list[i];
    uint8_t flags = e.file ? item_flag_is_file : 0;
    if (i + 1 == list.size()) flags |= item_flag_is_last;
    return ascii_record(1, static_cast<uint16_t>(i), flags, e.id, e.name);
  }
};

struct scan_run {
  media_bench bench;
  crafted_disk disk;
  std::size_t answered = 0;
  std::vector<std::string> found;  // folder/name, * for the first file of a folder
  playlist list;
  int finished_count = -1, finished_code = -1;
  uint32_t finished_at = 0;
  int max_nodes = 0;
  std::filesystem::path save_to;

  scan_run() {
    media_events e;
    e.file_found = [this](const folder_node& folder, std::string_view name, uint32_t id, uint16_t, bool first) {
      found.push_back(folder.name + "/" + std::string(name) + (first ? "*" : ""));
      if (first) list.push_back({folder.name, {}});
      list.back().files.push_back({id, cut_name(name)});
    };
    e.scan_finished = [this](int count, int code) {
      finished_count = count;
      finished_code = code;
      finished_at = bench.now;
      if (!save_to.empty()) playlist_write(list, save_to.string());
    };
    bench.client.set_events(e);
  }
  // Answers what was sent since the last pump, then steps.
  void pump(uint32_t ms = 1) {
    for (; answered < bench.sent.size(); ++answered) bench.items(disk.answer(bench.sent[answered].bytes));
    bench.step(ms);
    max_nodes = std::max(max_nodes, bench.client.node_count());
  }
  void run_until_finished(uint32_t limit_ms = 60000, uint32_t period = 1) {
    const uint32_t start = bench.now;
    bench.client.scan_start();
    while (finished_code < 0 && bench.now - start < limit_ms) pump(period);
  }
};

TEST(media_scanner, an_empty_root_finishes_with_no_songs_after_about_100_ms) {
  scan_run s;
  const uint32_t start = s.bench.now;
  s.run_until_finished(10000, 5);
  EXPECT_EQ(s.finished_code, 0);
  EXPECT_EQ(s.finished_count, 0);
  EXPECT_GE(s.finished_at - start, scanner_empty_wait_ms);
  EXPECT_LE(s.finished_at - start, scanner_empty_wait_ms + 20);
  EXPECT_FALSE(s.bench.client.scanning());
  EXPECT_EQ(s.bench.client.node_count(), 0);
}

TEST(media_scanner, walks_depth_first_and_frees_each_folder_when_done) {
  scan_run s;
  // ROOT: a.mp3, A/, B/, z.wav   A: only the folder A1 (entered without a query)
  // A1: x.flac   B: empty, then C/   (B's sub-folder is walked after B's files)
  s.disk.folders[0] = {{"a.mp3", 100, true}, {"A", 1, false}, {"B", 2, false}, {"z.wav", 101, true}};
  s.disk.folders[1] = {{"A1", 3, false}};
  s.disk.folders[3] = {{"x.flac", 102, true}};
  s.disk.folders[2] = {{"b1.mp3", 103, true}, {"C", 4, false}, {"b2.mp3", 104, true}};
  s.disk.folders[4] = {};
  s.run_until_finished();

  EXPECT_EQ(s.finished_code, 0);
  EXPECT_EQ(s.finished_count, 5);
  EXPECT_EQ(s.found, (std::vector<std::string>{"ROOT/a.mp3*", "ROOT/z.wav", "A1/x.flac*", "B/b1.mp3*", "B/b2.mp3"}));
  EXPECT_EQ(s.bench.client.node_count(), 0);
  // ROOT, A and B are held while A1 is read; never more than the path and its siblings.
  EXPECT_LE(s.max_nodes, 4 * 2);

  // The folder holding only a folder is left for it at once: enter A is answered by A1
  // with the last flag, and the next command enters A1 rather than asking for more of A.
  std::vector<std::vector<uint8_t>> cmds;
  for (const auto& c : s.bench.sent) cmds.push_back(c.bytes);
  const auto enter_a = std::find(cmds.begin(), cmds.end(), test::enter_command(1));
  ASSERT_NE(enter_a, cmds.end());
  EXPECT_EQ(*(enter_a + 1), test::enter_command(3));
  // One command in flight at a time, no retries: every command was answered once.
  EXPECT_EQ(cmds.size(), 10u);
}

TEST(media_scanner, unanswered_commands_retry_ten_times_then_finish_with_code_2_keeping_the_finds) {
  scan_run s;
  s.save_to = std::filesystem::temp_directory_path() / ("vorante_playlist_retry_" + std::to_string(::getpid()) + ".json");
  s.disk.folders[0] = {{"one.mp3", 10, true}, {"two.mp3", 11, true}, {"three.mp3", 12, true}};
  s.bench.client.scan_start();
  s.pump();
  s.disk.answering = true;
  s.pump();
  s.disk.answering = false;  // the console stops answering after "two"
  ASSERT_EQ(s.found.size(), 2u);
  const std::size_t commands = s.bench.sent.size();
  while (s.finished_code < 0 && s.bench.now < 60000) s.pump(20);

  EXPECT_EQ(s.finished_code, 2);
  EXPECT_EQ(s.finished_count, 2);
  ASSERT_EQ(s.bench.sent.size(), commands + 10);
  for (std::size_t i = commands; i < s.bench.sent.size(); ++i) EXPECT_EQ(s.bench.sent[i].bytes, test::query_command(1));
  // Every retry after more than 2 s, the finish at the next check after the tenth.
  EXPECT_GT(s.bench.sent[commands].at - s.bench.sent[commands - 1].at, scanner_retry_ms);
  EXPECT_LE(s.finished_at - s.bench.sent.back().at, 40u);

  const playlist saved = playlist_read(s.save_to.string());
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0].name, "ROOT");
  ASSERT_EQ(saved[0].files.size(), 2u);
  EXPECT_EQ(saved[0].files[1].name, "two.mp3");
  EXPECT_EQ(saved[0].files[1].id, 11u);
  std::filesystem::remove(s.save_to);
}

TEST(media_scanner, an_answer_resets_the_retries_and_stop_finishes_with_code_1) {
  scan_run s;
  s.disk.folders[0] = {{"one.mp3", 10, true}, {"two.mp3", 11, true}};
  s.disk.answering = false;
  s.bench.client.scan_start();
  while (s.bench.sent.size() < 9) s.pump(20);  // eight retries of enter ROOT
  s.disk.answering = true;
  s.answered = s.bench.sent.size() - 1;  // only the last one is answered
  s.pump();
  s.disk.answering = false;
  while (s.bench.sent.size() < 9 + 1 + 9) s.pump(20);  // the query, then nine retries
  EXPECT_TRUE(s.bench.client.scanning());
  s.bench.client.scan_stop();
  EXPECT_EQ(s.finished_code, 1);
  EXPECT_EQ(s.finished_count, 1);
  EXPECT_EQ(s.bench.client.node_count(), 0);

  // Stopping when no scan runs reports nothing.
  s.finished_code = -1;
  s.bench.client.scan_stop();
  EXPECT_EQ(s.finished_code, -1);
}

TEST(media_scanner, a_user_command_during_the_walk_delays_it_without_asking_twice) {
  scan_run s;
  s.disk.folders[0] = {{"one.mp3", 10, true}, {"two.mp3", 11, true}, {"three.mp3", 12, true}};
  s.bench.client.scan_start();
  s.pump();
  s.bench.client.play();  // the answer to the query now waits out the hold
  const std::size_t before = s.bench.sent.size();
  while (s.finished_code < 0 && s.bench.now < 20000) s.pump(20);
  EXPECT_EQ(s.finished_code, 0);
  EXPECT_EQ(s.found, (std::vector<std::string>{"ROOT/one.mp3*", "ROOT/two.mp3", "ROOT/three.mp3"}));
  EXPECT_EQ(s.bench.sent.size(), before + 1);  // the second query only
}

TEST(media_scanner, an_empty_sub_folder_waits_then_the_walk_goes_on_with_its_sibling) {
  scan_run s;
  s.disk.folders[0] = {{"E", 1, false}, {"F", 2, false}};
  s.disk.folders[1] = {};
  s.disk.folders[2] = {{"f.mp3", 20, true}};
  s.run_until_finished(10000, 5);
  EXPECT_EQ(s.finished_code, 0);
  EXPECT_EQ(s.found, (std::vector<std::string>{"F/f.mp3*"}));
}

// --- the play-list file ----------------------------------------------------------------

TEST(media_playlist, round_trip_keeps_order_ids_and_names) {
  const playlist list{{"ROOT", {{1, "Intro.mp3"}, {4294967295u, "夜曲 Nocturne.flac"}}}, {"Café", {{7, "Ça va.wav"}}}, {"Empty", {}}};
  const std::string text = playlist_to_json(list);
  EXPECT_EQ(text.rfind(R"({"folders":[{"c":"0","n":"ROOT","files":[{"c":"1","n":"Intro.mp3"},)", 0), 0u);
  EXPECT_NE(text.find(R"({"c":"4294967295","n":"夜曲 Nocturne.flac"})"), std::string::npos);
  const playlist back = playlist_from_json(text);
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(back[0].files[1].id, 4294967295u);
  EXPECT_EQ(back[0].files[1].name, "夜曲 Nocturne.flac");
  EXPECT_EQ(back[1].name, "Café");
  EXPECT_TRUE(back[2].files.empty());
  EXPECT_EQ(playlist_count(back), 3u);
}

TEST(media_playlist, malformed_content_is_skipped_element_by_element) {
  struct row {
    const char* name;
    std::string text;
    std::vector<std::size_t> files_per_folder;
  };
  const std::string long_name(200, 'x');
  const row rows[] = {
      {"not json", "{\"folders\":[", {}},
      {"no folders", R"({"f":[]})", {}},
      {"folders not an array", R"({"folders":{}})", {}},
      {"folder without files kept out, others kept",
       R"({"folders":[{"c":"0","n":"A"},{"c":"0","n":"B","files":[{"c":"1","n":"b"}]}]})", {1}},
      {"non-string fields",
       R"({"folders":[{"c":0,"n":"A","files":[]},{"c":"0","n":5,"files":[]},{"c":"0","n":"C","files":[{"c":1,"n":"x"},{"c":"2","n":null},{"c":"3","n":"ok"},7]}]})",
       {1}},
      {"files not an array", R"({"folders":[{"c":"0","n":"A","files":"x"}]})", {}},
  };
  for (const row& r : rows) {
    const playlist got = playlist_from_json(r.text);
    std::vector<std::size_t> sizes;
    for (const auto& f : got) sizes.push_back(f.files.size());
    EXPECT_EQ(sizes, r.files_per_folder) << r.name;
  }

  // Names of 200 bytes keep 99; a cut inside a character backs off to its start; broken
  // UTF-8 is kept as bytes, never more than 99.
  std::string wide;
  for (int i = 0; i < 40; ++i) wide += "中";  // 120 bytes
  const std::string invalid = std::string(120, '\xC3');
  const playlist got = playlist_from_json(R"({"folders":[{"c":"0","n":"A","files":[{"c":"1","n":")" + long_name +
                                          R"("},{"c":"2","n":")" + wide + R"("},{"c":"3","n":")" + invalid + R"("}]}]})");
  ASSERT_EQ(got.size(), 1u);
  ASSERT_EQ(got[0].files.size(), 3u);
  EXPECT_EQ(got[0].files[0].name, std::string(99, 'x'));
  EXPECT_EQ(got[0].files[1].name.size(), 99u);
  EXPECT_EQ(got[0].files[1].name, wide.substr(0, 99));
  EXPECT_LE(got[0].files[2].name.size(), 99u);
  EXPECT_EQ(cut_name("ab中", 4), "ab");
}

TEST(media_playlist, file_missing_empty_or_unwritable) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("vorante_playlist_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  EXPECT_TRUE(playlist_read((dir / "missing.json").string()).empty());
  std::FILE* f = std::fopen((dir / "empty.json").c_str(), "wb");
  std::fclose(f);
  EXPECT_TRUE(playlist_read((dir / "empty.json").string()).empty());
  EXPECT_FALSE(playlist_write({{"A", {{1, "a"}}}}, (dir / "no" / "such" / "dir.json").string()));
  EXPECT_TRUE(playlist_write({{"A", {{1, "a"}}}}, (dir / "ok.json").string()));
  EXPECT_EQ(playlist_count(playlist_read((dir / "ok.json").string())), 1u);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vorante
