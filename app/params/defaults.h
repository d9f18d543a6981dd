// The default parameter image and its file form "preset.bin".
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace vorante {

// Writes the default of every ID below n into target[0..n-1].
void build_defaults(uint16_t* target, std::size_t n);

constexpr std::size_t preset_block_size = 12288;
constexpr std::size_t preset_block_count = 16;
constexpr std::size_t preset_file_size = preset_block_size * preset_block_count;

// One 12288-byte block: the image little-endian, zeros, the CRC of the rest little-endian.
void build_preset_block(uint8_t* block);

enum class preset_result {
  unchanged,      // the file was already correct and was not touched
  written,        // missing, short or different: written anew
  write_failed,   // could not be opened for writing; left as it was
};

// "preset.bin" in the temporary directory.
std::filesystem::path preset_path();

// Validates the file at `path` and rewrites it when it is missing or wrong.
preset_result ensure_preset_file(const std::filesystem::path& path);
inline preset_result ensure_preset_file() { return ensure_preset_file(preset_path()); }

}  // namespace vorante
