// The default parameter image and its file form "preset.bin".
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

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
  refused,        // not a regular file of the user (a link, a pipe, another user's file):
                  // left untouched
  write_failed,   // could not be written; left as it was
};

struct preset_check {
  preset_result result = preset_result::write_failed;
  std::string reason;  // why it was refused or not written; empty otherwise
};

// "preset.bin" in the temporary directory.
std::filesystem::path preset_path();

// Validates the file at `path` and replaces it whole when it is missing or wrong. The
// temporary directory is shared, so the name is never followed or opened blocking.
preset_check ensure_preset_file(const std::filesystem::path& path);
inline preset_check ensure_preset_file() { return ensure_preset_file(preset_path()); }

// The log line for a check that left no correct file behind; empty when there is one.
std::string preset_check_line(const std::filesystem::path& path, const preset_check& check);

}  // namespace vorante
