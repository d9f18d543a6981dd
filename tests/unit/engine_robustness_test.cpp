// Malformed and hostile input on the link: nothing crashes or hangs, and values change
// only where a well-formed frame says so.
#include <gtest/gtest.h>

#include <random>

#include "app/core/log.h"
#include "app/protocol/messages.h"
#include "tests/support/engine_fixture.h"

namespace vorante {
namespace {

struct quiet_log {
  quiet_log() { set_log_stream(nullptr); }
  ~quiet_log() { set_log_stream(stdout); }
};

struct session_fixture : quiet_log, test::session_rig {
  void run(int steps) { session_rig::run(steps, 7); }
};

TEST(engine_robustness, ids_beyond_the_store_change_nothing) {
  session_fixture f;
  const auto before = f.session.store.values();
  const id_value pairs[] = {{3518, 1}, {0xFFFF, 2}, {4000, 3}, {70, 9}};
  f.deliver(make_param_values(pairs).view());
  f.deliver(make_param_change(pairs).view());
  f.deliver(make_write_confirmation(pairs).view());
  f.run(3);
  auto after = f.session.store.values();
  EXPECT_EQ(after[70], 9);
  after[70] = before[70];
  EXPECT_EQ(after, before);
  EXPECT_TRUE(f.session.store.dirty().empty());
}

TEST(engine_robustness, short_frames_are_ignored) {
  session_fixture f;
  const auto before = f.session.store.values();
  const uint8_t one_byte[] = {0x01};
  const uint8_t seven[] = {0x00, 0x46};
  for (uint8_t code : {0, 1, 3, 4, 6, 16, 37, 46, 47, 56, 57, 58, 70, 90, 91, 92, 93, 94, 96, 99, 106, 107, 113}) {
    f.deliver(make_frame(code, {}).view());
    f.deliver(make_frame(code, one_byte).view());
    f.deliver(make_frame(code, seven).view());
  }
  f.run(10);
  EXPECT_EQ(f.session.store.values(), before);
  EXPECT_FALSE(f.session.engine.supervision().incompatible());
}

// Streams of valid frames of every known code with random payloads, then mutated: bit
// flips, cuts and garbage between them. Run under the sanitizers in CI.
TEST(engine_robustness, random_and_mutated_streams) {
  std::mt19937 rng(20261209);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int stream = 0; stream < 300; ++stream) {
    session_fixture f;
    f.session.store.full_resync();
    f.session.engine.scenes().request_call(1 + stream % 16);
    std::vector<uint8_t> wire;
    const int frames = 1 + stream % 12;
    for (int i = 0; i < frames; ++i) {
      std::vector<uint8_t> payload(static_cast<std::size_t>(byte(rng) % 252));
      for (auto& b : payload) b = static_cast<uint8_t>(byte(rng));
      const auto code = code_byte(known_message_codes[static_cast<std::size_t>(byte(rng)) % known_message_codes.size()]);
      const frame_bytes fb = make_frame(code, payload);
      wire.insert(wire.end(), fb.data(), fb.data() + fb.size());
      if (byte(rng) < 40) wire.push_back(static_cast<uint8_t>(byte(rng)));
    }
    const int mutations = stream % 5;
    for (int m = 0; m < mutations && !wire.empty(); ++m) {
      const std::size_t at = static_cast<std::size_t>(byte(rng)) * wire.size() / 256;
      switch (byte(rng) % 3) {
        case 0: wire[at] ^= static_cast<uint8_t>(1 << (byte(rng) % 8)); break;
        case 1: wire.resize(at); break;
        default: wire.insert(wire.begin() + static_cast<std::ptrdiff_t>(at), 0x80); break;
      }
    }
    f.deliver(wire);
    f.run(static_cast<int>(wire.size() / 320) + 10);
    EXPECT_LE(f.session.store.dirty().count(), static_cast<std::size_t>(param_count));
    // An incompatible console drops the link (and its transport) for good.
    EXPECT_TRUE(f.session.engine.supervision().incompatible() || f.link->inbound.empty()) << stream;
  }
}

TEST(engine_robustness, a_flood_larger_than_the_ring_is_survived) {
  session_fixture f;
  std::vector<uint8_t> wire(64 * 1024, 0x80);
  f.deliver(wire);
  f.run(static_cast<int>(wire.size() / 320) + 5);
  EXPECT_TRUE(f.link->inbound.empty());
  // The link still works afterwards.
  const id_value p{100, 5};
  f.deliver(make_param_values({&p, 1}).view());
  f.run(2);
  EXPECT_EQ(f.session.store.get(100), 5);
}

}  // namespace
}  // namespace vorante
