// How many frames the console simulator answers per second: the model alone, and whole
// round trips through the server over loopback UDP.
#include <benchmark/benchmark.h>

#include <poll.h>
#include <sys/socket.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "app/os/socket_util.h"
#include "app/protocol/messages.h"
#include "tools/sim/console_model.h"
#include "tools/sim/sim_server.h"

namespace {

using namespace vorante;
using namespace vorante::sim;

// A full-read request: 60 IDs.
frame_bytes read_request(uint16_t first) {
  std::array<uint16_t, max_list_entries> ids{};
  for (std::size_t i = 0; i < ids.size(); ++i) ids[i] = static_cast<uint16_t>((first + i) % param_count);
  return make_read_params(ids);
}

// What a connected program sends: reads, writes, the heartbeat, queries, echoes.
std::vector<frame_bytes> traffic_mix() {
  std::vector<frame_bytes> mix;
  for (uint16_t first = 0; first < param_count; first += 60) mix.push_back(read_request(first));
  const std::array<id_value, 3> writes{{{76, 1000}, {138, 900}, {2548, 1200}}};
  mix.push_back(make_write_params(writes));
  std::array<uint16_t, 14> heartbeat{};
  for (std::size_t i = 0; i < heartbeat.size(); ++i) heartbeat[i] = static_cast<uint16_t>(3178 + i);
  mix.push_back(make_read_params(heartbeat));
  mix.push_back(make_identify());
  mix.push_back(make_config_query("DEVNAME=\nFW_VER=\nFW_BUILD="));
  mix.push_back(make_scene_name_request(3));
  mix.push_back(make_scene_values_read(2, 60, 600));
  return mix;
}

void model_full_reads(benchmark::State& state) {
  console_model model({});
  const frame_bytes request = read_request(1200);
  frame_list out;
  for (auto _ : state) {
    out.clear();
    model.handle(request.view(), 0, out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(model_full_reads);

void model_traffic_mix(benchmark::State& state) {
  console_model model({});
  const std::vector<frame_bytes> mix = traffic_mix();
  frame_list out;
  std::size_t i = 0;
  uint32_t now = 0;
  for (auto _ : state) {
    out.clear();
    model.handle(mix[i].view(), now, out);
    if (++i == mix.size()) {
      i = 0;
      model.tick(now += 10, out);
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(model_traffic_mix);

// The server on its own thread; the client sends `window` requests, then takes the
// answers. Window 1 is strict request/answer; larger windows keep the socket busy as the
// program's full read does.
void udp_round_trips(benchmark::State& state) {
  const int window = static_cast<int>(state.range(0));
  sim_options options;
  options.port = 0;
  options.read_commands = false;
  console_model model(options.console);
  sim_server server(options, model);
  std::string error;
  if (!server.open(error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  std::atomic<bool> stop{false};
  std::thread serving([&] { server.run(stop); });

  unique_fd client = open_udp_socket(loopback_address, 0);
  const sockaddr_in to = make_sockaddr(loopback_address, server.udp_port());
  const frame_bytes request = read_request(300);
  std::array<uint8_t, 512> reply{};
  int64_t answered = 0;
  for (auto _ : state) {
    for (int k = 0; k < window; ++k)
      ::sendto(client.get(), request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    for (int k = 0; k < window; ++k) {
      pollfd p{client.get(), POLLIN, 0};
      if (::poll(&p, 1, 1000) <= 0) break;  // lost on the way: counted as not answered
      if (::recv(client.get(), reply.data(), reply.size(), 0) > 0) ++answered;
    }
  }
  stop = true;
  serving.join();
  state.SetItemsProcessed(answered);
}
BENCHMARK(udp_round_trips)->Arg(1)->Arg(16)->UseRealTime();

}  // namespace
