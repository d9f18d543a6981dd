// The u-disk in the console's USB port: a tree of folders and playable files, either the
// built-in demo disk or a directory tree of this machine read once at start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorante::sim {

// Bounds on what is read from a directory: the item index is 16 bits on the link, and a
// huge tree would only slow the start.
constexpr std::size_t max_disk_items = 20000;
constexpr int max_disk_depth = 16;
// Longest name the item records carry, in bytes of UTF-8; longer names are cut on a
// character boundary.
constexpr std::size_t max_item_name_bytes = 120;

enum class audio_format : uint8_t { none = 0, mp3 = 1, wav = 2, wma = 3, ape = 4, flac = 5 };

// The format of a file name by its extension (any case); none for other files.
audio_format format_of(std::string_view file_name);

struct disk_item {
  std::string name;      // UTF-8
  uint32_t id = 0;       // what the console calls the item on the link
  bool file = false;
  int parent = -1;       // index of the parent folder; -1 for the root
  std::vector<int> children;  // indexes of the items in this folder, in listing order
  uint16_t length_s = 0;      // files: playing time
};

class media_disk {
 public:
  // Only a root folder.
  media_disk();

  // Some nested folders, empty folders, a folder holding only a folder, UTF-16 names.
  static media_disk demo();
  // Playable files and the folders holding them under dir, sorted by name. Symbolic links
  // are not followed. Empty with an error text when dir is not a readable directory.
  static std::optional<media_disk> from_directory(const std::string& dir, std::string& error);

  const disk_item& item(int index) const { return items_[static_cast<std::size_t>(index)]; }
  int root() const { return 0; }
  std::size_t size() const { return items_.size(); }
  // The item with this link ID, -1 when there is none.
  int find(uint32_t id) const;
  // Files in playing order: a folder's files, then its sub-folders, depth first.
  const std::vector<int>& play_order() const;

  // Adds a folder or file under parent and returns its index.
  int add(int parent, std::string name, bool file);

 private:
  void collect(int folder) const;

  std::vector<disk_item> items_;
  mutable std::vector<int> play_order_;
  mutable bool order_stale_ = false;
};

}  // namespace vorante::sim
