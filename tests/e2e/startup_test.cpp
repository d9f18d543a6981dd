// The vorante program as a process: the default image, the command line and the factory
// marker as the user and the factory tool see them. Every run that gets past the first
// command-line pass asks for a capture, which skips the splash: the start-up is the same,
// without waiting seconds for the artwork.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/core/crc16.h"
#include "app/core/factory_marker.h"

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

  struct result {
    int status = -1;
    std::string output;
  };

  result run(const std::string& args, const fs::path& binary = VORANTE_BINARY_PATH) {
    const std::string command = "cd " + quoted(dir_.string()) + " && TMPDIR=" + quoted(tmp_.string()) +
                                " " + quoted(binary.string()) + " " + args + " 2>&1 </dev/null";
    result r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    char buf[512];
    while (const std::size_t n = fread(buf, 1, sizeof buf, pipe)) r.output.append(buf, n);
    const int raw = pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
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
  EXPECT_NE(r.output.find("write '" + preset().string() + "' fail"), std::string::npos) << r.output;
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

}  // namespace
}  // namespace vorante
