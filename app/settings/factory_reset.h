// The factory reset's waiting count: the progress label counts the seconds since "OK"
// until the console confirms; there is no time limit.
#pragma once

#include <cstdint>
#include <string>

namespace vorante {

// The write that makes the console restore its factory settings.
constexpr uint16_t factory_reset_id = 56;
constexpr uint16_t factory_reset_value = 0x55AA;
constexpr int factory_reset_tick_ms = 1000;

inline constexpr const char* factory_reset_question = "Restore Factory Settings?";
inline constexpr const char* factory_reset_waiting = "Factory reset in progress...\nPlease wait a moment.";
inline constexpr const char* factory_reset_counting = "Factory reset in progress...\nPlease wait for a few seconds.(%u)";

class factory_reset_counter {
 public:
  // "OK" pressed: true when the timer is to start (it is not running yet); the count
  // starts again from 0 then.
  bool start();
  void stop() { running_ = false; }
  bool running() const { return running_; }

  // One tick (the first runs at once): the label text with the count, which then grows.
  std::string tick();
  unsigned count() const { return count_; }

 private:
  bool running_ = false;
  unsigned count_ = 0;
};

}  // namespace vorante
