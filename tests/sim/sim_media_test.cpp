#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "sim_test_support.h"
#include "tools/sim/media_module.h"

namespace vorante::sim {
namespace {

struct unit {
  uint16_t value;
  uint8_t reg;
};

std::vector<uint8_t> command_bytes(std::initializer_list<unit> units) {
  std::vector<uint8_t> out;
  for (const unit& u : units) out.insert(out.end(), {static_cast<uint8_t>(u.value & 0xFF), static_cast<uint8_t>(u.value >> 8), u.reg});
  return out;
}

struct item {
  uint8_t kind = 0;
  uint16_t index = 0;
  uint8_t flags = 0;
  uint32_t id = 0;
  std::string name;  // UTF-8
};

// Reads the item stream the way the program's media client does: the bytes of every
// item-data report in order, cut into records by start byte, length and checksum.
std::vector<item> items_of(const frame_list& frames) {
  std::vector<uint8_t> stream;
  for (const frame_bytes& f : frames) {
    EXPECT_EQ(f.size(), 17u);
    const std::vector<uint8_t> p = test::payload_of(f);
    if (p[0] != 0x82) continue;
    EXPECT_LE(p[1], 10);
    stream.insert(stream.end(), p.begin() + 2, p.begin() + 2 + p[1]);
  }
  std::vector<item> out;
  std::size_t at = 0;
  while (at + 4 <= stream.size()) {
    EXPECT_EQ(stream[at], 0xAA);
    const std::size_t total = get_be16(&stream[at + 1]) + 3u;
    EXPECT_LE(total, 256u);
    if (at + total > stream.size()) break;
    uint8_t sum = 0;
    for (std::size_t i = 0; i + 1 < total; ++i) sum = static_cast<uint8_t>(sum + stream[at + i]);
    EXPECT_EQ(sum, stream[at + total - 1]);
    item it;
    it.kind = stream[at + 3];
    it.index = get_be16(&stream[at + 4]);
    it.flags = stream[at + 6];
    it.id = static_cast<uint32_t>(stream[at + 8]) << 24 | stream[at + 9] << 16 | stream[at + 10] << 8 | stream[at + 11];
    const uint8_t* name = &stream[at + 12];
    const std::size_t name_len = total - 13;
    if (it.flags & item_flag_utf16) {
      for (std::size_t i = 0; i + 1 < name_len; i += 2) {
        const unsigned u = name[i] | name[i + 1] << 8;
        if (u == 0) break;
        if (u < 0x80) {
          it.name += static_cast<char>(u);
        } else if (u < 0x800) {
          it.name += static_cast<char>(0xC0 | u >> 6);
          it.name += static_cast<char>(0x80 | (u & 0x3F));
        } else {
          it.name += static_cast<char>(0xE0 | u >> 12);
          it.name += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
          it.name += static_cast<char>(0x80 | (u & 0x3F));
        }
      }
    } else {
      it.name.assign(reinterpret_cast<const char*>(name), name_len);
    }
    out.push_back(it);
    at += total;
  }
  EXPECT_EQ(at, stream.size());
  return out;
}

struct media_fixture {
  media_module media;
  uint32_t now = 0;
  explicit media_fixture(media_disk disk = media_disk::demo()) : media(std::move(disk), 0) {}

  frame_list command(std::initializer_list<unit> units) {
    frame_list out;
    media.command(command_bytes(units), now, out);
    return out;
  }
  std::vector<item> enter(uint32_t id) {
    return items_of(command({{static_cast<uint16_t>(id >> 16), reg_high}, {static_cast<uint16_t>(id), reg_low}, {2, reg_action}}));
  }
  std::vector<item> query(uint16_t index) { return items_of(command({{index, reg_high}, {8, reg_action}})); }

