#include "tools/sim/sim_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "tools/sim/line_commands.h"

namespace vorante::sim {

namespace {

constexpr std::size_t datagram_buffer = 2048;
constexpr int tcp_backlog = 4;

bool set_nonblocking(int fd) {
  const int flags = ::fcntl(fd, F_GETFL, 0);
  return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

std::string errno_text(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

bool same_address(const sockaddr_in& a, const sockaddr_in& b) {
  return a.sin_addr.s_addr == b.sin_addr.s_addr && a.sin_port == b.sin_port;
}

void answer(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace

sim_server::sim_server(const sim_options& options, console_model& model)
    : options_(options), model_(model), faults_(options.faults, 0), stdin_open_(options.read_commands) {
  start_ns_ = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

sim_server::~sim_server() { log_.flush(); }

uint32_t sim_server::now() const {
  const auto ns = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) - start_ns_;
  return static_cast<uint32_t>(ns / 1000000);
}

bool sim_server::open(std::string& error) {
  if (!is_loopback(options_.bind_address)) {
    error = "refusing to listen on a non-loopback address";
    return false;
  }
  udp_ = open_udp_socket(options_.bind_address, options_.port);
  if (!udp_.valid() || !set_nonblocking(udp_.get())) {
    error = "cannot bind UDP " + ipv4_text(options_.bind_address) + ":" + std::to_string(options_.port) + ": " +
            std::strerror(errno);
    return false;
  }
  udp_port_ = local_port_of(udp_.get());

  // Discovery broadcasts go to the last address of the /24 (127.0.0.255 for 127.0.0.1);
  // on loopback that is an ordinary local address a second socket can listen on.
  const uint32_t broadcast_address = options_.bind_address | 0xFF;
  if (broadcast_address != options_.bind_address) {
    broadcast_ = open_udp_socket(broadcast_address, udp_port_);
    if (broadcast_.valid()) set_nonblocking(broadcast_.get());
  }

  if (options_.tcp_port) {
    listener_ = unique_fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    const int on = 1;
    ::setsockopt(listener_.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in addr = make_sockaddr(options_.bind_address, *options_.tcp_port);
    if (!listener_.valid() || ::bind(listener_.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener_.get(), tcp_backlog) != 0) {
      error = errno_text(("cannot listen on TCP port " + std::to_string(*options_.tcp_port)).c_str());
      return false;
    }
    tcp_port_ = local_port_of(listener_.get());
  }

  if (options_.serial) {
    unique_fd master(::posix_openpt(O_RDWR | O_NOCTTY));
    if (!master.valid() || ::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0) {
      error = errno_text("cannot open a pseudo-terminal");
      return false;
    }
    const char* name = ::ptsname(master.get());
    if (!name) {
      error = errno_text("cannot name the pseudo-terminal");
      return false;
    }
    serial_path_ = name;
    serial_slave_ = unique_fd(::open(name, O_RDWR | O_NOCTTY));
    if (serial_slave_.valid()) {
      // Raw bytes: frames are binary and must not meet line editing or echo.
      termios t{};
      if (::tcgetattr(serial_slave_.get(), &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(serial_slave_.get(), TCSANOW, &t);
      }
    }
    set_nonblocking(master.get());
    serial_.fd = std::move(master);
  }

  if (!options_.log_path.empty() && !log_.open(options_.log_path, error)) return false;
  return true;
}

void sim_server::run(const std::atomic<bool>& stop) {
  while (!quit_ && !stop.load()) step(poll_wait_ms);
  log_.flush();
}

void sim_server::step(int wait_ms) {
  std::vector<pollfd> fds;
  auto watch = [&](int fd, short events) {
    if (fd >= 0) fds.push_back({fd, events, 0});
  };
  watch(udp_.get(), POLLIN);
  watch(broadcast_.get(), POLLIN);
  watch(listener_.get(), POLLIN);
  watch(tcp_.fd.get(), static_cast<short>(POLLIN | (tcp_.tx.empty() ? 0 : POLLOUT)));
  watch(serial_.fd.get(), static_cast<short>(POLLIN | (serial_.tx.empty() ? 0 : POLLOUT)));
  // Standard input stays blocking (it may be the terminal of the shell that started us);
  // it is read only when poll() says a read will not wait.
  const std::size_t stdin_slot = fds.size();
  if (stdin_open_) watch(STDIN_FILENO, POLLIN);

  uint32_t t = now();
  const int wait = static_cast<int>(std::min<uint32_t>(static_cast<uint32_t>(std::max(wait_ms, 0)), delayed_.wait(t)));
  ::poll(fds.data(), fds.size(), wait);
  t = now();
  const bool stdin_ready = stdin_open_ && (fds[stdin_slot].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) != 0;

  receive_udp(udp_.get(), false, t);
  if (broadcast_.valid()) receive_udp(broadcast_.get(), true, t);
  if (listener_.valid()) accept_tcp(t);
  if (tcp_.fd.valid()) receive_stream(tcp_, link_kind::tcp, t);
  if (serial_.fd.valid()) receive_stream(serial_, link_kind::serial, t);
  if (stdin_ready) read_stdin();

  expire_peers(t);
  pushes_.clear();
  model_.tick(t, pushes_);
  push(pushes_, t);

  for (const outgoing& o : delayed_.take_due(t)) transmit(o, t);
  if (tcp_.fd.valid() && !tcp_.tx.empty()) flush_stream(tcp_, link_kind::tcp);
  if (serial_.fd.valid() && !serial_.tx.empty()) flush_stream(serial_, link_kind::serial);
  log_.flush();
}

// ---- receiving --------------------------------------------------------------------------

void sim_server::receive_udp(int fd, bool broadcast, uint32_t now) {
  std::array<uint8_t, datagram_buffer> buffer{};
  for (int i = 0; i < max_datagrams_per_round; ++i) {
    sockaddr_in from{};
    socklen_t len = sizeof from;
    const ssize_t n = ::recvfrom(fd, buffer.data(), buffer.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &len);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    // Only loopback can reach a socket bound there; anything else is not answered.
    if (from.sin_family != AF_INET || !is_loopback(ntohl(from.sin_addr.s_addr))) continue;
    destination d{link_kind::udp, from};
    std::span<uint8_t> bytes(buffer.data(), std::min<std::size_t>(static_cast<std::size_t>(n), engine_ring::capacity));
    if (faults_.lose()) {
      log_.write(now, "R-drop", link_text(d), bytes);
      continue;
    }
    if (faults_.damage(bytes.data(), bytes.size())) log_.write(now, "R-corrupt", link_text(d), bytes);
    engine_ring ring;
    ring.write(bytes.data(), bytes.size());
    take_frames(ring, d, broadcast, now);
  }
}

void sim_server::accept_tcp(uint32_t now) {
  for (;;) {
    sockaddr_in from{};
    socklen_t len = sizeof from;
    unique_fd client(::accept4(listener_.get(), reinterpret_cast<sockaddr*>(&from), &len, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!client.valid()) return;
    // One client at a time; a second one is turned away at once rather than left hanging.
    if (tcp_.fd.valid() || !is_loopback(ntohl(from.sin_addr.s_addr))) continue;
    tcp_.fd = std::move(client);
    tcp_.rx.clear();
    tcp_.tx.clear();
    tcp_.heard = true;  // the datacenter pushes to whoever is connected
    tcp_.last_seen = now;
  }
}

void sim_server::receive_stream(stream& s, link_kind kind, uint32_t now) {
  std::array<uint8_t, engine_ring::capacity> buffer{};
  for (;;) {
    const std::size_t room = s.rx.free_space();
    if (room == 0) break;
    const ssize_t n = ::read(s.fd.get(), buffer.data(), room);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    if (n < 0 && kind == link_kind::serial && errno == EIO) break;  // nobody on the other end yet
    if (n <= 0) {
      if (kind == link_kind::tcp) close_stream(s);
      return;
    }
    destination d{kind, {}};
    std::span<uint8_t> bytes(buffer.data(), static_cast<std::size_t>(n));
    if (faults_.lose()) {
      log_.write(now, "R-drop", link_text(d), bytes);
      continue;
    }
    if (faults_.damage(bytes.data(), bytes.size())) log_.write(now, "R-corrupt", link_text(d), bytes);
    s.rx.write(bytes.data(), bytes.size());
    take_frames(s.rx, d, false, now);
  }
}

void sim_server::take_frames(engine_ring& ring, const destination& from, bool broadcast, uint32_t now) {
  std::array<uint8_t, max_frame_size> frame{};
  // Strict first, as a console's parser would; then one look past a damaged candidate.
  for (parse_mode mode : {parse_mode::strict, parse_mode::scanning}) {
    for (;;) {
      const int n = parse_frame(ring, frame.data(), frame.size(), mode);
      if (n == 0) break;
      if (n > 0) on_frame({frame.data(), static_cast<std::size_t>(n)}, from, broadcast, now);
    }
    if (from.kind != link_kind::udp) break;  // a stream keeps its tail for the next bytes
  }
}

void sim_server::on_frame(std::span<const uint8_t> frame, const destination& from, bool broadcast, uint32_t now) {
  if (faults_.muted(now)) {
    log_.write(now, "R-muted", link_text(from), frame);
    return;
  }
  log_.write(now, "R", link_text(from), frame);
  const uint8_t code = frame_code(frame);
  // Broadcasts are discovery: only identify is answered there.
  if (broadcast && code != code_byte(message_code::identify)) return;
  if (code != code_byte(message_code::identify) && !is_presence_probe(frame)) note_peer(from, now);
  replies_.clear();
  model_.handle(frame, now, replies_);
  for (const frame_bytes& r : replies_) send_to(from, r, now);
}

void sim_server::note_peer(const destination& from, uint32_t now) {
  if (from.kind == link_kind::tcp) {
    tcp_.last_seen = now;
    return;
  }
  if (from.kind == link_kind::serial) {
    serial_.heard = true;
    serial_.last_seen = now;
    return;
  }
  for (udp_peer& p : udp_peers_) {
    if (same_address(p.addr, from.addr)) {
      p.last_seen = now;
      return;
    }
  }
  if (udp_peers_.size() >= max_udp_peers) {
    udp_peers_.erase(std::min_element(udp_peers_.begin(), udp_peers_.end(),
                                      [](const udp_peer& a, const udp_peer& b) { return a.last_seen < b.last_seen; }));
  }
  udp_peers_.push_back({from.addr, now});
}

void sim_server::expire_peers(uint32_t now) {
  std::erase_if(udp_peers_, [now](const udp_peer& p) { return now - p.last_seen > peer_timeout_ms; });
  if (serial_.heard && now - serial_.last_seen > peer_timeout_ms) serial_.heard = false;
  model_.set_peer_present(!udp_peers_.empty() || tcp_.fd.valid() || serial_.heard);
}

// ---- sending ----------------------------------------------------------------------------

void sim_server::push(const frame_list& frames, uint32_t now) {
  if (frames.empty()) return;
  for (const frame_bytes& f : frames) {
    for (const udp_peer& p : udp_peers_) send_to({link_kind::udp, p.addr}, f, now);
    if (tcp_.fd.valid()) send_to({link_kind::tcp, {}}, f, now);
    if (serial_.heard) send_to({link_kind::serial, {}}, f, now);
  }
}

void sim_server::send_to(const destination& to, const frame_bytes& frame, uint32_t now) {
  if (frame.empty() || faults_.muted(now)) return;
  if (faults_.lose()) {
    log_.write(now, "S-drop", link_text(to), frame.view());
    return;
  }
  outgoing o{to, frame, false};
  o.damaged = faults_.damage(o.frame.bytes.data(), o.frame.length);
  if (faults_.delay_ms() > 0) {
    delayed_.push(now + faults_.delay_ms(), std::move(o));
    return;
  }
  transmit(o, now);
}

void sim_server::transmit(const outgoing& o, uint32_t now) {
  log_.write(now, o.damaged ? "S-corrupt" : "S", link_text(o.to), o.frame.view());
  switch (o.to.kind) {
    case link_kind::udp:
      // Replies and pushes only ever go back to loopback senders.
      if (!is_loopback(ntohl(o.to.addr.sin_addr.s_addr))) return;
      ::sendto(udp_.get(), o.frame.data(), o.frame.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
               reinterpret_cast<const sockaddr*>(&o.to.addr), sizeof o.to.addr);
      return;
    case link_kind::tcp:
      if (!tcp_.fd.valid()) return;
      tcp_.tx.insert(tcp_.tx.end(), o.frame.data(), o.frame.data() + o.frame.size());
      flush_stream(tcp_, link_kind::tcp);
      return;
    case link_kind::serial:
      if (!serial_.fd.valid()) return;
      serial_.tx.insert(serial_.tx.end(), o.frame.data(), o.frame.data() + o.frame.size());
      flush_stream(serial_, link_kind::serial);
      return;
  }
}

void sim_server::flush_stream(stream& s, link_kind kind) {
  while (!s.tx.empty()) {
    const ssize_t n = kind == link_kind::tcp ? ::send(s.fd.get(), s.tx.data(), s.tx.size(), MSG_DONTWAIT | MSG_NOSIGNAL)
                                             : ::write(s.fd.get(), s.tx.data(), s.tx.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    s.tx.erase(s.tx.begin(), s.tx.begin() + n);
  }
  if (s.tx.size() <= max_stream_backlog) return;
  // A peer that does not read: TCP loses the connection, the serial line loses the bytes.
  if (kind == link_kind::tcp) {
    close_stream(s);
  } else {
    s.tx.clear();
  }
}

void sim_server::close_stream(stream& s) {
  s.fd.reset();
  s.rx.clear();
  s.tx.clear();
  s.heard = false;
}

std::string sim_server::link_text(const destination& d) const {
  switch (d.kind) {
    case link_kind::tcp: return "tcp";
    case link_kind::serial: return "serial";
    case link_kind::udp: break;
  }
  return "udp:" + ipv4_text(ntohl(d.addr.sin_addr.s_addr)) + ":" + std::to_string(ntohs(d.addr.sin_port));
}

// ---- line commands ----------------------------------------------------------------------

void sim_server::read_stdin() {
  char buffer[1024];
  const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
  if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
    // Standard input closed: the simulator keeps serving until it is stopped.
    stdin_open_ = false;
    return;
  }
  if (n < 0) return;
  stdin_buffer_.append(buffer, static_cast<std::size_t>(n));
  // A line longer than any command is garbage; it is not kept growing.
  if (stdin_buffer_.size() > 4096 && stdin_buffer_.find('\n') == std::string::npos) stdin_buffer_.clear();
  std::size_t nl;
  while ((nl = stdin_buffer_.find('\n')) != std::string::npos) {
    const std::string line = stdin_buffer_.substr(0, nl);
    stdin_buffer_.erase(0, nl + 1);
    run_command(line);
    if (quit_) return;
  }
}

void sim_server::run_command(std::string_view line) {
  std::string error;
  const std::optional<line_command> c = parse_line_command(line, error);
  if (!c) {
    if (!error.empty()) answer("error: " + error);
    return;
  }
  switch (c->kind) {
    case command_kind::set: model_.console_set(c->a, static_cast<uint16_t>(c->b)); break;
    case command_kind::get:
      answer(std::to_string(c->a) + " " + std::to_string(model_.value(c->a)));
      return;
    case command_kind::key: model_.press_key(static_cast<uint16_t>(c->a), c->flag); break;
    case command_kind::fader: model_.move_fader(static_cast<int>(c->a), static_cast<uint16_t>(c->b)); break;
    case command_kind::encoder: model_.turn_encoder(static_cast<int>(c->a), static_cast<int16_t>(c->b)); break;
    case command_kind::usb:
      model_.media().set_usb(c->word == "insert" ? usb_disk : c->word == "audio" ? usb_audio : usb_empty);
      break;
    case command_kind::lock: model_.set_lock(c->flag); break;
    case command_kind::drop: faults_.set_drop(c->probability); break;
    case command_kind::refuse_writes: model_.set_refuse_writes(c->flag); break;
    case command_kind::call: model_.call_scene(static_cast<int>(c->a)); break;
    case command_kind::save: model_.save_scene(static_cast<int>(c->a)); break;
    case command_kind::lights: answer(lights_text(model_.light_words())); return;
    case command_kind::faders: answer(faders_text(model_.fader_outputs(), model_.faders_received())); return;
    case command_kind::help:
      std::fputs(line_command_help().c_str(), stdout);
      break;
    case command_kind::quit: quit_ = true; break;
  }
  answer("ok");
}

}  // namespace vorante::sim
