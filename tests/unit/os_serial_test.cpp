#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <memory>
#include <numeric>
#include <string>

#include "app/os/serial_transport.h"
#include "tests/unit/os_test_support.h"

namespace vorante {
namespace {

using test::bytes;
using test::eventually;

TEST(serial_port_name, accepts_device_paths_only) {
  struct name_case {
    const char* name;
    bool ok;
  };
  const name_case cases[] = {
      {"/dev/ttyUSB0", true},   {"/dev/ttyS1", true},      {"/dev/serial/by-id/usb-x", true},
      {"COM8", false},          {"dev/ttyUSB0", false},    {"/dev/", false},
      {"/tmp/ttyUSB0", false},  {"/dev/../etc/passwd", false}, {"/dev/x/../../etc", false},
      {"", false},              {"/devttyS0", false},
  };
  for (const name_case& c : cases) EXPECT_EQ(is_serial_port_name(c.name), c.ok) << c.name;
}

TEST(serial_port_name, a_refused_or_missing_port_is_reported_and_gives_no_transport) {
  for (const char* name : {"COM8", "/dev/vorante-no-such-port"}) {
    runtime_options options;
    options.serial_port = name;
    testing::internal::CaptureStdout();
    const auto link = open_serial_transport(options, [] {});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "open serial port '" + std::string(name) + "' fail\r\n");
    EXPECT_EQ(link, nullptr);
  }
}

// libserialport looks ports up in sysfs and asks for modem lines, so it cannot open a
// pseudo-terminal; the transport is driven here through the terminal's slave end instead,
// with the master playing the console.
class pty_port final : public serial_port_io {
 public:
  explicit pty_port(int fd) : fd_(fd) {}
  ~pty_port() override { ::close(fd_); }

  int read_some(uint8_t* buffer, std::size_t n, const wake_event& stop, int timeout_ms) override {
    if (wait_readable_or_woken(fd_, stop, timeout_ms) != wait_result::readable) return 0;
    const ssize_t got = ::read(fd_, buffer, n);
    if (got > 0) return static_cast<int>(got);
    return got == 0 || errno == EIO ? port_gone : 0;
  }
  bool write_all(const uint8_t* bytes, std::size_t n, unsigned) override {
    return ::write(fd_, bytes, n) == static_cast<ssize_t>(n);
  }
  void discard_queued() override { ::tcflush(fd_, TCIOFLUSH); }

 private:
  int fd_;
};

struct serial_fixture : testing::Test {
  int master = -1;
  std::unique_ptr<serial_port_io> slave;
  std::atomic<int> wakes{0};

  void SetUp() override {
    master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const int fd = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios raw{};
    ::tcgetattr(fd, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(fd, TCSANOW, &raw);
    slave = std::make_unique<pty_port>(fd);
  }
  void TearDown() override {
    if (master >= 0) ::close(master);
  }

  std::unique_ptr<serial_transport> open(serial_settings settings = {}) {
    return std::make_unique<serial_transport>(std::move(slave), [this] { ++wakes; }, std::move(settings));
  }
};

TEST_F(serial_fixture, carries_frames_both_ways_in_order) {
  auto link = open();
  // More than one read chunk and more than one poll's worth, all in one go.
  bytes from_console(700);
  std::iota(from_console.begin(), from_console.end(), uint8_t{0});
  ASSERT_EQ(::write(master, from_console.data(), from_console.size()), 700);

  engine_ring ring;
  std::size_t taken = 0;
  ASSERT_TRUE(eventually([&] {
    const std::size_t n = link->poll(ring, 0);
    EXPECT_LE(n, max_poll_bytes);
    taken += n;
    return taken >= from_console.size();
  }));
  bytes got(ring.count());
  ring.copy_out(0, got.data(), got.size());
  EXPECT_EQ(got, from_console);
  EXPECT_GE(wakes.load(), 1);

  const bytes frame = {0x80, 0x05, 0x06, 0x00, 0x00, 0x13, 0xC5};
  link->send(frame.data(), frame.size());
  bytes at_console(16);
  ASSERT_TRUE(wait_readable(master, 5000));
  at_console.resize(static_cast<std::size_t>(::read(master, at_console.data(), at_console.size())));
  EXPECT_EQ(at_console, frame);
}

TEST_F(serial_fixture, a_vanished_port_closes_the_link_but_delivers_what_came_before) {
  auto link = open();
  const bytes last = {0x80, 0x07, 0x06};
  ASSERT_EQ(::write(master, last.data(), last.size()), 3);
  ASSERT_TRUE(eventually([&] { return wakes.load() >= 1; }));
  ::close(master);  // the adapter is pulled
  master = -1;

  engine_ring ring;
  ASSERT_TRUE(eventually([&] { return !link->port_open(); }));
  EXPECT_EQ(link->poll(ring, 0), last.size());
  link->send(last.data(), last.size());  // goes nowhere, harmlessly
  EXPECT_EQ(link->poll(ring, 0), 0u);
}

}  // namespace
}  // namespace vorante
