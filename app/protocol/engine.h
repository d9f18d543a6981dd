// The synchronisation engine: keeps the parameter store and the console consistent in
// both directions. Once per main-loop step it drains received frames, acts on each, and
// sends what is pending, every outbound item retried by the tick rule until answered.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "app/core/options.h"
#include "app/params/store.h"
#include "app/protocol/frame.h"
#include "app/protocol/messages.h"
#include "app/protocol/name_queue.h"
#include "app/protocol/rings.h"
#include "app/protocol/surface.h"
#include "app/protocol/transport.h"
#include "app/protocol/ui_port.h"

namespace vorante {

constexpr uint32_t pace_period_ms = 20;
constexpr uint32_t supervision_period_ms = 1000;
constexpr uint32_t alive_window_ms = 5100;
constexpr uint32_t resync_delay_ms = 1000;
constexpr int reconnect_countdown = 10;
constexpr int scene_count = 16;
constexpr int channel_name_count = 60;
constexpr int scene_request_attempts = 3;
constexpr int scene_request_countdown = 100;

// Status array slots beyond the console's 31 status bytes.
constexpr int status_scene_call_done = 31;
constexpr int status_scene_save_done = 32;
constexpr int status_end_marker_seen = 33;
constexpr int status_transfer_scene = 34;
constexpr int status_transfer_text = 35;

inline constexpr const char* incompatible_console_text =
    "Your device is experiencing connection issues.\nThis may be due to outdated browser cache.\n"
    "You can clear your browser cache and try reconnecting to resolve this problem.";

// Reply flags of the scene transfer.
struct transfer_flags {
  bool values_read = false;
  bool values_written = false;
  bool text_read = false;
  bool text_written = false;
  bool name_read = false;
  bool name_written = false;
  bool write_finished = false;
};

// One scene as it travels to or from the console.
struct transfer_image {
  std::array<uint16_t, param_count> values{};
  std::array<std::array<char, name_slot_size>, channel_name_count> texts{};
  std::array<char, name_slot_size> name{};
};

class sync_engine : public store_link {
 public:
  // Opens the transport of the current link mode (nullptr: no transport).
  using transport_factory = std::function<std::unique_ptr<transport>()>;

  sync_engine(param_store& store, runtime_options& options, ui_port& ui = null_ui_port());
  ~sync_engine() override;

  // --- wiring ---
  void set_transport_factory(transport_factory factory) { factory_ = std::move(factory); }
  void open_link();
  void close_link();
  transport* link() { return transport_.get(); }
  void set_wake(wake_fn wake) { wake_ = std::move(wake); }
  void set_config_handlers(std::function<void(std::string_view)> report, std::function<void(std::string_view)> result) {
    on_config_report_ = std::move(report);
    on_config_result_ = std::move(result);
  }
  void set_media_handlers(std::function<void(std::span<const uint8_t>)> report, std::function<void(uint32_t)> step) {
    on_media_report_ = std::move(report);
    media_step_ = std::move(step);
  }
  // Observers for tools and tests: every value stored from the console, every write the
  // console acknowledged, and every pair of a change the console pushed.
  void set_value_observer(std::function<void(uint16_t, uint16_t)> fn) { on_value_ = std::move(fn); }
  void set_ack_observer(std::function<void(uint16_t, uint16_t)> fn) { on_ack_ = std::move(fn); }
  void set_push_observer(std::function<void(uint16_t, uint16_t)> fn) { on_push_ = std::move(fn); }
  // Called when the console turns out to be incompatible (after the link was dropped).
  void set_incompatible_handler(std::function<void()> fn) { on_incompatible_ = std::move(fn); }

  // --- running ---
  void enable() { enabled_ = true; }
  // One main-loop step at time `now` (milliseconds, wrapping).
  void step(uint32_t now);
  // The one-second supervision; step() runs it on time, tests may call it directly.
  void supervise(uint32_t now);
  // Handles one complete frame (used by step and by tests).
  void handle_frame(std::span<const uint8_t> frame, uint32_t now);
  // Feeds received bytes as a transport would (tests, fuzzing).
  bool feed(std::span<const uint8_t> bytes) { return ring_.write(bytes.data(), bytes.size()); }

  // --- link state ---
  bool link_alive() const { return alive_; }
  // Forgets that the console was heard (a new console is about to be chosen); the next
  // supervision reports the link down.
  void clear_link_alive() { alive_ = false; }
  uint32_t last_values_tick() const { return last_values_; }
  bool read_finished() const { return read_finished_; }
  bool end_marker_seen() const { return status_[status_end_marker_seen] != 0; }
  bool console_locked() const override { return locked_; }
  // Product and model code of the last identification that arrived.
  uint16_t identified_product() const { return identified_product_; }
  uint8_t identified_model() const { return identified_model_; }
  bool incompatible() const { return incompatible_; }
  const std::array<uint8_t, 36>& status() const { return status_; }

