// Item records and media reports as the console's media module sends them, and a client
// under test with a hand-moved clock that keeps every command it sends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/media/media_client.h"

namespace vorante::test {

inline std::vector<uint8_t> record_bytes(uint8_t kind, uint16_t index, uint8_t flags, uint32_t id,
                                         const std::vector<uint8_t>& name) {
  const std::size_t total = item_head_size + name.size() + 1;
  const std::size_t l = total - 3;
  std::vector<uint8_t> r{item_start_byte, static_cast<uint8_t>(l >> 8), static_cast<uint8_t>(l), kind,
                         static_cast<uint8_t>(index >> 8), static_cast<uint8_t>(index), flags, 0,
                         static_cast<uint8_t>(id >> 24), static_cast<uint8_t>(id >> 16), static_cast<uint8_t>(id >> 8),
                         static_cast<uint8_t>(id)};
  r.insert(r.end(), name.begin(), name.end());
  uint8_t sum = 0;
  for (uint8_t b : r) sum = static_cast<uint8_t>(sum + b);
  r.push_back(sum);
  return r;
}

inline std::vector<uint8_t> ascii_record(uint8_t kind, uint16_t index, uint8_t flags, uint32_t id, const std::string& name) {
  return record_bytes(kind, index, flags, id, {name.begin(), name.end()});
}

// UTF-16 low byte first with a zero unit; `units` are the characters' code points.
inline std::vector<uint8_t> utf16_record(uint8_t kind, uint16_t index, uint8_t flags, uint32_t id,
                                         const std::vector<uint16_t>& units) {
  std::vector<uint8_t> name;
  for (uint16_t u : units) name.insert(name.end(), {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8)});
  name.insert(name.end(), {0, 0});
  return record_bytes(kind, index, flags | item_flag_is_utf16, id, name);
}

// Item-data report payloads of at most `chunk` bytes each.
inline std::vector<std::vector<uint8_t>> item_reports(const std::vector<uint8_t>& bytes, std::size_t chunk = 10) {
  std::vector<std::vector<uint8_t>> out;
  for (std::size_t at = 0; at < bytes.size(); at += chunk) {
    std::vector<uint8_t> p(media_report_payload, 0);
    p[0] = 0x82;
    const std::size_t n = std::min(chunk, bytes.size() - at);
    p[1] = static_cast<uint8_t>(n);
    std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + n), p.begin() + 2);
    out.push_back(p);
  }
  return out;
}

// Status report payload: port, device, transport, songs, current, m, s, p10/p11 as given.
inline std::vector<uint8_t> status_payload(uint8_t port, uint8_t device, uint8_t transport, uint16_t songs = 0,
                                           uint16_t current = 0, uint8_t m = 0, uint8_t s = 0, uint8_t p11 = 0x10) {
  return {port, device, transport, 0, 0, static_cast<uint8_t>(songs), static_cast<uint8_t>(songs >> 8),
          static_cast<uint8_t>(current), static_cast<uint8_t>(current >> 8), m, s, p11};
}

struct sent_command {
  std::vector<uint8_t> bytes;
  uint32_t at;
};

struct media_bench {
  int log_level = 0;
  uint32_t now = 1000;
  std::vector<sent_command> sent;
  media_client client{[this](std::span<const uint8_t> p) { sent.push_back({{p.begin(), p.end()}, now}); }, log_level};

  void report(const std::vector<uint8_t>& payload) { client.report_payload(payload, now); }
  void items(const std::vector<uint8_t>& bytes, std::size_t chunk = 10) {
    for (const auto& p : item_reports(bytes, chunk)) report(p);
  }
  void step(uint32_t ms = 1) {
    now += ms;
    client.step(now);
  }
  // Steps until the time has moved on by ms.
  void run(uint32_t ms, uint32_t period = 20) {
    for (uint32_t t = 0; t < ms; t += period) step(period);
  }
};

// The units of an enter-folder and a query-item command.
inline std::vector<uint8_t> enter_command(uint32_t id) {
  return {static_cast<uint8_t>(id >> 16), static_cast<uint8_t>(id >> 24), 0xD1, static_cast<uint8_t>(id),
          static_cast<uint8_t>(id >> 8), 0xD2, 2, 0, 0xD0};
}
inline std::vector<uint8_t> query_command(uint16_t index) {
  return {static_cast<uint8_t>(index), static_cast<uint8_t>(index >> 8), 0xD1, 8, 0, 0xD0};
}

}  // namespace vorante::test
