// The play list the disk scanner learned, kept between runs in playlist.json in the
// working directory: folders in walk order, each with its files (ID and name).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorante {

constexpr const char* playlist_file_name = "playlist.json";
constexpr std::size_t playlist_name_bytes = 99;  // a file name's field holds 100 bytes

struct playlist_file {
  uint32_t id = 0;
  std::string name;
};

struct playlist_folder {
  std::string name;
  std::vector<playlist_file> files;
};

using playlist = std::vector<playlist_folder>;

// At most `max` bytes of text, cut before a broken character where the text allows it.
std::string cut_name(std::string_view text, std::size_t max = playlist_name_bytes);

std::size_t playlist_count(const playlist& list);

// The compact JSON text of the list, and the list of such a text. Elements of the wrong
// shape are skipped; a text that does not parse gives an empty list.
std::string playlist_to_json(const playlist& list);
playlist playlist_from_json(std::string_view text);

// A missing, empty or unreadable file gives an empty list. Writing returns false when the
// file cannot be opened.
playlist playlist_read(const std::string& path = playlist_file_name);
bool playlist_write(const playlist& list, const std::string& path = playlist_file_name);

}  // namespace vorante
