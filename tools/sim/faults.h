// Failure modes for the tests, applied where frames enter and leave the simulator: lost
// and damaged datagrams, a slow console, and a console that falls silent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <random>
#include <vector>

namespace vorante::sim {

struct fault_settings {
  double drop = 0;        // probability that a frame is lost, each way
  double corrupt = 0;     // probability that a frame has one byte damaged, each way
  uint32_t delay_ms = 0;  // what the console sends leaves this much later
  int64_t mute_after_ms = -1;  // from then on nothing is answered or sent; -1 never
  uint32_t seed = 1;
};

class fault_injector {
 public:
  fault_injector(const fault_settings& settings, uint32_t start_ms);

  // One frame lost on its way.
  bool lose();
  // Damages one byte of the frame (never leaving it unchanged); true when it did.
  bool damage(uint8_t* bytes, std::size_t n);
  bool muted(uint32_t now) const;
  // Milliseconds left until the console falls silent; -1 when it never does.
  int64_t until_muted(uint32_t now) const;

  void set_drop(double p);
  double drop() const { return settings_.drop; }
  uint32_t delay_ms() const { return settings_.delay_ms; }

 private:
  bool chance(double p);

  fault_settings settings_;
  uint32_t start_;
  std::mt19937 rng_;
};

// Frames held back by the delay, in the order they were sent.
template <class T>
class delay_line {
 public:
  void push(uint32_t due, T item) { items_.push_back({due, std::move(item)}); }
  bool empty() const { return items_.empty(); }
  // Milliseconds until the next item is due (0 when one is due now).
  uint32_t wait(uint32_t now) const {
    if (items_.empty()) return UINT32_MAX;
    const int32_t left = static_cast<int32_t>(items_.front().due - now);
    return left > 0 ? static_cast<uint32_t>(left) : 0;
  }
  // Takes every item that is due at `now`.
  std::vector<T> take_due(uint32_t now) {
    std::vector<T> out;
    while (!items_.empty() && static_cast<int32_t>(now - items_.front().due) >= 0) {
      out.push_back(std::move(items_.front().item));
      items_.pop_front();
    }
    return out;
  }

 private:
  struct entry {
    uint32_t due;
    T item;
  };
  std::deque<entry> items_;
};

}  // namespace vorante::sim
