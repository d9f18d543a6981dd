// The engine's per-step cost when nothing is pending, and the cost of taking in a full
// frame of 60 received values.
#include <benchmark/benchmark.h>

#include "app/core/log.h"
#include "app/protocol/messages.h"
#include "tests/support/engine_fixture.h"

namespace vorante {
namespace {

struct quiet_log {
  quiet_log() { set_log_stream(nullptr); }
};

struct bench_session : quiet_log, test::session_rig {};

void engine_step_nothing_pending(benchmark::State& state) {
  bench_session b;
  uint32_t now = 0;
  for (auto _ : state) {
    b.session.engine.step(now);
    now += 20;  // every step also runs the paced senders
  }
}
BENCHMARK(engine_step_nothing_pending);

void engine_step_with_sixty_values(benchmark::State& state) {
  bench_session b;
  std::vector<id_value> pairs;
  for (uint16_t i = 0; i < 60; ++i) pairs.push_back({static_cast<uint16_t>(1000 + i), i});
  const frame_bytes frame = make_param_values(pairs);
  uint32_t now = 0;
  for (auto _ : state) {
    b.link.deliver(frame);
    b.session.engine.step(now);
    now += 1;
    b.link->sent.clear();
  }
  state.SetItemsProcessed(state.iterations() * 60);
}
BENCHMARK(engine_step_with_sixty_values);

}  // namespace
}  // namespace vorante
