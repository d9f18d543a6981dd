// Feeds arbitrary bytes to the simulated console the way its sockets do: every frame the
// parser finds is handled, and time moves on between them.
#include <array>
#include <cstddef>
#include <cstdint>

#include "app/protocol/frame.h"
#include "app/protocol/rings.h"
#include "tools/sim/console_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace vorante;
  static sim::console_model model([] {
    sim::console_settings settings;
    settings.meters = true;
    settings.activity_rate = 5;
    return settings;
  }());
  static uint32_t now = 0;
  engine_ring ring;
  std::array<uint8_t, max_frame_size> frame{};
  std::size_t at = 0;
  while (at < size) {
    const std::size_t chunk = std::min<std::size_t>(size - at, 512);
    ring.write(data + at, std::min(chunk, ring.free_space()));
    at += chunk;
    for (int n; (n = parse_frame(ring, frame.data(), frame.size(), parse_mode::strict)) != 0;) {
      if (n > 0) model.handle({frame.data(), static_cast<std::size_t>(n)}, now);
    }
    ring.clear();
    model.tick(now += 37);
  }
  return 0;
}
