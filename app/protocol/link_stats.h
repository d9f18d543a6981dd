// What the link did, for the engineer who wants to know whether the console keeps up:
// frames each way, resends, heartbeat round trips, the last full read, and every write the
// console never confirmed. The engine counts; the screens and the command-line client only
// read. Nothing here sends anything.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "app/protocol/ui_port.h"

namespace vorante {

class param_store;

// Round trips of this many of the latest heartbeats are kept.
constexpr std::size_t heartbeat_rtt_history = 8;
// The given-up writes kept for the screen; older ones only stay counted.
constexpr std::size_t given_up_history = 32;

struct given_up_write {
  uint16_t id = 0;
  uint16_t value = 0;
  uint32_t at = 0;  // engine milliseconds of the verdict
};

struct link_stats {
  uint64_t frames_sent = 0;
  uint64_t frames_received = 0;
  // Parameter entries sent again because the first send went unanswered.
  uint64_t write_resends = 0;
  uint64_t read_resends = 0;
  // Writes whose sends ran out: confirmed afterwards within the grace period, or not at all.
  uint64_t writes_confirmed_late = 0;
  uint64_t writes_given_up = 0;
  std::deque<given_up_write> given_up;  // newest last, at most given_up_history

  // Heartbeat round trips in milliseconds, oldest first.
  std::array<uint32_t, heartbeat_rtt_history> rtts{};
  std::size_t rtt_count = 0;  // how many of rtts hold a value
  std::size_t rtt_next = 0;   // where the next one goes

  bool full_read_running = false;
  bool full_read_done = false;
  uint32_t full_read_started = 0;
  uint32_t full_read_finished = 0;  // engine milliseconds
  uint32_t full_read_ms = 0;

  void add_rtt(uint32_t ms) {
    rtts[rtt_next] = ms;
    rtt_next = (rtt_next + 1) % rtts.size();
    if (rtt_count < rtts.size()) ++rtt_count;
  }
  // The kept round trips, oldest first.
  template <class Fn>
  void for_each_rtt(Fn&& fn) const {
    const std::size_t first = (rtt_next + rtts.size() - rtt_count) % rtts.size();
    for (std::size_t i = 0; i < rtt_count; ++i) fn(rtts[(first + i) % rtts.size()]);
  }
  void add_given_up(uint16_t id, uint16_t value, uint32_t at) {
    ++writes_given_up;
    given_up.push_back({id, value, at});
    if (given_up.size() > given_up_history) given_up.pop_front();
  }
  void read_started(uint32_t now) {
    full_read_running = true;
    full_read_started = now;
  }
  void read_finished(uint32_t now) {
    if (!full_read_running) return;
    full_read_running = false;
    full_read_done = true;
    full_read_finished = now;
    full_read_ms = now - full_read_started;
  }
};

// How a given-up write reads: the channel ("CH3", "AUX2", "-" for console-wide settings),
// the parameter and the value written, as the pages would show it.
struct given_up_texts {
  std::string channel;
  std::string parameter;
  std::string value;
};
given_up_texts describe_write(const param_store& store, uint16_t id, uint16_t value);

// The round-trip figures as one text: "12 ms (min 9, max 15 of 8)", or "-" with none.
std::string rtt_summary(const link_stats& s);

// Failed writes come in bursts (a fader drag, a channel copy): they are told in one red
// toast per short window, with their number.
constexpr uint32_t given_up_toast_window_ms = 300;
constexpr int given_up_toast_ms = 3000;

class given_up_notice {
 public:
  void add(uint32_t now) {
    if (pending_ == 0) due_ = now + given_up_toast_window_ms;
    ++pending_;
  }
  // Shows the toast once the window is over.
  void step(uint32_t now, ui_port& ui);
  int pending() const { return pending_; }

 private:
  int pending_ = 0;
  uint32_t due_ = 0;
};

// "1 change was not confirmed by the console" and the plural, translated.
std::string given_up_toast_text(int count);

}  // namespace vorante
