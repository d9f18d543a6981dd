// A mask of queued name requests or updates (scenes or channels), each with a retry state,
// sent one message per paced pass.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "app/params/retry.h"

namespace vorante {

template <int N>
class name_queue {
  static_assert(N <= 64);

 public:
  void queue(int i) {
    if (i < 0 || i >= N) return;
    mask_ |= uint64_t{1} << i;
    states_[i] = retry::queued(states_[i]);
    pending_ = true;
  }
  // The console answered for slot i.
  void answer(int i) {
    if (i >= 0 && i < N) mask_ &= ~(uint64_t{1} << i);
  }
  void clear() {
    mask_ = 0;
    pending_ = false;
  }
  bool contains(int i) const { return i >= 0 && i < N && ((mask_ >> i) & 1); }
  bool pending() const { return pending_; }
  uint64_t mask() const { return mask_; }
  uint8_t state(int i) const { return states_[i]; }

  // One paced pass: members are ticked in bit order until one is due; that one is
  // returned for sending (-1 when none is). Members that used up their attempts leave.
  int pass() {
    if (!pending_) return -1;
    if (mask_ == 0) {
      pending_ = false;
      return -1;
    }
    uint64_t bits = mask_;
    while (bits != 0) {
      const int i = std::countr_zero(bits);
      bits &= bits - 1;
      switch (retry::tick(states_[i])) {
        case retry::tick_result::idle:
          mask_ &= ~(uint64_t{1} << i);  // nothing can send it any more
          break;
        case retry::tick_result::waiting:
          break;
        case retry::tick_result::send:
          return i;
        case retry::tick_result::send_last:
          mask_ &= ~(uint64_t{1} << i);
          return i;
      }
    }
    return -1;
  }

 private:
  uint64_t mask_ = 0;
  bool pending_ = false;
  std::array<uint8_t, N> states_{};
};

// Fixed 32-byte name slots: at most 31 bytes and a terminating zero.
constexpr std::size_t name_slot_size = 32;
constexpr std::size_t max_name_length = name_slot_size - 1;

}  // namespace vorante
