#include "tools/sim/sim_options.h"

#include <cmath>
#include <vector>

#include "app/core/identity.h"
#include "app/core/numbers.h"
#include "app/os/socket_util.h"

namespace vorante::sim {

namespace {

constexpr double max_activity_rate = 1000;  // moves per second; keeps the load bounded

template <class T>
bool read_integer(std::string_view text, T& out, T lo, T hi) {
  const auto v = parse_integer_as<T>(text, lo, hi);
  if (v) out = *v;
  return v.has_value();
}

bool read_real(std::string_view text, double& out, double lo, double hi) {
  const auto v = parse_real(text, lo, hi);
  if (v) out = *v;
  return v.has_value();
}

}  // namespace

bool is_loopback(uint32_t address) { return (address >> 24) == 127; }

std::string sim_usage() {
  return "usage: vorante-sim [OPTION...]\n"
         "       vorante-sim --help | --version\n"
         "  --port N            UDP port of the console (default 8086, 0 = any free port)\n"
         "  --bind ADDR         loopback address to listen on (127.0.0.0/8, default 127.0.0.1)\n"
         "  --name NAME         device name (default \"unnamed\")\n"
         "  --tcp-port N        also serve the datacenter on TCP port N\n"
         "  --local             answer the local-device probe\n"
         "  --serial            open a pseudo-terminal and serve the link on it\n"
         "  --random-values S   start from varied values made from seed S\n"
         "  --meters            animate the meters and the MAIN level\n"
         "  --activity RATE     console-side moves per second\n"
         "  --disk DIR          the u-disk is this directory tree (default: a demo disk)\n"
         "  --password PWD      lock password (default empty)\n"
         "  --seed N            seed of meters, activity and faults (default 1)\n"
         "  --drop P            lose frames with probability P, both ways\n"
         "  --delay MS          send everything MS milliseconds late\n"
         "  --corrupt P         damage one byte of a frame with probability P, both ways\n"
         "  --model CODE        identify with another model code (an incompatible console)\n"
         "  --mute-after S      stop answering after S seconds\n"
         "  --log FILE          write one line per frame received and sent\n"
         "status: 0 stopped (SIGINT, SIGTERM or \"quit\" on standard input), 1 a socket or the\n"
         "serial link could not be opened, 2 usage or an unreadable --disk\n";
}

parse_result parse_sim_args(std::span<const std::string_view> args) {
  parse_result r;
  sim_options& o = r.options;
  o.console.product = identity().product;
  o.console.model = identity().model;
  auto fail = [&](std::string message) {
    r.status = parse_status::error;
    r.message = std::move(message);
    return r;
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view opt = args[i];
    std::optional<std::string_view> inline_value;
    if (const std::size_t eq = opt.find('='); opt.starts_with("--") && eq != std::string_view::npos) {
      inline_value = opt.substr(eq + 1);
      opt = opt.substr(0, eq);
    }
    auto flag = [&]() { return !inline_value.has_value(); };
    std::string_view value;
    auto take = [&]() -> bool {
      if (inline_value) {
        value = *inline_value;
        return true;
      }
      if (i + 1 >= args.size()) return false;
      value = args[++i];
      return true;
    };
    const std::string name(opt);
    auto bad = [&]() { return fail("invalid value '" + std::string(value) + "' for " + name); };

    if (opt == "--help" || opt == "-h") {
      r.status = parse_status::help;
      return r;
    } else if (opt == "--version") {
      r.status = parse_status::version;
      return r;
    } else if (opt == "--local" && flag()) {
      o.console.answer_probe = true;
    } else if (opt == "--serial" && flag()) {
      o.serial = true;
    } else if (opt == "--meters" && flag()) {
      o.console.meters = true;
    } else if (opt == "--local" || opt == "--serial" || opt == "--meters") {
      return fail(name + " takes no value");
    } else if (opt == "--port" || opt == "--tcp-port" || opt == "--bind" || opt == "--name" || opt == "--random-values" ||
               opt == "--activity" || opt == "--disk" || opt == "--password" || opt == "--seed" || opt == "--drop" ||
               opt == "--delay" || opt == "--corrupt" || opt == "--model" || opt == "--mute-after" || opt == "--log") {
      if (!take()) return fail(name + " needs a value");
      if (opt == "--port") {
        const auto port = parse_port(value, port_zero::allowed);
        if (!port) return bad();
        o.port = *port;
      } else if (opt == "--tcp-port") {
        const auto port = parse_port(value, port_zero::allowed);
        if (!port) return bad();
        o.tcp_port = *port;
      } else if (opt == "--bind") {
        uint32_t address = 0;
        if (!parse_ipv4(value, address)) return bad();
        if (!is_loopback(address))
          return fail("--bind takes a loopback address (127.0.0.0/8) only, not '" + std::string(value) + "'");
        o.bind_address = address;
      } else if (opt == "--name") {
        o.console.name = std::string(value.substr(0, max_name_bytes));
      } else if (opt == "--random-values") {
        if (!read_integer<uint32_t>(value, o.console.random_seed, 0, UINT32_MAX)) return bad();
        o.console.random_values = true;
      } else if (opt == "--activity") {
        if (!read_real(value, o.console.activity_rate, 0, max_activity_rate)) return bad();
      } else if (opt == "--disk") {
        o.console.disk_dir = std::string(value);
      } else if (opt == "--password") {
        if (value.size() > password_limit || value.find(' ') != std::string_view::npos) return bad();
        o.console.password = std::string(value);
      } else if (opt == "--seed") {
        if (!read_integer<uint32_t>(value, o.console.seed, 0, UINT32_MAX)) return bad();
        o.faults.seed = o.console.seed;
      } else if (opt == "--drop") {
        if (!read_real(value, o.faults.drop, 0, 1)) return bad();
      } else if (opt == "--corrupt") {
        if (!read_real(value, o.faults.corrupt, 0, 1)) return bad();
      } else if (opt == "--delay") {
        if (!read_integer<uint32_t>(value, o.faults.delay_ms, 0, 60000)) return bad();
      } else if (opt == "--model") {
        if (!read_integer<uint8_t>(value, o.console.model, 0, 0xFF)) return bad();
      } else if (opt == "--mute-after") {
        const auto s = parse_seconds(value);
        if (!s) return bad();
        o.faults.mute_after_ms = static_cast<int64_t>(std::llround(*s * 1000));
      } else if (opt == "--log") {
        if (value.empty()) return bad();
        o.log_path = std::string(value);
      }
    } else {
      return fail("unknown option '" + std::string(args[i]) + "'");
    }
  }
  return r;
}

}  // namespace vorante::sim
