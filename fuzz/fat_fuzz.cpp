// Mounts an arbitrary disk image and walks all of it: every directory, every file read to
// its end in uneven pieces, seeks, and every path looked up again by name.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ui/foundation/fat_volume.h"
#include "fuzz/fuzz_check.h"

namespace {

using namespace vorante;

constexpr int max_depth = 6;
constexpr int max_entries = 4096;  // a damaged directory may list the same bytes forever

void read_all(const fat_volume& volume, const std::string& path, const fat_dir_entry& entry) {
  auto file = volume.open_file(path);
  if (!file) return;
  FUZZ_REQUIRE(file->size() == entry.size);
  std::vector<std::uint8_t> buffer(777);
  std::uint64_t total = 0;
  for (std::size_t n; (n = file->read(buffer.data(), buffer.size())) > 0;) {
    FUZZ_REQUIRE(n <= buffer.size());
    total += n;
    FUZZ_REQUIRE(total <= file->size());
  }
  FUZZ_REQUIRE(file->tell() == total);
  FUZZ_REQUIRE(file->seek(-1, seek_origin::start) == -1 && file->tell() == total);
  FUZZ_REQUIRE(file->seek(0, seek_origin::end) == file->size());
  FUZZ_REQUIRE(file->seek(-static_cast<std::int64_t>(file->size() / 2), seek_origin::current) >= 0);
  FUZZ_REQUIRE(file->read(buffer.data(), 1) <= 1);
  FUZZ_REQUIRE(file->seek(std::int64_t{1} << 33, seek_origin::start) == file->size());  // past any size
  FUZZ_REQUIRE(file->read(buffer.data(), buffer.size()) == 0);
}

void walk(const fat_volume& volume, const std::string& path, int depth, int& entries) {
  auto dir = volume.open_dir(path);
  if (!dir) return;
  while (auto entry = dir->next()) {
    if (++entries > max_entries) return;
    const std::string child = path.empty() ? entry->name() : path + "/" + entry->name();
    const auto again = volume.stat(child);
    if (entry->is_directory()) {
      if (depth < max_depth) walk(volume, child, depth + 1, entries);
    } else {
      read_all(volume, child, again ? *again : *entry);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // The reader must stay inside the bytes it was given: hand it exactly those.
  std::vector<std::uint8_t> image(data, data + size);
  fat_volume volume;
  if (!volume.mount(std::span<const std::uint8_t>(image.data(), image.size()))) return 0;
  FUZZ_REQUIRE(volume.fat_bits() == 12 || volume.fat_bits() == 16);
  FUZZ_REQUIRE(volume.stat("/").has_value() && volume.stat("/")->is_directory());
  int entries = 0;
  walk(volume, "", 0, entries);
  for (const char* path : {"RES", "res/media/a.bin", "/A/B/C", "..", "a//b", "NAME.EXT"}) {
    if (auto file = volume.open_file(path)) {
      std::uint8_t byte;
      file->read(&byte, 1);
    }
    volume.open_dir(path);
  }
  return 0;
}
