#include "tools/sim/media_module.h"

#include <algorithm>
#include <cstdio>

#include "app/protocol/frame.h"

namespace vorante::sim {

namespace {

constexpr uint8_t record_start = 0xAA;
constexpr uint8_t report_time = 0x80;
constexpr uint8_t report_items = 0x82;
constexpr std::size_t record_head = 12;    // start through the item ID
constexpr std::size_t max_record = 256;    // longer records are skipped by the program

bool is_ascii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// UTF-8 to 16-bit units; what cannot be one unit becomes "?".
std::vector<uint16_t> utf16_units(std::string_view s) {
  std::vector<uint16_t> units;
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : -1;
    uint32_t cp = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool ok = extra >= 0 && i + static_cast<std::size_t>(std::max(extra, 0)) < s.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      if ((c & 0xC0) != 0x80) ok = false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (!ok) {
      units.push_back('?');
      ++i;
      continue;
    }
    units.push_back(cp > 0xFFFF || (cp >= 0xD800 && cp <= 0xDFFF) ? uint16_t{'?'} : static_cast<uint16_t>(cp));
    i += static_cast<std::size_t>(extra) + 1;
  }
  return units;
}

frame_bytes report(const std::array<uint8_t, media_payload_size>& payload) { return make_media_report(payload); }

}  // namespace

std::vector<uint8_t> item_record(uint8_t kind, uint16_t index, uint8_t flags, uint32_t id, std::string_view name) {
  std::vector<uint8_t> name_bytes;
  if (is_ascii(name)) {
    name_bytes.assign(name.begin(), name.end());
    flags = static_cast<uint8_t>(flags & ~item_flag_utf16);
  } else {
    for (uint16_t u : utf16_units(name)) {
      name_bytes.push_back(static_cast<uint8_t>(u & 0xFF));
      name_bytes.push_back(static_cast<uint8_t>(u >> 8));
    }
    name_bytes.push_back(0);
    name_bytes.push_back(0);
    flags = static_cast<uint8_t>(flags | item_flag_utf16);
  }
  const std::size_t room = max_record - record_head - 1;
  if (name_bytes.size() > room) name_bytes.resize(room & ~std::size_t{1});

  std::vector<uint8_t> r(record_head + name_bytes.size() + 1);
  const std::size_t length = r.size() - 3;  // the record is L + 3 bytes
  r[0] = record_start;
  put_be16(&r[1], static_cast<uint16_t>(length));
  r[3] = kind;
  put_be16(&r[4], index);
  r[6] = flags;
  r[7] = 0;
  r[8] = static_cast<uint8_t>(id >> 24);
  r[9] = static_cast<uint8_t>(id >> 16);
  r[10] = static_cast<uint8_t>(id >> 8);
  r[11] = static_cast<uint8_t>(id);
  std::copy(name_bytes.begin(), name_bytes.end(), r.begin() + record_head);
  uint8_t sum = 0;
  for (std::size_t i = 0; i + 1 < r.size(); ++i) sum = static_cast<uint8_t>(sum + r[i]);
  r.back() = sum;
  return r;
}

void append_item_reports(std::span<const uint8_t> record, frame_list& out) {
  for (std::size_t at = 0; at < record.size(); at += item_bytes_per_report) {
    const std::size_t n = std::min(item_bytes_per_report, record.size() - at);
    std::array<uint8_t, media_payload_size> p{};
    p[0] = report_items;
    p[1] = static_cast<uint8_t>(n);
    std::copy_n(record.begin() + static_cast<std::ptrdiff_t>(at), n, p.begin() + 2);
    out.push_back(report(p));
  }
}

media_module::media_module(media_disk disk, uint32_t now)
    : disk_(std::move(disk)), last_tick_(now), last_report_(now) {
  if (song_count() > 0) song_ = 1;
}

uint16_t media_module::song_count() const {
  return disk_ready() ? static_cast<uint16_t>(std::min<std::size_t>(disk_.play_order().size(), 0xFFFF)) : 0;
}

int media_module::song_item() const {
  if (!disk_ready() || song_ < 1 || static_cast<std::size_t>(song_) > disk_.play_order().size()) return -1;
  return disk_.play_order()[static_cast<std::size_t>(song_ - 1)];
}

