#include "tools/sim/media_disk.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace vorante::sim {

namespace {

// Cuts UTF-8 text to at most n bytes without splitting a character.
std::string cut_utf8(std::string text, std::size_t n) {
  if (text.size() <= n) return text;
  std::size_t end = n;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
  return text;
}

// A made-up but stable playing time per file, 1:30 to 6:29.
uint16_t length_of(uint32_t id) { return static_cast<uint16_t>(90 + (id * 2654435761u >> 16) % 300); }

struct demo_entry {
  int depth;
  const char* name;
  bool file;
};

// Listed depth first; each entry belongs to the nearest earlier entry one level up.
constexpr demo_entry demo_tree[] = {
    {1, "Intro.mp3", true},
    {1, "Soundcheck Pink Noise.wav", true},
    {1, "Live Sets", false},
    {2, "Friday", false},
    {3, "01 Opening.flac", true},
    {3, "02 Groove.mp3", true},
    {3, "03 Ballad.mp3", true},
    {2, "Saturday", false},
    {3, "Encore.ape", true},
    {2, "Rehearsal", false},  // empty
    {1, "Playback", false},
    {2, "Walk-in Music", false},
    {3, "Café Ambient.mp3", true},
    {3, "夜曲 Nocturne.flac", true},
    {3, "Morning Light.wma", true},
    {2, "Jingles", false},
    {3, "Jingle A.wav", true},
    {3, "Jingle B.mp3", true},
    {1, "Archive", false},  // holds only a folder
    {2, "2023", false},
    {3, "Old Take.mp3", true},
    {1, "Empty", false},
    {1, "Über Lieder", false},
    {2, "Ärger im Studio.mp3", true},
    {2, "Ça va.flac", true},
    {1, "Outro.mp3", true},
};

}  // namespace

audio_format format_of(std::string_view file_name) {
  const std::size_t dot = file_name.rfind('.');
  if (dot == std::string_view::npos) return audio_format::none;
  std::string ext(file_name.substr(dot + 1));
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "mp3") return audio_format::mp3;
  if (ext == "wav") return audio_format::wav;
  if (ext == "wma") return audio_format::wma;
  if (ext == "ape") return audio_format::ape;
  if (ext == "flac") return audio_format::flac;
  return audio_format::none;
}

media_disk::media_disk() {
  items_.push_back({"ROOT", 0, false, -1, {}, 0});
}

int media_disk::add(int parent, std::string name, bool file) {
  const int index = static_cast<int>(items_.size());
  // IDs spread over all 32 bits, so both halves of the enter-folder and play-file
  // commands matter; the low half alone is unique.
  const uint32_t n = static_cast<uint32_t>(index);
  const uint32_t id = ((n % 251 + 1) << 16) | (n & 0xFFFF);
  items_.push_back({cut_utf8(std::move(name), max_item_name_bytes), id, file, parent, {}, file ? length_of(id) : uint16_t{0}});
  items_[static_cast<std::size_t>(parent)].children.push_back(index);
  order_stale_ = true;
  return index;
}

int media_disk::find(uint32_t id) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].id == id) return static_cast<int>(i);
  return -1;
}

const std::vector<int>& media_disk::play_order() const {
  if (order_stale_) {
    play_order_.clear();
    collect(root());
    order_stale_ = false;
  }
  return play_order_;
}

void media_disk::collect(int folder) const {
  const disk_item& f = item(folder);
  for (int c : f.children)
    if (item(c).file) play_order_.push_back(c);
  for (int c : f.children)
    if (!item(c).file) collect(c);
}

media_disk media_disk::demo() {
  media_disk disk;
  std::vector<int> open{disk.root()};  // the folder at each depth
  for (const demo_entry& e : demo_tree) {
    open.resize(static_cast<std::size_t>(e.depth));
    const int index = disk.add(open.back(), e.name, e.file);
    open.push_back(index);
  }
  return disk;
}

std::optional<media_disk> media_disk::from_directory(const std::string& dir, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(dir, ec)) {
    error = "'" + dir + "' is not a directory";
    return std::nullopt;
  }
  media_disk disk;
  // Every folder is listed, also one without playable files, as the console would.
  struct walker {
    media_disk& disk;
    void walk(const fs::path& path, int folder, int depth) {
      std::error_code ec;
      std::vector<fs::directory_entry> entries;
      for (fs::directory_iterator it(path, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
           it.increment(ec)) {
        entries.push_back(*it);
        if (entries.size() > max_disk_items) break;
      }
      std::sort(entries.begin(), entries.end(),
                [](const fs::directory_entry& a, const fs::directory_entry& b) { return a.path().filename() < b.path().filename(); });
      for (const fs::directory_entry& e : entries) {
        if (disk.size() >= max_disk_items) return;
        const std::string name = e.path().filename().string();
        if (name.empty() || name[0] == '.' || e.is_symlink(ec)) continue;
        if (e.is_directory(ec)) {
          if (depth >= max_disk_depth) continue;
          const int sub = disk.add(folder, name, false);
          walk(e.path(), sub, depth + 1);
        } else if (e.is_regular_file(ec) && format_of(name) != audio_format::none) {
          disk.add(folder, name, true);
        }
      }
    }
  };
  walker{disk}.walk(dir, disk.root(), 1);
  return disk;
}

}  // namespace vorante::sim
