// Transports behind one small interface: serial, UDP, TCP to the datacenter, or none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "app/protocol/rings.h"

namespace vorante {

// Most bytes moved from a transport ring into the engine ring per step.
constexpr std::size_t max_poll_bytes = 320;

class transport {
 public:
  virtual ~transport() = default;
  // Sends one frame.
  virtual void send(const uint8_t* bytes, std::size_t n) = 0;
  // Moves received bytes into the engine ring; returns how many were taken from the
  // transport (bytes that did not fit the ring are lost, the parser resynchronises).
  virtual std::size_t poll(engine_ring& ring, uint32_t now_ms) = 0;
};

// Called by receive threads after they queued bytes; wakes the main loop. Thread-safe.
using wake_fn = std::function<void()>;

}  // namespace vorante
