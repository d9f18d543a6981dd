// A transport that keeps what is sent and delivers what it is given: the link of the
// unit tests, the fuzz target and any in-process peer.
#pragma once

#include <deque>
#include <vector>

#include "app/protocol/transport.h"

namespace vorante {

class memory_transport : public transport {
 public:
  void send(const uint8_t* bytes, std::size_t n) override { sent.emplace_back(bytes, bytes + n); }

  std::size_t poll(engine_ring& ring, uint32_t) override {
    if (inbound.empty()) return 0;
    const std::size_t n = std::min(inbound.size(), max_poll_bytes);
    std::vector<uint8_t> chunk(inbound.begin(), inbound.begin() + static_cast<std::ptrdiff_t>(n));
    inbound.erase(inbound.begin(), inbound.begin() + static_cast<std::ptrdiff_t>(n));
    ring.write(chunk.data(), chunk.size());
    return n;
  }

  void deliver(const uint8_t* bytes, std::size_t n) { inbound.insert(inbound.end(), bytes, bytes + n); }

  std::vector<std::vector<uint8_t>> sent;
  std::deque<uint8_t> inbound;
};

}  // namespace vorante
