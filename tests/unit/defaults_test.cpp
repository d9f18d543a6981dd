#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/core/crc16.h"
#include "app/params/defaults.h"
#include "app/params/ids.h"

namespace vorante {
namespace {

std::array<uint16_t, param_count> defaults() {
  std::array<uint16_t, param_count> d{};
  build_defaults(d.data(), d.size());
  return d;
}

TEST(defaults_test, channel_defaults) {
  const auto d = defaults();
  struct row {
    unsigned id;
    uint16_t value;
  } rows[] = {
      {param_id(1, 0, 3), 80},        {param_id(1, 25, 41), 20600},  {param_id(1, 7, 43), 0x8320},
      {param_id(1, 7, 58), 7},        {param_id(1, 7, 59), 20000},   {param_id(1, 17, 21), 0},
      {param_id(1, 16, 21), 1200},    {param_id(1, 16, 22), 0},      {param_id(1, 17, 22), 1200},
      {param_id(1, 3, 12), 0},        {param_id(2, 0, 211), 1},      {param_id(2, 1, 211), 17},
      {param_id(2, 1, 207), 7},       {param_id(2, 1, 208), 20000},  {3097, 1},
      {3098, 1},                      {param_id(3, 0, 62), 0},       {main_l_fader_id, 1200},
      {main_r_fader_id, 1200},        {main_l_solo_id, 1200},        {main_r_solo_id, 1200},
      {2669, 0},                      {param_id(3, 2, 84), 0x8276},  {param_id(3, 2, 108), 16000},
      {param_id(3, 2, 112), 0x80FA},  {param_id(3, 2, 168), 12000},  {param_id(4, 0, 218), 0},
  };
  for (const row& r : rows) EXPECT_EQ(d[r.id], r.value) << "ID " << r.id;
}

TEST(defaults_test, global_defaults_and_effect_tables) {
  const auto d = defaults();
  EXPECT_EQ(d[2], 0x8080);
  EXPECT_EQ(d[53], 0x8080);
  EXPECT_EQ(d[54], 0);
  EXPECT_EQ(d[2783], 1);
  EXPECT_EQ(d[2798], 16);
  EXPECT_EQ(d[2888], 26);
  EXPECT_EQ(d[2898], 10);
  EXPECT_EQ(d[2846], 50);
  // entry 10: (10, 30, 50) for effect 1, (10, 70, 50) for effect 2
  EXPECT_EQ(d[3195 + 45], 10);
  EXPECT_EQ(d[3195 + 46], 30);
  EXPECT_EQ(d[3356 + 46], 70);
  EXPECT_EQ(d[3195 + 10], 3);
  EXPECT_EQ(d[3195 + 11], 8);
  EXPECT_EQ(d[3195 + 12], 80);
  EXPECT_EQ(d[3275], 1);
  EXPECT_EQ(d[3354 - 2], 78);
  EXPECT_EQ(d[3515 - 2], 78);
  EXPECT_EQ(d[3355], 0);
  EXPECT_EQ(d[3517], 0);
}

TEST(defaults_test, builder_skips_ids_beyond_the_target) {
  std::vector<uint16_t> small(60, 0xFFFF);
  build_defaults(small.data(), small.size());
  EXPECT_EQ(small[2], 0x8080);
  EXPECT_EQ(small[59], 0);
}

class preset_file_test : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("vorante-preset-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    path_ = dir_ / "preset.bin";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::vector<uint8_t> read() const {
    std::ifstream in(path_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  std::filesystem::path dir_, path_;
};

TEST_F(preset_file_test, written_file_holds_sixteen_checked_blocks) {
  EXPECT_EQ(ensure_preset_file(path_).result, preset_result::written);
  const auto bytes = read();
  ASSERT_EQ(bytes.size(), preset_file_size);
  const auto d = defaults();
  for (std::size_t b = 0; b < preset_block_count; ++b) {
    const uint8_t* block = bytes.data() + b * preset_block_size;
    EXPECT_EQ(block[2 * 2] | (block[2 * 2 + 1] << 8), d[2]);
    EXPECT_EQ(block[2 * main_l_fader_id] | (block[2 * main_l_fader_id + 1] << 8), 1200);
    for (std::size_t i = 7036; i < 12286; ++i) ASSERT_EQ(block[i], 0);
    const uint16_t crc = crc16(block, preset_block_size - 2);
    EXPECT_EQ(block[12286], crc & 0xFF);
    EXPECT_EQ(block[12287], crc >> 8);
  }
}

TEST_F(preset_file_test, correct_file_is_left_untouched) {
  ASSERT_EQ(ensure_preset_file(path_).result, preset_result::written);
  const auto old_time = std::filesystem::last_write_time(path_) - std::chrono::hours(1);
  std::filesystem::last_write_time(path_, old_time);
  EXPECT_EQ(ensure_preset_file(path_).result, preset_result::unchanged);
  EXPECT_EQ(std::filesystem::last_write_time(path_), old_time);
}

TEST_F(preset_file_test, short_long_or_altered_files_are_rewritten) {
  ASSERT_EQ(ensure_preset_file(path_).result, preset_result::written);
  const auto good = read();
  for (int variant = 0; variant < 3; ++variant) {
    auto bytes = good;
    if (variant == 0) bytes.pop_back();
    if (variant == 1) bytes.push_back(0);
    if (variant == 2) bytes[15 * preset_block_size + 100] ^= 1;
    {
      std::ofstream out(path_, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    EXPECT_EQ(ensure_preset_file(path_).result, preset_result::written) << variant;
    EXPECT_EQ(read(), good) << variant;
  }
}

TEST_F(preset_file_test, unwritable_location_is_left_as_it_is) {
  const auto missing_dir = dir_ / "no" / "such" / "preset.bin";
  EXPECT_EQ(ensure_preset_file(missing_dir).result, preset_result::write_failed);
  EXPECT_FALSE(std::filesystem::exists(missing_dir));
}

}  // namespace
}  // namespace vorante
