// The desktop program's MEDIA page against the simulator as processes: with a directory as
// the console's u-disk, opening the page scans it and saves what it found, by exact names,
// as playlist.json in the working directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/media/playlist.h"
#include "app/protocol/messages.h"
#include "tests/e2e/frame_log.h"
#include "tests/e2e/process.h"
#include "tests/e2e/sim_process.h"

namespace vorante {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

struct scratch_dir {
  fs::path path;
  fs::path previous = fs::current_path();
  explicit scratch_dir(const std::string& name) : path(fs::temp_directory_path() / (name + "-" + std::to_string(::getpid()))) {
    fs::remove_all(path);
    fs::create_directories(path / "run");
    // The program keeps its play list in the working directory it inherits.
    fs::current_path(path / "run");
  }
  ~scratch_dir() {
    fs::current_path(previous);
    fs::remove_all(path);
  }
  void touch(const std::string& relative) {
    const fs::path p = path / "disk" / fs::u8path(relative);
    fs::create_directories(p.parent_path());
    std::ofstream(p) << "x";
  }
};

test::process_result run_player(const test::sim_process& sim, const std::string& shot) {
  return test::run_process({VORANTE_PATH, "--connect", sim.console(), "--show", "player", "-log6951", "3", "--screenshot", shot + "@9000"},
                           60s);
}

TEST(player_e2e, the_page_scans_the_disk_and_saves_its_folders_and_files_by_exact_name) {
  scratch_dir dir("vorante-player-e2e");
  for (const char* f : {"Intro.mp3", "Café Müller/Ça va.mp3", "Café Müller/Ölfeld.wav", "中文歌曲/夜曲.flac",
                        "中文歌曲/深层/小城故事.mp3", "Leer/notes.txt"})
    dir.touch(f);
  test::sim_process sim({"--disk", (dir.path / "disk").string()});
  ASSERT_TRUE(sim.ready());
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const auto r = run_player(sim, (dir.path / "shot.png").string());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("scan finished! count: 5    err: 0"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("[INFO] memory leak count: 0"), std::string::npos);
  EXPECT_NE(r.out.find("[INFO] exit folder: 深层"), std::string::npos);

  const playlist saved = playlist_read(playlist_file_name);
  std::vector<std::string> seen;
  for (const playlist_folder& f : saved)
    for (const playlist_file& file : f.files) seen.push_back(f.name + "/" + file.name);
  EXPECT_EQ(seen, (std::vector<std::string>{"ROOT/Intro.mp3", "Café Müller/Ça va.mp3", "Café Müller/Ölfeld.wav",
                                            "中文歌曲/夜曲.flac", "深层/小城故事.mp3"}));
}

TEST(player_e2e, a_disk_of_2000_files_is_scanned_at_the_speed_of_the_replies) {
  scratch_dir dir("vorante-player-e2e-big");
  for (int f = 0; f < 100; ++f)
    for (int n = 0; n < 20; ++n) dir.touch("Folder " + std::to_string(f) + "/Track " + std::to_string(n) + ".mp3");
  const std::string log = (dir.path / "sim.log").string();
  test::sim_process sim({"--disk", (dir.path / "disk").string(), "--log", log});
  ASSERT_TRUE(sim.ready());
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const auto r = run_player(sim, (dir.path / "shot.png").string());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  ASSERT_NE(r.out.find("scan finished! count: 2000    err: 0"), std::string::npos) << r.out.substr(0, 2000);

  // From the simulator's log: every command of the last scan received, and when the last
  // answer to it went out. The floor is what the simulator itself takes to answer. (Scans
  // started while the program finds its source at start are stopped at once.)
  const auto frames = test::read_frame_log(log);
  std::vector<uint32_t> commands, answered;
  for (const test::logged_frame& f : frames) {
    if (f.received() && f.code == code_byte(message_code::media_command)) {
      const auto p = frame_payload(f.bytes);
      const bool enter = p.size() == 9 && p[6] == 2 && p[8] == 0xD0;
      if (enter && p[0] == 0 && p[1] == 0 && p[3] == 0 && p[4] == 0) {
        commands.clear();
        answered.clear();
      }
      if (enter || (p.size() == 6 && p[3] == 8 && p[5] == 0xD0)) commands.push_back(f.ms);
    } else if (f.sent() && f.code == code_byte(message_code::media_report) && !commands.empty()) {
      const auto p = frame_payload(f.bytes);
      if (p.size() == 12 && p[0] == 0x82) {
        if (answered.size() < commands.size()) answered.push_back(f.ms);
        answered.back() = f.ms;
      }
    }
  }
  ASSERT_EQ(commands.size(), 2100u);
  const double span_s = (commands.back() - commands.front()) / 1000.0;
  double console_ms = 0;
  for (std::size_t i = 0; i < answered.size(); ++i) console_ms += answered[i] - commands[i];
  std::printf("scan of 2000 files in 100 folders against vorante-sim: %zu commands in %.2f s, %.0f items/s; "
              "the simulator's own answer time adds up to %.0f ms (%.2f ms a command), the rest is the round trip "
              "and the program's turn (%.2f ms a command)\n",
              commands.size(), span_s, commands.size() / std::max(span_s, 1e-3), console_ms, console_ms / commands.size(),
              (span_s * 1000.0 - console_ms) / commands.size());
  // No fixed waits: far more than the 50 items a second a 20 ms timer would allow.
  EXPECT_GT(commands.size() / std::max(span_s, 1e-3), 100.0);
}

}  // namespace
}  // namespace vorante