  // --- names ---
  void set_scene_name(int n, std::string_view text);
  std::string_view scene_name(int n) const;
  void set_channel_name(int logical, std::string_view text);
  std::string_view channel_name_slot(int logical) const;
  const name_queue<scene_count>& scene_name_requests() const { return scene_requests_; }
  const name_queue<scene_count>& scene_name_updates() const { return scene_updates_; }
  const name_queue<channel_name_count>& channel_name_requests() const { return channel_requests_; }
  const name_queue<channel_name_count>& channel_name_updates() const { return channel_updates_; }

  // --- scenes ---
  void request_scene_call(int n);
  void request_scene_save(int n);
  int pending_scene_call() const { return scene_call_.number; }
  int pending_scene_save() const { return scene_save_.number; }
  bool scene_call_pending() const override { return scene_call_.number != 0; }

  // --- direct sends ---
  void send_write_now(uint16_t id, uint16_t value);
  void send_status_request();
  void send_identify();
  void send_config_query(std::string_view text);
  void send_config_command(std::string_view text);
  void send_media_command(std::span<const uint8_t> payload);
  void send_frame(const frame_bytes& frame);

  // --- scene transfer ---
  void send_transfer_values_read(int scene, int count, uint16_t first_id);
  void send_transfer_values_write(int scene, int count, uint16_t first_id);
  void send_transfer_text_read(int scene, int index);
  void send_transfer_text_write(int scene, int index);
  void send_transfer_name_read(int scene);
  void send_transfer_name_write(int scene);
  void send_transfer_write_finish(int scene);
  transfer_flags& transfer_replies() { return transfer_; }
  transfer_image& transfer() { return *image_; }

  control_surface& surface() { return surface_; }

  // --- store_link ---
  void request_scene_names() override;
  void request_channel_names() override;
  void drop_name_traffic() override;
  void read_restarted() override;
  void surface_fader_written(uint16_t id) override { surface_.fader_written(id); }
  void schedule_key_lights() override { surface_.schedule_incremental(last_now_); }

 private:
  struct scene_request {
    int number = 0;
    int attempts = 0;
    int countdown = 0;
  };

  void drain(uint32_t now);
  void edge_notifications();
  void flush_reads();
  void flush_writes();
  void flush_scene_request(scene_request& request, message_code code);
  void flush_names();
  void read_finished_actions();
  void notify_values(std::span<const uint8_t> frame, int pushed);
  void identification(std::span<const uint8_t> payload);
  void lock_changed(bool locked);
  void came_up(uint32_t now);
  void went_down();
  void wake();

  param_store& store_;
  runtime_options& options_;
  ui_port& ui_;
  transport_factory factory_;
  std::unique_ptr<transport> transport_;
  wake_fn wake_;
  std::function<void(std::string_view)> on_config_report_, on_config_result_;
  std::function<void(std::span<const uint8_t>)> on_media_report_;
  std::function<void(uint32_t)> media_step_;
  std::function<void()> on_incompatible_;
  std::function<void(uint16_t, uint16_t)> on_value_, on_ack_, on_push_;
  control_surface surface_;

  bool enabled_ = false;
  uint32_t last_now_ = 0;
  engine_ring ring_;
  std::array<uint8_t, max_frame_size> frame_{};
  uint32_t last_flush_ = 0;
  bool flushed_once_ = false;

  std::array<std::array<char, name_slot_size>, scene_count> scene_names_{};
  std::array<std::array<char, name_slot_size>, channel_name_count> channel_names_{};
  name_queue<scene_count> scene_requests_, scene_updates_;
  name_queue<channel_name_count> channel_requests_, channel_updates_;

  scene_request scene_call_, scene_save_;
  std::array<uint8_t, 36> status_{};
  transfer_flags transfer_;
  uint16_t expected_read_first_ = 0, expected_write_first_ = 0;
  int expected_text_write_ = -1;
  std::unique_ptr<transfer_image> image_;

  bool read_finished_ = false;
  bool prev_request_pending_ = false, prev_dirty_pending_ = false;

  bool locked_ = false;
  bool incompatible_ = false;
  uint16_t identified_product_ = 0;
  uint8_t identified_model_ = 0;

  // Supervision.
  bool alive_ = false, was_alive_ = false;
  uint32_t last_values_ = 0;
  uint32_t next_supervision_ = 0;
  bool supervision_started_ = false;
  int countdown_ = reconnect_countdown;
  bool resync_done_ = false;
  bool resync_scheduled_ = false;
  uint32_t resync_due_ = 0;
};

}  // namespace vorante
