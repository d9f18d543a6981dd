// Feeds arbitrary bytes to the synchronisation engine as a transport would deliver them:
// every frame the parser finds is handled, and the store must stay consistent.
#include <cstddef>
#include <cstdint>

#include "app/core/log.h"
#include "app/protocol/memory_transport.h"
#include "app/protocol/session.h"

namespace {

using namespace vorante;

void require(bool ok) {
  if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  set_log_stream(nullptr);
  runtime_options options;
  // The first byte picks the link mode and surface options, so every branch is reachable.
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
  // 320 bytes per step at most: enough steps to drain every input, and a few more for
  // the paced senders.
  for (std::size_t steps = 0; steps < size / 320 + 8; ++steps) {
    session.engine.step(now);
    now += 7;
    if (session.engine.link() == nullptr) break;  // an incompatible console ends the link
  }
  require(session.store.dirty().count() <= static_cast<std::size_t>(param_count));
  require(session.store.requests().count() <= static_cast<std::size_t>(param_count));
  return 0;
}
