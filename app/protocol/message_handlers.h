// What the console tells the program outside names and scenes: values it read or pushed,
// write confirmations, its status bytes, control-surface events, the network list and
// the configuration and media texts. Keeps what those messages reveal: the lock state,
// whether the end marker of a full read was seen, and the status bytes.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "app/core/options.h"
#include "app/params/store.h"
#include "app/protocol/device_link.h"
#include "app/protocol/messages.h"
#include "app/protocol/surface.h"
#include "app/protocol/ui_port.h"
#include "app/protocol/write_verdicts.h"

namespace vorante {

// The presence probe of the serial link is a values read with a two-byte payload.
constexpr std::size_t presence_probe_payload = 2;

class message_handlers {
 public:
  // `step_time` is the time of the engine step that handles the messages.
  message_handlers(param_store& store, const runtime_options& options, ui_port& ui, control_surface& surface,
                   device_link& device, write_verdicts& verdicts, const uint32_t& step_time)
      : store_(store),
        options_(options),
        ui_(ui),
        surface_(surface),
        device_(device),
        verdicts_(verdicts),
        step_time_(step_time) {}

  // Observers for tools and tests: every value stored from the console, every write the
  // console acknowledged, and every pair of a change the console pushed.
  void set_value_observer(std::function<void(uint16_t, uint16_t)> fn) { on_value_ = std::move(fn); }
  void set_ack_observer(std::function<void(uint16_t, uint16_t)> fn) { on_ack_ = std::move(fn); }
  void set_push_observer(std::function<void(uint16_t, uint16_t)> fn) { on_push_ = std::move(fn); }
  void set_config_handlers(std::function<void(std::string_view)> report, std::function<void(std::string_view)> result) {
    on_config_report_ = std::move(report);
    on_config_result_ = std::move(result);
  }
  void set_media_handlers(std::function<void(std::span<const uint8_t>)> report, std::function<void(uint32_t)> step) {
    on_media_report_ = std::move(report);
    media_step_ = std::move(step);
  }

  // Values the console read for us. False when the frame was the serial link's presence
  // probe (answered here) rather than values.
  bool on_values(std::span<const uint8_t> frame);
  // Values the console pushed: echoed back, as the console expects.
  void on_change(std::span<const uint8_t> frame);
  void on_write_confirmation(std::span<const uint8_t> payload);
  void on_status(std::span<const uint8_t> payload);
  void on_control_events(std::span<const uint8_t> frame);
  void on_control_outputs(std::span<const uint8_t> payload);
  void on_network_list(std::span<const uint8_t> payload);
  void on_config_report(std::span<const uint8_t> payload);
  void on_config_result(std::span<const uint8_t> payload);
  void on_media_report(std::span<const uint8_t> frame);
  void media_step(uint32_t now) {
    if (media_step_) media_step_(now);
  }

  // The console-locked state: reported by the console, or held since the lock key asked
  // for it until the console reports the unlock.
  bool locked() const { return locked_ || lock_held_; }
  void hold_locked() { lock_held_ = true; }
  bool end_marker_seen() const { return end_marker_seen_; }
  void forget_end_marker() { end_marker_seen_ = false; }
  const std::array<uint8_t, status_byte_count>& status() const { return status_; }

 private:
  void store_values(std::span<const uint8_t> payload, bool pushed);
  void notify_values(std::span<const uint8_t> payload, bool pushed);
  void lock_changed(bool locked);

  param_store& store_;
  const runtime_options& options_;
  ui_port& ui_;
  control_surface& surface_;
  device_link& device_;
  write_verdicts& verdicts_;
  const uint32_t& step_time_;
  std::function<void(std::string_view)> on_config_report_, on_config_result_;
  std::function<void(std::span<const uint8_t>)> on_media_report_;
  std::function<void(uint32_t)> media_step_;
  std::function<void(uint16_t, uint16_t)> on_value_, on_ack_, on_push_;

  bool locked_ = false;
  bool lock_held_ = false;
  bool end_marker_seen_ = false;
  std::array<uint8_t, status_byte_count> status_{};
};

}  // namespace vorante
