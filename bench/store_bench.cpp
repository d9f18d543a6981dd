// Costs of the parameter store's hot paths: scanning the pending sets, queuing a full
// read, a tick pass over a full set and a stereo-linked fader write.
#include <benchmark/benchmark.h>

#include "app/params/channel_state.h"
#include "app/params/store.h"

namespace vorante {
namespace {

struct bench_store {
  runtime_options options;
  param_store store{options};
  bench_store() { store.load_defaults(); }
};

void empty_pending_scan(benchmark::State& state) {
  bench_store b;
  auto& set = b.store.dirty();
  for (auto _ : state) {
    set.set_pending(true);
    auto r = set.pass(60, [](unsigned id) { benchmark::DoNotOptimize(id); });
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(empty_pending_scan);

void request_all(benchmark::State& state) {
  bench_store b;
  for (auto _ : state) {
    b.store.request_all();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(request_all);

// One tick pass over all 3518 queued entries, without the 60-entry limit of a sender.
void full_tick_pass(benchmark::State& state) {
  bench_store b;
  auto& set = b.store.requests();
  for (auto _ : state) {
    state.PauseTiming();
    b.store.request_all();
    state.ResumeTiming();
    auto r = set.pass(param_count, [](unsigned id) { benchmark::DoNotOptimize(id); });
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(full_tick_pass);

// A sender's pass with its 60-entry limit over 3518 queued entries.
void sender_pass_of_full_set(benchmark::State& state) {
  bench_store b;
  b.store.request_all();
  auto& set = b.store.requests();
  for (auto _ : state) {
    auto r = set.pass(60, [](unsigned id) { benchmark::DoNotOptimize(id); });
    benchmark::DoNotOptimize(r);
    if (!set.pending()) b.store.request_all();
  }
}
BENCHMARK(sender_pass_of_full_set);

void linked_set_of_linked_input_fader(benchmark::State& state) {
  bench_store b;
  set_stereo_bit(b.store, kind_input, 4, true);
  const unsigned id = param_id(kind_input, 4, code_fader);
  uint16_t v = 0;
  for (auto _ : state) {
    b.store.linked_set(id, v);
    v = static_cast<uint16_t>((v + 1) % 1300);
  }
}
BENCHMARK(linked_set_of_linked_input_fader);

}  // namespace
}  // namespace vorante
