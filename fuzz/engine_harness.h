// Drives one link session with arbitrary received bytes, as the fuzz target and the
// corpus replay test both do. The first byte picks link mode and surface options so that
// every branch of the frame handling is reachable.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/core/log.h"
#include "app/protocol/memory_transport.h"
#include "app/protocol/session.h"

namespace vorante {

struct harness_result {
  bool consistent = true;
};

inline harness_result run_engine_harness(const uint8_t* data, std::size_t size) {
  runtime_options options;
  if (size > 0) {
    options.link_mode = (data[0] & 1) ? link_serial : link_udp;
    options.surface_takeover = (data[0] & 2) != 0;
    options.local_device = (data[0] & 4) != 0;
    ++data;
    --size;
  }
  link_session session(options);
  memory_transport* link = nullptr;
  session.engine.set_transport_factory([&] {
    auto t = std::make_unique<memory_transport>();
    link = t.get();
    return t;
  });
  session.engine.open_link();
  session.engine.enable();
  session.store.full_resync();
  session.engine.request_scene_call(3);
  link->deliver(data, size);
  uint32_t now = 0;
  // At most 320 bytes move per step: enough steps to drain every input, and a few more
  // for the paced senders.
  for (std::size_t steps = 0; steps < size / 320 + 8; ++steps) {
    session.engine.step(now);
    now += 7;
    if (session.engine.link() == nullptr) break;  // an incompatible console ends the link
  }
  harness_result r;
  r.consistent = session.store.dirty().count() <= static_cast<std::size_t>(param_count) &&
                 session.store.requests().count() <= static_cast<std::size_t>(param_count) &&
                 (session.engine.link() == nullptr || link->inbound.empty());
  return r;
}

}  // namespace vorante
