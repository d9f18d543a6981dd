#include "app/os/probe.h"

#include <sys/socket.h>

#include <array>
#include <chrono>
#include <thread>

#include "app/os/socket_util.h"
#include "app/os/udp_transport.h"
#include "app/protocol/frame.h"
#include "app/protocol/messages.h"

namespace vorante {

namespace {

constexpr int probe_attempts = 3;
constexpr int probe_wait_ms = 100;
constexpr int replies_needed = 3;
constexpr int wait_reply_ms = 200;
constexpr auto pause_after_reply = std::chrono::milliseconds(200);
// Replies are short frames; a datagram is judged by its first bytes only.
constexpr std::size_t reply_bytes = 16;

static_assert(default_console_port == probe_ports{}.service);

// Sends one probe and waits up to wait_ms for a valid reply.
bool probe_once(int fd, uint16_t service_port, int wait_ms) {
  static const frame_bytes probe = make_presence_probe();
  const sockaddr_in to = make_sockaddr(loopback_address, service_port);
  if (::sendto(fd, probe.data(), probe.size(), MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0)
    ::send(fd, probe.data(), probe.size(), MSG_NOSIGNAL);
  if (!wait_readable(fd, wait_ms)) return false;
  std::array<uint8_t, reply_bytes> reply{};
  const ssize_t n = ::recv(fd, reply.data(), reply.size(), MSG_DONTWAIT);
  return n > 0 && check_datagram(reply.data(), static_cast<std::size_t>(n));
}

}  // namespace

bool local_probe(const probe_ports& ports) {
  const unique_fd fd = open_udp_socket(loopback_address, ports.local);
  if (!fd.valid()) return false;
  // Tied to the service's address, the socket takes replies from the service alone, and a
  // port nobody listens on is refused at once instead of costing the whole wait: the
  // program starts without pausing when it does not run on the console.
  const sockaddr_in service = make_sockaddr(loopback_address, ports.service);
  ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&service), sizeof service);
  for (int attempt = 0; attempt < probe_attempts; ++attempt)
    if (probe_once(fd.get(), ports.service, probe_wait_ms)) return true;
  return false;
}

bool datacenter_wait(const probe_ports& ports, const std::function<bool()>& stop) {
  const unique_fd fd = open_udp_socket(loopback_address, ports.local);
  if (!fd.valid()) return false;
  int replies = 0;
  while (replies < replies_needed) {
    if (stop && stop()) return false;
    if (probe_once(fd.get(), ports.service, wait_reply_ms)) {
      ++replies;
      std::this_thread::sleep_for(pause_after_reply);
    }
  }
  return true;
}

}  // namespace vorante
