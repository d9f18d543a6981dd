// The synchronisation engine: keeps the parameter store and the console consistent in
// both directions. Once per main-loop step it drains received frames, hands each to the
// part that deals with it, and lets every part send what is pending, every outbound item
// retried by the tick rule until answered.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "app/core/options.h"
#include "app/params/store.h"
#include "app/protocol/device_link.h"
#include "app/protocol/frame.h"
#include "app/protocol/link_stats.h"
#include "app/protocol/link_supervisor.h"
#include "app/protocol/message_handlers.h"
#include "app/protocol/name_tables.h"
#include "app/protocol/rings.h"
#include "app/protocol/scene_requests.h"
#include "app/protocol/surface.h"
#include "app/protocol/transport.h"
#include "app/protocol/ui_port.h"
#include "app/protocol/write_verdicts.h"
#include "app/scenes/scene_transfer.h"

namespace vorante {

constexpr uint32_t pace_period_ms = 20;

class sync_engine final : public store_events {
 public:
  using transport_factory = device_link::transport_factory;

  sync_engine(param_store& store, const runtime_options& options, ui_port& ui = null_ui_port());
  ~sync_engine() override;

  // --- wiring ---
  void set_transport_factory(transport_factory factory) { device_.set_factory(std::move(factory)); }
  // Opens the link of the current link mode; an incompatible console keeps it closed.
  void open_link();
  void close_link() { device_.close(); }
  transport* link() { return device_.current(); }
  void set_wake(wake_fn wake) { wake_ = std::move(wake); }

  // --- running ---
  void enable() { enabled_ = true; }
  // One main-loop step at time `now` (milliseconds, wrapping).
  void step(uint32_t now);
  // Handles one complete frame (used by step and by tests).
  void handle_frame(std::span<const uint8_t> frame, uint32_t now);
  // Feeds received bytes as a transport would (tests, fuzzing).
  bool feed(std::span<const uint8_t> bytes) { return ring_.write(bytes.data(), bytes.size()); }
  // A full read of the console ended after its end marker arrived.
  bool read_finished() const { return read_finished_; }

  // --- the parts ---
  device_link& device() { return device_; }
  link_supervisor& supervision() { return supervision_; }
  const link_supervisor& supervision() const { return supervision_; }
  message_handlers& messages() { return messages_; }
  const message_handlers& messages() const { return messages_; }
  name_tables& names() { return names_; }
  const name_tables& names() const { return names_; }
  write_verdicts& verdicts() { return verdicts_; }
  scene_requests& scenes() { return scenes_; }
  const scene_requests& scenes() const { return scenes_; }
  scene_transfer& transfer() { return transfer_; }
  control_surface& surface() { return surface_; }
  // What the link did so far; the engine's clock of the last step, to age its times.
  const link_stats& stats() const { return stats_; }
  uint32_t last_step_tick() const { return last_now_; }

  // What the screens ask most.
  bool link_alive() const { return supervision_.alive(); }
  bool console_locked() const override { return messages_.locked(); }

 private:
  // --- store_events ---
  void request_scene_names() override { names_.request_scene_names(); }
  void request_channel_names() override { names_.request_channel_names(); }
  void drop_name_traffic() override { names_.drop_traffic(); }
  void read_restarted() override;
  bool scene_call_pending() const override { return scenes_.call_pending(); }
  void surface_fader_written(uint16_t id) override { surface_.fader_written(id); }
  void schedule_key_lights() override { surface_.schedule_incremental(last_now_); }

  void drain(uint32_t now);
  void edge_notifications();
  void flush_reads();
  void flush_writes(uint32_t now);
  void read_finished_actions();
  void wake();

  param_store& store_;
  const runtime_options& options_;
  ui_port& ui_;
  wake_fn wake_;
  uint32_t last_now_ = 0;
  bool stepped_ = false;

  link_stats stats_;
  given_up_notice given_up_notice_;
  device_link device_;
  write_verdicts verdicts_;
  control_surface surface_;
  link_supervisor supervision_;
  message_handlers messages_;
  name_tables names_;
  scene_requests scenes_;
  scene_transfer transfer_;

  bool enabled_ = false;
  engine_ring ring_;
  std::array<uint8_t, max_frame_size> frame_{};
  uint32_t last_flush_ = 0;
  bool flushed_once_ = false;
  bool read_finished_ = false;
  bool prev_request_pending_ = false, prev_dirty_pending_ = false;
};

}  // namespace vorante
