// Something a thread blocked in poll() can be woken by: an event file descriptor. The
// receive threads wait on their device and on this at once, so stopping them takes no
// time-out to run out.
#pragma once

#include "app/os/socket_util.h"

namespace vorante {

class wake_event {
 public:
  wake_event();

  bool valid() const { return fd_.valid(); }
  int fd() const { return fd_.get(); }
  // Thread-safe; stays signalled until cleared.
  void signal();
  void clear();

 private:
  unique_fd fd_;
};

enum class wait_result { readable, woken, timed_out, failed };

// Waits up to timeout_ms (-1: for ever) until fd has bytes, or the event is signalled.
// A signalled event wins over a readable fd. A hang-up or an error on fd counts as
// readable, so the caller's read sees it.
wait_result wait_readable_or_woken(int fd, const wake_event& event, int timeout_ms);

}  // namespace vorante
