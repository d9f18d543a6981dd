#include "ui/foundation/fat_volume.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace vorante {

namespace {

constexpr std::size_t dir_entry_bytes = 32;
constexpr std::size_t mbr_bytes = 512;
constexpr std::uint32_t fat12_max_clusters = 4084;   // more clusters make it FAT16
constexpr std::uint32_t fat16_max_clusters = 65524;  // more make it FAT32, not read here
constexpr std::uint8_t lfn_attributes = 0x0F;
constexpr std::uint8_t lfn_last_flag = 0x40;
constexpr std::size_t lfn_chars_per_entry = 13;
constexpr std::size_t lfn_max_entries = 20;  // 255 characters
// Where the 13 UCS-2 characters of a long-name entry sit.
constexpr std::array<std::uint8_t, lfn_chars_per_entry> lfn_char_offsets = {
    1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
// Partition types of FAT12 and FAT16 volumes.
constexpr std::array<std::uint8_t, 4> fat_partition_types = {0x01, 0x04, 0x06, 0x0E};

std::uint16_t le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::uint32_t le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

bool is_power_of_two(std::uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

// Cheap plausibility check of a boot sector, used to tell a bare volume from a
// partitioned disk before the full layout checks of mount().
bool looks_like_boot_sector(std::span<const std::uint8_t> image, std::uint64_t offset) {
  if (offset > image.size() || image.size() - offset < 512) return false;
  const std::uint8_t* b = image.data() + offset;
  const std::uint32_t bps = le16(b + 11);
  return (b[0] == 0xEB || b[0] == 0xE9) && is_power_of_two(bps) && bps >= 512 && bps <= 4096 &&
         is_power_of_two(b[13]) && le16(b + 14) != 0 && b[16] != 0 && le16(b + 22) != 0;
}

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char x, char y) { return ascii_lower(x) == ascii_lower(y); });
}

std::uint8_t short_name_checksum(const std::uint8_t* name11) {
  std::uint8_t sum = 0;
  for (int i = 0; i < 11; ++i)
    sum = static_cast<std::uint8_t>(((sum & 1) << 7) + (sum >> 1) + name11[i]);
  return sum;
}

std::string decode_short_name(const std::uint8_t* e) {
  // Windows keeps "all lower case" for the base and the extension in byte 12 instead of
  // a long name.
  const bool lower_base = (e[12] & 0x08) != 0;
  const bool lower_ext = (e[12] & 0x10) != 0;
  auto part = [](const std::uint8_t* p, int n, bool lower) {
    std::string s;
    for (int i = 0; i < n; ++i) {
      char c = static_cast<char>(i == 0 && p[i] == 0x05 ? 0xE5 : p[i]);
      s += lower ? ascii_lower(c) : c;
    }
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
  };
  std::string name = part(e, 8, lower_base);
  const std::string ext = part(e + 8, 3, lower_ext);
  if (!ext.empty()) name += "." + ext;
  return name;
}

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string utf16_to_utf8(const std::vector<char16_t>& units) {
  std::string out;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t u = units[i];
    if (u == 0x0000 || u == 0xFFFF) break;  // terminator and padding
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      append_utf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      append_utf8(out, 0xFFFD);
    } else {
      append_utf8(out, u);
    }
  }
  return out;
}

// Collects the long-name entries that precede a short entry; they count only when the
// sequence is complete and their checksum matches the short name that follows.
class long_name_builder {
 public:
  void reset() { expected_ = 0; }

  void add(const std::uint8_t* e) {
    const std::uint8_t order = e[0] & 0x1F;
    if (e[0] & lfn_last_flag) {
      if (order == 0 || order > lfn_max_entries) return reset();
      units_.assign(order * lfn_chars_per_entry, 0xFFFF);
      checksum_ = e[13];
    } else if (expected_ == 0 || order != expected_ - 1 || e[13] != checksum_) {
      return reset();
    }
    expected_ = order;
    for (std::size_t i = 0; i < lfn_chars_per_entry; ++i)
      units_[(order - 1) * lfn_chars_per_entry + i] =
          static_cast<char16_t>(le16(e + lfn_char_offsets[i]));
  }

  std::string take(const std::uint8_t* short_entry) {
    std::string name;
    if (expected_ == 1 && checksum_ == short_name_checksum(short_entry))
      name = utf16_to_utf8(units_);
    reset();
    return name;
  }

 private:
  std::vector<char16_t> units_;
  std::uint8_t checksum_ = 0;
  std::uint8_t expected_ = 0;  // order of the entry seen last; 0: no sequence open
};

}  // namespace

