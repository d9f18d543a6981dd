// Loopback helpers for the OS link tests: a UDP peer, a UDP responder thread, a TCP
// listener and bounded polling. Everything binds 127.0.0.0/8 and ephemeral ports.
#pragma once

#include <sys/socket.h>
#include <arpa/inet.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "app/os/socket_util.h"

namespace vorante::test {

using bytes = std::vector<uint8_t>;

// Polls `done` until it holds or the limit passes. The limit only bounds a hung test; no
// test depends on how long anything takes.
template <class Predicate>
bool eventually(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

struct datagram {
  bytes data;
  uint32_t address = 0;
  uint16_t port = 0;
};

class udp_peer {
 public:
  explicit udp_peer(uint32_t address = loopback_address, uint16_t port = 0)
      : fd_(open_udp_socket(address, port)) {}

  bool ok() const { return fd_.valid(); }
  uint16_t port() const { return local_port_of(fd_.get()); }
  int fd() const { return fd_.get(); }

  void send_to(uint32_t address, uint16_t port, const bytes& data) const {
    const sockaddr_in to = make_sockaddr(address, port);
    ::sendto(fd_.get(), data.data(), data.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  }

  std::optional<datagram> receive(int limit_ms = 5000) const {
    if (!wait_readable(fd_.get(), limit_ms)) return std::nullopt;
    datagram d;
    d.data.resize(2048);
    sockaddr_in from{};
    socklen_t len = sizeof from;
    const ssize_t n = ::recvfrom(fd_.get(), d.data.data(), d.data.size(), MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&from), &len);
    if (n < 0) return std::nullopt;
    d.data.resize(static_cast<std::size_t>(n));
    d.address = ntohl(from.sin_addr.s_addr);
    d.port = ntohs(from.sin_port);
    return d;
  }

 private:
  unique_fd fd_;
};

// Answers every datagram with a fixed reply (none when empty) on its own thread and keeps
// what it was sent.
class udp_responder {
 public:
  explicit udp_responder(bytes reply) : reply_(std::move(reply)) {
    thread_ = std::thread([this] { run(); });
  }
  ~udp_responder() {
    stop_.store(true);
    thread_.join();
  }

  uint16_t port() const { return peer_.port(); }
  std::vector<bytes> received() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }

 private:
  void run() {
    while (!stop_.load()) {
      const std::optional<datagram> d = peer_.receive(10);
      if (!d) continue;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        received_.push_back(d->data);
      }
      if (!reply_.empty()) peer_.send_to(d->address, d->port, reply_);
    }
  }

  udp_peer peer_;
  bytes reply_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::vector<bytes> received_;
  std::thread thread_;
};

// A TCP socket on 127.0.0.1: listening with the given backlog, or only bound (connects
// to it are refused) when backlog is negative.
class tcp_listener {
 public:
  explicit tcp_listener(int backlog = 4) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    const sockaddr_in sa = make_sockaddr(loopback_address, 0);
    ::bind(fd_.get(), reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
    if (backlog >= 0) ::listen(fd_.get(), backlog);
  }

  uint16_t port() const { return local_port_of(fd_.get()); }

  unique_fd accept(int limit_ms = 5000) const {
    if (!wait_readable(fd_.get(), limit_ms)) return unique_fd();
    return unique_fd(::accept4(fd_.get(), nullptr, nullptr, SOCK_CLOEXEC));
  }

 private:
  unique_fd fd_;
};

}  // namespace vorante::test
