// Calling and saving a scene on the console: each request is sent up to three times a
// hundred paced passes apart, and stays pending until the console confirms it or the
// last send's waiting window has passed.
#pragma once

#include <cstdint>
#include <span>

#include "app/params/store.h"
#include "app/protocol/device_link.h"

namespace vorante {

constexpr int scene_request_attempts = 3;
constexpr int scene_request_countdown = 100;

class scene_requests {
 public:
  explicit scene_requests(param_store& store) : store_(store) {}

  void request_call(int n);
  // Ignored while another save is pending.
  void request_save(int n);
  int pending_call() const { return call_.number; }
  int pending_save() const { return save_.number; }
  bool call_pending() const { return call_.number != 0; }
  bool busy() const { return call_.number != 0 || save_.number != 0; }
  // The console confirmed the last call / save requested.
  bool call_done() const { return call_done_; }
  bool save_done() const { return save_done_; }

  // One paced pass.
  void flush(device_link& device);

  // A confirmed call reads everything again: the scene changed every value.
  void on_call_reply(std::span<const uint8_t> payload);
  void on_save_reply();

 private:
  struct request {
    int number = 0;
    int attempts = 0;
    int countdown = 0;
  };
  static void flush(request& r, device_link& device, bool call);

  param_store& store_;
  request call_, save_;
  bool call_done_ = false, save_done_ = false;
};

}  // namespace vorante