bool fat_volume::mount(std::span<const std::uint8_t> image) {
  *this = fat_volume{};

  std::uint64_t offset = 0;
  if (!looks_like_boot_sector(image, 0)) {
    if (image.size() < mbr_bytes || image[510] != 0x55 || image[511] != 0xAA) return false;
    bool found = false;
    for (int i = 0; i < 4 && !found; ++i) {
      const std::uint8_t* p = image.data() + 446 + 16 * i;
      const std::uint64_t start = std::uint64_t{le32(p + 8)} * mbr_bytes;
      if (start != 0 &&
          std::find(fat_partition_types.begin(), fat_partition_types.end(), p[4]) !=
              fat_partition_types.end() &&
          looks_like_boot_sector(image, start)) {
        offset = start;
        found = true;
      }
    }
    if (!found) return false;
  }

  const std::uint8_t* b = image.data() + offset;
  const std::uint32_t bps = le16(b + 11);
  const std::uint32_t spc = b[13];
  const std::uint32_t reserved = le16(b + 14);
  const std::uint32_t fats = b[16];
  const std::uint32_t root_entries = le16(b + 17);
  const std::uint32_t fat_sectors = le16(b + 22);
  const std::uint32_t total = le16(b + 19) != 0 ? le16(b + 19) : le32(b + 32);
  if (root_entries == 0) return false;  // FAT32 keeps its root in clusters; not read here

  const std::uint32_t root_sectors = (root_entries * dir_entry_bytes + bps - 1) / bps;
  const std::uint64_t data_sector = std::uint64_t{reserved} + std::uint64_t{fats} * fat_sectors +
                                    root_sectors;
  if (total <= data_sector) return false;
  const std::uint32_t clusters = static_cast<std::uint32_t>((total - data_sector) / spc);
  if (clusters == 0 || clusters > fat16_max_clusters) return false;
  const int bits = clusters <= fat12_max_clusters ? 12 : 16;

  // Every FAT entry of every cluster must lie in the FAT, and the whole volume in the image.
  const std::uint64_t fat_needed = bits == 12 ? (std::uint64_t{clusters} + 2) * 3 / 2 + 1
                                              : (std::uint64_t{clusters} + 2) * 2;
  if (std::uint64_t{fat_sectors} * bps < fat_needed) return false;
  if (offset + std::uint64_t{total} * bps > image.size()) return false;

  image_ = image;
  volume_offset_ = offset;
  bytes_per_sector_ = bps;
  cluster_bytes_ = spc * bps;
  fat_offset_ = offset + std::uint64_t{reserved} * bps;
  fat_bytes_ = fat_sectors * bps;
  root_offset_ = fat_offset_ + std::uint64_t{fats} * fat_bytes_;
  root_entries_ = root_entries;
  data_offset_ = offset + data_sector * bps;
  cluster_count_ = clusters;
  fat_bits_ = bits;
  return true;
}

std::uint32_t fat_volume::fat_entry(std::uint32_t cluster) const {
  if (cluster < 2 || cluster >= cluster_count_ + 2) return 0;
  const std::uint8_t* fat = image_.data() + fat_offset_;
  if (fat_bits_ == 16) return le16(fat + 2 * cluster);
  const std::uint16_t pair = le16(fat + cluster + cluster / 2);
  return (cluster & 1) ? pair >> 4 : pair & 0x0FFF;
}

std::uint32_t fat_volume::next_cluster(std::uint32_t cluster) const {
  const std::uint32_t next = fat_entry(cluster);
  // End-of-chain marks, the bad-cluster mark, free and reserved values all lie outside
  // the cluster range, so one range check ends the chain for all of them.
  return (next >= 2 && next < cluster_count_ + 2) ? next : 0;
}

std::uint32_t fat_volume::chain_bytes(std::uint32_t first_cluster, std::uint32_t wanted) const {
  std::vector<bool> seen(cluster_count_ + 2, false);
  std::uint64_t bytes = 0;
  for (std::uint32_t c = first_cluster; c != 0 && bytes < wanted; c = next_cluster(c)) {
    if (!cluster_data(c) || seen[c]) break;
    seen[c] = true;
    bytes += cluster_bytes_;
  }
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(bytes, wanted));
}

const std::uint8_t* fat_volume::cluster_data(std::uint32_t cluster) const {
  if (cluster < 2 || cluster >= cluster_count_ + 2) return nullptr;
  return image_.data() + data_offset_ + std::uint64_t{cluster - 2} * cluster_bytes_;
}

const std::uint8_t* fat_volume::dir_slot(fat_dir& dir) const {
  if (dir.first_cluster_ == 0)
    return dir.slot_ < root_entries_ ? image_.data() + root_offset_ + dir.slot_ * dir_entry_bytes
                                     : nullptr;
  const std::uint32_t per_cluster = cluster_bytes_ / dir_entry_bytes;
  if (dir.seen_.empty()) {
    dir.seen_.assign(cluster_count_ + 2, false);
    if (dir.cluster_ < dir.seen_.size()) dir.seen_[dir.cluster_] = true;
  }
  while (dir.slot_ >= per_cluster) {
    dir.slot_ -= per_cluster;
    dir.cluster_ = next_cluster(dir.cluster_);
    if (dir.cluster_ == 0 || dir.seen_[dir.cluster_]) return nullptr;  // end, or a loop
    dir.seen_[dir.cluster_] = true;
  }
  const std::uint8_t* data = cluster_data(dir.cluster_);
  return data ? data + dir.slot_ * dir_entry_bytes : nullptr;
}

