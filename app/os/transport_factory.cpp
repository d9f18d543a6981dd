#include "app/os/transport_factory.h"

#include "app/os/no_transport.h"
#include "app/os/serial_transport.h"

namespace vorante {

namespace {

// Stays at address 0, so a UDP link opened without a target sends and takes nothing.
console_target& unset_console() {
  static console_target target;
  return target;
}

}  // namespace

std::unique_ptr<transport> make_transport(const runtime_options& options, wake_fn wake,
                                          const link_endpoints& endpoints) {
  const clock_fn clock = endpoints.clock ? endpoints.clock : clock_fn(steady_clock_ms);
  switch (options.link_mode) {
    case link_serial:
      if (auto serial = open_serial_transport(options, std::move(wake), clock)) return serial;
      break;
    case link_udp: {
      console_target& target = endpoints.console != nullptr ? *endpoints.console : unset_console();
      return std::make_unique<udp_transport>(
          target, std::move(wake),
          udp_settings{options.print_sent, options.print_received, endpoints.udp_bind_address,
                       endpoints.udp_bind_port, clock, endpoints.udp_receive_thread});
    }
    case link_tcp:
      return std::make_unique<tcp_transport>(
          clock(), tcp_settings{endpoints.datacenter_port, options.print_sent,
                                options.print_received, clock});
    default:
      break;
  }
  return std::make_unique<no_transport>(options.print_sent, clock);
}

}  // namespace vorante
