#include "app/os/discovery.h"

#include <arpa/inet.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "app/core/identity.h"
#include "app/core/log.h"
#include "app/protocol/frame.h"
#include "app/protocol/messages.h"

namespace vorante {

namespace {

constexpr std::string_view unnamed_console = "unnamed";

// Payload bytes of an identification reply: a lead byte, product BE16, model, name.
constexpr std::size_t product_offset = 1;
constexpr std::size_t model_offset = 3;
constexpr std::size_t name_offset = 4;

// Wrap-safe "a is at or after b" for millisecond ticks.
bool reached(uint32_t now, uint32_t deadline) { return static_cast<int32_t>(now - deadline) >= 0; }

}  // namespace

bool read_identification_reply(const uint8_t* bytes, std::size_t n, std::string& name) {
  if (!check_datagram(bytes, n) || bytes[2] != code_byte(message_code::identify)) return false;
  // The check lets a datagram run on past its frame; only the frame counts.
  const std::size_t frame_len = std::size_t{bytes[1]} + frame_crc_size;
  const std::span<const uint8_t> payload = frame_payload({bytes, frame_len});
  if (payload.size() < name_offset) return false;
  const identity_codes& ours = identity();
  if (get_be16(payload.data() + product_offset) != ours.product || payload[model_offset] != ours.model)
    return false;

  const std::span<const uint8_t> rest = payload.subspan(name_offset);
  const auto end = std::find(rest.begin(), rest.end(), uint8_t{0});
  std::string text(rest.begin(), end);
  if (text == unnamed_console) text = product_name();
  if (text.size() > max_device_name) text.resize(max_device_name);
  name = std::move(text);
  return true;
}

bool discovery_round::start(const std::vector<adapter>& adapters, uint32_t now_ms) {
  entries_.clear();
  socket_ = open_udp_socket();
  if (!socket_.valid()) return false;
  // Linux refuses to send to a broadcast address without this.
  const int on = 1;
  ::setsockopt(socket_.get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);

  const frame_bytes identify = make_identify();
  for (const adapter& a : adapters) {
    const uint32_t target = broadcast_address(a.address);
    log_print("discover %s\n", ipv4_text(target).c_str());
    const sockaddr_in to = make_sockaddr(target, port_);
    ::sendto(socket_.get(), identify.data(), identify.size(), MSG_NOSIGNAL,
             reinterpret_cast<const sockaddr*>(&to), sizeof to);
  }
  deadline_ = now_ms + first_wait_ms + quiet_wait_ms;
  return true;
}

bool discovery_round::step(uint32_t now_ms) {
  if (!socket_.valid()) return true;
  std::array<uint8_t, max_reply> reply{};
  for (;;) {
    sockaddr_in from{};
    socklen_t from_len = sizeof from;
    const ssize_t n = ::recvfrom(socket_.get(), reply.data(), reply.size(), MSG_DONTWAIT,
                                 reinterpret_cast<sockaddr*>(&from), &from_len);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    // Any datagram keeps the round open a little longer, as a console may be mid-answer.
    const uint32_t quiet_end = now_ms + quiet_wait_ms;
    if (reached(quiet_end, deadline_)) deadline_ = quiet_end;
    if (from.sin_family == AF_INET) take_reply(reply.data(), static_cast<std::size_t>(n), ntohl(from.sin_addr.s_addr));
  }
  if (!reached(now_ms, deadline_)) return false;
  socket_.reset();
  return true;
}

void discovery_round::take_reply(const uint8_t* bytes, std::size_t n, uint32_t from) {
  if (entries_.size() >= max_entries) return;
  const bool known = std::any_of(entries_.begin(), entries_.end(),
                                 [from](const device_entry& e) { return e.address == from; });
  std::string name;
  if (known || !read_identification_reply(bytes, n, name)) return;
  entries_.push_back({from, std::move(name)});
}

}  // namespace vorante
