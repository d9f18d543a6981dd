#include "app/os/tcp_transport.h"

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace vorante {

tcp_transport::tcp_transport(uint32_t now_ms, tcp_settings settings) : settings_(std::move(settings)) {
  if (!settings_.clock) settings_.clock = steady_clock_ms;
  tick_ = now_ms;
  connect(now_ms);
}

void tcp_transport::enter(link_state state, uint32_t now_ms) {
  state_ = state;
  tick_ = now_ms;
}

void tcp_transport::drop_connection(uint32_t now_ms) {
  socket_.reset();
  enter(link_state::closed, now_ms);
}

void tcp_transport::connect(uint32_t now_ms) {
  if (socket_.valid()) drop_connection(now_ms);
  socket_.reset(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!socket_.valid()) {
    enter(link_state::closed, now_ms);
    return;
  }
  const sockaddr_in to = make_sockaddr(loopback_address, settings_.port);
  const int r = ::connect(socket_.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to);
  // A refusal reported at once is a failed attempt like any other; waiting for a
  // writable socket would only read back an error that connect() already consumed.
  if (r != 0 && errno != EINPROGRESS && errno != EINTR) {
    drop_connection(now_ms);
    return;
  }
  enter(link_state::connecting, now_ms);
}

void tcp_transport::send(const uint8_t* bytes, std::size_t n) {
  // MSG_NOSIGNAL: a peer that went away must not kill the process with SIGPIPE.
  if (socket_.valid()) ::send(socket_.get(), bytes, n, MSG_NOSIGNAL);
  if (settings_.print_sent) print_sent_dump(bytes, n, settings_.clock());
}

std::size_t tcp_transport::poll(engine_ring& ring, uint32_t now_ms) {
  switch (state_) {
    case link_state::connected: {
      // Take only what the engine ring can hold; the rest waits in the socket instead of
      // being lost from the middle of the stream.
      const std::size_t room = std::min(buffer_.size(), ring.free_space());
      if (room == 0 || !wait_readable(socket_.get(), 0)) return 0;
      const ssize_t n = ::recv(socket_.get(), buffer_.data(), room, 0);
      if (n > 0) {
        const auto got = static_cast<std::size_t>(n);
        ring.write(buffer_.data(), got);
        if (settings_.print_received) print_received_dump(buffer_.data(), got, now_ms);
        return got;
      }
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return 0;
      drop_connection(now_ms);  // closed by the peer, or failed
      return 0;
    }
    case link_state::connecting: {
      if (now_ms - tick_ >= connect_timeout_ms) {
        connect(now_ms);
        return 0;
      }
      if (!wait_writable(socket_.get(), 0)) return 0;
      int error = 0;
      socklen_t len = sizeof error;
      // A send made while connecting takes a refusal's error away from SO_ERROR; only a
      // socket with a peer is connected.
      sockaddr_in peer{};
      socklen_t peer_len = sizeof peer;
      if (::getsockopt(socket_.get(), SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0 &&
          ::getpeername(socket_.get(), reinterpret_cast<sockaddr*>(&peer), &peer_len) == 0)
        enter(link_state::connected, now_ms);
      else
        drop_connection(now_ms);
      return 0;
    }
    case link_state::closed:
      if (now_ms - tick_ > retry_after_ms) connect(now_ms);
      return 0;
  }
  return 0;
}

}  // namespace vorante
