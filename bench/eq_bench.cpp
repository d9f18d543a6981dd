// EQ graph refresh cost on a 300-column plot: what one dragged band costs per tick (target:
// at most 50 microseconds), and what a full recompute after a resize costs.
#include <benchmark/benchmark.h>

#include "ui/foundation/eq_math.h"

using namespace vorante;

namespace {

constexpr int columns = 300;
constexpr int plot_height = 120;

// An input channel's graph as the editor shows it: 48 dB filters and seven bands.
eq_response channel_graph() {
  eq_response r(columns);
  r.add_highpass(80, 26);
  r.add_lowpass(16000, 27);
  r.spread_bands(7);
  r.compute_dirty();
  r.sum_rows(plot_height, -12, 12);
  return r;
}

void one_band_moved(benchmark::State& state) {
  eq_response r = channel_graph();
  double gain = 0;
  for (auto _ : state) {
    gain = gain >= 12 ? -12 : gain + 0.5;
    r.band(3)->set_gain(gain);
    r.compute_dirty();
    r.sum_rows(plot_height, -12, 12);
    benchmark::DoNotOptimize(r.rows().data());
  }
}
BENCHMARK(one_band_moved)->Unit(benchmark::kMicrosecond);

// The slowest single curve: a four-section cascade.
void steepest_filter_moved(benchmark::State& state) {
  eq_response r = channel_graph();
  double hz = 80;
  for (auto _ : state) {
    hz = hz >= 400 ? 80 : hz + 1;
    r.highpass()->set_frequency(hz);
    r.compute_dirty();
    r.sum_rows(plot_height, -12, 12);
    benchmark::DoNotOptimize(r.rows().data());
  }
}
BENCHMARK(steepest_filter_moved)->Unit(benchmark::kMicrosecond);

void full_recompute(benchmark::State& state) {
  eq_response r = channel_graph();
  for (auto _ : state) {
    r.set_points(columns);  // new grid, every curve dirty
    r.compute_dirty();
    r.sum_rows(plot_height, -12, 12);
    benchmark::DoNotOptimize(r.rows().data());
  }
}
BENCHMARK(full_recompute)->Unit(benchmark::kMicrosecond);

}  // namespace
