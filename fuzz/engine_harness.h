// Drives one link session with arbitrary received bytes, as the fuzz target and the
// corpus replay test both do. The first byte picks link mode and surface options so that
// every branch of the frame handling is reachable.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/core/log.h"
#include "tests/support/engine_fixture.h"

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
  test::session_rig rig(options);
  link_session& session = rig.session;
  session.store.full_resync();
  session.engine.scenes().request_call(3);
  rig.link->deliver(data, size);
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
                 (session.engine.link() == nullptr || rig.link->inbound.empty());
  return r;
}

}  // namespace vorante
