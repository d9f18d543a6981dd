// A full read of all parameters two ways against one simulator started here: a bare
// request/reply loop (one read of up to 60 IDs, wait for its reply, the next) and
// `vorante-cli dump`, round after round in turn so both see the same machine. Prints the
// median of each, their ratio, and the median of the ratios round by round (the two runs
// of one round see the same load, which a shared machine changes from round to round);
// the client's figure is the one it prints itself.
// Usage: link_bench [ROUNDS] [CLIENT]   (default 15 rounds, the vorante-cli of this build;
// another client binary compares an older build in the same run)
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/os/socket_util.h"
#include "app/params/ids.h"
#include "app/protocol/frame.h"
#include "app/protocol/messages.h"
#include "tests/e2e/sim_process.h"

namespace {

using namespace vorante;
using clock_type = std::chrono::steady_clock;

// One full read; negative when a reply did not come within a second.
double bare_read_ms(int fd) {
  std::array<uint16_t, max_list_entries> ids{};
  std::array<uint8_t, 1500> reply{};
  const auto t0 = clock_type::now();
  for (int first = 0; first < param_count; first += static_cast<int>(max_list_entries)) {
    const int n = std::min<int>(max_list_entries, param_count - first);
    for (int i = 0; i < n; ++i) ids[i] = static_cast<uint16_t>(first + i);
    const frame_bytes request = make_read_params({ids.data(), static_cast<std::size_t>(n)});
    if (::send(fd, request.data(), request.size(), 0) < 0) return -1;
    for (;;) {
      pollfd p{fd, POLLIN, 0};
      if (::poll(&p, 1, 1000) <= 0) return -1;
      const ssize_t got = ::recv(fd, reply.data(), reply.size(), 0);
      if (got >= static_cast<ssize_t>(min_frame_size) &&
          frame_code({reply.data(), static_cast<std::size_t>(got)}) == code_byte(message_code::read_params))
        break;
    }
  }
  return std::chrono::duration<double, std::milli>(clock_type::now() - t0).count();
}

// The figure of "read 3518 parameters in 3.2 ms"; negative when the dump failed.
double dump_ms(const std::string& client, const std::string& console) {
  const test::process_result r = test::run_process({client, "--console", console, "dump"});
  const auto at = r.err.find(" parameters in ");
  if (r.status != 0 || at == std::string::npos) return -1;
  return std::strtod(r.err.c_str() + at + 15, nullptr);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const std::string client = argc > 2 ? argv[2] : VORANTE_CLI_PATH;
  test::sim_process sim({});
  if (!sim.ready()) {
    std::fprintf(stderr, "link_bench: the simulator did not start\n");
    return 1;
  }
  unique_fd fd = open_udp_socket(0x7F000001, 0);
  const sockaddr_in console = make_sockaddr(0x7F000001, sim.udp_port());
  if (!fd.valid() || ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&console), sizeof console) != 0) {
    std::fprintf(stderr, "link_bench: no socket\n");
    return 1;
  }
  std::vector<double> bare, dump, ratios;
  for (int round = 0; round < rounds; ++round) {
    const double b = bare_read_ms(fd.get());
    const double d = dump_ms(client, sim.console());
    if (b < 0 || d < 0) {
      std::fprintf(stderr, "link_bench: round %d failed (bare %.1f, dump %.1f)\n", round, b, d);
      return 1;
    }
    bare.push_back(b);
    dump.push_back(d);
    ratios.push_back(d / b);
    std::printf("round %2d: bare loop %6.2f ms, dump %6.1f ms\n", round, b, d);
  }
  const double mb = median(bare), md = median(dump);
  std::printf("median of %d: bare loop %.2f ms, dump %.1f ms, ratio %.2f (median ratio per round %.2f)\n",
              rounds, mb, md, md / mb, median(ratios));
  return 0;
}
