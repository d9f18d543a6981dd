// Link mode 3: a TCP connection to the parameter service on this machine ("datacenter").
// Runs entirely on the UI thread: every call is non-blocking and every wait is zero, and
// all timing comes from the `now_ms` the caller passes in.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "app/os/link_dump.h"
#include "app/os/socket_util.h"
#include "app/protocol/transport.h"

namespace vorante {

constexpr uint16_t default_datacenter_port = 8087;

// The service always runs on this machine: the link connects to 127.0.0.1 only.
struct tcp_settings {
  uint16_t port = default_datacenter_port;
  bool print_sent = false;
  bool print_received = false;
  clock_fn clock = {};  // stamps of the sent-frame dump; the steady clock when empty
};

class tcp_transport final : public transport {
 public:
  enum class link_state : uint8_t { closed = 0, connecting = 1, connected = 2 };

  // A connection attempt that has not completed after this long is started again.
  static constexpr uint32_t connect_timeout_ms = 2001;
  // After a failure or loss, the next attempt comes once more than this has passed.
  static constexpr uint32_t retry_after_ms = 5000;
  static constexpr std::size_t receive_size = 1024;

  // Starts the first connection attempt at once.
  tcp_transport(uint32_t now_ms, tcp_settings settings = {});
  ~tcp_transport() override = default;

  // One send whenever a socket exists, whatever the state; a send before the connection
  // completes simply fails.
  void send(const uint8_t* bytes, std::size_t n) override;
  // Runs one step of the connection state machine; returns the bytes received.
  std::size_t poll(engine_ring& ring, uint32_t now_ms) override;

  link_state state() const { return state_; }
  // When the state last changed.
  uint32_t state_tick() const { return tick_; }

 private:
  void connect(uint32_t now_ms);
  void drop_connection(uint32_t now_ms);
  void enter(link_state state, uint32_t now_ms);

  tcp_settings settings_;
  link_state state_ = link_state::closed;
  uint32_t tick_ = 0;
  unique_fd socket_;
  std::array<uint8_t, receive_size> buffer_{};
};

}  // namespace vorante
