// Thin helpers over POSIX sockets shared by the link, discovery and the probes. Addresses
// are IPv4 in host byte order (0x7F000001 is 127.0.0.1) everywhere above this file.
#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorante {

constexpr uint32_t loopback_address = 0x7F000001;  // 127.0.0.1

// Owns one file descriptor; closes it when replaced or destroyed.
class unique_fd {
 public:
  unique_fd() = default;
  explicit unique_fd(int fd) : fd_(fd) {}
  unique_fd(unique_fd&& other) noexcept : fd_(other.release()) {}
  unique_fd& operator=(unique_fd&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  unique_fd(const unique_fd&) = delete;
  unique_fd& operator=(const unique_fd&) = delete;
  ~unique_fd() { reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void reset(int fd = -1);

 private:
  int fd_ = -1;
};

sockaddr_in make_sockaddr(uint32_t address, uint16_t port);

// Dotted text of an address, and back. parse_ipv4 takes the four-number form only.
std::string ipv4_text(uint32_t address);
bool parse_ipv4(std::string_view text, uint32_t& address);

// A UDP socket, bound to address:port unless both are 0; invalid on failure.
unique_fd open_udp_socket(uint32_t bind_address = 0, uint16_t bind_port = 0);

// The port a socket is bound to, 0 when it is not bound.
uint16_t local_port_of(int fd);

// Waits at most timeout_ms (0: just looks) for the socket to become readable or writable.
bool wait_readable(int fd, int timeout_ms);
bool wait_writable(int fd, int timeout_ms);

}  // namespace vorante
