// Link mode 2: frames as UDP datagrams to the console chosen in the connect dialog.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>

#include "app/os/link_dump.h"
#include "app/os/socket_util.h"
#include "app/os/wake_event.h"
#include "app/protocol/rings.h"
#include "app/protocol/transport.h"

namespace vorante {

constexpr uint16_t default_console_port = 8086;

// Where the UDP link sends and whose datagrams it takes. Written on the UI thread by the
// connect dialog, read by the receive thread as well.
class console_target {
 public:
  uint32_t address() const { return address_.load(std::memory_order_acquire); }
  uint16_t port() const { return port_.load(std::memory_order_acquire); }
  // 0 means no console: nothing is sent and nothing is taken in.
  void set_address(uint32_t address) { address_.store(address, std::memory_order_release); }
  void set_port(uint16_t port) { port_.store(port, std::memory_order_release); }

 private:
  std::atomic<uint32_t> address_{0};
  std::atomic<uint16_t> port_{default_console_port};
};

struct udp_settings {
  bool print_sent = false;
  bool print_received = false;
  // Local address to bind at once; 0 and port 0 leave the socket unbound until the first
  // send binds it to an ephemeral port on every interface.
  uint32_t bind_address = 0;
  uint16_t bind_port = 0;
  clock_fn clock = {};  // stamps of the sent-frame dump; the steady clock when empty
  // False: no receive thread. The caller's thread takes the waiting datagrams in poll()
  // and sleeps on receive_fd() itself, which saves a thread hand-over per reply (the
  // client's plain loop; the program keeps the thread beside its event loop).
  bool receive_thread = true;
};

class udp_transport final : public transport {
 public:
  // The receive thread sleeps until a datagram comes or the transport stops; only when
  // no event descriptor could be made does it look at the stop flag this often.
  static constexpr int fallback_wait_ms = 10;
  static constexpr std::size_t max_datagram = 1024;

  // The target must outlive the transport. Without a socket (creation or bind failed) the
  // transport sends and receives nothing.
  udp_transport(console_target& target, wake_fn wake, udp_settings settings = {});
  ~udp_transport() override;
  udp_transport(const udp_transport&) = delete;
  udp_transport& operator=(const udp_transport&) = delete;

  bool has_socket() const { return socket_.valid(); }
  uint16_t local_port() const;
  // Datagrams turned away because they did not come from the chosen console's address.
  uint32_t ignored_datagrams() const { return ignored_.load(std::memory_order_acquire); }

  // Without a receive thread: the socket to wait on for the next datagram, and whether
  // datagrams already taken still wait for the next poll(). -1 and false with the thread.
  int receive_fd() const { return settings_.receive_thread ? -1 : socket_.get(); }
  bool has_queued() const { return !settings_.receive_thread && queue_.count() > 0; }

  void send(const uint8_t* bytes, std::size_t n) override;
  std::size_t poll(engine_ring& ring, uint32_t now_ms) override;

 private:
  enum class received : uint8_t { nothing, ignored, queued };
  // Takes one waiting datagram, if any, into the queue.
  received receive_one(uint8_t* datagram);
  void receive_loop();

  console_target& target_;
  wake_fn wake_;
  udp_settings settings_;
  unique_fd socket_;
  transport_ring queue_;
  std::atomic<bool> running_{false};
  wake_event stop_;
  std::atomic<uint32_t> ignored_{0};
  std::thread receiver_;
};

}  // namespace vorante
