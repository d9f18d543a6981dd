// One discovery round: ask every local network for consoles and collect the ones of our
// product and model that answer. Stepped by the caller, never blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/os/adapters.h"
#include "app/os/socket_util.h"
#include "app/os/udp_transport.h"

namespace vorante {

constexpr std::size_t max_device_name = 31;

struct device_entry {
  uint32_t address = 0;  // host order
  std::string name;      // at most max_device_name bytes
};

// Reads a console's answer to identify: one valid frame with message code 0, our product
// and model codes, and the device name from payload byte 4 up to its zero byte. "unnamed"
// stands for the product name; longer names are cut. False for anything else.
bool read_identification_reply(const uint8_t* bytes, std::size_t n, std::string& name);

class discovery_round {
 public:
  // Replies are collected for this long after the identify frames went out ...
  static constexpr uint32_t first_wait_ms = 200;
  // ... and then until this long passes without one.
  static constexpr uint32_t quiet_wait_ms = 200;
  static constexpr std::size_t max_entries = 256;
  static constexpr std::size_t max_reply = 256;

  explicit discovery_round(uint16_t console_port = default_console_port) : port_(console_port) {}

  // Empties the list and sends identify to the broadcast address of every adapter,
  // logging "discover <address>" for each. Returns false (and the round is over, empty)
  // when no socket could be made.
  bool start(const std::vector<adapter>& adapters, uint32_t now_ms);
  bool start(uint32_t now_ms) { return start(local_adapters(), now_ms); }

  // Takes in every reply that has arrived. Returns true once the round is over; the
  // socket is closed then.
  bool step(uint32_t now_ms);
  bool running() const { return socket_.valid(); }

  // In order of arrival, one per address.
  const std::vector<device_entry>& entries() const { return entries_; }

 private:
  void take_reply(const uint8_t* bytes, std::size_t n, uint32_t from);

  uint16_t port_;
  unique_fd socket_;
  uint32_t deadline_ = 0;
  std::vector<device_entry> entries_;
};

}  // namespace vorante
