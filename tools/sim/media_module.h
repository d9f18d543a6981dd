// The console's media module: u-disk player and recorder, Bluetooth receiver, USB audio
// and S/PDIF inputs. It follows media commands (114), reports its state (113) twice a
// second and answers the folder walk of the program's disk scanner one item at a time.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "tools/sim/frame_list.h"
#include "tools/sim/media_disk.h"

namespace vorante::sim {

constexpr uint32_t media_report_period_ms = 500;
constexpr std::size_t media_payload_size = 12;  // reports are 17-byte frames
constexpr std::size_t item_bytes_per_report = media_payload_size - 2;

// Play device codes.
enum media_device : uint8_t {
  device_none = 0,
  device_udisk = 2,
  device_recorder = 5,
  device_bluetooth = 6,
  device_usb_audio = 9,
  device_spdif = 10,
};

// Transport states; 3 is a paused player, which the program treats like playing.
enum media_transport : uint8_t {
  transport_idle = 1,
  transport_playing = 2,
  transport_paused = 3,
  transport_recording = 5,
};

// USB port states.
enum usb_port : uint8_t { usb_empty = 0, usb_disk = 2, usb_audio = 4 };

// Registers of the command units (value LE16, register).
enum media_register : uint8_t {
  reg_action = 0xD0,
  reg_high = 0xD1,
  reg_low = 0xD2,
  reg_play = 0xA0,
  reg_pause = 0xA1,
  reg_bt_play_pause = 0xA2,
  reg_previous = 0xA4,
  reg_next = 0xA6,
  reg_select_udisk = 0xA8,
  reg_repeat = 0xAA,
  reg_select_usb_audio = 0xB5,
  reg_select_spdif = 0xC3,
  reg_select_bluetooth = 0xC7,
  reg_select_recorder = 0xC8,
  reg_record = 0xE0,
};

enum media_action : uint16_t { action_play_file = 1, action_enter_folder = 2, action_take_playlist = 5, action_query_item = 8 };

// Item record kinds and flags.
constexpr uint8_t item_kind_playing = 0;
constexpr uint8_t item_kind_entry = 1;
constexpr uint8_t item_kind_empty_folder = 2;
constexpr uint8_t item_flag_file = 0x01;
constexpr uint8_t item_flag_last = 0x40;
constexpr uint8_t item_flag_utf16 = 0x80;

// One item record: 0xAA, L BE16, kind, index BE16, flags, 0, ID BE32, name, checksum. ASCII
// names travel as bytes; any other name as UTF-16 units low byte first with a zero unit
// (characters beyond 16 bits and broken UTF-8 become "?").
std::vector<uint8_t> item_record(uint8_t kind, uint16_t index, uint8_t flags, uint32_t id, std::string_view name);

// The record split into item-data reports (0x82, n, up to 10 bytes, zero padding).
void append_item_reports(std::span<const uint8_t> record, frame_list& out);

class media_module {
 public:
  media_module(media_disk disk, uint32_t now);

  // One media command; the answers (item records, a fresh status report) go to `out`.
  void command(std::span<const uint8_t> payload, uint32_t now, frame_list& out);
  // Moves playback and recording on; every report period appends a status report and,
  // while a song is loaded, a time report. With report false only the state moves.
  void tick(uint32_t now, bool report, frame_list& out);

  // The USB port: a u-disk, a USB audio device, or nothing.
  void set_usb(usb_port state);

  uint8_t usb_port_state() const { return usb_; }
  uint8_t play_device() const { return device_; }
  uint8_t transport() const { return transport_; }
  uint16_t song_count() const;
  int current_song() const { return song_; }  // 1-based, 0 = none
  bool repeat_one() const { return repeat_one_; }
  bool bluetooth_connected() const { return bt_connected_; }
  bool bluetooth_playing() const { return bt_playing_; }
  uint32_t position_ms() const { return position_ms_; }
  const media_disk& disk() const { return disk_; }

  std::array<uint8_t, media_payload_size> status_payload() const;
  std::array<uint8_t, media_payload_size> time_payload() const;

 private:
  void unit(uint8_t reg, uint16_t value, uint32_t now, frame_list& out, bool& user);
  void action(uint16_t what, uint32_t now, frame_list& out, bool& user);
  void enter_folder(uint32_t id, frame_list& out);
  void query_item(uint16_t index, frame_list& out);
  void entry_record(int folder, std::size_t position, frame_list& out);
  void now_playing(frame_list& out);
  void select(uint8_t device);
  void play_song(int song, frame_list& out);
  void step_song(int delta, frame_list& out);
  void toggle_recording();
  bool disk_ready() const { return usb_ == usb_disk; }
  int song_item() const;  // disk index of the current song, -1 for none

  media_disk disk_;
  uint8_t usb_ = usb_disk;
  uint8_t device_ = device_udisk;
  uint8_t transport_ = transport_idle;
  uint8_t spdif_input_ = 0;
  int song_ = 0;
  uint32_t position_ms_ = 0;
  bool repeat_one_ = false;
  bool bt_connected_ = false;
  bool bt_playing_ = false;
  uint32_t record_ms_ = 0;
  int recordings_ = 0;
  uint16_t reg_high_ = 0;
  uint16_t reg_low_ = 0;
  int folder_ = -1;  // the folder the scanner entered last
  uint32_t last_tick_ = 0;
  uint32_t last_report_ = 0;
};

}  // namespace vorante::sim
