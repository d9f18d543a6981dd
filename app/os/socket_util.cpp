#include "app/os/socket_util.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace vorante {

void unique_fd::reset(int fd) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

sockaddr_in make_sockaddr(uint32_t address, uint16_t port) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(address);
  sa.sin_port = htons(port);
  return sa;
}

std::string ipv4_text(uint32_t address) {
  in_addr a{};
  a.s_addr = htonl(address);
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &a, text, sizeof text);
  return text;
}

bool parse_ipv4(std::string_view text, uint32_t& address) {
  if (text.size() >= INET_ADDRSTRLEN) return false;
  const std::string copy(text);
  in_addr a{};
  if (inet_pton(AF_INET, copy.c_str(), &a) != 1) return false;
  address = ntohl(a.s_addr);
  return true;
}

unique_fd open_udp_socket(uint32_t bind_address, uint16_t bind_port) {
  unique_fd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  if (!fd.valid()) return fd;
  if (bind_address != 0 || bind_port != 0) {
    const sockaddr_in sa = make_sockaddr(bind_address, bind_port);
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) != 0) fd.reset();
  }
  return fd;
}

uint16_t local_port_of(int fd) {
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0) return 0;
  return ntohs(sa.sin_port);
}

namespace {

bool wait_for(int fd, short events, int timeout_ms) {
  pollfd p{fd, events, 0};
  for (;;) {
    const int r = ::poll(&p, 1, timeout_ms);
    if (r < 0 && errno == EINTR) continue;
    // An error or hang-up also counts: the next call on the socket reports it.
    return r > 0 && (p.revents & (events | POLLERR | POLLHUP)) != 0;
  }
}

}  // namespace

bool wait_readable(int fd, int timeout_ms) { return wait_for(fd, POLLIN, timeout_ms); }
bool wait_writable(int fd, int timeout_ms) { return wait_for(fd, POLLOUT, timeout_ms); }

}  // namespace vorante
