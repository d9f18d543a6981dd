// A small console on loopback for the client's end-to-end tests: it answers reads with
// its values, echoes writes, identifies itself and pushes changes on request. Runs on a
// thread of its own until destroyed.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "app/params/defaults.h"
#include "app/protocol/frame.h"
#include "app/protocol/messages.h"

namespace vorante::test {

struct peer_behaviour {
  uint8_t model = 0x3B;
  bool acknowledge_writes = true;
  bool apply_unacknowledged = false;  // without acknowledgements, still take the values
  uint16_t acknowledge_offset = 0;    // take and acknowledge the value written plus this
  bool answer = true;
};

class loopback_peer {
 public:
  using behaviour = peer_behaviour;

  loopback_peer() : loopback_peer(peer_behaviour{}) {}
  explicit loopback_peer(peer_behaviour b) : behaviour_(b) {
    build_defaults(values_.data(), values_.size());
    fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    timeval tv{0, 20000};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    thread_ = std::thread([this] { run(); });
  }

  ~loopback_peer() {
    running_ = false;
    thread_.join();
    ::close(fd_);
  }

  uint16_t port() const { return port_; }

  uint16_t value(uint16_t id) {
    std::lock_guard<std::mutex> lock(mutex_);
    return values_[id];
  }
  void set_value(uint16_t id, uint16_t v) {
    std::lock_guard<std::mutex> lock(mutex_);
    values_[id] = v;
  }
  // Pushes a console-side change to the last client that talked.
  void push_change(uint16_t id, uint16_t v) {
    std::lock_guard<std::mutex> lock(mutex_);
    values_[id] = v;
    const id_value p{id, v};
    pushed_ = make_param_change({&p, 1});
    reply(pushed_);
  }
  bool change_echoed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return change_echoed_;
  }
  bool has_client() {
    std::lock_guard<std::mutex> lock(mutex_);
    return have_client_;
  }
  int frames_with(message_code code) {
    std::lock_guard<std::mutex> lock(mutex_);
    int n = 0;
    for (uint8_t c : codes_) n += c == code_byte(code);
    return n;
  }

 private:
  void reply(const frame_bytes& f) {
    if (!have_client_ || f.empty()) return;
    ::sendto(fd_, f.data(), f.size(), 0, reinterpret_cast<const sockaddr*>(&client_), sizeof client_);
  }

  void run() {
    std::array<uint8_t, 2048> buf{};
    while (running_) {
      sockaddr_in from{};
      socklen_t len = sizeof from;
      const ssize_t n = ::recvfrom(fd_, buf.data(), buf.size(), 0, reinterpret_cast<sockaddr*>(&from), &len);
      if (n <= 0) continue;
      std::lock_guard<std::mutex> lock(mutex_);
      client_ = from;
      have_client_ = true;
      ring_.write(buf.data(), static_cast<std::size_t>(n));
      std::array<uint8_t, max_frame_size> frame{};
      int got;
      while ((got = parse_frame(ring_, frame.data(), frame.size(), parse_mode::strict)) != 0) {
        if (got > 0) handle({frame.data(), static_cast<std::size_t>(got)});
      }
      ring_.clear();
    }
  }

  void handle(std::span<const uint8_t> f) {
    codes_.push_back(f[2]);
    if (!behaviour_.answer) return;
    const auto payload = frame_payload(f);
    switch (static_cast<message_code>(f[2])) {
      case message_code::identify:
        reply(make_identification(0, 0xE001, behaviour_.model, "peer"));
        break;
      case message_code::read_params: {
        std::vector<id_value> out;
        for (std::size_t i = 0; i + 1 < payload.size(); i += 2) {
          const uint16_t id = get_be16(&payload[i]);
          out.push_back({id, id < param_count ? values_[id] : uint16_t{0}});
        }
        reply(make_param_values(out));
        break;
      }
      case message_code::write_params: {
        std::vector<id_value> took;
        for (const id_value p : pair_list(payload))
          if (p.id < param_count && (behaviour_.acknowledge_writes || behaviour_.apply_unacknowledged)) {
            values_[p.id] = static_cast<uint16_t>(p.value + behaviour_.acknowledge_offset);
            took.push_back({p.id, values_[p.id]});
          }
        if (behaviour_.acknowledge_writes) reply(make_write_confirmation(took));
        break;
      }
      case message_code::param_change:
        if (std::equal(f.begin(), f.end(), pushed_.data(), pushed_.data() + pushed_.size())) change_echoed_ = true;
        break;
      default:
        break;
    }
  }

  behaviour behaviour_;
  int fd_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> running_{true};
  std::thread thread_;
  std::mutex mutex_;
  std::array<uint16_t, param_count> values_{};
  engine_ring ring_;
  sockaddr_in client_{};
  bool have_client_ = false;
  frame_bytes pushed_;
  bool change_echoed_ = false;
  std::vector<uint8_t> codes_;
};

}  // namespace vorante::test
