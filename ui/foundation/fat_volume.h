// A read-only FAT12/FAT16 reader over a disk image held in memory.
//
// The image is either a bare volume or a disk whose master boot record points at a FAT
// partition. Paths are '/'-separated, relative to the root, and matched without regard
// to ASCII case against both the long (VFAT) and the 8.3 name of every entry. Nothing
// here writes: the image may live in read-only memory. Every offset taken from the image
// is checked, so a damaged image fails to mount or reads short; it never reads outside
// the bytes it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vorante {

inline constexpr std::uint8_t fat_attr_read_only = 0x01;
inline constexpr std::uint8_t fat_attr_hidden = 0x02;
inline constexpr std::uint8_t fat_attr_system = 0x04;
inline constexpr std::uint8_t fat_attr_volume_label = 0x08;
inline constexpr std::uint8_t fat_attr_directory = 0x10;
inline constexpr std::uint8_t fat_attr_archive = 0x20;

struct fat_dir_entry {
  std::string short_name;  // "NAME.EXT" as stored (lower case where the entry says so)
  std::string long_name;   // the VFAT long name in UTF-8; empty when the entry has none
  std::uint8_t attributes = 0;
  std::uint32_t size = 0;
  std::uint32_t first_cluster = 0;

  bool is_directory() const { return (attributes & fat_attr_directory) != 0; }
  // The name a listing shows: the long name when there is one.
  const std::string& name() const { return long_name.empty() ? short_name : long_name; }
};

class fat_volume;

enum class seek_origin { start, current, end };

// An open file. Reading past the end, or past a cluster chain that ends early or runs
// in a circle, reads short. The volume must outlive the file.
class fat_file {
 public:
  std::size_t read(void* buffer, std::size_t bytes);
  // Moves to origin + offset, clamped to the file size; returns the new position, or -1
  // (and stays put) when that lies before the start.
  std::int64_t seek(std::int64_t offset, seek_origin origin);
  std::uint32_t tell() const { return position_; }
  std::uint32_t size() const { return size_; }

 private:
  friend class fat_volume;
  fat_file(const fat_volume* volume, std::uint32_t first_cluster, std::uint32_t size,
           std::uint32_t readable)
      : volume_(volume), first_cluster_(first_cluster), size_(size), readable_(readable) {}

  const fat_volume* volume_;
  std::uint32_t first_cluster_;
  std::uint32_t size_;
  std::uint32_t readable_;  // what the cluster chain really holds, at most size_
  std::uint32_t position_ = 0;
  // The cluster that holds position_, remembered so sequential reads do not walk the
  // chain from the start each time; 0 when not known.
  std::uint32_t cluster_ = 0;
  std::uint32_t cluster_index_ = 0;
};

// An open directory, read entry by entry in on-disk order. Deleted entries, the volume
// label and the "." and ".." entries are skipped.
class fat_dir {
 public:
  std::optional<fat_dir_entry> next();

 private:
  friend class fat_volume;
  fat_dir(const fat_volume* volume, std::uint32_t first_cluster)
      : volume_(volume), first_cluster_(first_cluster), cluster_(first_cluster) {}

  const fat_volume* volume_;
  std::uint32_t first_cluster_;  // 0: the fixed root directory
  std::uint32_t cluster_;
  std::uint32_t slot_ = 0;        // entry index within the root or the current cluster
  std::vector<bool> seen_;  // clusters already listed, so a looping chain ends
  bool done_ = false;
};

class fat_volume {
 public:
  // Reads the boot sector (or the first FAT partition of a partitioned disk) and checks
  // the layout against the image size. False leaves the volume unmounted.
  bool mount(std::span<const std::uint8_t> image);
  bool mounted() const { return fat_bits_ != 0; }
  int fat_bits() const { return fat_bits_; }

  // The entry a path names; the root ("" or "/") is reported as a directory with no name.
  std::optional<fat_dir_entry> stat(std::string_view path) const;
  std::optional<fat_file> open_file(std::string_view path) const;
  std::optional<fat_dir> open_dir(std::string_view path) const;

  // Layout, for tests and diagnostics.
  std::uint32_t bytes_per_sector() const { return bytes_per_sector_; }
  std::uint32_t sectors_per_cluster() const { return cluster_bytes_ / bytes_per_sector_; }
  std::uint32_t cluster_count() const { return cluster_count_; }
  std::uint64_t volume_offset() const { return volume_offset_; }

 private:
  friend class fat_file;
  friend class fat_dir;

  std::optional<fat_dir_entry> resolve(std::string_view path, bool& is_root) const;
  std::optional<fat_dir> open_dir_entry(const fat_dir_entry& entry) const;
  // The value of FAT entry `cluster`, or 0 when the cluster is out of range.
  std::uint32_t fat_entry(std::uint32_t cluster) const;
  // How many of the first `wanted` bytes of a chain are backed by clusters before it
  // ends, leaves the volume or comes back to a cluster it has already passed.
  std::uint32_t chain_bytes(std::uint32_t first_cluster, std::uint32_t wanted) const;
  // Next cluster of a chain; 0 at the end of the chain or on a damaged link.
  std::uint32_t next_cluster(std::uint32_t cluster) const;
  const std::uint8_t* cluster_data(std::uint32_t cluster) const;
  // The raw 32-byte entry at `slot` of a directory, or nullptr past its end.
  const std::uint8_t* dir_slot(fat_dir& dir) const;

  std::span<const std::uint8_t> image_;
  std::uint64_t volume_offset_ = 0;
  std::uint32_t bytes_per_sector_ = 0;
  std::uint32_t cluster_bytes_ = 0;
  std::uint64_t fat_offset_ = 0;   // first FAT, from the start of the image
  std::uint32_t fat_bytes_ = 0;
  std::uint64_t root_offset_ = 0;
  std::uint32_t root_entries_ = 0;
  std::uint64_t data_offset_ = 0;  // cluster 2
  std::uint32_t cluster_count_ = 0;
  int fat_bits_ = 0;
};

}  // namespace vorante
