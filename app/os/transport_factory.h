// Opens the transport of a link mode.
#pragma once

#include <cstdint>
#include <memory>

#include "app/core/options.h"
#include "app/os/link_dump.h"
#include "app/os/tcp_transport.h"
#include "app/os/udp_transport.h"
#include "app/protocol/transport.h"

namespace vorante {

// What tests and the simulator change; the defaults are the program's.
struct link_endpoints {
  // Mode 2: the console to talk to. Must outlive the transport; when null, the transport
  // talks to a console target of the factory's own that nobody can set.
  console_target* console = nullptr;
  uint32_t udp_bind_address = 0;  // 0: the first send binds the socket
  uint16_t udp_bind_port = 0;
  bool udp_receive_thread = true;  // false: the caller takes datagrams itself (udp_settings)
  // Mode 3: the parameter service on this machine.
  uint16_t datacenter_port = default_datacenter_port;
  // Dump stamps and the start of the first TCP attempt; the steady clock when empty.
  clock_fn clock = {};
};

// Mode 1 serial, 2 UDP, 3 TCP, anything else none. A serial port that cannot be opened
// leaves the program without a link: the result is then a transport that drops everything.
std::unique_ptr<transport> make_transport(const runtime_options& options, wake_fn wake,
                                          const link_endpoints& endpoints = {});

}  // namespace vorante
