// vorante-sim: plays the console at the other end of the device link, on loopback.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "app/core/program_info.h"
#include "app/os/socket_util.h"
#include "tools/sim/console_model.h"
#include "tools/sim/media_disk.h"
#include "tools/sim/sim_options.h"
#include "tools/sim/sim_server.h"

namespace {

std::atomic<bool> stop_requested{false};

void on_signal(int) { stop_requested.store(true); }

}  // namespace

int main(int argc, char** argv) {
  using namespace vorante;
  using namespace vorante::sim;

  // First of all, so that a stop requested while starting is a clean stop too.
  struct sigaction sa {};
  sa.sa_handler = on_signal;
  ::sigaction(SIGINT, &sa, nullptr);
  ::sigaction(SIGTERM, &sa, nullptr);
  ::signal(SIGPIPE, SIG_IGN);

  // Without a standard input, fd 0 would go to the first socket and be read as commands.
  if (::fcntl(STDIN_FILENO, F_GETFD) == -1) ::open("/dev/null", O_RDONLY);

  std::vector<std::string_view> args(argv + 1, argv + argc);
  const parse_result parsed = parse_sim_args(args);
  if (parsed.status == parse_status::help) {
    std::fputs((sim_usage() + docs_line()).c_str(), stdout);
    return 0;
  }
  if (parsed.status == parse_status::version) {
    std::fputs(version_line("vorante-sim").c_str(), stdout);
    return 0;
  }
  if (parsed.status == parse_status::error) {
    std::fprintf(stderr, "vorante-sim: %s\n%s", parsed.message.c_str(), sim_usage().c_str());
    return 2;
  }
  const sim_options& options = parsed.options;

  console_model model(options.console);
  if (!options.console.disk_dir.empty()) {
    std::string error;
    std::optional<media_disk> disk = media_disk::from_directory(options.console.disk_dir, error);
    if (!disk) {
      std::fprintf(stderr, "vorante-sim: --disk: %s\n", error.c_str());
      return 2;
    }
    model.replace_disk(std::move(*disk), 0);
  }

  sim_server server(options, model);
  std::string error;
  if (!server.open(error)) {
    std::fprintf(stderr, "vorante-sim: %s\n", error.c_str());
    return 1;
  }

  // What tests and scripts wait for, one fact per line.
  std::printf("console \"%s\" product 0x%04X model 0x%02X\n", model.config().device_name.c_str(),
              options.console.product, options.console.model);
  std::printf("udp %s:%u\n", ipv4_text(options.bind_address).c_str(), server.udp_port());
  if (options.tcp_port) std::printf("tcp %s:%u\n", ipv4_text(options.bind_address).c_str(), server.tcp_port());
  if (options.serial) std::printf("serial %s\n", server.serial_path().c_str());
  std::printf("ready\n");
  std::fflush(stdout);

  server.run(stop_requested);
  return 0;
}
