// Writes that ran out of sends without an acknowledgement. The retry rule on the wire ends
// with the fourth send, but a slow or lossy link may still deliver the console's answer
// afterwards; until a grace period has passed such a write is "unconfirmed", not failed.
// An acknowledgement with the written value, or the same value read back, confirms it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vorante {

class unconfirmed_writes {
 public:
  // Bounded so that a console that never answers cannot make the list grow: when it is
  // full the oldest entry is given up at once.
  static constexpr std::size_t capacity = 256;

  struct entry {
    uint16_t id = 0;
    uint16_t value = 0;
    uint32_t since = 0;  // when the last send went out, in engine milliseconds
  };

  // The write of `value` to `id` had its last send at `now`. A previous entry of the same
  // ID is replaced. Returns the entry pushed out to make room, if any (its write failed).
  bool add(uint16_t id, uint16_t value, uint32_t now, entry* evicted = nullptr) {
    forget(id);
    bool pushed_out = false;
    if (size_ == capacity) {
      if (evicted) *evicted = entries_[0];
      remove_at(0);
      pushed_out = true;
    }
    entries_[size_++] = {id, value, now};
    return pushed_out;
  }

  // The console answered `id` with `value` (an acknowledgement or a read). True when that
  // confirmed an unconfirmed write; another value leaves the entry to run out.
  bool confirm(uint16_t id, uint16_t value) {
    const std::size_t i = find(id);
    if (i == size_ || entries_[i].value != value) return false;
    remove_at(i);
    return true;
  }

  // A newer write of `id` is on its way: the old one no longer has a verdict to wait for.
  void forget(uint16_t id) {
    const std::size_t i = find(id);
    if (i != size_) remove_at(i);
  }

  // Gives up every entry older than `grace_ms` at `now`; `failed(entry)` is called for each.
  template <class Failed>
  void expire(uint32_t now, uint32_t grace_ms, Failed&& failed) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < size_; ++i) {
      if (static_cast<uint32_t>(now - entries_[i].since) >= grace_ms)
        failed(entries_[i]);
      else
        entries_[kept++] = entries_[i];
    }
    size_ = kept;
  }

  bool contains(uint16_t id) const { return find(id) != size_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  void clear() { size_ = 0; }

 private:
  std::size_t find(uint16_t id) const {
    std::size_t i = 0;
    while (i < size_ && entries_[i].id != id) ++i;
    return i;
  }
  // Keeps the order of addition, so the front is always the oldest.
  void remove_at(std::size_t i) {
    for (std::size_t j = i + 1; j < size_; ++j) entries_[j - 1] = entries_[j];
    --size_;
  }

  std::array<entry, capacity> entries_{};
  std::size_t size_ = 0;
};

}  // namespace vorante
