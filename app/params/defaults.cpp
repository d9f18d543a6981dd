#include "app/params/defaults.h"

#include <array>
#include <cstring>
#include <system_error>

#include "app/core/crc16.h"
#include "app/os/safe_file.h"
#include "app/params/ids.h"

namespace vorante {

namespace {

struct code_default {
  uint8_t code;
  uint16_t value;
};

constexpr code_default input_defaults[] = {
    {2, 1},     {3, 80},    {4, 128},   {5, 3},     {6, 2},      {9, 1},     {10, 1},   {11, 100},
    {21, 1200}, {22, 1200}, {27, 1},    {29, 1},    {30, 100},   {31, 100},  {32, 5000}, {35, 1200},
    {36, 1},    {37, 1},    {38, 20},   {39, 0x80C4}, {40, 21},  {41, 20600},
};

// The five parametric bands of inputs and effect returns: (type, frequency, gain, Q).
constexpr uint16_t channel_band_frequencies[] = {0x8320, 400, 2500, 12000, 20000};

constexpr code_default fx_defaults[] = {
    {172, 1}, {181, 1200}, {182, 1200}, {185, 1},  {186, 1}, {187, 20},
    {188, 0x80C4}, {189, 21}, {190, 20600}, {212, 30}, {213, 78},
};

constexpr code_default bus_defaults[] = {
    {63, 1}, {64, 1},  {66, 1},  {68, 1},  {69, 100}, {70, 100},     {71, 5000}, {73, 1200},
    {76, 1}, {77, 1},  {78, 1},  {79, 20}, {80, 0x80C4}, {81, 21},  {82, 20600},
};

constexpr uint16_t bus_parametric_frequencies[] = {0x8276, 150, 400, 1000, 2500, 6300, 16000};
constexpr uint16_t bus_graphic_frequencies[] = {0x80FA, 0x8190, 0x8276, 100,  163,  250,  400,  630,
                                                1000,   1600,   2500,   4000, 6300, 10000, 12000};

struct range_default {
  uint16_t first;
  uint16_t last;
  uint16_t value;
  bool counting;  // value, value + 1, ... across the range
};

constexpr range_default global_defaults[] = {
    {2, 53, 0x8080, false},   {2766, 2766, 100, false}, {2767, 2767, 900, false},
    {2771, 2771, 1000, false}, {2772, 2772, 800, false}, {2773, 2782, 1200, false},
    {2783, 2798, 1, true},    {2799, 2814, 1, true},    {2815, 2846, 50, false},
    {2847, 2862, 1, false},   {2863, 2888, 1, true},    {2889, 2898, 1, true},
};

// Effect tables: 32 entries of (type, p1, p2, p3, p4); the first 16 differ per effect.
struct effect_entry {
  uint16_t p1_fx1;
  uint16_t p1_fx2;
  uint16_t p2;
};
constexpr effect_entry effect_entries[16] = {
    {0, 0, 78},   {0, 0, 78},   {8, 8, 80},   {0, 0, 78},   {0, 0, 78},   {30, 30, 50},
    {30, 30, 50}, {30, 30, 50}, {30, 30, 50}, {30, 70, 50}, {78, 78, 50}, {35, 25, 50},
    {25, 35, 50}, {35, 30, 50}, {35, 35, 50}, {35, 30, 50},
};
constexpr uint16_t effect_table_base[2] = {3195, 3356};

class image_writer {
 public:
  image_writer(uint16_t* target, std::size_t n) : target_(target), n_(n) {}
  void set(unsigned id, uint16_t value) {
    if (id < n_) target_[id] = value;
  }

