// The simulator's sockets around the console model: UDP on a loopback address (plus its
// directed broadcast address for discovery), the optional datacenter on TCP (one client at
// a time), the optional pseudo-terminal of the serial link, and the line commands on
// standard input, all in one poll() loop. Faults are applied here, where frames enter and
// leave.
#pragma once

#include <netinet/in.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "app/os/socket_util.h"
#include "app/protocol/rings.h"
#include "tools/sim/console_model.h"
#include "tools/sim/faults.h"
#include "tools/sim/frame_log.h"
#include "tools/sim/sim_options.h"

namespace vorante::sim {

// A peer that has sent nothing for this long no longer gets the console's pushes.
constexpr uint32_t peer_timeout_ms = 15000;
constexpr std::size_t max_udp_peers = 8;
// The poll wait when nothing is due sooner: the resolution of pushes, meters and reports.
constexpr int poll_wait_ms = 10;
// Datagrams taken per socket per round, so that a flood cannot starve the rest.
constexpr int max_datagrams_per_round = 512;
// Bytes queued for a stream peer that does not read; beyond this it is dropped.
constexpr std::size_t max_stream_backlog = 256 * 1024;

class sim_server {
 public:
  sim_server(const sim_options& options, console_model& model);
  ~sim_server();
  sim_server(const sim_server&) = delete;
  sim_server& operator=(const sim_server&) = delete;

  // Binds the sockets and opens the pseudo-terminal and the log; false with the reason.
  bool open(std::string& error);
  uint16_t udp_port() const { return udp_port_; }
  uint16_t tcp_port() const { return tcp_port_; }
  const std::string& serial_path() const { return serial_path_; }

  // Serves until "quit" on standard input or until `stop` is set.
  void run(const std::atomic<bool>& stop);
  // One round: waits at most wait_ms for something to do and does it.
  void step(int wait_ms);
  bool quitting() const { return quit_; }

 private:
  enum class link_kind : uint8_t { udp, tcp, serial };
  struct destination {
    link_kind kind = link_kind::udp;
    sockaddr_in addr{};
  };
  struct outgoing {
    destination to;
    frame_bytes frame;
    bool damaged = false;
  };
  struct udp_peer {
    sockaddr_in addr{};
    uint32_t last_seen = 0;
  };
  struct stream {
    unique_fd fd;
    engine_ring rx;
    std::vector<uint8_t> tx;
    uint32_t last_seen = 0;
    bool heard = false;  // has sent a frame: pushes go to it
  };

  uint32_t now() const;
  void receive_udp(int fd, bool broadcast, uint32_t now);
  void receive_stream(stream& s, link_kind kind, uint32_t now);
  void accept_tcp(uint32_t now);
  void take_frames(engine_ring& ring, const destination& from, bool broadcast, uint32_t now);
  void on_frame(std::span<const uint8_t> frame, const destination& from, bool broadcast, uint32_t now);
  void note_peer(const destination& from, uint32_t now);
  void send_to(const destination& to, const frame_bytes& frame, uint32_t now);
  void transmit(const outgoing& o, uint32_t now);
  void flush_stream(stream& s, link_kind kind);
  void close_stream(stream& s);
  void push(const frame_list& frames, uint32_t now);
  void expire_peers(uint32_t now);
  void read_stdin();
  void run_command(std::string_view line);
  std::string link_text(const destination& d) const;

  sim_options options_;
  console_model& model_;
  fault_injector faults_;
  frame_log log_;
  delay_line<outgoing> delayed_;
  std::vector<udp_peer> udp_peers_;
  frame_list replies_;
  frame_list pushes_;

  unique_fd udp_;
  unique_fd broadcast_;  // the directed broadcast address of the bind address
  unique_fd listener_;
  stream tcp_;
  stream serial_;
  unique_fd serial_slave_;  // kept open so the master never sees a hang-up
  std::string serial_path_;
  uint16_t udp_port_ = 0;
  uint16_t tcp_port_ = 0;

  bool stdin_open_ = true;
  std::string stdin_buffer_;
  bool quit_ = false;
  uint64_t start_ns_ = 0;
};

}  // namespace vorante::sim
