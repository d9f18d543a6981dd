#include "app/protocol/link_supervisor.h"

#include "app/core/identity.h"
#include "app/core/translate.h"

namespace vorante {

void link_supervisor::run_due(uint32_t now) {
  if (!supervision_started_) {
    supervision_started_ = true;
    next_supervision_ = now + supervision_period_ms;
  } else if (due(now, next_supervision_)) {
    next_supervision_ = now + supervision_period_ms;
    supervise(now);
  }
  if (resync_scheduled_ && due(now, resync_due_)) {
    resync_scheduled_ = false;
    resync_done_ = true;
    store_.full_resync();
  }
}

void link_supervisor::supervise(uint32_t now) {
  if (lock_poll() && !options_.local_device && heartbeat()) store_.request(online_lock_poll_id);
  if (!ui_.connect_dialog_open() && heartbeat()) {
    store_.request_range(first_status_word_id, last_status_word_id);
    heartbeat_waiting_ = true;
    heartbeat_asked_ = now;
  }

  if (alive_ && now - last_values_ >= alive_window_ms) alive_ = false;
  if (was_alive_ && !alive_) went_down();
  if (!was_alive_ && alive_) came_up(now);
  was_alive_ = alive_;

  if (!alive_ && rebuilds_link()) {
    if (countdown_ != 0) --countdown_;
    if (countdown_ == 0) {
      countdown_ = reconnect_countdown;
      device_.close();
      device_.open();
    }
  }
}

void link_supervisor::went_down() {
  ui_.link_state_changed(false);
  if (rebuilds_link()) {
    device_.close();
    countdown_ = reconnect_countdown;
  }
}

void link_supervisor::came_up(uint32_t now) {
  ui_.link_state_changed(true);
  device_.send_identify();
  device_.send_config_query("LAYER=");
  if (resync_once_only() && resync_done_) return;
  resync_scheduled_ = true;
  resync_due_ = now + resync_delay_ms;
}

void link_supervisor::identification(std::span<const uint8_t> payload) {
  if (payload.size() < identification_min_payload) return;
  identified_product_ = get_be16(&payload[1]);
  identified_model_ = payload[3];
  if (identified_product_ == identity().product && identified_model_ == identity().model) return;
  incompatible_ = true;
  device_.close();
  if (on_incompatible_) on_incompatible_();
  ui_.show_incompatible_overlay(translate_text(incompatible_console_text));
}

}  // namespace vorante
