// The media client between the link and the player screen: it decodes the media module's
// reports into events, sends the media commands, and walks the folders of the u-disk one
// item at a time to learn every playable file. It runs inside the engine's step, on the
// time the step gives it.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/media/item_stream.h"

namespace vorante {

constexpr std::size_t media_report_payload = 12;  // only 17-byte frames carry a report
constexpr uint32_t media_silence_ms = 4000;
constexpr uint32_t media_user_hold_ms = 2000;
constexpr uint32_t scanner_retry_ms = 2000;
constexpr int scanner_max_retries = 10;
constexpr uint32_t scanner_empty_wait_ms = 100;

// Play device codes.
enum media_device_code : uint8_t {
  play_device_none = 0,
  play_device_udisk = 2,
  play_device_recorder = 5,
  play_device_bluetooth = 6,
  play_device_usb_audio = 9,
  play_device_spdif = 10,
};

constexpr uint8_t transport_idle_state = 1;
constexpr uint8_t transport_playing_state = 2;
constexpr uint8_t transport_recording_state = 5;
constexpr uint8_t usb_port_udisk = 2;
constexpr uint8_t usb_port_audio = 4;

enum class scan_finish : int { complete = 0, stopped = 1, unanswered = 2, out_of_memory = 3 };

// The name of a play device as the log prints it.
const char* play_device_name(int code);

struct playback_status {
  int song_count = 0;
  int current_song = 0;
  int minutes = 0;
  int seconds = 0;
  int format = 0;  // 1 MP3, 2 WAV, 3 WMA, 4 APE, 5 FLAC
  bool repeat_one = false;
};

struct media_time_report {
  int position_seconds = 0;
  int length_minutes = 0;
  int length_seconds = 0;
  uint32_t file_id = 0;
  uint32_t second_value = 0;
};

// A folder of the walk. Only the path to the folder being read and the sibling folders
// not yet visited along it exist at any time.
struct folder_node {
  folder_node* parent = nullptr;
  folder_node* first_child = nullptr;
  folder_node* next_sibling = nullptr;
  std::array<uint8_t, 4> raw_id{};
  uint16_t index = 0;
  std::string name;

  uint32_t id() const {
    return static_cast<uint32_t>(raw_id[0]) << 24 | static_cast<uint32_t>(raw_id[1]) << 16 |
           static_cast<uint32_t>(raw_id[2]) << 8 | raw_id[3];
  }
};

// Registered once; any entry may be empty. Within one status report they fire in the
// order udisk, usb audio, play device, bluetooth, transport, playback, status.
struct media_events {
  std::function<void()> udisk_inserted;
  std::function<void()> udisk_removed;
  std::function<void()> usb_audio_connected;
  std::function<void()> usb_audio_disconnected;
  std::function<void(int device)> play_device_changed;
  std::function<void(int state)> transport_changed;
  std::function<void(bool connected, bool playing)> bluetooth_changed;
  std::function<void(const playback_status&)> playback;
  std::function<void(const media_time_report&)> time;
  std::function<void(std::span<const uint8_t> report)> status_report;
  std::function<void(const folder_node& folder, std::string_view name, uint32_t id, uint16_t index, bool first)> file_found;
  std::function<void(int song_count, int code)> scan_finished;
  std::function<void(std::string_view name, uint32_t id, uint16_t index)> now_playing;
};

class media_client {
 public:
  using send_fn = std::function<void(std::span<const uint8_t> payload)>;

  // `log_level` is read at every line: 3 prints info, 2 warnings, 1 errors.
  media_client(send_fn send, const int& log_level);
  ~media_client();
  media_client(const media_client&) = delete;
  media_client& operator=(const media_client&) = delete;

  void set_events(media_events events) { events_ = std::move(events); }

  // A whole frame of message 113; frames other than 17 bytes are ignored.
  void media_report(std::span<const uint8_t> frame, uint32_t now);
  // The report's 12 payload bytes.
  void report_payload(std::span<const uint8_t> p, uint32_t now);
  // Once per main-loop step.
  void step(uint32_t now);
  uint32_t now() const { return now_; }

  // --- scanner ---
  void scan_start();
  void scan_stop() { finish(scan_finish::stopped); }
  bool scanning() const { return current_ != nullptr; }
  int song_count() const { return songs_; }
  // Nodes and name buffers held; 0 between scans.
  int node_count() const { return nodes_; }

  // --- state ---
  int usb_port_state() const { return usb_; }
  int play_device() const { return device_; }
  int transport_state() const { return transport_; }
  bool bluetooth_connected() const { return bt_connected_; }
  bool bluetooth_playing() const { return bt_playing_; }
  bool udisk_present() const { return udisk_; }

  // --- user commands (each starts the user-command hold) ---
  void select_udisk() { user({0, 0xA8}); }
  void select_recorder() { user({0, 0xC8}); }
  void select_bluetooth() { user({0, 0xC7}); }
  void select_usb_audio() { user({0, 0xB5}); }
  // k = 0 coax, 2 optical.
  void select_spdif(int k) { user({static_cast<uint16_t>(k + 1), 0xC3}); }
  void play() { user({0, 0xA0}); }
  void pause() { user({0, 0xA1}); }
  void bluetooth_play_pause() { user({0, 0xA2}); }
  void previous() { user({0, 0xA4}); }
  void next() { user({0, 0xA6}); }
  void repeat_mode() { user({0, 0xAA}); }
  void record() { user({0, 0xE0}); }
  // The saved play list is taken into use.
  void take_playlist() { user({5, 0xD0}); }
  void play_file(uint32_t id);

 private:
  struct unit {
    uint16_t value;
    uint8_t reg;
  };
  enum class step_state { entering, reading, waiting };

  void send(std::initializer_list<unit> units);
  void user(unit u);
  void status_report(std::span<const uint8_t> p);
  void time_report(std::span<const uint8_t> p);
  void silence();
  void handle_record(const item_record& r);
  void scanner_step(const item_record* r);
  void folder_item(const item_record& r, bool first_of_folder);
  void file_item(const item_record& r);
  void folder_done();
  void enter(folder_node* node);
  void query(uint16_t index);
  void finish(scan_finish code);
  folder_node* new_node(const item_record& r);
  void free_node(folder_node* node);
  void free_tree(folder_node* node);
  void log(int level, const char* format, ...) const __attribute__((format(printf, 3, 4)));
  // One kind of device on the USB port: `present` follows whether the port reports `port`, and
  // a change is logged under `name` and told through `plugged` or `pulled`.
  void follow_usb(bool& present, uint8_t port, const char* name, const std::function<void()>& plugged,
                  const std::function<void()>& pulled);

  send_fn send_;
  const int& log_level_;
  media_events events_;
  uint32_t now_ = 0;

  uint8_t usb_ = 0, device_ = 0, transport_ = 0;
  bool bt_connected_ = false, bt_playing_ = false, udisk_ = false, usb_audio_ = false;
  uint32_t last_report_ = 0;
  bool hold_ = false;
  uint32_t hold_start_ = 0;

  item_stream stream_;
  folder_node* root_ = nullptr;
  folder_node* current_ = nullptr;
  folder_node* last_child_ = nullptr;
  step_state state_ = step_state::entering;
  bool first_file_ = false;
  int songs_ = 0;
  int retries_ = 0;
  uint32_t wait_start_ = 0;
  int wait_countdown_ = 0;
  uint32_t last_command_ = 0;
  item_record last_item_;
  int nodes_ = 0;
};

}  // namespace vorante
