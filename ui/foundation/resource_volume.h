// The resource volume: the read-only FAT image linked into the program, mounted as
// drive "0:", with the pictures under res/ and the UI font under font/.
//
// Paths may carry a drive prefix "N:". Drive 0 is the resource volume; drives 1 to 3
// exist as names but are never mounted, so paths on them fail like missing files. A
// path without a prefix is on drive 0. Names match without regard to case, so
// "res/common/img_back.png" finds the file stored as IMG_BACK.PNG.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "ui/foundation/fat_volume.h"

namespace vorante {

inline constexpr std::size_t ramdisk_size = 2'621'440;  // 5120 sectors of 512 bytes

// The volume image as linked in. When it is shorter than ramdisk_size the log says
// "RAMDISK ERROR!" and the result is empty.
std::span<const std::uint8_t> ramdisk_base();

// Mounts drive 0 once; later calls only report the result. Every other function here
// mounts on first use, so calling this is needed only to mount early.
bool resource_volume_mount();
// The mounted drive 0, or nullptr when the image could not be mounted.
const fat_volume* resource_volume();

// "0:" followed by the relative path, in one buffer shared with font_path(): valid only
// until the next call of either. Hand it on at once.
const char* res_path(const char* relative);

// Looks through `dir` in directory order for the first file (not directory) whose name,
// from its last '.', equals `ext` without regard to case. On a match `out` holds the
// directory path, a '/' unless the path ends in one, and the file name, and the result is
// its length. 0 (and `out` emptied) when the directory cannot be opened, holds no match,
// or the path does not fit in `out_size` bytes with its terminating zero.
std::size_t find_file_by_ext(const char* dir, const char* ext, char* out, std::size_t out_size);
// The same search on a given volume (a "0:" prefix of `dir` is accepted and kept).
std::size_t find_file_by_ext(const fat_volume& volume, const char* dir, const char* ext,
                             char* out, std::size_t out_size);

// The path of the first .ttf file in "0:font", in the buffer of res_path(); an empty text
// when there is none.
const char* font_path();

// Opens a file of the volume. Only reading modes ("r", "rb") succeed: the volume is
// read-only, so "w", "a" and any mode with '+' fail rather than pretend to write.
std::optional<fat_file> res_file_open(std::string_view path, std::string_view mode = "r");
std::optional<fat_dir> res_dir_open(std::string_view path);
// The whole file, or nothing when it cannot be opened or reads short.
std::optional<std::vector<std::uint8_t>> res_file_read_all(std::string_view path);

// The path within drive 0 with its drive prefix removed, or nullopt when it names
// another drive. Paths without a prefix are on drive 0.
std::optional<std::string_view> res_volume_relative(std::string_view path);

}  // namespace vorante
