#include "ui/foundation/resource_volume.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "app/core/log.h"
#include "resources/embedded.h"

namespace vorante {

namespace {

constexpr int resource_drive = 0;
constexpr int drive_count = 4;  // "0:" .. "3:" are drive names; only drive 0 is mounted
// Paths in use stay well below 64 characters; the rest is headroom.
constexpr std::size_t path_buffer_size = 256;

char shared_path[path_buffer_size];

struct mounted_volume {
  fat_volume volume;
  bool ok = false;
};

mounted_volume& drive0() {
  static mounted_volume drive = [] {
    mounted_volume d;
    const std::span<const std::uint8_t> image = ramdisk_base();
    d.ok = !image.empty() && d.volume.mount(image);
    if (!image.empty() && !d.ok) log_print("[ERROR] resource volume unreadable\n");
    return d;
  }();
  return drive;
}

}  // namespace

std::span<const std::uint8_t> ramdisk_base() {
  const std::span<const std::uint8_t> image = embedded_volume_image();
  if (image.size() < ramdisk_size) {
    log_print("RAMDISK ERROR!\n");
    return {};
  }
  return image;
}

bool resource_volume_mount() { return drive0().ok; }

const fat_volume* resource_volume() {
  mounted_volume& d = drive0();
  return d.ok ? &d.volume : nullptr;
}

std::optional<std::string_view> res_volume_relative(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') {
    const char drive = path[0];
    if (drive < '0' || drive >= '0' + drive_count) return std::nullopt;
    if (drive - '0' != resource_drive) return std::nullopt;  // named but never mounted
    path.remove_prefix(2);
  }
  return path;
}

const char* res_path(const char* relative) {
  std::snprintf(shared_path, sizeof shared_path, "%c:%s", '0' + resource_drive,
                relative ? relative : "");
  return shared_path;
}

std::size_t find_file_by_ext(const fat_volume& volume, const char* dir, const char* ext,
                             char* out, std::size_t out_size) {
  if (out && out_size > 0) out[0] = '\0';
  if (!dir || !ext || !out || out_size == 0) return 0;
  const std::optional<std::string_view> relative = res_volume_relative(dir);
  if (!relative) return 0;
  std::optional<fat_dir> listing = volume.open_dir(*relative);
  if (!listing) return 0;

  const std::string_view wanted(ext);
  while (const std::optional<fat_dir_entry> entry = listing->next()) {
    if (entry->is_directory()) continue;
    const std::string& name = entry->name();
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.size() - dot != wanted.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < wanted.size() && same; ++i)
      same = std::tolower(static_cast<unsigned char>(name[dot + i])) ==
             std::tolower(static_cast<unsigned char>(wanted[i]));
    if (!same) continue;

    const std::size_t dir_length = std::strlen(dir);
    const bool needs_slash = dir_length == 0 || dir[dir_length - 1] != '/';
    const std::size_t length = dir_length + (needs_slash ? 1 : 0) + name.size();
    if (length + 1 > out_size) return 0;  // would not fit: no half path
    std::snprintf(out, out_size, "%s%s%s", dir, needs_slash ? "/" : "", name.c_str());
    return length;
  }
  return 0;
}

std::size_t find_file_by_ext(const char* dir, const char* ext, char* out, std::size_t out_size) {
  const fat_volume* volume = resource_volume();
  if (!volume) {
    if (out && out_size > 0) out[0] = '\0';
    return 0;
  }
  return find_file_by_ext(*volume, dir, ext, out, out_size);
}

const char* font_path() {
  char dir[8];
  std::snprintf(dir, sizeof dir, "%c:font", '0' + resource_drive);
  // The result goes to the shared buffer; when nothing matches it is left empty.
  char found[path_buffer_size];
  const std::size_t length = find_file_by_ext(dir, ".ttf", found, sizeof found);
  std::memcpy(shared_path, found, length + 1);
  return shared_path;
}

std::optional<fat_file> res_file_open(std::string_view path, std::string_view mode) {
  if (mode.empty() || mode[0] != 'r' || mode.find('+') != std::string_view::npos)
    return std::nullopt;
  const fat_volume* volume = resource_volume();
  const std::optional<std::string_view> relative = res_volume_relative(path);
  if (!volume || !relative) return std::nullopt;
  return volume->open_file(*relative);
}

std::optional<fat_dir> res_dir_open(std::string_view path) {
  const fat_volume* volume = resource_volume();
  const std::optional<std::string_view> relative = res_volume_relative(path);
  if (!volume || !relative) return std::nullopt;
  return volume->open_dir(*relative);
}

std::optional<std::vector<std::uint8_t>> res_file_read_all(std::string_view path) {
  std::optional<fat_file> file = res_file_open(path);
  if (!file) return std::nullopt;
  std::vector<std::uint8_t> bytes(file->size());
  if (file->read(bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
  return bytes;
}

}  // namespace vorante
