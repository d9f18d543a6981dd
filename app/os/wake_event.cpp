#include "app/os/wake_event.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace vorante {

wake_event::wake_event() : fd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

void wake_event::signal() {
  if (!fd_.valid()) return;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(fd_.get(), &one, sizeof one);
}

void wake_event::clear() {
  if (!fd_.valid()) return;
  uint64_t count = 0;
  [[maybe_unused]] const ssize_t n = ::read(fd_.get(), &count, sizeof count);
}

wait_result wait_readable_or_woken(int fd, const wake_event& event, int timeout_ms) {
  pollfd p[2] = {{fd, POLLIN, 0}, {event.fd(), POLLIN, 0}};
  const nfds_t count = event.valid() ? 2 : 1;
  const int ready = ::poll(p, count, timeout_ms);
  if (ready < 0) return errno == EINTR ? wait_result::timed_out : wait_result::failed;
  if (ready == 0) return wait_result::timed_out;
  if (count == 2 && (p[1].revents & POLLIN)) return wait_result::woken;
  if (p[0].revents & POLLNVAL) return wait_result::failed;
  return wait_result::readable;
}

}  // namespace vorante