std::array<uint8_t, media_payload_size> media_module::status_payload() const {
  std::array<uint8_t, media_payload_size> p{};
  p[0] = usb_;
  p[1] = device_;
  // S/PDIF has no transport; the byte names the input instead (0 coax, 2 optical).
  p[2] = device_ == device_spdif ? spdif_input_ : transport_;
  const uint16_t count = song_count();
  p[5] = static_cast<uint8_t>(count & 0xFF);
  p[6] = static_cast<uint8_t>(count >> 8);
  const auto song = static_cast<uint16_t>(song_item() >= 0 ? song_ : 0);
  p[7] = static_cast<uint8_t>(song & 0xFF);
  p[8] = static_cast<uint8_t>(song >> 8);
  if (device_ == device_bluetooth) {
    p[10] = bt_connected_ ? 0 : 1;
    p[11] = bt_playing_ ? 0 : 1;
    return p;
  }
  const uint32_t shown_s = (device_ == device_recorder ? record_ms_ : position_ms_) / 1000;
  p[9] = static_cast<uint8_t>(std::min<uint32_t>(shown_s / 60, 255));
  p[10] = static_cast<uint8_t>(shown_s % 60);
  const int item = song_item();
  const auto format = item >= 0 ? static_cast<uint8_t>(format_of(disk_.item(item).name)) : uint8_t{1};
  p[11] = static_cast<uint8_t>((format << 4) | (repeat_one_ ? 8 : 0));
  return p;
}

std::array<uint8_t, media_payload_size> media_module::time_payload() const {
  std::array<uint8_t, media_payload_size> p{};
  p[0] = report_time;
  const int item = song_item();
  if (item < 0) return p;
  const disk_item& f = disk_.item(item);
  p[1] = static_cast<uint8_t>(position_ms_ / 1000 % 60);
  p[2] = static_cast<uint8_t>(f.length_s / 60);
  p[3] = static_cast<uint8_t>(f.length_s % 60);
  p[4] = static_cast<uint8_t>(f.id >> 24);
  p[5] = static_cast<uint8_t>(f.id >> 16);
  p[6] = static_cast<uint8_t>(f.id >> 8);
  p[7] = static_cast<uint8_t>(f.id);
  return p;
}

void media_module::set_usb(usb_port state) {
  if (state == usb_) return;
  usb_ = state;
  folder_ = -1;
  if (state != usb_disk && (device_ == device_udisk || device_ == device_recorder)) {
    transport_ = transport_idle;
    song_ = 0;
    position_ms_ = 0;
    record_ms_ = 0;
  }
  if (state == usb_disk && song_ == 0 && song_count() > 0) song_ = 1;
}

void media_module::tick(uint32_t now, bool report_now, frame_list& out) {
  const uint32_t dt = now - last_tick_;
  last_tick_ = now;
  if (device_ == device_udisk && transport_ == transport_playing) {
    position_ms_ += dt;
    const int item = song_item();
    if (item < 0) {
      transport_ = transport_idle;
    } else if (position_ms_ >= disk_.item(item).length_s * 1000u) {
      // The song ran out: again, or the next one round the disk.
      position_ms_ = 0;
      if (!repeat_one_) song_ = song_ % static_cast<int>(song_count()) + 1;
      if (report_now) now_playing(out);
    }
  }
  if (device_ == device_recorder && transport_ == transport_recording) record_ms_ += dt;

  if (now - last_report_ < media_report_period_ms) return;
  last_report_ = now;
  if (!report_now) return;
  out.push_back(report(status_payload()));
  if (device_ == device_udisk && song_item() >= 0 && (transport_ == transport_playing || transport_ == transport_paused))
    out.push_back(report(time_payload()));
}

void media_module::command(std::span<const uint8_t> payload, uint32_t now, frame_list& out) {
  bool user = false;
  for (std::size_t at = 0; at + 3 <= payload.size(); at += 3) {
    const auto value = static_cast<uint16_t>(payload[at] | (payload[at + 1] << 8));
    unit(payload[at + 2], value, now, out, user);
  }
  // A user command shows its effect at once rather than at the next report.
  if (user) {
    out.push_back(report(status_payload()));
    if (device_ == device_udisk && song_item() >= 0) out.push_back(report(time_payload()));
  }
}

void media_module::unit(uint8_t reg, uint16_t value, uint32_t now, frame_list& out, bool& user) {
  switch (reg) {
    case reg_high: reg_high_ = value; return;
    case reg_low: reg_low_ = value; return;
    case reg_action: action(value, now, out, user); return;
    default: break;
  }
  user = true;
  switch (reg) {
    case reg_select_udisk: select(device_udisk); break;
    case reg_select_recorder: select(device_recorder); break;
    case reg_select_bluetooth:
      select(device_bluetooth);
      bt_connected_ = true;  // a phone is paired with the console
      break;
    case reg_select_usb_audio: select(device_usb_audio); break;
    case reg_select_spdif:
      if (value >= 1 && value <= 3) {
        select(device_spdif);
        spdif_input_ = static_cast<uint8_t>(value - 1);
      }
      break;
    case reg_play:
      if (device_ == device_udisk && song_count() > 0) {
        const bool resume = transport_ == transport_paused && song_item() >= 0;
        transport_ = transport_playing;
        if (!resume) play_song(song_ < 1 ? 1 : song_, out);
      } else if (device_ == device_bluetooth && bt_connected_) {
        bt_playing_ = true;
      }
      break;
    case reg_pause:
      if (device_ == device_udisk && transport_ == transport_playing) transport_ = transport_paused;
      if (device_ == device_bluetooth) bt_playing_ = false;
      break;
    case reg_bt_play_pause:
      if (device_ == device_bluetooth && bt_connected_) bt_playing_ = !bt_playing_;
      break;
    case reg_previous: step_song(-1, out); break;
    case reg_next: step_song(+1, out); break;
    case reg_repeat: repeat_one_ = !repeat_one_; break;
    case reg_record: toggle_recording(); break;
    default: user = false; break;  // a register this module does not have
  }
}