std::optional<fat_dir_entry> fat_dir::next() {
  if (!volume_) return std::nullopt;
  long_name_builder long_name;
  while (!done_) {
    const std::uint8_t* e = volume_->dir_slot(*this);
    if (!e || e[0] == 0x00) break;  // 0x00 marks the end of the directory
    ++slot_;
    if (e[0] == 0xE5) {  // deleted
      long_name.reset();
      continue;
    }
    const std::uint8_t attributes = e[11];
    if ((attributes & 0x3F) == lfn_attributes) {
      long_name.add(e);
      continue;
    }
    if (attributes & fat_attr_volume_label) {
      long_name.reset();
      continue;
    }
    fat_dir_entry entry;
    entry.short_name = decode_short_name(e);
    entry.long_name = long_name.take(e);
    if (entry.short_name == "." || entry.short_name == "..") continue;
    entry.attributes = attributes;
    entry.size = entry.is_directory() ? 0 : le32(e + 28);
    entry.first_cluster = le16(e + 26);
    return entry;
  }
  done_ = true;
  return std::nullopt;
}

std::size_t fat_file::read(void* buffer, std::size_t bytes) {
  if (!volume_ || position_ >= readable_) return 0;
  bytes = std::min<std::size_t>(bytes, readable_ - position_);
  const std::uint32_t cluster_bytes = volume_->cluster_bytes_;
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::size_t done = 0;
  while (done < bytes) {
    const std::uint32_t index = position_ / cluster_bytes;
    if (cluster_ == 0 || cluster_index_ > index) {
      cluster_ = first_cluster_;
      cluster_index_ = 0;
    }
    // open_file() measured the chain, so within readable_ it neither ends nor loops.
    while (cluster_ != 0 && cluster_index_ < index) {
      cluster_ = volume_->next_cluster(cluster_);
      ++cluster_index_;
    }
    const std::uint8_t* data = volume_->cluster_data(cluster_);
    if (!data) {  // the chain ends before the size says
      cluster_ = 0;
      break;
    }
    const std::uint32_t within = position_ % cluster_bytes;
    const std::size_t n = std::min<std::size_t>(cluster_bytes - within, bytes - done);
    std::memcpy(out + done, data + within, n);
    done += n;
    position_ += static_cast<std::uint32_t>(n);
  }
  return done;
}

std::int64_t fat_file::seek(std::int64_t offset, seek_origin origin) {
  const std::int64_t base = origin == seek_origin::start     ? 0
                            : origin == seek_origin::current ? std::int64_t{position_}
                                                             : std::int64_t{size_};
  const std::int64_t target = base + offset;
  if (target < 0) return -1;
  position_ = static_cast<std::uint32_t>(std::min<std::int64_t>(target, size_));
  return position_;
}

std::optional<fat_dir_entry> fat_volume::stat(std::string_view path) const {
  bool is_root = false;
  return resolve(path, is_root);
}

std::optional<fat_dir_entry> fat_volume::resolve(std::string_view path, bool& is_root) const {
  is_root = false;
  if (!mounted()) return std::nullopt;
  fat_dir_entry root;
  root.attributes = fat_attr_directory;
  std::vector<fat_dir_entry> trail;  // the directories walked into, for ".."

  std::size_t pos = 0;
  while (pos <= path.size()) {
    const std::size_t end = std::min(path.find_first_of("/\\", pos), path.size());
    const std::string_view part = path.substr(pos, end - pos);
    pos = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!trail.empty()) trail.pop_back();
      continue;
    }
    const fat_dir_entry& here = trail.empty() ? root : trail.back();
    if (!here.is_directory()) return std::nullopt;
    std::optional<fat_dir> dir =
        trail.empty() ? std::optional<fat_dir>(fat_dir(this, 0)) : open_dir_entry(here);
    if (!dir) return std::nullopt;
    std::optional<fat_dir_entry> found;
    while (auto entry = dir->next()) {
      if (same_name(entry->long_name, part) || same_name(entry->short_name, part)) {
        found = std::move(entry);
        break;
      }
    }
    if (!found) return std::nullopt;
    trail.push_back(std::move(*found));
  }
  is_root = trail.empty();
  return is_root ? root : trail.back();
}

std::optional<fat_dir> fat_volume::open_dir_entry(const fat_dir_entry& entry) const {
  // Only the root has no cluster; a subdirectory without one is damaged.
  if (!entry.is_directory() || entry.first_cluster < 2 ||
      entry.first_cluster >= cluster_count_ + 2)
    return std::nullopt;
  return fat_dir(this, entry.first_cluster);
}

std::optional<fat_file> fat_volume::open_file(std::string_view path) const {
  const std::optional<fat_dir_entry> entry = stat(path);
  if (!entry || entry->is_directory()) return std::nullopt;
  return fat_file(this, entry->first_cluster, entry->size,
                  chain_bytes(entry->first_cluster, entry->size));
}

std::optional<fat_dir> fat_volume::open_dir(std::string_view path) const {
  bool is_root = false;
  const std::optional<fat_dir_entry> entry = resolve(path, is_root);
  if (!entry) return std::nullopt;
  if (is_root) return fat_dir(this, 0);
  return open_dir_entry(*entry);
}

}  // namespace vorante
