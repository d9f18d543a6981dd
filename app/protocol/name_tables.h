// The scene and channel names the console holds, with the queues that read them from it
// and send edits to it, one message per queue and paced pass.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "app/params/journal.h"
#include "app/protocol/device_link.h"
#include "app/protocol/name_queue.h"
#include "app/protocol/name_slot.h"
#include "app/protocol/ui_port.h"

namespace vorante {

constexpr int scene_count = 16;
constexpr int channel_name_count = 60;
// Highest slot numbers the console may confirm a name update for; confirmations beyond
// the tables are taken and change nothing.
constexpr int max_confirmed_scene_slot = 32;
constexpr int max_confirmed_channel_slot = 63;

class name_tables {
 public:
  explicit name_tables(ui_port& ui);
  // Renames made here are journaled; names the console reports otherwise mark the steps.
  void attach(edit_journal& journal) { journal_ = &journal; }

  // Local edits, queued for sending. Scenes count from 1, channels are logical numbers.
  void set_scene_name(int n, std::string_view text);
  std::string_view scene_name(int n) const;
  void set_channel_name(int logical, std::string_view text);
  std::string_view channel_name(int logical) const;

  // Queue all 16 scene-name requests / all 60 channel-name requests.
  void request_scene_names();
  void request_channel_names();
  // Drop every pending request and update.
  void drop_traffic();

  const name_queue<scene_count>& scene_requests() const { return scene_requests_; }
  const name_queue<scene_count>& scene_updates() const { return scene_updates_; }
  const name_queue<channel_name_count>& channel_requests() const { return channel_requests_; }
  const name_queue<channel_name_count>& channel_updates() const { return channel_updates_; }

  // One paced pass: at most one message per queue.
  void flush(device_link& device);

  // Replies of the console.
  void on_scene_name(std::span<const uint8_t> payload);
  void on_scene_name_set(std::span<const uint8_t> payload);
  void on_channel_name(std::span<const uint8_t> payload);
  void on_channel_name_set(std::span<const uint8_t> payload);

 private:
  ui_port& ui_;
  edit_journal* journal_ = nullptr;
  std::array<name_slot, scene_count> scene_names_{};
  std::array<name_slot, channel_name_count> channel_names_{};
  name_queue<scene_count> scene_requests_, scene_updates_;
  name_queue<channel_name_count> channel_requests_, channel_updates_;
};

}  // namespace vorante
