// The vorante program as a process: the default image, the command line and the factory
// marker as the user and the factory tool see them. Every run that gets past the first
// command-line pass asks for a capture, which skips the splash: the start-up is the same,
// without waiting seconds for the artwork.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/core/crc16.h"
#include "app/core/factory_marker.h"
#include "app/core/version.h"
#include "app/params/defaults.h"

namespace vorante {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t block_size = 12288;
constexpr std::size_t file_size = 16 * block_size;

std::string quoted(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::vector<char> read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const fs::path& path, const std::vector<char>& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct shell_result {
  int status = -1;  // -1: the shell did not run or did not exit
  std::string output;
};

// Runs a shell command line, gathering what it printed and its exit status.
shell_result run_shell(const std::string& command) {
  shell_result r;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  char buf[512];
  while (const std::size_t n = fread(buf, 1, sizeof buf, pipe)) r.output.append(buf, n);
  const int raw = pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

// Every run gets its own TMPDIR and working directory, so the real preset.bin is never
// touched.
class program_run : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vorante-start-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    tmp_ = dir_ / "tmp";
    fs::create_directory(tmp_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  using result = shell_result;

  // `env`: words before the program, NAME=VALUE assignments or an env(1) command.
  result run(const std::string& args, const fs::path& binary = VORANTE_BINARY_PATH, const std::string& env = {}) {
    const std::string command = "cd " + quoted(dir_.string()) + " && TMPDIR=" + quoted(tmp_.string()) + " " + env +
                                " " + quoted(binary.string()) + " " + args + " 2>&1 </dev/null";
    return run_shell(command);
  }

  fs::path preset() const { return tmp_ / "preset.bin"; }

  fs::path dir_;
  fs::path tmp_;
};

// 16 identical blocks, each closed by the CRC of the rest, little-endian.
void expect_valid_preset(const std::vector<char>& bytes) {
  ASSERT_EQ(bytes.size(), file_size);
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const uint16_t crc = crc16(data, block_size - 2);
  EXPECT_EQ(data[block_size - 2], crc & 0xFF);
  EXPECT_EQ(data[block_size - 1], crc >> 8);
  for (std::size_t b = 1; b < 16; ++b)
    ASSERT_TRUE(std::equal(data, data + block_size, data + b * block_size)) << "block " << b;
}

TEST_F(program_run, mkdef_writes_the_default_image_and_stops) {
  const auto r = run("-mkdef");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.output.find("vorante:"), std::string::npos);  // ended before the start
  expect_valid_preset(read_file(preset()));
}

TEST_F(program_run, mkdef_leaves_a_correct_image_alone_and_repairs_a_short_one) {
  ASSERT_EQ(run("-mkdef").status, 0);
  const auto good = read_file(preset());
  const auto old_time = fs::last_write_time(preset()) - std::chrono::hours(1);
  fs::last_write_time(preset(), old_time);

  EXPECT_EQ(run("-mkdef").status, 0);
  EXPECT_EQ(fs::last_write_time(preset()), old_time);
  EXPECT_EQ(read_file(preset()), good);

  write_file(preset(), std::vector<char>(good.begin(), good.end() - 1));
  EXPECT_EQ(run("-mkdef").status, 0);
  EXPECT_EQ(read_file(preset()), good);

  auto damaged = good;
  damaged[15 * block_size + 100] ^= 1;  // last block only
  write_file(preset(), damaged);
  EXPECT_EQ(run("-mkdef").status, 0);
  EXPECT_EQ(read_file(preset()), good);
}

TEST_F(program_run, mkdef_reports_an_image_it_cannot_write) {
  fs::create_directory(preset());
  const auto r = run("-mkdef");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("[WARN] '" + preset().string() + "' left untouched: it is a directory\n"), std::string::npos)
      << r.output;
}

TEST_F(program_run, normal_start_writes_the_image_and_applies_the_command_line) {
  // The program ends after its first saved frame.
  const auto r = run("-ps 1 -gbar 1 -log6951 4 --screenshot shot.png@0");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("parsing cmdline...\nparse cmdline finished!\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("vorante: 3518 parameters, link mode 2, factory 0, group bar 1, "
                          "print sent 1, print received 0, media log level 4\n"),
            std::string::npos)
      << r.output;
  expect_valid_preset(read_file(preset()));
}

TEST_F(program_run, unknown_option_ends_with_status_1) {
  const auto r = run("--screenshot shot.png@0 -ps 1 -fast");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("unknow parameter '-fast'!\n"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("parse cmdline finished!"), std::string::npos);
}

