// EQ graph refresh cost on a 300-column plot: what one dragged band costs per tick (target:
// at most 50 microseconds), and what a full recompute after a resize costs; the same for
// the 15-band graphic EQ of an output bus.
#include <benchmark/benchmark.h>

#include <cmath>

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

// Runs `change` on the graph, then the refresh a tick makes, once per iteration.
template <typename Change>
void measure(benchmark::State& state, eq_response r, Change change) {
  for (auto _ : state) {
    change(r);
    r.compute_dirty();
    r.sum_rows(plot_height, -12, 12);
    benchmark::DoNotOptimize(r.rows().data());
  }
}

// A band's gain swept back and forth by half a dB.
auto gain_sweep(int band) {
  return [band, gain = 0.0](eq_response& r) mutable {
    gain = gain >= 12 ? -12 : gain + 0.5;
    r.band(band)->set_gain(gain);
  };
}

void new_grid(eq_response& r) { r.set_points(columns); }  // every curve dirty

void one_band_moved(benchmark::State& state) { measure(state, channel_graph(), gain_sweep(3)); }
BENCHMARK(one_band_moved)->Unit(benchmark::kMicrosecond);

// The slowest single curve: a four-section cascade.
void steepest_filter_moved(benchmark::State& state) {
  measure(state, channel_graph(), [hz = 80.0](eq_response& r) mutable {
    hz = hz >= 400 ? 80 : hz + 1;
    r.highpass()->set_frequency(hz);
  });
}
BENCHMARK(steepest_filter_moved)->Unit(benchmark::kMicrosecond);

void full_recompute(benchmark::State& state) { measure(state, channel_graph(), new_grid); }
BENCHMARK(full_recompute)->Unit(benchmark::kMicrosecond);

// The graphic EQ: fifteen peaking bands two thirds of an octave apart, 25 Hz to 16 kHz.
eq_response graphic_graph() {
  constexpr int bands = 15;
  constexpr double first_hz = 25;
  constexpr double q = 2.1;
  eq_response r(columns);
  for (int b = 0; b < bands; ++b) r.add_band(first_hz * std::pow(2.0, 2.0 * b / 3.0), 0, q);
  r.compute_dirty();
  r.sum_rows(plot_height, -12, 12);
  return r;
}

void graphic_band_moved(benchmark::State& state) { measure(state, graphic_graph(), gain_sweep(6)); }
BENCHMARK(graphic_band_moved)->Unit(benchmark::kMicrosecond);

// Every one of the fifteen bands changed at once on the same grid, as a scene recall does.
void graphic_all_bands_changed(benchmark::State& state) {
  measure(state, graphic_graph(), [gain = 0.0](eq_response& r) mutable {
    gain = gain >= 12 ? -12 : gain + 0.5;
    for (int b = 0; b < r.band_count(); ++b) r.band(b)->set_gain(gain);
  });
}
BENCHMARK(graphic_all_bands_changed)->Unit(benchmark::kMicrosecond);

// All fifteen bands recomputed on a new grid, as after a resize.
void graphic_full_recompute(benchmark::State& state) { measure(state, graphic_graph(), new_grid); }
BENCHMARK(graphic_full_recompute)->Unit(benchmark::kMicrosecond);

}  // namespace
