// The two byte queues of the link. The transport ring sits between a receive thread and
// the UI thread; the engine ring holds what the engine has not parsed yet.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vorante {

// Single producer, single consumer, no locks: the receive thread writes only `head_`, the
// UI thread writes only `tail_`. Holds at most Size - 1 bytes; a byte pushed into a full
// ring is dropped.
template <std::size_t Size = 1024>
class spsc_ring {
  static_assert((Size & (Size - 1)) == 0, "size must be a power of two");

 public:
  static constexpr std::size_t capacity = Size - 1;

  // Producer side. Returns false when the byte was dropped.
  bool push(uint8_t byte) {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    const std::size_t next = (head + 1) & (Size - 1);
    if (next == tail_.load(std::memory_order_acquire)) return false;
    buffer_[head] = byte;
    head_.store(next, std::memory_order_release);
    return true;
  }

  // Producer side: pushes as many bytes as fit, returns how many were taken.
  std::size_t push(const uint8_t* bytes, std::size_t n) {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    const std::size_t tail = tail_.load(std::memory_order_acquire);
    const std::size_t taken = std::min(n, (tail - head - 1) & (Size - 1));
    const std::size_t first = std::min(taken, Size - head);
    if (taken == 0) return 0;
    std::memcpy(buffer_.data() + head, bytes, first);
    std::memcpy(buffer_.data(), bytes + first, taken - first);
    head_.store((head + taken) & (Size - 1), std::memory_order_release);
    return taken;
  }

  // Consumer side: takes up to max bytes into out, returns how many.
  std::size_t pop(uint8_t* out, std::size_t max) {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    const std::size_t head = head_.load(std::memory_order_acquire);
    const std::size_t n = std::min(max, (head - tail) & (Size - 1));
    if (n == 0) return 0;
    const std::size_t first = std::min(n, Size - tail);
    std::memcpy(out, buffer_.data() + tail, first);
    std::memcpy(out + first, buffer_.data(), n - first);
    tail_.store((tail + n) & (Size - 1), std::memory_order_release);
    return n;
  }

  std::size_t count() const {
    const std::size_t head = head_.load(std::memory_order_acquire);
    const std::size_t tail = tail_.load(std::memory_order_acquire);
    return (head - tail) & (Size - 1);
  }

 private:
  std::array<uint8_t, Size> buffer_{};
  alignas(64) std::atomic<std::size_t> head_{0};
  alignas(64) std::atomic<std::size_t> tail_{0};
};

// The engine's receive ring, UI thread only. Holds up to Size bytes; a write is all or
// nothing.
template <std::size_t Size = 1024>
class byte_ring {
  static_assert((Size & (Size - 1)) == 0, "size must be a power of two");

 public:
  static constexpr std::size_t capacity = Size;

  std::size_t count() const { return count_; }
  std::size_t free_space() const { return Size - count_; }

  // Refused whole when fewer than n bytes are free.
  bool write(const uint8_t* bytes, std::size_t n) {
    if (n > free_space()) return false;
    if (n == 0) return true;
    const std::size_t at = (start_ + count_) & (Size - 1);
    const std::size_t first = std::min(n, Size - at);
    std::memcpy(buffer_.data() + at, bytes, first);
    std::memcpy(buffer_.data(), bytes + first, n - first);
    count_ += n;
    return true;
  }

  // The byte at offset k from the front; false when fewer than k + 1 bytes are queued.
  bool peek(std::size_t k, uint8_t& out) const {
    if (k >= count_) return false;
    out = buffer_[(start_ + k) & (Size - 1)];
    return true;
  }

  // Copies n bytes starting at offset k; false (nothing copied) when they are not all queued.
  bool copy_out(std::size_t k, uint8_t* out, std::size_t n) const {
    if (k + n > count_) return false;
    if (n == 0) return true;
    const std::size_t at = (start_ + k) & (Size - 1);
    const std::size_t first = std::min(n, Size - at);
    std::memcpy(out, buffer_.data() + at, first);
    std::memcpy(out + first, buffer_.data(), n - first);
    return true;
  }

  // Removes up to n bytes from the front.
  void drop(std::size_t n) {
    if (n > count_) n = count_;
    start_ = (start_ + n) & (Size - 1);
    count_ -= n;
  }

  void clear() {
    start_ = 0;
    count_ = 0;
  }

 private:
  std::array<uint8_t, Size> buffer_{};
  std::size_t start_ = 0;
  std::size_t count_ = 0;
};

using transport_ring = spsc_ring<1024>;
using engine_ring = byte_ring<1024>;

}  // namespace vorante