TEST_F(program_run, help_and_version_answer_before_anything_starts) {
  const auto version = run("-gbar 1 --version -fast");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output, std::string("vorante ") + program_version_text + "\n");

  const auto help = run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.output.starts_with("usage: vorante ")) << help.output;
  for (const char* option : {"-mkdef", "-wdc", "-ps N", "-gbar N", "-log6951 N", "--connect", "--show", "--screenshot",
                             "--home", "--version", "status: 0", "documentation: "})
    EXPECT_NE(help.output.find(option), std::string::npos) << option;
  EXPECT_FALSE(fs::exists(fs::symlink_status(preset()))) << "the default image was written";

  // As a value it is no request, and an unknown option before it keeps its rule.
  EXPECT_EQ(run("-ps --help --screenshot shot.png@0").status, 0);
  const auto unknown = run("-fast --help");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.output.find("unknow parameter '-fast'!\n"), std::string::npos) << unknown.output;
}

// A start from the desktop menu: the program's own directory, made when missing, is the
// working directory, whatever directory the desktop started it in.
TEST_F(program_run, home_works_in_the_programs_own_directory) {
  const fs::path data = dir_ / "data" / "new";
  const auto r = run("--home --screenshot shot.png@0", VORANTE_BINARY_PATH, "XDG_DATA_HOME=" + quoted(data.string()));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(fs::is_regular_file(data / "vorante" / "shot.png"));
  EXPECT_FALSE(fs::exists(dir_ / "shot.png"));
  EXPECT_EQ(fs::status(data / "vorante").permissions() & fs::perms::all, fs::perms::owner_all);
  expect_valid_preset(read_file(preset()));  // still in the temporary directory

  // Without XDG_DATA_HOME: below the home directory.
  const fs::path home = dir_ / "home";
  const auto by_home = run("--home --screenshot shot.png@0", VORANTE_BINARY_PATH,
                           "env -u XDG_DATA_HOME HOME=" + quoted(home.string()));
  EXPECT_EQ(by_home.status, 0) << by_home.output;
  EXPECT_TRUE(fs::is_regular_file(home / ".local/share/vorante/shot.png"));

  // A directory that cannot be made ends the start before anything else.
  std::ofstream(dir_ / "file") << "x";
  const auto blocked = run("--home --screenshot shot.png@0", VORANTE_BINARY_PATH,
                           "XDG_DATA_HOME=" + quoted((dir_ / "file").string()));
  EXPECT_EQ(blocked.status, 1);
  EXPECT_NE(blocked.output.find("[WARN] cannot create '" + (dir_ / "file" / "vorante").string() + "'"),
            std::string::npos)
      << blocked.output;
}

TEST_F(program_run, factory_tool_patch_in_the_program_file_turns_factory_mode_on) {
  // The pattern the tool looks for, taken from this process's own unpatched copy.
  std::string marker(factory_marker_size, '\0');
  for (std::size_t i = 0; i < factory_marker_size; ++i) marker[i] = factory_marker_block[i];

  const fs::path copy = dir_ / "vorante";
  fs::copy_file(VORANTE_BINARY_PATH, copy);
  auto bytes = read_file(copy);
  const std::string_view image(bytes.data(), bytes.size());
  const auto at = image.find(marker);
  ASSERT_NE(at, std::string_view::npos);
  ASSERT_EQ(image.find(marker, at + 1), std::string_view::npos) << "the tool patches one place";

  auto unpatched = run("--screenshot shot.png@0", copy);
  EXPECT_EQ(unpatched.status, 0);
  EXPECT_NE(unpatched.output.find("factory 0"), std::string::npos) << unpatched.output;

  const char tag[8] = {'F', 'A', 'C', 'T', 'O', 'R', 'Y', '\0'};
  std::copy(tag, tag + 8, bytes.begin() + static_cast<std::ptrdiff_t>(at));
  write_file(copy, bytes);
  const auto patched = run("--screenshot shot.png@0", copy);
  EXPECT_EQ(patched.status, 0);
  EXPECT_NE(patched.output.find("factory 1"), std::string::npos) << patched.output;
}


// ---- preset.bin planted by someone else in the shared temporary directory ----

