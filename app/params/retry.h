// The retry state byte shared by every queued outbound item of the link, and the pending
// set: a bitmap of queued entries with one retry state byte each.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace vorante {

// Bits 3..5: attempts left; bits 0..2: passes to wait; bits 6..7 belong to nobody here and
// survive every operation.
namespace retry {

constexpr uint8_t kept_bits = 0xC0;
constexpr int attempts_when_queued = 4;
constexpr int wait_after_send = 5;

constexpr uint8_t queued(uint8_t state) { return static_cast<uint8_t>((state & kept_bits) | (attempts_when_queued << 3)); }
constexpr uint8_t cleared(uint8_t state) { return static_cast<uint8_t>(state & kept_bits); }
constexpr int attempts_left(uint8_t state) { return (state >> 3) & 7; }
constexpr int wait_left(uint8_t state) { return state & 7; }

enum class tick_result : uint8_t {
  idle,       // no attempts left: skipped and not counted
  waiting,    // counted, not sent in this pass
  send,       // send now, further attempts remain
  send_last,  // send now for the last time: the entry leaves its pending set
};

// One pass of a sender over one queued entry.
constexpr tick_result tick(uint8_t& state) {
  const int attempts = attempts_left(state);
  if (attempts == 0) return tick_result::idle;
  const int wait = wait_left(state);
  if (wait != 0) {
    state = static_cast<uint8_t>((state & ~7) | (wait - 1));
    return tick_result::waiting;
  }
  if (attempts > 1) {
    state = static_cast<uint8_t>((state & kept_bits) | ((attempts - 1) << 3) | wait_after_send);
    return tick_result::send;
  }
  state = cleared(state);
  return tick_result::send_last;
}

}  // namespace retry

// A set of entry numbers 0..N-1 as 32-bit words, so that scanning skips empty words,
// plus the retry state of each entry and the pending flag its sender watches.
template <std::size_t N>
class pending_set {
 public:
  static constexpr std::size_t size = N;
  static constexpr std::size_t word_count = (N + 31) / 32;

  bool contains(unsigned i) const { return i < N && (words_[i / 32] >> (i % 32)) & 1u; }

  // Puts the entry into the set and raises the pending flag; the state is left alone.
  void insert(unsigned i) {
    if (i >= N) return;
    words_[i / 32] |= 1u << (i % 32);
    pending_ = true;
  }
  void erase(unsigned i) {
    if (i < N) words_[i / 32] &= ~(1u << (i % 32));
  }

  // Queues the entry's state: four attempts, no wait.
  void queue_state(unsigned i) {
    if (i < N) states_[i] = retry::queued(states_[i]);
  }
  void clear_state(unsigned i) {
    if (i < N) states_[i] = retry::cleared(states_[i]);
  }
  // insert + queue_state: the usual way an entry is queued.
  void queue(unsigned i) {
    insert(i);
    queue_state(i);
  }
  // The entry was answered: it leaves the set and its state keeps only bits 6..7.
  void settle(unsigned i) {
    erase(i);
    clear_state(i);
  }

  uint8_t state(unsigned i) const { return i < N ? states_[i] : 0; }
  uint8_t& state_ref(unsigned i) { return states_[i]; }

  bool pending() const { return pending_; }
  void set_pending(bool on) { pending_ = on; }

  // Empties the set and lowers the pending flag. The states are not touched.
  void clear() {
    words_.fill(0);
    pending_ = false;
  }

  bool empty() const {
    for (uint32_t w : words_)
      if (w != 0) return false;
    return true;
  }

  std::size_t count() const {
    std::size_t n = 0;
    for (uint32_t w : words_) n += static_cast<std::size_t>(std::popcount(w));
    return n;
  }

  struct pass_result {
    int sent = 0;
    int counted = 0;
    bool found_any = false;  // false: the whole set was scanned and held no bit
  };

  // One sender pass by the tick rule, in ascending entry order. `send(i)` is called for
  // every entry whose tick says to send now; a sender that takes `send(i, last)` also
  // learns which send was the entry's last. The pass stops once `max_counted` entries
  // with attempts left have been counted (`already_counted` of them before the scan, and
  // `skip` is left out of the scan: the read flush handles one ID ahead of the others).
  // Entries that give up leave the set. When the scan finds no bit at all the pending
  // flag is lowered.
  template <class Send>
  pass_result pass(int max_counted, Send&& send, int already_counted = 0, int skip = -1) {
    pass_result r;
    r.counted = already_counted;
    for (std::size_t w = 0; w < word_count && r.counted < max_counted; ++w) {
      uint32_t bits = words_[w];
      if (bits == 0) continue;
      r.found_any = true;
      while (bits != 0 && r.counted < max_counted) {
        const unsigned bit = static_cast<unsigned>(std::countr_zero(bits));
        bits &= bits - 1;
        const unsigned i = static_cast<unsigned>(w * 32 + bit);
        if (static_cast<int>(i) == skip) continue;
        switch (retry::tick(states_[i])) {
          case retry::tick_result::idle:
            // Nothing can ever send it again; do not let it hold the set open.
            erase(i);
            break;
          case retry::tick_result::waiting:
            ++r.counted;
            break;
          case retry::tick_result::send:
            ++r.counted;
            ++r.sent;
            call_send(send, i, false);
            break;
          case retry::tick_result::send_last:
            ++r.counted;
            ++r.sent;
            erase(i);
            call_send(send, i, true);
            break;
        }
      }
    }
    if (!r.found_any) pending_ = false;
    return r;
  }

 private:
  template <class Send>
  static void call_send(Send& send, unsigned i, bool last) {
    if constexpr (std::is_invocable_v<Send&, unsigned, bool>)
      send(i, last);
    else
      send(i);
  }

  std::array<uint32_t, word_count> words_{};
  std::array<uint8_t, N> states_{};
  bool pending_ = false;
};

}  // namespace vorante
