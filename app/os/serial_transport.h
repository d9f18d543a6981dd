// Link mode 1: frames over a serial port, read by a thread of its own.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <thread>

#include "app/core/options.h"
#include "app/os/link_dump.h"
#include "app/os/wake_event.h"
#include "app/protocol/rings.h"
#include "app/protocol/transport.h"

namespace vorante {

// The port operations the link needs. The program opens them through libserialport; tests
// drive the transport through a pseudo-terminal, which libserialport cannot open on Linux.
class serial_port_io {
 public:
  // read_some() result when the port has gone away (unplugged, closed underneath).
  static constexpr int port_gone = -1;

  virtual ~serial_port_io() = default;
  // Waits up to timeout_ms (-1: for ever) for bytes and reads at most n of them; 0 when
  // none came or `stop` was signalled first.
  virtual int read_some(uint8_t* buffer, std::size_t n, const wake_event& stop, int timeout_ms) = 0;
  // Writes all n bytes, waiting at most timeout_ms for them to be taken.
  virtual bool write_all(const uint8_t* bytes, std::size_t n, unsigned timeout_ms) = 0;
  // Throws away whatever is queued in both directions.
  virtual void discard_queued() = 0;
};

// Port names are device paths: absolute, under /dev/, without ".." steps. Anything else
// is refused before the system is asked, so a stray setting never opens an arbitrary file.
bool is_serial_port_name(std::string_view name);

// Opens and configures the port through libserialport: read/write, the baud rate, 8 data
// bits, no parity, one stop bit, no flow control of any kind. Null on any failure, with
// everything opened so far closed again.
std::unique_ptr<serial_port_io> open_serial_port(std::string_view name, int baud_rate);

struct serial_settings {
  bool print_sent = false;
  bool print_received = false;
  clock_fn clock = {};  // stamps of the sent-frame dump; the steady clock when empty
};

class serial_transport final : public transport {
 public:
  // The read thread sleeps until bytes come or the transport stops; only when no event
  // descriptor could be made does it look at the stop flag this often.
  static constexpr int fallback_wait_ms = 100;
  static constexpr std::size_t read_chunk = 256;
  // Frames are at most 256 bytes: even at 9600 baud they leave in well under this.
  static constexpr unsigned write_timeout_ms = 1000;

  // Starts the read thread on an open port.
  serial_transport(std::unique_ptr<serial_port_io> port, wake_fn wake, serial_settings settings = {});
  ~serial_transport() override;
  serial_transport(const serial_transport&) = delete;
  serial_transport& operator=(const serial_transport&) = delete;

  // False once the port has gone away; the link then stays down.
  bool port_open();

  void send(const uint8_t* bytes, std::size_t n) override;
  std::size_t poll(engine_ring& ring, uint32_t now_ms) override;

 private:
  void read_loop();
  void close_port();
  void release_lost_port();

  std::unique_ptr<serial_port_io> port_;
  wake_fn wake_;
  serial_settings settings_;
  transport_ring queue_;
  std::atomic<bool> running_{false};
  wake_event stop_;
  std::atomic<bool> lost_{false};
  std::thread reader_;
};

// The port named in the options at their baud rate, with the "open serial port" log line.
// Null when the name is refused or the port cannot be opened.
std::unique_ptr<serial_transport> open_serial_transport(const runtime_options& options, wake_fn wake,
                                                        clock_fn clock = {});

}  // namespace vorante