struct preset_sandbox {
  preset_sandbox() {
    std::string pattern = (fs::temp_directory_path() / "vorante-preset-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return;
    dir = pattern;
    tmp = dir / "tmp";
    outside = dir / "home";
    fs::create_directory(tmp);
    fs::create_directory(outside);
  }
  ~preset_sandbox() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  fs::path preset() const { return tmp / "preset.bin"; }

  // `wrapper` goes before the program: a shell prefix that changes the run's limits or
  // mounts, getting the temporary directory as $1 and the program and its arguments after.
  using outcome = shell_result;
  outcome run(const std::string& args, const std::string& wrapper = {}) const {
    const std::string program = quoted(VORANTE_BINARY_PATH) + " " + args;
    const std::string command =
        "cd " + quoted(dir.string()) + " && TMPDIR=" + quoted(tmp.string()) + " " +
        (wrapper.empty() ? program : "sh -c " + quoted(wrapper) + " sh " + quoted(tmp.string()) + " " + program) +
        " 2>&1 </dev/null";
    return run_shell(command);
  }

  fs::path dir, tmp, outside;
};

std::vector<char> correct_preset() {
  std::vector<char> block(block_size);
  build_preset_block(reinterpret_cast<uint8_t*>(block.data()));
  std::vector<char> bytes;
  for (int b = 0; b < 16; ++b) bytes.insert(bytes.end(), block.begin(), block.end());
  return bytes;
}

// The preset and anything named after it, such as a half-written copy; the window
// program's own runtime directory is not counted.
std::set<std::string> preset_names_in(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) {
    auto name = e.path().filename().string();
    if (name.starts_with("preset")) names.insert(std::move(name));
  }
  return names;
}