void media_module::action(uint16_t what, uint32_t, frame_list& out, bool& user) {
  switch (what) {
    case action_enter_folder: enter_folder((static_cast<uint32_t>(reg_high_) << 16) | reg_low_, out); break;
    case action_query_item: query_item(reg_high_, out); break;
    case action_play_file: {
      user = true;
      const int item = disk_ready() ? disk_.find((static_cast<uint32_t>(reg_high_) << 16) | reg_low_) : -1;
      if (item < 0 || !disk_.item(item).file) break;
      const auto& order = disk_.play_order();
      const auto at = std::find(order.begin(), order.end(), item);
      select(device_udisk);
      transport_ = transport_playing;
      play_song(static_cast<int>(at - order.begin()) + 1, out);
      break;
    }
    case action_take_playlist:
      // The program has taken its saved list into use; it learns the playing file anew.
      user = true;
      if (song_item() >= 0) now_playing(out);
      break;
    default: break;
  }
}

void media_module::select(uint8_t device) {
  if (device == device_) return;
  device_ = device;
  transport_ = transport_idle;
  position_ms_ = 0;
  bt_playing_ = false;
  if (device != device_bluetooth) bt_connected_ = false;
}

void media_module::play_song(int song, frame_list& out) {
  song_ = song;
  position_ms_ = 0;
  now_playing(out);
}

void media_module::step_song(int delta, frame_list& out) {
  const int count = song_count();
  if (device_ != device_udisk || count == 0) return;
  const int from = song_ < 1 ? 1 : song_;
  play_song((from - 1 + delta + count) % count + 1, out);
}

void media_module::toggle_recording() {
  if (device_ != device_recorder || !disk_ready()) return;
  if (transport_ != transport_recording) {
    transport_ = transport_recording;
    record_ms_ = 0;
    return;
  }
  transport_ = transport_idle;
  // The take lands on the disk, so the song count changes as on the real recorder.
  int folder = -1;
  for (int c : disk_.item(disk_.root()).children)
    if (!disk_.item(c).file && disk_.item(c).name == "RECORD") folder = c;
  if (folder < 0) folder = disk_.add(disk_.root(), "RECORD", false);
  char name[32];
  std::snprintf(name, sizeof name, "REC%04d.WAV", ++recordings_);
  disk_.add(folder, name, true);
  record_ms_ = 0;
}

void media_module::now_playing(frame_list& out) {
  const int item = song_item();
  if (item < 0) return;
  const disk_item& f = disk_.item(item);
  const auto& siblings = disk_.item(f.parent).children;
  const auto index = static_cast<uint16_t>(std::find(siblings.begin(), siblings.end(), item) - siblings.begin());
  append_item_reports(item_record(item_kind_playing, index, item_flag_file, f.id, f.name), out);
}

void media_module::enter_folder(uint32_t id, frame_list& out) {
  if (!disk_ready()) return;  // no disk: the scanner's retries run out
  const int folder = disk_.find(id);
  if (folder < 0 || disk_.item(folder).file) return;
  folder_ = folder;
  if (disk_.item(folder).children.empty()) {
    append_item_reports(item_record(item_kind_empty_folder, 0, 0, id, ""), out);
    return;
  }
  entry_record(folder, 0, out);
}

void media_module::query_item(uint16_t index, frame_list& out) {
  if (!disk_ready() || folder_ < 0) return;
  const std::size_t next = static_cast<std::size_t>(index) + 1;
  if (next >= disk_.item(folder_).children.size()) return;
  entry_record(folder_, next, out);
}

void media_module::entry_record(int folder, std::size_t position, frame_list& out) {
  const auto& children = disk_.item(folder).children;
  const disk_item& e = disk_.item(children[position]);
  uint8_t flags = e.file ? item_flag_file : 0;
  if (position + 1 == children.size()) flags |= item_flag_last;
  append_item_reports(item_record(item_kind_entry, static_cast<uint16_t>(position), flags, e.id, e.name), out);
}

}  // namespace vorante::sim
