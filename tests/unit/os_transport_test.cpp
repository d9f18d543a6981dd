#include <gtest/gtest.h>

#include <sys/socket.h>

#include <atomic>
#include <cstdint>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "app/os/link_dump.h"
#include "app/os/no_transport.h"
#include "app/os/serial_transport.h"
#include "app/os/tcp_transport.h"
#include "app/os/transport_factory.h"
#include "app/os/udp_transport.h"
#include "app/os/wake_event.h"
#include "tests/unit/os_test_support.h"

namespace vorante {
namespace {

using test::bytes;
using test::eventually;
using test::udp_peer;

bytes ring_contents(const engine_ring& ring) {
  bytes out(ring.count());
  ring.copy_out(0, out.data(), out.size());
  return out;
}

bytes counting_bytes(std::size_t n, uint8_t first = 0) {
  bytes b(n);
  std::iota(b.begin(), b.end(), first);
  return b;
}

// --- the receive thread's ring ----------------------------------------------------------

TEST(transport_ring, keeps_order_without_loss_or_duplicates_across_threads) {
  transport_ring ring;
  constexpr std::size_t total = 1 << 20;
  std::thread producer([&ring] {
    // Bulk pushes as the receive threads make them; what did not fit is offered again.
    uint8_t chunk[97];
    std::size_t sent = 0;
    while (sent < total) {
      const std::size_t n = std::min(sizeof chunk, total - sent);
      for (std::size_t i = 0; i < n; ++i) chunk[i] = static_cast<uint8_t>(sent + i);
      sent += ring.push(chunk, n);
    }
  });
  std::size_t received = 0;
  std::size_t mismatches = 0;
  uint8_t out[320];
  while (received < total) {
    const std::size_t n = ring.pop(out, sizeof out);
    for (std::size_t i = 0; i < n; ++i) mismatches += out[i] != static_cast<uint8_t>(received + i);
    received += n;
  }
  producer.join();
  EXPECT_EQ(mismatches, 0u);
  EXPECT_EQ(received, total);
  EXPECT_EQ(ring.count(), 0u);
}

TEST(transport_ring, drops_only_what_does_not_fit) {
  transport_ring ring;
  const bytes first = counting_bytes(1000);
  EXPECT_EQ(ring.push(first.data(), first.size()), 1000u);
  const bytes second = counting_bytes(100, 0xA0);
  EXPECT_EQ(ring.push(second.data(), second.size()), transport_ring::capacity - 1000);
  EXPECT_FALSE(ring.push(uint8_t{1}));
  uint8_t out[1024];
  ASSERT_EQ(ring.pop(out, sizeof out), transport_ring::capacity);
  EXPECT_EQ(out[999], 999 & 0xFF);
  EXPECT_EQ(out[1000], 0xA0);
  EXPECT_TRUE(ring.push(uint8_t{1}));
}

// --- dumps and the transport without a link ---------------------------------------------

TEST(link_dump, prints_each_byte_as_two_hex_digits_and_the_stamp) {
  const uint8_t frame[] = {0x80, 0x05, 0x06, 0x00, 0x0A};
  EXPECT_EQ(format_link_dump("S: ", frame, sizeof frame, 4123), "S: 800506000A ts: 4123\n");
  EXPECT_EQ(format_link_dump("R: ", nullptr, 0, 0), "R:  ts: 0\n");
}

TEST(no_transport, drops_sends_receives_nothing_and_still_dumps_what_was_sent) {
  no_transport none(true, [] { return 77u; });
  const uint8_t frame[] = {0x80, 0x04, 0x00, 0x00, 0x25, 0x68};
  testing::internal::CaptureStdout();
  none.send(frame, sizeof frame);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "S: 800400002568 ts: 77\n");
  engine_ring ring;
  EXPECT_EQ(none.poll(ring, 0), 0u);
  EXPECT_EQ(ring.count(), 0u);
}

// --- waking a receive thread ---------------------------------------------------------------

TEST(wake_event, ends_a_wait_without_a_time_out_and_wins_over_waiting_bytes) {
  udp_peer socket;
  udp_peer sender;
  wake_event stop;
  ASSERT_TRUE(stop.valid());
  EXPECT_EQ(wait_readable_or_woken(socket.fd(), stop, 0), wait_result::timed_out);

  // A wait for ever ends when another thread signals.
  std::atomic<bool> waiting{false};
  std::thread signaller([&] {
    while (!waiting) std::this_thread::yield();
    stop.signal();
  });
  waiting = true;
  EXPECT_EQ(wait_readable_or_woken(socket.fd(), stop, -1), wait_result::woken);
  signaller.join();

  // Bytes waiting do not hide a stop: the thread must not read on after it was told to end.
  sender.send_to(loopback_address, socket.port(), {0x01});
  ASSERT_TRUE(wait_readable(socket.fd(), 5000));
  EXPECT_EQ(wait_readable_or_woken(socket.fd(), stop, 0), wait_result::woken);
  stop.clear();
  EXPECT_EQ(wait_readable_or_woken(socket.fd(), stop, 0), wait_result::readable);
}

// --- UDP ------------------------------------------------------------------------------------

struct udp_fixture : testing::Test {
  udp_peer console;  // 127.0.0.1, ephemeral port
  console_target target;
  std::atomic<int> wakes{0};
  udp_settings settings{.bind_address = loopback_address};

