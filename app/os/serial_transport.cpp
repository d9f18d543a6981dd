#include "app/os/serial_transport.h"

#include <fcntl.h>
#include <libserialport.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>
#include <utility>

#include "app/core/log.h"

namespace vorante {

namespace {

// The device node has gone (unplugged adapter, closed pseudo-terminal) rather than hit a
// passing error.
bool means_port_gone(int error) {
  return error == EIO || error == ENXIO || error == ENODEV || error == EBADF;
}

// Waits up to timeout_ms for bytes on a tty, or for `stop`, and reads at most n. A hang-up
// reads as end-of-file and counts as a vanished port; other line errors start clean.
template <class Discard>
int read_tty(int fd, uint8_t* buffer, std::size_t n, const wake_event& stop, int timeout_ms, Discard&& discard) {
  switch (wait_readable_or_woken(fd, stop, timeout_ms)) {
    case wait_result::readable: break;
    case wait_result::failed: return serial_port_io::port_gone;
    case wait_result::woken:
    case wait_result::timed_out: return 0;
  }
  const ssize_t got = ::read(fd, buffer, n);
  if (got > 0) return static_cast<int>(got);
  if (got == 0 || means_port_gone(errno)) return serial_port_io::port_gone;
  if (errno != EAGAIN && errno != EINTR) discard();
  return 0;
}

class libserialport_io final : public serial_port_io {
 public:
  libserialport_io(sp_port* port, int fd) : port_(port), fd_(fd) {}
  ~libserialport_io() override {
    sp_close(port_);
    sp_free_port(port_);
  }

  // Waits on the descriptor directly: after a hang-up the tty reads as end-of-file, which
  // libserialport's blocking reads would turn into a busy wait instead of an error.
  int read_some(uint8_t* buffer, std::size_t n, const wake_event& stop, int timeout_ms) override {
    return read_tty(fd_, buffer, n, stop, timeout_ms, [this] { discard_queued(); });
  }

  bool write_all(const uint8_t* bytes, std::size_t n, unsigned timeout_ms) override {
    return sp_blocking_write(port_, bytes, n, timeout_ms) == static_cast<int>(n);
  }

  void discard_queued() override { sp_flush(port_, SP_BUF_BOTH); }

 private:
  sp_port* port_;
  int fd_;
};

// Pseudo-terminals (a simulated console, a serial bridge) are not serial ports to
// libserialport, which looks ports up among the system's serial devices; they are opened
// and set raw with termios directly. Their speed setting has no effect.
class termios_io final : public serial_port_io {
 public:
  explicit termios_io(int fd) : fd_(fd) {}
  ~termios_io() override { ::close(fd_); }

  int read_some(uint8_t* buffer, std::size_t n, const wake_event& stop, int timeout_ms) override {
    return read_tty(fd_, buffer, n, stop, timeout_ms, [this] { discard_queued(); });
  }

  bool write_all(const uint8_t* bytes, std::size_t n, unsigned timeout_ms) override {
    std::size_t done = 0;
    while (done < n) {
      pollfd p{fd_, POLLOUT, 0};
      if (::poll(&p, 1, static_cast<int>(timeout_ms)) <= 0) return false;
      const ssize_t put = ::write(fd_, bytes + done, n - done);
      if (put < 0 && errno != EAGAIN && errno != EINTR) return false;
      if (put > 0) done += static_cast<std::size_t>(put);
    }
    return true;
  }

  void discard_queued() override { ::tcflush(fd_, TCIOFLUSH); }

