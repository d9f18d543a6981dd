// Frame parser throughput over a stream of valid frames, and the cost of building the
// largest parameter write.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "app/protocol/frame.h"
#include "app/protocol/messages.h"
#include "app/protocol/transport.h"

namespace {

using namespace vorante;

// A mix like a full read: 60-pair value replies with short acknowledgements between them.
std::vector<uint8_t> frame_stream() {
  std::vector<uint8_t> stream;
  std::array<id_value, max_list_entries> pairs{};
  for (uint16_t round = 0; round < 16; ++round) {
    for (std::size_t i = 0; i < pairs.size(); ++i)
      pairs[i] = {static_cast<uint16_t>(round * 60 + i), static_cast<uint16_t>(i * 977)};
    for (const frame_bytes& f : {make_param_values(pairs), make_call_scene_done(1), make_probe_answer()})
      stream.insert(stream.end(), f.data(), f.data() + f.size());
  }
  return stream;
}

void parse_valid_frames(benchmark::State& state, parse_mode mode) {
  const std::vector<uint8_t> stream = frame_stream();
  engine_ring ring;
  std::array<uint8_t, max_frame_size> out{};
  std::size_t at = 0;
  int64_t parsed = 0;
  for (auto _ : state) {
    // Refill as the ring drains, in the transport's chunk size.
    while (ring.free_space() >= max_poll_bytes) {
      const std::size_t n = std::min(max_poll_bytes, stream.size() - at);
      ring.write(stream.data() + at, n);
      at = (at + n) % stream.size();
    }
    const int r = parse_frame(ring, out.data(), out.size(), mode);
    benchmark::DoNotOptimize(out.data());
    if (r > 0) parsed += r;
  }
  state.SetBytesProcessed(parsed);
}

void bm_parse_strict(benchmark::State& state) { parse_valid_frames(state, parse_mode::strict); }
void bm_parse_scanning(benchmark::State& state) { parse_valid_frames(state, parse_mode::scanning); }

void bm_build_write_60_pairs(benchmark::State& state) {
  std::array<id_value, max_list_entries> pairs{};
  for (std::size_t i = 0; i < pairs.size(); ++i)
    pairs[i] = {static_cast<uint16_t>(64 + i), static_cast<uint16_t>(i * 131)};
  for (auto _ : state) {
    frame_bytes f = make_write_params(pairs);
    benchmark::DoNotOptimize(f);
  }
  state.SetBytesProcessed(state.iterations() * 245);
}

// The engine's way: pairs written into the frame buffer at offset 3, framed in place.
void bm_build_frame_in_place(benchmark::State& state) {
  std::array<uint8_t, max_frame_size> buf{};
  for (std::size_t i = 0; i < max_list_entries; ++i) {
    put_be16(buf.data() + 3 + i * 4, static_cast<uint16_t>(64 + i));
    put_be16(buf.data() + 5 + i * 4, static_cast<uint16_t>(i * 131));
  }
  for (auto _ : state) {
    const std::size_t n = build_frame(buf.data(), buf.size(), 0x03, buf.data() + 3, max_list_entries * pair_size);
    benchmark::DoNotOptimize(n);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * 245);
}

}  // namespace

BENCHMARK(bm_parse_strict);
BENCHMARK(bm_parse_scanning);
BENCHMARK(bm_build_write_60_pairs);
BENCHMARK(bm_build_frame_in_place);
