// The server on real loopback sockets, stepped by the test itself: each exchange waits
// only until its answer is there, for a bounded number of rounds.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/os/socket_util.h"
#include "sim_test_support.h"
#include "tools/sim/sim_server.h"

namespace vorante::sim {
namespace {

constexpr int max_rounds = 200;

struct server_fixture {
  sim_options options;
  std::unique_ptr<console_model> model;
  std::unique_ptr<sim_server> server;
  std::string log_path;

  explicit server_fixture(sim_options o = base_options()) : options(std::move(o)) {
    log_path = (std::filesystem::temp_directory_path() / ("vorante_sim_log_" + std::to_string(::getpid()))).string();
    options.log_path = log_path;
    model = std::make_unique<console_model>(options.console);
    server = std::make_unique<sim_server>(options, *model);
    std::string error;
    opened = server->open(error);
    EXPECT_TRUE(opened) << error;
  }
  ~server_fixture() {
    server.reset();
    std::filesystem::remove(log_path);
  }

  static sim_options base_options() {
    sim_options o;
    o.port = 0;
    o.read_commands = false;
    return o;
  }

  // Steps the server until `fd` has bytes; returns what arrived (empty when nothing did).
  std::vector<uint8_t> await(int fd) {
    std::vector<uint8_t> buffer(2048);
    for (int i = 0; i < max_rounds; ++i) {
      server->step(5);
      const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
      if (n > 0) {
        buffer.resize(static_cast<std::size_t>(n));
        return buffer;
      }
    }
    return {};
  }
  // Steps a while and tells whether anything arrived.
  bool quiet(int fd, int rounds = 20) {
    uint8_t b[256];
    for (int i = 0; i < rounds; ++i) {
      server->step(2);
      if (::recv(fd, b, sizeof b, MSG_DONTWAIT) > 0) return false;
    }
    return true;
  }
  std::string log_text() {
    server->step(0);
    std::ifstream in(log_path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  bool opened = false;
};

std::vector<uint8_t> bytes_of(const frame_bytes& f) { return {f.data(), f.data() + f.size()}; }

void send_udp(int fd, uint32_t address, uint16_t port, const frame_bytes& f) {
  const sockaddr_in to = make_sockaddr(address, port);
  ::sendto(fd, f.data(), f.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

TEST(sim_server_test, udp_answers_discovery_on_the_broadcast_address_and_pushes_to_its_peers) {
  server_fixture f;
  ASSERT_TRUE(f.opened);
  unique_fd client = open_udp_socket(loopback_address, 0);
  ASSERT_TRUE(client.valid());

  // Discovery: sent to 127.0.0.255, answered from the console's own address.
  send_udp(client.get(), 0x7F0000FF, f.server->udp_port(), make_identify());
  sockaddr_in from{};
  socklen_t len = sizeof from;
  std::vector<uint8_t> reply(512);
  bool answered = false;
  for (int i = 0; i < max_rounds && !answered; ++i) {
    f.server->step(5);
    const ssize_t n = ::recvfrom(client.get(), reply.data(), reply.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &len);
    if (n > 0) {
      reply.resize(static_cast<std::size_t>(n));
      answered = true;
    }
  }
  ASSERT_TRUE(answered);
  EXPECT_EQ(reply, bytes_of(make_identification(0, 0xE001, 0x3B, "unnamed")));
  EXPECT_EQ(ntohl(from.sin_addr.s_addr), loopback_address);
  EXPECT_EQ(ntohs(from.sin_port), f.server->udp_port());

  // Anything but identify on the broadcast address is not answered, and makes no peer.
  const std::array<uint16_t, 1> id{76};
  send_udp(client.get(), 0x7F0000FF, f.server->udp_port(), make_read_params(id));
  EXPECT_TRUE(f.quiet(client.get()));
  f.model->console_set(76, 1000);
  EXPECT_TRUE(f.quiet(client.get()));

  // Two frames in one datagram are both answered.
  frame_bytes a = make_read_params(id), b = make_identify();
  std::vector<uint8_t> both = bytes_of(a);
  both.insert(both.end(), b.data(), b.data() + b.size());
  const sockaddr_in to = make_sockaddr(loopback_address, f.server->udp_port());
  ::sendto(client.get(), both.data(), both.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  const std::array<id_value, 1> values{{{76, 1000}}};
  EXPECT_EQ(f.await(client.get()), bytes_of(make_param_values(values)));
  EXPECT_EQ(f.await(client.get())[2], 0);

  // Now a peer: console-side changes reach it.
  f.model->console_set(77, 5);
  const std::array<id_value, 1> change{{{77, 5}}};
  EXPECT_EQ(f.await(client.get()), bytes_of(make_param_change(change)));

  const std::string log = f.log_text();
  EXPECT_NE(log.find(" R udp:127.0.0.1:"), std::string::npos);
  EXPECT_NE(log.find(" S udp:127.0.0.1:"), std::string::npos);
}

TEST(sim_server_test, datacenter_over_tcp_serves_one_client_at_a_time) {
  sim_options o = server_fixture::base_options();
  o.tcp_port = 0;
  server_fixture f(o);
  ASSERT_TRUE(f.opened);
  auto connect_client = [&] {
    unique_fd fd(::socket(AF_INET, SOCK_STREAM, 0));
    const sockaddr_in to = make_sockaddr(loopback_address, f.server->tcp_port());
    EXPECT_EQ(::connect(fd.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to), 0);
    return fd;
  };
  unique_fd first = connect_client();
  f.server->step(5);
  unique_fd second = connect_client();

  // A frame split over two sends is put together again.
  const std::array<uint16_t, 2> ids{3517, 1};
  const frame_bytes read = make_read_params(ids);
  ::send(first.get(), read.data(), 4, 0);
  f.server->step(2);
  ::send(first.get(), read.data() + 4, read.size() - 4, 0);
  const std::array<id_value, 2> values{{{3517, f.model->value(3517)}, {1, f.model->value(1)}}};
  EXPECT_EQ(f.await(first.get()), bytes_of(make_param_values(values)));

  // The second client was turned away.
  uint8_t b[16];
  ssize_t n = -1;
  for (int i = 0; i < max_rounds && n < 0; ++i) {
    f.server->step(2);
    n = ::recv(second.get(), b, sizeof b, MSG_DONTWAIT);
  }
  EXPECT_EQ(n, 0);

  // The connected client gets the pushes without having to ask.
  f.model->set_lock(true);
  const std::array<id_value, 1> lock{{{lock_state_id, 1}}};
  EXPECT_EQ(f.await(first.get()), bytes_of(make_param_change(lock)));
}

TEST(sim_server_test, serial_link_on_a_pseudo_terminal) {
  sim_options o = server_fixture::base_options();
  o.serial = true;
  server_fixture f(o);
  ASSERT_TRUE(f.opened);
  ASSERT_FALSE(f.server->serial_path().empty());
  unique_fd port(::open(f.server->serial_path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK));
  ASSERT_TRUE(port.valid());
  termios t{};
  ::tcgetattr(port.get(), &t);
  ::cfmakeraw(&t);
  ::tcsetattr(port.get(), TCSANOW, &t);

  const frame_bytes identify = make_identify();
  ASSERT_EQ(::write(port.get(), identify.data(), identify.size()), static_cast<ssize_t>(identify.size()));
  std::vector<uint8_t> got;
  std::vector<uint8_t> buffer(256);
  const std::vector<uint8_t> expected = bytes_of(make_identification(0, 0xE001, 0x3B, "unnamed"));
  for (int i = 0; i < max_rounds && got.size() < expected.size(); ++i) {
    f.server->step(5);
    const ssize_t n = ::read(port.get(), buffer.data(), buffer.size());
    if (n > 0) got.insert(got.end(), buffer.begin(), buffer.begin() + n);
  }
  EXPECT_EQ(got, expected);
}

TEST(sim_server_test, faults_at_the_socket_boundary) {
  struct fault_case {
    const char* name;
    double drop;
    double corrupt;
    int64_t mute_after_ms;
    const char* logged;
  };
  const fault_case cases[] = {
      {"lost", 1, 0, -1, " R-drop "},
      {"damaged", 0, 1, -1, " R-corrupt "},
      {"muted", 0, 0, 0, " R-muted "},
  };
  for (const fault_case& c : cases) {
    sim_options o = server_fixture::base_options();
    o.faults.drop = c.drop;
    o.faults.corrupt = c.corrupt;
    o.faults.mute_after_ms = c.mute_after_ms;
    server_fixture f(o);
    ASSERT_TRUE(f.opened);
    unique_fd client = open_udp_socket(loopback_address, 0);
    send_udp(client.get(), loopback_address, f.server->udp_port(), make_identify());
    // A damaged request fails its check, so none of the three is answered.
    EXPECT_TRUE(f.quiet(client.get(), 50)) << c.name;
    EXPECT_NE(f.log_text().find(c.logged), std::string::npos) << c.name;
  }
}

}  // namespace
}  // namespace vorante::sim