 private:
  uint16_t* target_;
  std::size_t n_;
};

void write_bands(image_writer& out, int kind, int index, int first_code, const uint16_t* frequencies, int count) {
  for (int b = 0; b < count; ++b) {
    const int c = first_code + codes_per_band * b;
    out.set(param_id(kind, index, c), 7);
    out.set(param_id(kind, index, c + 1), frequencies[b]);
    out.set(param_id(kind, index, c + 2), 500);
    out.set(param_id(kind, index, c + 3), 100);
  }
}

}  // namespace

void build_defaults(uint16_t* target, std::size_t n) {
  image_writer out(target, n);
  for (std::size_t id = 0; id < n; ++id) target[id] = 0;

  for (int i = 0; i < input_count; ++i) {
    for (const code_default& d : input_defaults) out.set(param_id(kind_input, i, d.code), d.value);
    write_bands(out, kind_input, i, code_input_bands, channel_band_frequencies, 5);
  }
  // The fixed stereo pairs feed MAIN L only from the left member and MAIN R from the right.
  for (int i : {17, 19, 25}) out.set(param_id(kind_input, i, code_input_main_l_send), 0);
  for (int i : {16, 18, 24}) out.set(param_id(kind_input, i, code_input_main_r_send), 0);

  for (int f = 0; f < fx_count; ++f) {
    for (const code_default& d : fx_defaults) out.set(param_id(kind_fx, f, d.code), d.value);
    write_bands(out, kind_fx, f, code_fx_bands, channel_band_frequencies, fx_band_count);
    out.set(param_id(kind_fx, f, code_fx_type), f == 0 ? 1 : 17);
    out.set(param_id(kind_fx, f, code_fx_value), 1);
  }

  for (int b = 0; b < bus_count; ++b) {
    for (const code_default& d : bus_defaults) out.set(param_id(kind_bus, b, d.code), d.value);
    write_bands(out, kind_bus, b, code_bus_bands, bus_parametric_frequencies, bus_band_count);
    write_bands(out, kind_bus, b, code_bus_graphic_bands, bus_graphic_frequencies, bus_graphic_band_count);
    out.set(param_id(kind_bus, b, code_bus_fader), b >= main_l_bus ? 1200 : 0);
  }
  out.set(param_id(kind_bus, main_l_bus, code_bus_solo_l), 1200);
  out.set(param_id(kind_bus, main_r_bus, code_bus_solo_r), 1200);

  for (const range_default& r : global_defaults)
    for (unsigned id = r.first; id <= r.last; ++id)
      out.set(id, static_cast<uint16_t>(r.counting ? r.value + (id - r.first) : r.value));

  for (int f = 0; f < 2; ++f) {
    for (int e = 0; e < 32; ++e) {
      const unsigned id = effect_table_base[f] + 5u * e;
      if (e < 16) {
        const effect_entry& d = effect_entries[e];
        out.set(id, static_cast<uint16_t>(e + 1));
        out.set(id + 1, f == 0 ? d.p1_fx1 : d.p1_fx2);
        out.set(id + 2, d.p2);
      } else {
        out.set(id, 1);
        out.set(id + 1, 0);
        out.set(id + 2, 78);
      }
      out.set(id + 3, 0);
      out.set(id + 4, 0);
    }
  }
}

void build_preset_block(uint8_t* block) {
  std::array<uint16_t, param_count> image{};
  build_defaults(image.data(), image.size());
  std::memset(block, 0, preset_block_size);
  for (int id = 0; id < param_count; ++id) {
    block[2 * id] = static_cast<uint8_t>(image[id] & 0xFF);
    block[2 * id + 1] = static_cast<uint8_t>(image[id] >> 8);
  }
  const uint16_t crc = crc16(block, preset_block_size - 2);
  block[preset_block_size - 2] = static_cast<uint8_t>(crc & 0xFF);
  block[preset_block_size - 1] = static_cast<uint8_t>(crc >> 8);
}

std::filesystem::path preset_path() {
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
  if (ec) dir = "/tmp";
  return dir / "preset.bin";
}

preset_check ensure_preset_file(const std::filesystem::path& path) {
  std::array<uint8_t, preset_block_size> block{};
  build_preset_block(block.data());

  const file_read current = read_regular_file(path, preset_file_size);
  switch (current.status) {
    case file_status::ok:
      if (current.bytes.size() == preset_file_size) {
        bool same = true;
        for (std::size_t b = 0; same && b < preset_block_count; ++b)
          same = std::memcmp(current.bytes.data() + b * preset_block_size, block.data(), preset_block_size) == 0;
        if (same) return {preset_result::unchanged, {}};
      }
      break;
    case file_status::missing:
    case file_status::too_large:
      break;
    case file_status::not_regular:
    case file_status::foreign_owner:
    case file_status::failed:
      return {preset_result::refused, current.reason};
  }

  std::string image;
  image.reserve(preset_file_size);
  for (std::size_t b = 0; b < preset_block_count; ++b)
    image.append(reinterpret_cast<const char*>(block.data()), block.size());
  const file_write written = write_file_atomically(path, image);
  if (!written.ok) return {preset_result::write_failed, written.reason};
  return {preset_result::written, {}};
}

std::string preset_check_line(const std::filesystem::path& path, const preset_check& check) {
  switch (check.result) {
    case preset_result::unchanged:
    case preset_result::written:
      return {};
    case preset_result::refused:
      return "[WARN] '" + path.string() + "' left untouched: " + check.reason + "\n";
    case preset_result::write_failed:
      break;
  }
  return "[WARN] write '" + path.string() + "' fail: " + check.reason + "\n";
}

}  // namespace vorante
