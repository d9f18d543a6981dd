#include "app/os/udp_transport.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <array>
#include <utility>

namespace vorante {

udp_transport::udp_transport(console_target& target, wake_fn wake, udp_settings settings)
    : target_(target), wake_(std::move(wake)), settings_(std::move(settings)) {
  if (!settings_.clock) settings_.clock = steady_clock_ms;
  socket_ = open_udp_socket(settings_.bind_address, settings_.bind_port);
  if (!socket_.valid() || !settings_.receive_thread) return;
  running_.store(true);
  receiver_ = std::thread([this] { receive_loop(); });
}

udp_transport::~udp_transport() {
  running_.store(false);
  stop_.signal();
  if (receiver_.joinable()) receiver_.join();
  socket_.reset();
}

uint16_t udp_transport::local_port() const {
  return socket_.valid() ? local_port_of(socket_.get()) : 0;
}

void udp_transport::send(const uint8_t* bytes, std::size_t n) {
  const uint32_t address = target_.address();
  if (socket_.valid() && address != 0) {
    const sockaddr_in to = make_sockaddr(address, target_.port());
    ::sendto(socket_.get(), bytes, n, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  }
  if (settings_.print_sent) print_sent_dump(bytes, n, settings_.clock());
}

std::size_t udp_transport::poll(engine_ring& ring, uint32_t now_ms) {
  if (!settings_.receive_thread && socket_.valid()) {
    // What one step moves at most; the rest waits in the socket, not lost from the queue.
    std::array<uint8_t, max_datagram> datagram{};
    while (queue_.count() < max_poll_bytes && receive_one(datagram.data()) != received::nothing) {
    }
  }
  return move_received(queue_, ring, settings_.print_received, now_ms);
}

udp_transport::received udp_transport::receive_one(uint8_t* datagram) {
  sockaddr_in from{};
  socklen_t from_len = sizeof from;
  const ssize_t n = ::recvfrom(socket_.get(), datagram, max_datagram, MSG_DONTWAIT,
                               reinterpret_cast<sockaddr*>(&from), &from_len);
  if (n < 0) return received::nothing;
  if (n == 0) return received::ignored;
  // Only the chosen console may talk to us: anyone else on the network could otherwise
  // set parameters or fake a live link. Its address is enough: a console may answer
  // from another port than the one it listens on.
  const uint32_t console = target_.address();
  if (console == 0 || from.sin_family != AF_INET || ntohl(from.sin_addr.s_addr) != console) {
    ignored_.fetch_add(1, std::memory_order_acq_rel);
    return received::ignored;
  }
  queue_.push(datagram, static_cast<std::size_t>(n));
  return received::queued;
}

void udp_transport::receive_loop() {
  std::array<uint8_t, max_datagram> datagram{};
  const int wait_ms = stop_.valid() ? -1 : fallback_wait_ms;
  while (running_.load(std::memory_order_acquire)) {
    const wait_result ready = wait_readable_or_woken(socket_.get(), stop_, wait_ms);
    if (ready == wait_result::woken || ready == wait_result::failed) break;
    if (ready != wait_result::readable) continue;
    if (receive_one(datagram.data()) == received::queued && wake_) wake_();
  }
}

}  // namespace vorante
