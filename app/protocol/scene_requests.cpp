#include "app/protocol/scene_requests.h"

#include "app/core/log.h"

namespace vorante {

void scene_requests::request_call(int n) {
  call_done_ = false;
  call_ = {n, scene_request_attempts, 0};
}

void scene_requests::request_save(int n) {
  if (save_.number != 0) return;
  save_done_ = false;
  save_ = {n, scene_request_attempts, 0};
}

void scene_requests::flush(device_link& device) {
  flush(call_, device, true);
  flush(save_, device, false);
}

void scene_requests::flush(request& r, device_link& device, bool call) {
  if (r.number == 0) return;
  if (r.countdown > 0) {
    --r.countdown;
    return;
  }
  if (r.attempts <= 0) {
    // The last send's window has passed without a confirmation.
    r.number = 0;
    return;
  }
  r.countdown = scene_request_countdown;
  --r.attempts;
  const uint8_t scene = static_cast<uint8_t>(r.number);
  device.send(call ? make_call_scene(scene) : make_save_scene(scene));
}

void scene_requests::on_call_reply(std::span<const uint8_t> payload) {
  if (payload.empty() || payload[0] == 0 || payload[0] != call_.number) return;
  call_ = {};
  store_.request_all();
  call_done_ = true;
  log_print("call scene %d success!\n", payload[0]);
}

void scene_requests::on_save_reply() {
  save_ = {};
  save_done_ = true;
  log_print("save scene success!\n");
}

}  // namespace vorante
