#include "app/media/media_client.h"

#include <cstdarg>
#include <cstdio>
#include <new>

#include "app/core/log.h"
#include "app/protocol/frame.h"

namespace vorante {

namespace {

constexpr int level_error = 1;
constexpr int level_warning = 2;
constexpr int level_info = 3;

constexpr uint8_t report_time = 0x80;
constexpr uint8_t report_items = 0x82;
constexpr uint8_t reg_action = 0xD0;
constexpr uint8_t reg_high = 0xD1;
constexpr uint8_t reg_low = 0xD2;
constexpr uint16_t action_play_file = 1;
constexpr uint16_t action_enter_folder = 2;
constexpr uint16_t action_query_item = 8;
constexpr uint8_t repeat_one_mode = 8;

// A node and its name buffer each count once.
constexpr int allocations_per_node = 2;

bool passed(uint32_t now, uint32_t since, uint32_t ms) { return now - since > ms; }

uint32_t be32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

}  // namespace

const char* play_device_name(int code) {
  static constexpr const char* names[] = {"none",      "sd card", "u-disk",           "fm",
                                          "linein",    "unknown", "bluetooth",        "linein to u-disk",
                                          "linein to sd card", "usb audio", "spdif"};
  if (code < 0 || code >= static_cast<int>(std::size(names))) return "unknown";
  return names[code];
}

media_client::media_client(send_fn send, const int& log_level) : send_(std::move(send)), log_level_(log_level) {}

media_client::~media_client() { free_tree(root_); }

void media_client::log(int level, const char* format, ...) const {
  if (log_level_ < level) return;
  char line[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  log_print("%s\n", line);
}

// --- commands ---------------------------------------------------------------------------

void media_client::send(std::initializer_list<unit> units) {
  std::vector<uint8_t> payload;
  payload.reserve(units.size() * 3);
  for (const unit& u : units)
    payload.insert(payload.end(), {static_cast<uint8_t>(u.value & 0xFF), static_cast<uint8_t>(u.value >> 8), u.reg});
  if (send_) send_(payload);
}

void media_client::user(unit u) {
  send({u});
  hold_ = true;
  hold_start_ = now_;
}

void media_client::play_file(uint32_t id) {
  send({{static_cast<uint16_t>(id >> 16), reg_high}, {static_cast<uint16_t>(id), reg_low}, {action_play_file, reg_action}});
  hold_ = true;
  hold_start_ = now_;
}

void media_client::enter(folder_node* node) {
  state_ = step_state::entering;
  current_ = node;
  last_child_ = nullptr;
  const uint32_t id = node->id();
  send({{static_cast<uint16_t>(id >> 16), reg_high}, {static_cast<uint16_t>(id), reg_low}, {action_enter_folder, reg_action}});
  last_command_ = now_;
}

void media_client::query(uint16_t index) {
  send({{index, reg_high}, {action_query_item, reg_action}});
  last_command_ = now_;
}

// --- reports ----------------------------------------------------------------------------

void media_client::media_report(std::span<const uint8_t> frame, uint32_t now) {
  if (frame.size() != media_report_payload + frame_overhead) return;
  report_payload(frame_payload(frame), now);
}

void media_client::report_payload(std::span<const uint8_t> p, uint32_t now) {
  if (p.size() != media_report_payload) return;
  now_ = now;
  if (!(p[0] & 0x80)) {
    last_report_ = now;
    status_report(p);
  } else if (p[0] == report_time) {
    last_report_ = now;
    time_report(p);
  } else if (p[0] == report_items) {
    last_report_ = now;
    const std::size_t n = std::min<std::size_t>(p[1], p.size() - 2);
    stream_.append(p.subspan(2, n));
  }
}

void media_client::follow_usb(bool& present, uint8_t port, const char* name,
                              const std::function<void()>& plugged, const std::function<void()>& pulled) {
  const bool there = usb_ == port;
  if (there == present) return;
  present = there;
  log(level_info, "[INFO] %s %s!", name, there ? "plugged" : "pulled");
  const std::function<void()>& event = there ? plugged : pulled;
  if (event) event();
}

void media_client::status_report(std::span<const uint8_t> p) {
  if (p[0] != usb_) {
    usb_ = p[0];
    follow_usb(udisk_, usb_port_udisk, "u-disk", events_.udisk_inserted, events_.udisk_removed);
    follow_usb(usb_audio_, usb_port_audio, "usb audio", events_.usb_audio_connected, events_.usb_audio_disconnected);
  }
  if (p[1] != device_) {
    device_ = p[1];
    if (events_.play_device_changed) events_.play_device_changed(device_);
  }
  const bool connected = device_ == play_device_bluetooth && p[10] == 0;
  const bool playing = connected && p[11] == 0;
  if (connected != bt_connected_ || playing != bt_playing_) {
    bt_connected_ = connected;
    bt_playing_ = playing;
    if (events_.bluetooth_changed) events_.bluetooth_changed(connected, playing);
  }
  if (p[2] != transport_) {
    transport_ = p[2];
    if (events_.transport_changed) events_.transport_changed(transport_);
  }
  if ((device_ == play_device_udisk || device_ == play_device_recorder) && events_.playback) {
    playback_status s;
    s.song_count = p[5] | p[6] << 8;
    s.current_song = p[7] | p[8] << 8;
    s.minutes = p[9];
    s.seconds = p[10];
    s.format = p[11] >> 4;
    s.repeat_one = (p[11] & 0x0F) == repeat_one_mode;
    events_.playback(s);
  }
  if (events_.status_report) events_.status_report(p);
}

void media_client::time_report(std::span<const uint8_t> p) {
  if (!events_.time) return;
  media_time_report t;
  t.position_seconds = p[1];
  t.length_minutes = p[2];
  t.length_seconds = p[3];
  t.file_id = be32(&p[4]);
  t.second_value = be32(&p[8]);
  events_.time(t);
}

// --- the periodic step ------------------------------------------------------------------

void media_client::silence() {
  if (transport_ != transport_idle_state) {
    transport_ = transport_idle_state;
    if (events_.transport_changed) events_.transport_changed(transport_);
  }
  if (device_ != play_device_none) {
    device_ = play_device_none;
    if (events_.play_device_changed) events_.play_device_changed(device_);
  }
  if (bt_connected_ || bt_playing_) {
    bt_connected_ = bt_playing_ = false;
    if (events_.bluetooth_changed) events_.bluetooth_changed(false, false);
  }
  if (udisk_ && usb_ != 0) {
    udisk_ = false;
    usb_ = 0;
    if (events_.udisk_removed) events_.udisk_removed();
  } else if (usb_audio_ && usb_ != 0) {
    usb_audio_ = false;
    usb_ = 0;
    if (events_.usb_audio_disconnected) events_.usb_audio_disconnected();
  }
}

void media_client::step(uint32_t now) {
  now_ = now;
  if (passed(now, last_report_, media_silence_ms)) silence();

  if (hold_) {
    if (!passed(now, hold_start_, media_user_hold_ms - 1)) return;
    hold_ = false;
    // The hold kept the scanner's answer waiting in the ring: asking again now would get
    // a second answer that the walk takes for the next item.
    if (scanning()) last_command_ = now;
  }

  if (scanning()) {
    if (retries_ > scanner_max_retries - 1) {
      finish(scan_finish::unanswered);
      return;
    }
    if (passed(now, last_command_, scanner_retry_ms)) {
      if (state_ == step_state::reading) {
        ++retries_;
        log(level_info, "[INFO] #### retry read item ####");
        query(last_item_.index);
      } else if (state_ == step_state::entering) {
        ++retries_;
        log(level_info, "[INFO] #### retry enter folder ####");
        enter(current_);
      }
    }
  }

  if (std::optional<item_record> r = stream_.next()) {
    handle_record(*r);
  } else if (scanning() && state_ == step_state::waiting) {
    if (passed(now, wait_start_, scanner_empty_wait_ms - 1) && wait_countdown_ == 0)
      scanner_step(nullptr);
    else if (wait_countdown_ > 0)
      --wait_countdown_;
  }
}

void media_client::handle_record(const item_record& r) {
  if (r.kind == item_kind_now_playing) {
    log(level_info, "[INFO] got playing file: %s", r.name.c_str());
    if (events_.now_playing) events_.now_playing(r.name, r.id(), r.index);
    return;
  }
  if (!scanning()) return;
  retries_ = 0;
  if (state_ == step_state::waiting && !passed(now_, wait_start_, scanner_empty_wait_ms - 1) && wait_countdown_ != 0) {
    --wait_countdown_;
    return;
  }
  scanner_step(&r);
}

// --- the walk ---------------------------------------------------------------------------

folder_node* media_client::new_node(const item_record& r) {
  auto* node = new (std::nothrow) folder_node;
  if (!node) return nullptr;
  node->raw_id = r.raw_id;
  node->index = r.index;
  node->name = r.name;
  nodes_ += allocations_per_node;
  return node;
}

void media_client::free_node(folder_node* node) {
  delete node;
  nodes_ -= allocations_per_node;
}

void media_client::free_tree(folder_node* node) {
  while (node) {
    folder_node* next = node->next_sibling;
    free_tree(node->first_child);
    free_node(node);
    node = next;
  }
}

void media_client::scanner_step(const item_record* r) {
  if (r) last_item_ = *r;
  // The first item after entering a folder is the folder's first.
  const bool first_of_folder = state_ == step_state::entering;
  switch (state_) {
    case step_state::entering:
      if (r->kind == item_kind_folder_empty) {
        wait_start_ = now_;
        wait_countdown_ = 1;
        state_ = step_state::waiting;
        return;
      }
      first_file_ = true;
      [[fallthrough]];
    case step_state::reading:
      if (r->is_file())
        file_item(*r);
      else
        folder_item(*r, first_of_folder);
      return;
    case step_state::waiting:
      folder_done();
      return;
  }
}

void media_client::folder_item(const item_record& r, bool first_of_folder) {
  folder_node* node = new_node(r);
  if (!node) {
    log(level_error, "[ERROR] alloc node fail!");
    finish(scan_finish::out_of_memory);
    return;
  }
  node->parent = current_;
  if (last_child_)
    last_child_->next_sibling = node;
  else
    current_->first_child = node;
  last_child_ = node;
  if (first_of_folder) {
    log(level_info, "[INFO] got first folder: %s", node->name.c_str());
    if (r.is_last()) {
      enter(node);
    } else {
      state_ = step_state::reading;
      query(r.index);
    }
    return;
  }
  log(level_info, "[INFO] got next folder: %s", node->name.c_str());
  if (!r.is_last())
    query(r.index);
  else
    enter(current_->first_child);
}

void media_client::file_item(const item_record& r) {
  log(level_info, state_ == step_state::entering ? "[INFO] got first file: %s" : "[INFO] got next file: %s", r.name.c_str());
  ++songs_;
  if (events_.file_found) events_.file_found(*current_, r.name, r.id(), r.index, first_file_);
  first_file_ = false;
  if (!scanning()) return;  // the handler stopped the scan
  if (!r.is_last()) {
    if (state_ == step_state::entering) log(level_info, "[INFO] query item: %d", r.index);
    state_ = step_state::reading;
    query(r.index);
  } else if (current_->first_child) {
    enter(current_->first_child);
  } else {
    folder_done();
  }
}

void media_client::folder_done() {
  folder_node* node = current_;
  while (!node->next_sibling) {
    folder_node* parent = node->parent;
    if (!parent) {
      finish(scan_finish::complete);
      return;
    }
    log(level_info, "[INFO] exit folder: %s", node->name.c_str());
    free_tree(node->first_child);
    free_node(node);
    parent->first_child = nullptr;
    node = parent;
  }
  log(level_info, "[INFO] exit folder: %s", node->name.c_str());
  folder_node* sibling = node->next_sibling;
  folder_node* parent = node->parent;
  free_tree(node->first_child);
  free_node(node);
  parent->first_child = sibling;
  log(level_info, "[INFO] enter folder: %s", sibling->name.c_str());
  enter(sibling);
}

void media_client::scan_start() {
  if (scanning()) {
    log(level_warning, "[WARNING] scanner is working!");
    return;
  }
  item_record root;
  root.name = "ROOT";
  root_ = new_node(root);
  if (!root_) {
    log(level_error, "[ERROR] alloc node fail!");
    finish(scan_finish::out_of_memory);
    return;
  }
  last_report_ = now_;
  first_file_ = true;
  songs_ = 0;
  retries_ = 0;
  wait_countdown_ = 0;
  hold_ = false;
  log(level_info, "[INFO] enter folder: %s", root_->name.c_str());
  enter(root_);
}

void media_client::finish(scan_finish code) {
  const bool was_running = scanning();
  free_tree(root_);
  root_ = current_ = last_child_ = nullptr;
  stream_.clear();
  log(level_info, "[INFO] finished!");
  log(level_info, "[INFO] memory leak count: %d", nodes_);
  log(level_info, "[INFO] song count: %d", songs_);
  if (was_running && events_.scan_finished) events_.scan_finished(songs_, static_cast<int>(code));
}

}  // namespace vorante