  void SetUp() override {
    ASSERT_TRUE(console.ok());
    target.set_port(console.port());
  }
  std::unique_ptr<udp_transport> open() {
    auto t = std::make_unique<udp_transport>(target, [this] { ++wakes; }, settings);
    EXPECT_TRUE(t->has_socket());
    return t;
  }
  // Moves everything queued so far into the ring, one poll at a time.
  static void poll_until(udp_transport& t, engine_ring& ring, std::size_t count) {
    EXPECT_TRUE(eventually([&] {
      t.poll(ring, 0);
      return ring.count() >= count;
    }));
  }
};

TEST_F(udp_fixture, sends_to_the_console_and_takes_its_answer) {
  auto link = open();
  target.set_address(loopback_address);
  const bytes frame = {0x80, 0x05, 0x06, 0x00, 0x00, 0x13, 0xC5};
  link->send(frame.data(), frame.size());

  const auto got = console.receive();
  ASSERT_TRUE(got);
  EXPECT_EQ(got->data, frame);
  EXPECT_EQ(got->port, link->local_port());

  const bytes answer = {0x80, 0x07, 0x06, 0x00, 0x00, 0x00, 0x00, 0x7F, 0x13};
  console.send_to(got->address, got->port, answer);
  engine_ring ring;
  poll_until(*link, ring, answer.size());
  EXPECT_EQ(ring_contents(ring), answer);
  EXPECT_GE(wakes.load(), 1);
}

TEST_F(udp_fixture, sends_nothing_until_a_console_is_chosen) {
  auto link = open();
  const bytes early = {0x01};
  link->send(early.data(), early.size());
  target.set_address(loopback_address);
  const bytes later = {0x02};
  link->send(later.data(), later.size());
  // Loopback keeps the order, so a datagram from the first send would come first.
  const auto got = console.receive();
  ASSERT_TRUE(got);
  EXPECT_EQ(got->data, later);
}

TEST_F(udp_fixture, takes_datagrams_only_from_the_chosen_consoles_address_whatever_its_port) {
  auto link = open();
  const uint16_t ours = link->local_port();
  // Before a console is chosen even the console itself is not listened to.
  console.send_to(loopback_address, ours, {0xE0});
  ASSERT_TRUE(eventually([&] { return link->ignored_datagrams() == 1; }));
  target.set_address(loopback_address);

  // A console that answers from another port than the one it listens on is still heard;
  // another host is not, even from the console's port.
  udp_peer same_host_other_port(loopback_address, 0);
  udp_peer other_host_same_port(0x7F000002, console.port());  // 127.0.0.2
  udp_peer other_host_other_port(0x7F000002, 0);
  ASSERT_TRUE(same_host_other_port.ok());
  ASSERT_TRUE(other_host_same_port.ok());
  ASSERT_TRUE(other_host_other_port.ok());
  other_host_same_port.send_to(loopback_address, ours, {0xE2});
  other_host_other_port.send_to(loopback_address, ours, {0xE3});
  ASSERT_TRUE(eventually([&] { return link->ignored_datagrams() == 3; }));
  const bytes from_other_port = {0xC0, 0xC1};
  same_host_other_port.send_to(loopback_address, ours, from_other_port);
  const bytes from_console = {0xC2};
  console.send_to(loopback_address, ours, from_console);

  engine_ring ring;
  poll_until(*link, ring, from_other_port.size() + from_console.size());
  EXPECT_EQ(ring_contents(ring), (bytes{0xC0, 0xC1, 0xC2}));
  EXPECT_EQ(link->ignored_datagrams(), 3u);
}

TEST_F(udp_fixture, moves_at_most_320_bytes_per_poll_and_loses_what_the_engine_cannot_take) {
  settings.print_received = true;
  auto link = open();
  target.set_address(loopback_address);
  console.send_to(loopback_address, link->local_port(), counting_bytes(400));
  ASSERT_TRUE(eventually([&] { return wakes.load() >= 1; }));  // whole datagram queued

  engine_ring ring;
  testing::internal::CaptureStdout();
  EXPECT_EQ(link->poll(ring, 55), 320u);
  const std::string dump = testing::internal::GetCapturedStdout();
  EXPECT_EQ(dump.substr(0, 9), "R: 000102");
  EXPECT_EQ(dump.substr(dump.size() - 10), "3F ts: 55\n");
  EXPECT_EQ(ring.count(), 320u);

  // Fill the engine ring so the next 80 bytes do not fit: they are taken and lost.
  const bytes filler(engine_ring::capacity - 320 - 79, 0x00);
  ASSERT_TRUE(ring.write(filler.data(), filler.size()));
  testing::internal::CaptureStdout();
  EXPECT_EQ(link->poll(ring, 56), 80u);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(ring.count(), engine_ring::capacity - 79);
  EXPECT_EQ(link->poll(ring, 57), 0u);
}

// Without the receive thread the caller's poll() takes the datagrams: nothing moves or
// wakes in between, the socket to sleep on is handed out, and what one poll leaves over
// stays in the socket or the queue for the next, in order.
TEST_F(udp_fixture, without_the_receive_thread_poll_takes_the_datagrams_itself) {
  EXPECT_EQ(open()->receive_fd(), -1) << "the thread has the socket";
  settings.receive_thread = false;
  auto link = open();
  ASSERT_GE(link->receive_fd(), 0);
  target.set_address(loopback_address);
  udp_peer stranger(0x7F000002, 0);  // 127.0.0.2
  ASSERT_TRUE(stranger.ok());
  stranger.send_to(loopback_address, link->local_port(), {0xEE});
  const bytes a = counting_bytes(200), b = counting_bytes(200, 0x40), c = counting_bytes(200, 0x80);
  for (const bytes* d : {&a, &b, &c}) console.send_to(loopback_address, link->local_port(), *d);
  ASSERT_TRUE(wait_readable(link->receive_fd(), 5000));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // all four in the socket
  EXPECT_EQ(wakes.load(), 0);
  EXPECT_EQ(link->ignored_datagrams(), 0u) << "nothing is read before poll()";

  engine_ring ring;
  EXPECT_EQ(link->poll(ring, 0), 320u);
  EXPECT_TRUE(link->has_queued());
  EXPECT_EQ(link->poll(ring, 0), 280u);
  EXPECT_FALSE(link->has_queued());
  EXPECT_EQ(link->poll(ring, 0), 0u);
  bytes all = a;
  all.insert(all.end(), b.begin(), b.end());
  all.insert(all.end(), c.begin(), c.end());
  EXPECT_EQ(ring_contents(ring), all);
  EXPECT_EQ(link->ignored_datagrams(), 1u);
  EXPECT_EQ(wakes.load(), 0) << "the caller needs no wake-up for what it took itself";
}

// --- TCP ------------------------------------------------------------------------------------

using tcp_state = tcp_transport::link_state;

// Steps the transport at a fixed `now` until it reaches the state.
bool reaches(tcp_transport& t, tcp_state state, uint32_t now) {
  engine_ring ring;
  return eventually([&] {
    t.poll(ring, now);
    return t.state() == state;
  });
}

TEST(tcp_transport, connects_receives_exactly_what_came_sends_and_notices_the_peer_closing) {
  test::tcp_listener service;
  tcp_transport link(1000, {.port = service.port()});
  EXPECT_EQ(link.state(), tcp_state::connecting);
  EXPECT_EQ(link.state_tick(), 1000u);

  ASSERT_TRUE(reaches(link, tcp_state::connected, 1010));
  EXPECT_EQ(link.state_tick(), 1010u);
  unique_fd peer = service.accept();
  ASSERT_TRUE(peer.valid());

  const bytes hundred = counting_bytes(100, 7);
  ASSERT_EQ(::send(peer.get(), hundred.data(), hundred.size(), 0), 100);
  engine_ring ring;
  std::size_t taken = 0;
  ASSERT_TRUE(eventually([&] {
    taken += link.poll(ring, 1020);
    return taken >= 100;
  }));
  EXPECT_EQ(taken, 100u);
  EXPECT_EQ(ring_contents(ring), hundred);

  const bytes frame = {0x80, 0x04, 0x00, 0x00, 0x25, 0x68};
  link.send(frame.data(), frame.size());
  uint8_t got[16] = {};
  ASSERT_TRUE(wait_readable(peer.get(), 5000));
  EXPECT_EQ(::recv(peer.get(), got, sizeof got, 0), 6);
  EXPECT_EQ(bytes(got, got + 6), frame);

  peer.reset();
  ASSERT_TRUE(reaches(link, tcp_state::closed, 1030));
  EXPECT_EQ(link.state_tick(), 1030u);
  // A lost connection is tried again once more than five seconds have passed.
  ASSERT_TRUE(reaches(link, tcp_state::connected, 6031));
  EXPECT_TRUE(service.accept().valid());
}

TEST(tcp_transport, takes_only_what_the_engine_ring_can_hold_and_leaves_the_rest_queued) {
  test::tcp_listener service;
  tcp_transport link(0, {.port = service.port()});
  ASSERT_TRUE(reaches(link, tcp_state::connected, 0));
  unique_fd peer = service.accept();
  ASSERT_TRUE(peer.valid());
  const bytes hundred = counting_bytes(100);
  ASSERT_EQ(::send(peer.get(), hundred.data(), hundred.size(), 0), 100);

  engine_ring ring;
  const bytes filler(engine_ring::capacity - 24, 0xEE);
  ASSERT_TRUE(ring.write(filler.data(), filler.size()));
  ASSERT_TRUE(eventually([&] { return link.poll(ring, 1) > 0; }));
  EXPECT_EQ(ring.count(), engine_ring::capacity);
  EXPECT_EQ(link.poll(ring, 2), 0u);  // full: nothing is read, nothing is lost

  ring.drop(filler.size());
  std::size_t taken = 24;
  ASSERT_TRUE(eventually([&] {
    taken += link.poll(ring, 3);
    return taken >= 100;
  }));
  EXPECT_EQ(ring_contents(ring), hundred);
  EXPECT_EQ(link.state(), tcp_state::connected);
}

TEST(tcp_transport, retries_a_refused_connection_only_after_more_than_five_seconds) {
  test::tcp_listener bound_only(-1);
  tcp_transport link(1000, {.port = bound_only.port()});
  ASSERT_TRUE(reaches(link, tcp_state::closed, 1000));
  EXPECT_EQ(link.state_tick(), 1000u);

  engine_ring ring;
  link.poll(ring, 6000);
  EXPECT_EQ(link.state(), tcp_state::closed);
  EXPECT_EQ(link.state_tick(), 1000u);
  link.poll(ring, 6001);
  EXPECT_EQ(link.state_tick(), 6001u);
}

// The engine sends (identification, reads) before the connection completes; a send that
// meets the refusal must not make the refused connection look connected.
TEST(tcp_transport, a_refusal_met_by_an_early_send_is_never_connected) {
  test::tcp_listener bound_only(-1);
  tcp_transport link(0, {.port = bound_only.port()});
  const bytes frame = {0x80, 0x04, 0x00, 0x00, 0x25, 0x68};
  engine_ring ring;
  bool seen_connected = false;
  ASSERT_TRUE(eventually([&] {
    link.send(frame.data(), frame.size());
    link.poll(ring, 0);
    seen_connected = seen_connected || link.state() == tcp_state::connected;
    return link.state() == tcp_state::closed;
  }));
  EXPECT_FALSE(seen_connected);
}

TEST(tcp_transport, starts_a_stalled_connection_again_after_2001_ms) {
  // Backlog 0 and one connection nobody accepts: further handshakes are not answered.
  test::tcp_listener service(0);
  unique_fd filler(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  const sockaddr_in to = make_sockaddr(loopback_address, service.port());
  ASSERT_EQ(::connect(filler.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to), 0);

  tcp_transport link(500, {.port = service.port()});
  engine_ring ring;
  link.poll(ring, 2500);
  EXPECT_EQ(link.state(), tcp_state::connecting);
  EXPECT_EQ(link.state_tick(), 500u);
  link.poll(ring, 2501);
  EXPECT_EQ(link.state(), tcp_state::connecting);
  EXPECT_EQ(link.state_tick(), 2501u);
}

// --- choosing the transport -----------------------------------------------------------------

TEST(make_transport, opens_the_transport_of_the_link_mode) {
  test::tcp_listener bound_only(-1);
  console_target target;
  const link_endpoints endpoints{.console = &target,
                                 .udp_bind_address = loopback_address,
                                 .datacenter_port = bound_only.port()};
  struct mode_case {
    int mode;
    const char* expected;
  };
  const mode_case cases[] = {{link_udp, "udp"}, {link_tcp, "tcp"},     {link_none, "none"},
                             {link_incompatible, "none"}, {0, "none"}, {99, "none"}};
  for (const mode_case& c : cases) {
    runtime_options options;
    options.link_mode = c.mode;
    const auto t = make_transport(options, [] {}, endpoints);
    const char* kind = dynamic_cast<udp_transport*>(t.get())   ? "udp"
                       : dynamic_cast<tcp_transport*>(t.get()) ? "tcp"
                       : dynamic_cast<no_transport*>(t.get())  ? "none"
                                                               : "other";
    EXPECT_STREQ(kind, c.expected) << "mode " << c.mode;
  }
}

TEST(make_transport, runs_without_a_link_when_the_serial_port_cannot_be_opened) {
  runtime_options options;
  options.link_mode = link_serial;
  options.serial_port = "/dev/vorante-no-such-port";
  testing::internal::CaptureStdout();
  const auto t = make_transport(options, [] {});
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "open serial port '/dev/vorante-no-such-port' fail\r\n");
  EXPECT_NE(dynamic_cast<no_transport*>(t.get()), nullptr);
}

}  // namespace
}  // namespace vorante