  // The program's scanner, depth first: every item of a folder, then its sub-folders.
  void walk(uint32_t id, const std::string& path, std::vector<std::string>& files, std::vector<std::string>& empty) {
    std::vector<item> got = enter(id);
    ASSERT_EQ(got.size(), 1u) << path;
    if (got[0].kind == item_kind_empty_folder) {
      empty.push_back(path);
      return;
    }
    std::vector<item> entries{got[0]};
    while (!(entries.back().flags & item_flag_last)) {
      got = query(entries.back().index);
      ASSERT_EQ(got.size(), 1u) << path;
      EXPECT_EQ(got[0].index, entries.back().index + 1);
      entries.push_back(got[0]);
    }
    for (const item& e : entries)
      if (e.flags & item_flag_file) files.push_back(path + "/" + e.name);
    for (const item& e : entries)
      if (!(e.flags & item_flag_file)) walk(e.id, path + "/" + e.name, files, empty);
  }
};

std::string path_of(const media_disk& disk, int index) {
  std::string path;
  for (int i = index; disk.item(i).parent >= 0; i = disk.item(i).parent) path = "/" + disk.item(i).name + path;
  return path;
}

TEST(sim_media_test, item_record_layout_and_utf16_names) {
  const std::vector<uint8_t> ascii = item_record(item_kind_entry, 3, item_flag_file | item_flag_last, 0x01020304, "A.mp3");
  const std::vector<uint8_t> head{0xAA, 0x00, 0x0F, 1, 0x00, 0x03, 0x41, 0x00, 0x01, 0x02, 0x03, 0x04, 'A', '.', 'm', 'p', '3'};
  ASSERT_EQ(ascii.size(), head.size() + 1);
  EXPECT_TRUE(std::equal(head.begin(), head.end(), ascii.begin()));

  const std::vector<uint8_t> wide = item_record(item_kind_entry, 0, 0, 7, "Ça夜\xF0\x9F\x8E\xB5\xFF");
  EXPECT_EQ(wide[6], item_flag_utf16);
  const std::vector<uint8_t> name(wide.begin() + 12, wide.end() - 1);
  // Ç, a, 夜, then "?" for the character beyond 16 bits and "?" for the broken byte, zero unit.
  EXPECT_EQ(name, (std::vector<uint8_t>{0xC7, 0x00, 'a', 0x00, 0x1C, 0x59, '?', 0x00, '?', 0x00, 0x00, 0x00}));

  // Records stay within the 256 bytes the program accepts, whatever the name.
  EXPECT_LE(item_record(item_kind_entry, 0, 0, 1, std::string(600, 'x')).size(), 256u);
  EXPECT_LE(item_record(item_kind_entry, 0, 0, 1, std::string(300, '\xC3') + "").size(), 256u);
}

TEST(sim_media_test, scanner_walk_finds_every_file_of_the_demo_disk) {
  media_fixture f;
  std::vector<std::string> files, empty;
  f.walk(0, "", files, empty);

  std::vector<std::string> expected;
  for (int i : f.media.disk().play_order()) expected.push_back(path_of(f.media.disk(), i));
  EXPECT_EQ(std::multiset<std::string>(files.begin(), files.end()), std::multiset<std::string>(expected.begin(), expected.end()));
  EXPECT_EQ(files.size(), f.media.song_count());
  EXPECT_EQ(empty, (std::vector<std::string>{"/Live Sets/Rehearsal", "/Empty"}));
  EXPECT_NE(std::find(files.begin(), files.end(), "/Playback/Walk-in Music/夜曲 Nocturne.flac"), files.end());
  EXPECT_NE(std::find(files.begin(), files.end(), "/Archive/2023/Old Take.mp3"), files.end());

  // Asking past the last item, or for a file as a folder, gets no answer.
  EXPECT_TRUE(f.query(200).empty());
  EXPECT_TRUE(f.enter(f.media.disk().item(f.media.disk().play_order()[0]).id).empty());
}

TEST(sim_media_test, disk_from_a_directory_keeps_playable_files_and_all_folders) {
  namespace fs = std::filesystem;
  const fs::path root = fs::temp_directory_path() / ("vorante_sim_disk_" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "b" / "deep");
  fs::create_directories(root / "a empty");
  for (const fs::path& p : {root / "z.FLAC", root / "notes.txt", root / ".hidden.mp3", root / "b" / "deep" / "x.wav"})
    std::ofstream(p) << "x";
  fs::create_directory_symlink(root / "b", root / "loop");

  std::string error;
  const auto disk = media_disk::from_directory(root.string(), error);
  ASSERT_TRUE(disk) << error;
  media_fixture f(*disk);
  std::vector<std::string> files, empty;
  f.walk(0, "", files, empty);
  EXPECT_EQ(files, (std::vector<std::string>{"/z.FLAC", "/b/deep/x.wav"}));
  EXPECT_EQ(empty, (std::vector<std::string>{"/a empty"}));
  fs::remove_all(root);

  EXPECT_FALSE(media_disk::from_directory((root / "missing").string(), error));
}

TEST(sim_media_test, transport_commands_show_in_the_status_report) {
  media_fixture f;
  auto status = [&] { return f.media.status_payload(); };
  EXPECT_EQ(status()[0], usb_disk);
  EXPECT_EQ(status()[1], device_udisk);
  EXPECT_EQ(status()[2], transport_idle);
  EXPECT_EQ(status()[5] | status()[6] << 8, f.media.song_count());

  // Play starts song 1 and announces it in the item stream, then a status and time report.
  const frame_list played = f.command({{0, reg_play}});
  const std::vector<item> playing = items_of(test::with_code(played, message_code::media_report));
  ASSERT_EQ(playing.size(), 1u);
  EXPECT_EQ(playing[0].kind, item_kind_playing);
  EXPECT_EQ(playing[0].name, "Intro.mp3");
  EXPECT_EQ(status()[2], transport_playing);
  EXPECT_EQ(status()[7], 1);
  EXPECT_EQ(status()[11] >> 4, 1);  // MP3

  f.command({{0, reg_next}});
  EXPECT_EQ(status()[7], 2);
  EXPECT_EQ(status()[11] >> 4, 2);  // the WAV
  f.command({{0, reg_previous}, {0, reg_previous}});  // round to the last song
  EXPECT_EQ(status()[7] | status()[8] << 8, f.media.song_count());
  f.command({{0, reg_pause}});
  EXPECT_EQ(status()[2], transport_paused);
  f.command({{0, reg_repeat}});
  EXPECT_EQ(status()[11] & 0x0F, 8);

  f.command({{3, reg_select_spdif}});
  EXPECT_EQ(status()[1], device_spdif);
  EXPECT_EQ(status()[2], 2);  // the optical input
  f.command({{0, reg_select_bluetooth}, {0, reg_bt_play_pause}});
  EXPECT_EQ(status()[1], device_bluetooth);
  EXPECT_EQ(status()[10], 0);  // connected
  EXPECT_EQ(status()[11], 0);  // playing
  f.command({{0, reg_select_usb_audio}});
  EXPECT_EQ(status()[1], device_usb_audio);
}

TEST(sim_media_test, reports_come_every_half_second_and_playback_moves_on) {
  media_fixture f;
  const disk_item& intro = f.media.disk().item(f.media.disk().play_order()[0]);
  f.command({{0, reg_play}});
  frame_list out;
  f.media.tick(media_report_period_ms - 1, true, out);
  EXPECT_TRUE(out.empty());
  f.media.tick(media_report_period_ms, true, out);
  ASSERT_EQ(out.size(), 2u);  // status and time
  const std::vector<uint8_t> time = test::payload_of(out[1]);
  EXPECT_EQ(time[0], 0x80);
  EXPECT_EQ(time[2] * 60 + time[3], intro.length_s);
  EXPECT_EQ(static_cast<uint32_t>(time[4] << 24 | time[5] << 16 | time[6] << 8 | time[7]), intro.id);

  // At the end of the song the next one starts and is announced.
  out.clear();
  f.media.tick(intro.length_s * 1000u, true, out);
  EXPECT_EQ(f.media.current_song(), 2);
  ASSERT_FALSE(items_of(out).empty());
  EXPECT_EQ(items_of(out)[0].kind, item_kind_playing);
}

TEST(sim_media_test, play_file_recording_and_the_usb_port) {
  media_fixture f;
  const media_disk& disk = f.media.disk();
  const int third = disk.play_order()[2];
  const uint32_t id = disk.item(third).id;
  f.command({{static_cast<uint16_t>(id >> 16), reg_high}, {static_cast<uint16_t>(id), reg_low}, {1, reg_action}});
  EXPECT_EQ(f.media.current_song(), 3);
  EXPECT_EQ(f.media.transport(), transport_playing);

  const uint16_t songs = f.media.song_count();
  f.command({{0, reg_select_recorder}, {0, reg_record}});
  EXPECT_EQ(f.media.transport(), transport_recording);
  frame_list out;
  f.media.tick(65000, false, out);
  EXPECT_TRUE(out.empty());  // nobody to report to
  EXPECT_EQ(f.media.status_payload()[9], 1);   // 1:05 recorded
  EXPECT_EQ(f.media.status_payload()[10], 5);
  f.command({{0, reg_record}});
  EXPECT_EQ(f.media.song_count(), songs + 1);  // the take is on the disk

  f.media.set_usb(usb_empty);
  EXPECT_EQ(f.media.status_payload()[0], usb_empty);
  EXPECT_EQ(f.media.song_count(), 0);
  EXPECT_TRUE(f.enter(0).empty());
  f.media.set_usb(usb_disk);
  EXPECT_EQ(f.enter(0).size(), 1u);
}

TEST(sim_media_test, command_bytes_of_any_shape_are_taken_safely) {
  media_fixture f;
  std::vector<uint8_t> junk;
  for (int n = 0; n < 200; ++n) {
    junk.push_back(static_cast<uint8_t>(n * 37 + 11));
    frame_list out;
    f.media.command(junk, 0, out);
    for (const frame_bytes& fr : out) EXPECT_EQ(fr.size(), 17u);
  }
}

}  // namespace
}  // namespace vorante::sim
