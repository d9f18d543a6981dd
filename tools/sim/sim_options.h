// The simulator's command line.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tools/sim/console_model.h"
#include "tools/sim/faults.h"

namespace vorante::sim {

constexpr uint16_t default_sim_port = 8086;

struct sim_options {
  uint32_t bind_address = 0x7F000001;  // 127.0.0.1
  uint16_t port = default_sim_port;    // 0: any free port (printed at start)
  std::optional<uint16_t> tcp_port;    // the datacenter service; off unless given
  bool serial = false;
  std::string log_path;
  bool read_commands = true;           // the line commands on standard input
  console_settings console;
  fault_settings faults;
};

enum class parse_status { run, help, version, error };

struct parse_result {
  parse_status status = parse_status::run;
  sim_options options;
  std::string message;  // the reason of an error
};

// Arguments without the program name. Accepts "--opt value" and "--opt=value".
parse_result parse_sim_args(std::span<const std::string_view> args);
std::string sim_usage();

// 127.0.0.0/8 only: the simulator must never be reachable from, or send to, another host.
bool is_loopback(uint32_t address);

}  // namespace vorante::sim
