// Small readers over the frames the simulated console answers with.
#pragma once

#include <string>
#include <vector>

#include "app/protocol/frame.h"
#include "app/protocol/messages.h"
#include "tools/sim/console_model.h"

namespace vorante::sim::test {

inline std::vector<id_value> pairs_of(const frame_bytes& f) {
  std::vector<id_value> out;
  for (const id_value p : pair_list(frame_payload(f.view()))) out.push_back(p);
  return out;
}

inline std::vector<uint8_t> payload_of(const frame_bytes& f) {
  const auto p = frame_payload(f.view());
  return {p.begin(), p.end()};
}

inline std::string text_of(const frame_bytes& f) {
  const auto p = frame_payload(f.view());
  return {reinterpret_cast<const char*>(p.data()), p.size()};
}

inline frame_list with_code(const frame_list& frames, message_code code) {
  frame_list out;
  for (const frame_bytes& f : frames)
    if (frame_code(f.view()) == code_byte(code)) out.push_back(f);
  return out;
}

// Every pair of every frame with this code, in order.
inline std::vector<id_value> all_pairs(const frame_list& frames, message_code code) {
  std::vector<id_value> out;
  for (const frame_bytes& f : with_code(frames, code))
    for (const id_value& p : pairs_of(f)) out.push_back(p);
  return out;
}

inline bool same_bytes(const frame_bytes& a, const frame_bytes& b) {
  return a.size() == b.size() && std::equal(a.data(), a.data() + a.size(), b.data());
}

}  // namespace vorante::sim::test
