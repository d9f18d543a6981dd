// Watching the link to the console: whether it is alive, the one-second supervision that
// polls status and lock, rebuilding links that can be rebuilt, the resync after the link
// came up, and the console's identification.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "app/core/options.h"
#include "app/params/store.h"
#include "app/protocol/device_link.h"
#include "app/protocol/ticks.h"
#include "app/protocol/ui_port.h"

namespace vorante {

constexpr uint32_t supervision_period_ms = 1000;
constexpr uint32_t alive_window_ms = 5100;
constexpr uint32_t resync_delay_ms = 1000;
constexpr int reconnect_countdown = 10;
// An identification payload: a lead byte, the product (BE16), the model and at least one
// more byte.
constexpr std::size_t identification_min_payload = 5;

inline constexpr const char* incompatible_console_text =
    "Your device is experiencing connection issues.\nThis may be due to outdated browser cache.\n"
    "You can clear your browser cache and try reconnecting to resolve this problem.";

class link_supervisor {
 public:
  link_supervisor(param_store& store, const runtime_options& options, ui_port& ui, device_link& device)
      : store_(store), options_(options), ui_(ui), device_(device) {}

  // Runs the supervision when it is due and the resync when it is due; called on every
  // engine step, so the common case stays inline.
  void step(uint32_t now) {
    if (supervision_started_ && !due(now, next_supervision_) && !resync_scheduled_) return;
    run_due(now);
  }
  // The one-second supervision; step() runs it on time, tests may call it directly.
  void supervise(uint32_t now);

  // Values arrived from the console.
  void heard(uint32_t now) {
    alive_ = true;
    last_values_ = now;
  }
  bool alive() const { return alive_; }
  // Forgets that the console was heard (a new console is about to be chosen); the next
  // supervision reports the link down.
  void clear_alive() { alive_ = false; }
  uint32_t last_values_tick() const { return last_values_; }
  // A heartbeat's status read is out and no status word has come back since.
  bool heartbeat_waiting() const { return heartbeat_waiting_; }
  // A status word came back: the round trip of the latest heartbeat in milliseconds.
  uint32_t heartbeat_answered(uint32_t now) {
    heartbeat_waiting_ = false;
    return now - heartbeat_asked_;
  }

  // An identification arrived. A console that is not ours ends the link for good: no
  // heartbeat, no lock poll, no reconnect and at most one resync from then on.
  void identification(std::span<const uint8_t> payload);
  void set_incompatible_handler(std::function<void()> fn) { on_incompatible_ = std::move(fn); }
  bool incompatible() const { return incompatible_; }
  // Product and model code of the last identification that arrived.
  uint16_t identified_product() const { return identified_product_; }
  uint8_t identified_model() const { return identified_model_; }

 private:
  bool heartbeat() const { return options_.heartbeat_enabled && !incompatible_; }
  bool lock_poll() const { return !options_.online_lock_poll_disabled && !incompatible_; }
  bool resync_once_only() const { return options_.resync_once_only || incompatible_; }
  // TCP and the empty link are rebuilt while nothing is heard.
  bool rebuilds_link() const {
    return !incompatible_ && (options_.link_mode == link_tcp || options_.link_mode == link_none);
  }
  void run_due(uint32_t now);
  void came_up(uint32_t now);
  void went_down();

  param_store& store_;
  const runtime_options& options_;
  ui_port& ui_;
  device_link& device_;
  std::function<void()> on_incompatible_;

  bool alive_ = false, was_alive_ = false;
  uint32_t last_values_ = 0;
  uint32_t next_supervision_ = 0;
  bool supervision_started_ = false;
  int countdown_ = reconnect_countdown;
  bool resync_done_ = false;
  bool resync_scheduled_ = false;
  uint32_t resync_due_ = 0;
  bool heartbeat_waiting_ = false;
  uint32_t heartbeat_asked_ = 0;

  bool incompatible_ = false;
  uint16_t identified_product_ = 0;
  uint8_t identified_model_ = 0;
};

}  // namespace vorante