std::size_t count_of(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// What stands at the name before the run, what "-mkdef" does with it, and what must hold
// afterwards. A name the program may not touch ends the run with 1 and one line saying why.
TEST(preset_in_shared_directory, mkdef_uses_only_a_regular_file_of_the_user) {
  struct preset_case {
    const char* name;
    std::function<bool(const preset_sandbox&)> plant;  // false: cannot be set up here
    std::string wrapper;
    int status;
    std::string line;  // the one warning, "" for none; PRESET stands for the path
    std::function<void(const preset_sandbox&)> check;
  };
  const std::string victim_text = "the user's own notes\n";
  const auto line_for = [](const preset_sandbox& s, const std::string& line) {
    const auto at = line.find("PRESET");
    return at == std::string::npos ? line : line.substr(0, at) + s.preset().string() + line.substr(at + 6);
  };
  const preset_case cases[] = {
      {"link to a file of the user",
       [&](const preset_sandbox& s) {
         std::ofstream(s.outside / "notes.txt") << victim_text;
         fs::create_symlink(s.outside / "notes.txt", s.preset());
         return true;
       },
       "", 1, "[WARN] 'PRESET' left untouched: it is a symbolic link\n",
       [&](const preset_sandbox& s) {
         const auto notes = read_file(s.outside / "notes.txt");
         EXPECT_EQ(std::string(notes.begin(), notes.end()), victim_text);
         EXPECT_TRUE(fs::is_symlink(s.preset()));
       }},
      {"dangling link",
       [](const preset_sandbox& s) {
         fs::create_symlink(s.outside / "created.bin", s.preset());
         return true;
       },
       "", 1, "[WARN] 'PRESET' left untouched: it is a symbolic link\n",
       [](const preset_sandbox& s) { EXPECT_FALSE(fs::exists(fs::symlink_status(s.outside / "created.bin"))); }},
      // Would wait for a writer for ever if it were opened as a file.
      {"named pipe", [](const preset_sandbox& s) { return mkfifo(s.preset().c_str(), 0600) == 0; }, "", 1,
       "[WARN] 'PRESET' left untouched: it is a named pipe\n",
       [](const preset_sandbox& s) { EXPECT_TRUE(fs::is_fifo(s.preset())); }},
      {"directory", [](const preset_sandbox& s) { return fs::create_directory(s.preset()); }, "", 1,
       "[WARN] 'PRESET' left untouched: it is a directory\n",
       [](const preset_sandbox& s) { EXPECT_TRUE(fs::is_empty(s.preset())); }},
      {"short file of another user",
       [](const preset_sandbox& s) {
         write_file(s.preset(), std::vector<char>(100, 'x'));
         return chown(s.preset().c_str(), 4242, 4242) == 0;
       },
       "", 1, "[WARN] 'PRESET' left untouched: it belongs to another user (uid 4242)\n",
       [](const preset_sandbox& s) { EXPECT_EQ(read_file(s.preset()), std::vector<char>(100, 'x')); }},
      {"correct file",
       [](const preset_sandbox& s) {
         write_file(s.preset(), correct_preset());
         fs::last_write_time(s.preset(), fs::last_write_time(s.preset()) - std::chrono::hours(1));
         fs::create_hard_link(s.preset(), s.outside / "same-inode");
         return true;
       },
       "", 0, "",
       [](const preset_sandbox& s) {
         EXPECT_TRUE(fs::equivalent(s.preset(), s.outside / "same-inode"));
         EXPECT_EQ(fs::last_write_time(s.preset()), fs::last_write_time(s.outside / "same-inode"));
         EXPECT_LT(fs::last_write_time(s.preset()), fs::file_time_type::clock::now() - std::chrono::minutes(30));
       }},
      // Replaced by a rename: whoever still has the old file open reads it whole.
      {"short file",
       [](const preset_sandbox& s) {
         auto bytes = correct_preset();
         bytes.pop_back();
         write_file(s.preset(), bytes);
         fs::create_hard_link(s.preset(), s.outside / "old-inode");
         return true;
       },
       "", 0, "",
       [](const preset_sandbox& s) {
         expect_valid_preset(read_file(s.preset()));
         EXPECT_FALSE(fs::equivalent(s.preset(), s.outside / "old-inode"));
         EXPECT_EQ(read_file(s.outside / "old-inode").size(), file_size - 1);
       }},
      {"text file of the user",
       [](const preset_sandbox& s) {
         std::ofstream(s.preset()) << "not an image\n";
         return true;
       },
       "", 0, "", [](const preset_sandbox& s) { expect_valid_preset(read_file(s.preset())); }},
      // A full disk: the size limit stops the write part-way through the image.
      {"write stops part-way",
       [](const preset_sandbox& s) {
         std::ofstream(s.preset()) << "not an image\n";
         return true;
       },
       "trap '' XFSZ; ulimit -f 64 && shift && exec \"$@\"", 1, "[WARN] write 'PRESET' fail: File too large\n",
       [](const preset_sandbox& s) {
         const auto bytes = read_file(s.preset());
         EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "not an image\n");
       }},
      // Root writes through any permission bits; a read-only mount stops even root.
      {"directory on a read-only mount",
       [](const preset_sandbox&) { return std::system("unshare -m true >/dev/null 2>&1") == 0; },
       "exec unshare -m sh -c 'mount --make-rprivate / && mount --bind \"$1\" \"$1\" && "
       "mount -o remount,bind,ro \"$1\" && shift && exec \"$@\"' sh \"$@\"",
       1, "[WARN] write 'PRESET' fail: Read-only file system\n",
       [](const preset_sandbox& s) { EXPECT_FALSE(fs::exists(fs::symlink_status(s.preset()))); }},
  };
  for (const preset_case& c : cases) {
    SCOPED_TRACE(c.name);
    preset_sandbox s;
    ASSERT_FALSE(s.dir.empty());
    if (!c.plant(s)) {
      std::printf("  skipped '%s': this machine cannot set it up\n", c.name);
      continue;
    }
    auto expected_names = preset_names_in(s.tmp);
    if (c.status == 0) expected_names.insert("preset.bin");

    const auto r = s.run("-mkdef", c.wrapper);
    EXPECT_EQ(r.status, c.status) << r.output;
    if (c.line.empty()) {
      EXPECT_EQ(r.output.find("[WARN]"), std::string::npos) << r.output;
    } else {
      EXPECT_EQ(count_of(r.output, line_for(s, c.line)), 1u) << r.output;
      EXPECT_EQ(count_of(r.output, "[WARN]"), 1u) << r.output;
    }
    c.check(s);
    EXPECT_EQ(preset_names_in(s.tmp), expected_names);  // nothing left over
  }
}

TEST(preset_in_shared_directory, start_runs_on_past_a_planted_link) {
  preset_sandbox s;
  ASSERT_FALSE(s.dir.empty());
  std::ofstream(s.outside / "notes.txt") << "keep me\n";
  fs::create_symlink(s.outside / "notes.txt", s.preset());

  const auto r = s.run("--screenshot shot.png@0");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(count_of(r.output, "[WARN] '" + s.preset().string() + "' left untouched: it is a symbolic link\n"), 1u)
      << r.output;
  EXPECT_NE(r.output.find("vorante: 3518 parameters"), std::string::npos) << r.output;
  const auto notes = read_file(s.outside / "notes.txt");
  EXPECT_EQ(std::string(notes.begin(), notes.end()), "keep me\n");
}

}  // namespace
}  // namespace vorante