 private:
  int fd_;
};

std::unique_ptr<serial_port_io> open_pseudo_terminal(const std::string& path) {
  if (!path.starts_with("/dev/pts/")) return nullptr;
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  termios t{};
  if (!::isatty(fd) || ::tcgetattr(fd, &t) != 0) {
    ::close(fd);
    return nullptr;
  }
  ::cfmakeraw(&t);
  t.c_cflag |= CLOCAL | CREAD;
  ::tcsetattr(fd, TCSANOW, &t);
  ::ioctl(fd, TIOCEXCL);
  return std::make_unique<termios_io>(fd);
}

bool configure(sp_port* port, int baud_rate) {
  return sp_set_baudrate(port, baud_rate) == SP_OK && sp_set_bits(port, 8) == SP_OK &&
         sp_set_parity(port, SP_PARITY_NONE) == SP_OK && sp_set_stopbits(port, 1) == SP_OK &&
         sp_set_flowcontrol(port, SP_FLOWCONTROL_NONE) == SP_OK;
}

}  // namespace

bool is_serial_port_name(std::string_view name) {
  constexpr std::string_view dev = "/dev/";
  if (!name.starts_with(dev) || name.size() == dev.size()) return false;
  std::string_view rest = name.substr(dev.size());
  while (!rest.empty()) {
    const std::size_t slash = rest.find('/');
    const std::string_view step = rest.substr(0, slash);
    if (step == "..") return false;
    rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
  }
  return name.find('\0') == std::string_view::npos;
}

std::unique_ptr<serial_port_io> open_serial_port(std::string_view name, int baud_rate) {
  if (!is_serial_port_name(name) || baud_rate <= 0) return nullptr;
  const std::string path(name);
  sp_port* port = nullptr;
  if (sp_get_port_by_name(path.c_str(), &port) != SP_OK) return open_pseudo_terminal(path);
  int fd = -1;
  if (sp_open(port, SP_MODE_READ_WRITE) != SP_OK) {
    sp_free_port(port);
    return open_pseudo_terminal(path);
  }
  if (sp_get_port_handle(port, &fd) != SP_OK || !configure(port, baud_rate)) {
    sp_close(port);
    sp_free_port(port);
    return nullptr;
  }
  ::ioctl(fd, TIOCEXCL);  // ours alone, as long as we hold it
  return std::make_unique<libserialport_io>(port, fd);
}

serial_transport::serial_transport(std::unique_ptr<serial_port_io> port, wake_fn wake,
                                   serial_settings settings)
    : port_(std::move(port)), wake_(std::move(wake)), settings_(std::move(settings)) {
  if (!settings_.clock) settings_.clock = steady_clock_ms;
  if (!port_) return;
  // Whatever sat in the port before we owned it is not ours.
  port_->discard_queued();
  running_.store(true);
  reader_ = std::thread([this] { read_loop(); });
}

serial_transport::~serial_transport() { close_port(); }

void serial_transport::close_port() {
  running_.store(false);
  stop_.signal();
  if (reader_.joinable()) reader_.join();
  port_.reset();
}

// The read thread only flags a vanished port; closing it here, on the thread that also
// writes, keeps a send from racing the close.
void serial_transport::release_lost_port() {
  if (port_ && lost_.load(std::memory_order_acquire)) close_port();
}

bool serial_transport::port_open() {
  release_lost_port();
  return port_ != nullptr;
}

void serial_transport::send(const uint8_t* bytes, std::size_t n) {
  if (port_open()) port_->write_all(bytes, n, write_timeout_ms);
  if (settings_.print_sent) print_sent_dump(bytes, n, settings_.clock());
}

std::size_t serial_transport::poll(engine_ring& ring, uint32_t now_ms) {
  release_lost_port();
  // Bytes queued before the port went away are still delivered.
  return move_received(queue_, ring, settings_.print_received, now_ms);
}

void serial_transport::read_loop() {
  std::array<uint8_t, read_chunk> chunk{};
  const int wait_ms = stop_.valid() ? -1 : fallback_wait_ms;
  while (running_.load(std::memory_order_acquire)) {
    const int n = port_->read_some(chunk.data(), chunk.size(), stop_, wait_ms);
    if (n == serial_port_io::port_gone) {
      lost_.store(true, std::memory_order_release);
      if (wake_) wake_();
      return;
    }
    if (n <= 0) continue;
    queue_.push(chunk.data(), static_cast<std::size_t>(n));
    if (wake_) wake_();
  }
}

std::unique_ptr<serial_transport> open_serial_transport(const runtime_options& options, wake_fn wake,
                                                        clock_fn clock) {
  std::unique_ptr<serial_port_io> port = open_serial_port(options.serial_port, options.baud_rate);
  if (!port) {
    log_print("open serial port '%s' fail\r\n", options.serial_port.c_str());
    return nullptr;
  }
  log_print("open serial port '%s' success!\r\n", options.serial_port.c_str());
  return std::make_unique<serial_transport>(
      std::move(port), std::move(wake),
      serial_settings{options.print_sent, options.print_received, std::move(clock)});
}

}  // namespace vorante
