// The program's disk scanner against the simulated console's media module, in process:
// every command the client sends goes to the module, every report it answers with comes
// back before the next step.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>

#include "app/core/log.h"
#include "app/media/media_client.h"
#include "app/media/playlist.h"
#include "sim_test_support.h"
#include "tools/sim/media_module.h"

namespace vorante::sim {
namespace {

struct scanner_on_module {
  media_module media;
  int log_level = 0;
  uint32_t now = 1;
  frame_list replies;
  std::size_t commands = 0;
  media_client client{[this](std::span<const uint8_t> p) {
                        ++commands;
                        media.command(p, now, replies);
                      },
                      log_level};
  std::vector<std::string> found;
  int finished_count = -1, finished_code = -1;
  std::size_t steps = 0;
  int max_nodes = 0;

  explicit scanner_on_module(media_disk disk) : media(std::move(disk), 0) {
    media_events e;
    e.file_found = [this](const folder_node& folder, std::string_view name, uint32_t, uint16_t, bool) {
      found.push_back(folder.name + "/" + std::string(name));
    };
    e.scan_finished = [this](int count, int code) {
      finished_count = count;
      finished_code = code;
    };
    client.set_events(e);
  }

  void step() {
    frame_list in = std::move(replies);
    replies.clear();
    for (const frame_bytes& f : in) client.media_report(f.view(), now);
    ++now;
    ++steps;
    client.step(now);
    max_nodes = std::max(max_nodes, client.node_count());
  }
  void scan(uint32_t limit_ms = 600000) {
    client.step(now);
    client.scan_start();
    while (finished_code < 0 && now < limit_ms) step();
  }
};

std::string folder_and_name(const media_disk& disk, int index) {
  const disk_item& it = disk.item(index);
  const std::string folder = it.parent == disk.root() ? "ROOT" : disk.item(it.parent).name;
  return folder + "/" + it.name;
}

TEST(sim_scanner_test, finds_every_file_of_the_demo_disk_with_its_folder_and_name) {
  scanner_on_module s(media_disk::demo());
  s.scan();
  EXPECT_EQ(s.finished_code, 0);
  EXPECT_EQ(s.finished_count, s.media.song_count());
  EXPECT_EQ(s.client.node_count(), 0);

  std::multiset<std::string> expected;
  for (int i : s.media.disk().play_order()) expected.insert(folder_and_name(s.media.disk(), i));
  EXPECT_EQ(std::multiset<std::string>(s.found.begin(), s.found.end()), expected);
  EXPECT_NE(std::find(s.found.begin(), s.found.end(), "Walk-in Music/夜曲 Nocturne.flac"), s.found.end());
}

TEST(sim_scanner_test, a_disk_of_2000_files_in_100_folders_is_walked_at_the_speed_of_the_replies) {
  media_disk disk;
  for (int f = 0; f < 100; ++f) {
    const int folder = disk.add(disk.root(), "Folder " + std::to_string(f), false);
    for (int n = 0; n < 20; ++n) disk.add(folder, "Track " + std::to_string(n) + ".mp3", true);
  }
  scanner_on_module s(std::move(disk));
  const auto start = std::chrono::steady_clock::now();
  s.scan();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  EXPECT_EQ(s.finished_code, 0);
  EXPECT_EQ(s.finished_count, 2000);
  // One command per item (entering a folder is answered by its first item, each query by
  // the next), none repeated, and one step for each answer: no step waits for time.
  const std::size_t items = 100 + 2000;
  EXPECT_EQ(s.commands, items);
  EXPECT_LE(s.steps, items + 2);
  // The walk holds ROOT, the folder being read and the siblings not yet visited.
  EXPECT_EQ(s.client.node_count(), 0);
  EXPECT_LE(s.max_nodes, 2 * 101);
  std::printf("scan of 2000 files in 100 folders: %zu items, %zu commands, %zu steps, %.1f ms of CPU, "
              "%.0f items/s in process; each step waited for one reply only\n",
              items, s.commands, s.steps, seconds * 1000.0, static_cast<double>(items) / seconds);
}

}  // namespace
}  // namespace vorante::sim
