// vorante-cli: the link side of the control surface on the command line, for scripts and
// tests. It talks to a console (or the simulator) with the same store and engine as the
// desktop program.
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <bitset>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "app/core/identity.h"
#include "app/core/log.h"
#include "app/core/numbers.h"
#include "app/core/program_info.h"
#include "app/os/discovery.h"
#include "app/os/link_dump.h"
#include "app/os/serial_transport.h"
#include "app/os/socket_util.h"
#include "app/os/tcp_transport.h"
#include "app/os/udp_transport.h"
#include "app/os/wake_event.h"
#include "app/os/transport_factory.h"
#include "app/protocol/session.h"
#include "app/os/safe_file.h"
#include "app/scenes/scene_diff.h"
#include "app/scenes/scene_exchange.h"

namespace vorante {
namespace {

enum exit_status : int {
  exit_done = 0,
  exit_no_answer = 1,
  exit_usage = 2,
  exit_not_acknowledged = 3,
  exit_incompatible = 4,
  exit_file_refused = 5,
};

constexpr const char* usage_text =
    "usage: vorante-cli [--console ADDR[:PORT]] [--tcp[=PORT]] [--serial DEVICE[@BAUD]] [--timeout S] COMMAND\n"
    "       vorante-cli --help | --version\n"
    "  --console ADDR[:PORT]   the console over UDP (port 8086 unless given)\n"
    "  --tcp[=PORT]            the parameter service on 127.0.0.1 (port 8087 unless given)\n"
    "  --serial DEVICE[@BAUD]  the console on a serial port (128000 baud unless given)\n"
    "  --timeout S             how long to wait for the console (default 5 seconds)\n"
    "commands:\n"
    "  discover                \"ADDR NAME\" for each console that answers\n"
    "  dump                    read all 3518 parameters: \"ID VALUE\" per line\n"
    "  get ID...               \"ID VALUE\" per line\n"
    "  set ID=VALUE...         write through the linked set and wait for the acknowledgements\n"
    "  watch [--for S]         \"ID VALUE\" for every change the console pushes\n"
    "  call N, save N          recall or store scene N (1..16) and wait for the console's confirmation\n"
    "  scene-export N FILE     copy scene N (1..16) of the console into the scene file FILE\n"
    "  scene-import FILE N     copy the scene file FILE into scene N (1..16) of the console\n"
    "  stats [ID=VALUE...]     dump, then write the assignments, then print the link's counters\n"
    "  scene-diff N            what a recall of scene N (1..16) would change, one line per\n"
    "                          parameter: \"ID<TAB>channel<TAB>parameter<TAB>live<TAB>scene\"\n"
    "status: 0 done, 1 the console did not answer in time, 2 usage, 3 a write was not\n"
    "acknowledged, 4 the console is not a VORANTE9M, 5 the file was refused\n";

constexpr int max_baud_rate = 4000000;

int usage_error(const char* format, const char* what) {
  std::fprintf(stderr, format, what);
  std::fputs(usage_text, stderr);
  return exit_usage;
}

struct cli_args {
  std::optional<uint32_t> console_address;
  uint16_t console_port = default_console_port;
  bool port_given = false;
  bool tcp = false;
  uint16_t tcp_port = default_datacenter_port;
  std::optional<std::string> serial;
  int baud = 128000;
  double timeout_s = 5.0;
  std::string command;
  std::vector<std::string> operands;
  double watch_for_s = -1;
  // scene-export and scene-import: the scene and, for an import, the file's text.
  int scene = 0;
  std::string scene_text;
};

class client;

enum class operand_rule { none, some, one_scene, two, any };

struct command_entry {
  std::string_view name;
  operand_rule operands;
  bool needs_link;                       // discover runs without one
  int (*run)(client&, const cli_args&);  // null for discover
  // Runs before the link opens; a status >= 0 ends the program with nothing sent.
  int (*prepare)(cli_args&) = nullptr;
};

int run_dump(client& c, const cli_args& a);
int run_get(client& c, const cli_args& a);
int run_set(client& c, const cli_args& a);
int run_watch(client& c, const cli_args& a);
int run_scene(client& c, const cli_args& a);
int prepare_leading_scene(cli_args& a);
int run_scene_export(client& c, const cli_args& a);
int prepare_scene_import(cli_args& a);
int run_scene_import(client& c, const cli_args& a);
int run_stats(client& c, const cli_args& a);
int run_scene_diff(client& c, const cli_args& a);

constexpr std::string_view watch_command = "watch";

constexpr command_entry commands[] = {
    {"discover", operand_rule::none, false, nullptr},
    {"dump", operand_rule::none, true, run_dump},
    {"get", operand_rule::some, true, run_get},
    {"set", operand_rule::some, true, run_set},
    {watch_command, operand_rule::none, true, run_watch},
    {"call", operand_rule::one_scene, true, run_scene},
    {"save", operand_rule::one_scene, true, run_scene},
    {"scene-export", operand_rule::two, true, run_scene_export, prepare_leading_scene},
    {"scene-import", operand_rule::two, true, run_scene_import, prepare_scene_import},
    {"stats", operand_rule::any, true, run_stats},
    {"scene-diff", operand_rule::one_scene, true, run_scene_diff, prepare_leading_scene},
};

const command_entry* find_command(std::string_view name) {
  for (const command_entry& c : commands)
    if (c.name == name) return &c;
  return nullptr;
}

int parse_args(int argc, char** argv, cli_args& a) {
  int i = 1;
  for (; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--console") {
      if (++i >= argc) return usage_error("missing value for '%s'\n", "--console");
      const std::string_view v = argv[i];
      const auto colon = v.rfind(':');
      uint32_t address = 0;
      if (!parse_ipv4(v.substr(0, colon), address)) return usage_error("bad console address '%s'\n", argv[i]);
      if (colon != std::string_view::npos) {
        const auto port = parse_port(v.substr(colon + 1));
        if (!port) return usage_error("bad console port in '%s'\n", argv[i]);
        a.console_port = *port;
        a.port_given = true;
      }
      a.console_address = address;
    } else if (arg == "--tcp" || arg.starts_with("--tcp=")) {
      a.tcp = true;
      if (arg.size() > 5) {
        const auto port = parse_port(arg.substr(6));
        if (!port) return usage_error("bad port in '%s'\n", argv[i]);
        a.tcp_port = *port;
      }
    } else if (arg == "--serial") {
      if (++i >= argc) return usage_error("missing value for '%s'\n", "--serial");
      const std::string_view v = argv[i];
      const auto at = v.rfind('@');
      a.serial = std::string(v.substr(0, at));
      if (at != std::string_view::npos) {
        const auto baud = parse_integer_as<int>(v.substr(at + 1), 1, max_baud_rate);
        if (!baud) return usage_error("bad baud rate in '%s'\n", argv[i]);
        a.baud = *baud;
      }
    } else if (arg == "--timeout") {
      if (++i >= argc) return usage_error("missing value for '%s'\n", "--timeout");
      const auto s = parse_seconds(argv[i]);
      if (!s) return usage_error("bad timeout '%s'\n", argv[i]);
      a.timeout_s = *s;
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(usage_text, stdout);
      std::fputs(docs_line().c_str(), stdout);
      std::exit(exit_done);
    } else if (arg == "--version") {
      std::fputs(version_line("vorante-cli").c_str(), stdout);
      std::exit(exit_done);
    } else if (arg.starts_with("-")) {
      return usage_error("unknown option '%s'\n", argv[i]);
    } else {
      break;
    }
  }
  if (i >= argc) return usage_error("%s", "no command given\n");
  a.command = argv[i++];
  for (; i < argc; ++i) {
    if (a.command == watch_command && std::string_view(argv[i]) == "--for") {
      if (++i >= argc) return usage_error("missing value for '%s'\n", "--for");
      const auto s = parse_seconds(argv[i]);
      if (!s) return usage_error("bad duration '%s'\n", argv[i]);
      a.watch_for_s = *s;
      continue;
    }
    a.operands.emplace_back(argv[i]);
  }
  const command_entry* entry = find_command(a.command);
  const char* c = a.command.c_str();
  if (!entry) return usage_error("unknown command '%s'\n", c);
  if (entry->operands == operand_rule::one_scene && a.operands.size() != 1)
    return usage_error("'%s' takes one scene number\n", c);
  if (entry->operands == operand_rule::two && a.operands.size() != 2)
    return usage_error("'%s' takes two operands\n", c);
  if (entry->operands == operand_rule::some && a.operands.empty())
    return usage_error("'%s' needs at least one operand\n", c);
  if (entry->operands == operand_rule::none && !a.operands.empty())
    return usage_error("unexpected operand '%s'\n", a.operands[0].c_str());
  if (entry->needs_link && !a.console_address && !a.tcp && !a.serial)
    return usage_error("'%s' needs --console ADDR[:PORT] (or --tcp, --serial)\n", c);
  return -1;
}

using steady = std::chrono::steady_clock;

uint32_t now_ms() {
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(steady::now().time_since_epoch()).count());
}

// The main loop's wake-up: the engine and receive threads ask for the next step at once
// through an event descriptor; a UDP link without its receive thread wakes the loop by
// its socket becoming readable, with no other thread in between.
class waker {
 public:
  // The engine wakes from within the step, on this loop's own thread: a flag is enough
  // there, and saves three system calls per reply.
  void wake() {
    if (std::this_thread::get_id() == loop_thread_) {
      woken_ = true;
      return;
    }
    event_.signal();
  }
  // Sleeps at most `max` until woken or `fd` (when not -1) is readable.
  void wait(std::chrono::milliseconds max, int fd) {
    if (std::exchange(woken_, false)) return;
    pollfd p[2] = {{event_.fd(), POLLIN, 0}, {fd, POLLIN, 0}};
    ::poll(p, 2, static_cast<int>(max.count()));  // negative descriptors are left out
    if (p[0].revents & POLLIN) event_.clear();
  }

 private:
  const std::thread::id loop_thread_ = std::this_thread::get_id();
  bool woken_ = false;
  wake_event event_;
};

std::atomic<bool> interrupted{false};

class client {
 public:
  explicit client(const cli_args& a) : args_(a), session_(options_) {
    if (a.serial) {
      options_.link_mode = link_serial;
      options_.serial_port = *a.serial;
      options_.baud_rate = a.baud;
    } else if (a.tcp) {
      options_.link_mode = link_tcp;
    } else {
      options_.link_mode = link_udp;
    }
    // A tool has no lock screen and no meter bridge to feed.
    options_.online_lock_poll_disabled = true;
    target_.set_address(a.console_address.value_or(0));
    target_.set_port(a.console_port);
    link_endpoints endpoints;
    endpoints.console = &target_;
    endpoints.datacenter_port = a.tcp_port;
    endpoints.udp_receive_thread = false;  // run_until waits on the socket itself
    session_.engine.set_transport_factory([this, endpoints] {
      auto link = make_transport(options_, [this] { waker_.wake(); }, endpoints);
      // A port that cannot be opened stays that way: say so now rather than at the time-out.
      if (options_.link_mode == link_serial && dynamic_cast<serial_transport*>(link.get()) == nullptr)
        link_failure_ = "cannot open " + link_text();
      return link;
    });
    session_.engine.set_wake([this] { waker_.wake(); });
    session_.engine.messages().set_value_observer([this](uint16_t id, uint16_t) {
      // Counted as they come, so the step need not look at every ID for the end.
      if (wanted_.test(id) && !received_.test(id)) --missing_;
      received_.set(id);
    });
    session_.engine.open_link();
    session_.engine.enable();
    deadline_ = steady::now() + std::chrono::milliseconds(static_cast<long>(a.timeout_s * 1000));
  }

  sync_engine& engine() { return session_.engine; }
  param_store& store() { return session_.store; }

  // Steps the engine until done() or the deadline; false on time-out or incompatibility.
  // Between steps it sleeps until a receive thread or the engine wakes it, or the next
  // pacing step is due.
  template <class Done>
  bool run_until(Done&& done, steady::time_point deadline) {
    while (!interrupted) {
      if (!link_failure_.empty()) return false;
      session_.engine.step(now_ms());
      if (session_.engine.supervision().incompatible()) return false;
      if (tcp_refused()) return false;
      if (done()) return true;
      const auto now = steady::now();
      if (now >= deadline) return false;
      const auto* udp = dynamic_cast<const udp_transport*>(session_.engine.device().current());
      if (udp != nullptr && udp->has_queued()) continue;  // taken, not yet stepped
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
      waker_.wait(std::min(left, std::chrono::milliseconds(pace_period_ms)), udp ? udp->receive_fd() : -1);
    }
    return false;
  }
  template <class Done>
  bool run_until(Done&& done) {
    return run_until(std::forward<Done>(done), deadline_);
  }

  void observe_only() { session_.set_observe_only(true); }

  // Reads the IDs until each has an answer from the console, asking again for those
  // whose requests were given up.
  bool read(const std::vector<uint16_t>& ids) {
    wanted_.reset();
    for (uint16_t id : ids) wanted_.set(id);
    received_ &= ~wanted_;
    missing_ = wanted_.count();
    for (uint16_t id : ids) session_.store.request(id);
    return run_until([&] {
      if (missing_ != 0 && !session_.store.requests().pending())
        for (uint16_t id : ids)
          if (!received_.test(id)) session_.store.request(id);
      return missing_ == 0;
    });
  }

  int failure(const char* what) {
    if (session_.engine.supervision().incompatible()) {
      std::fprintf(stderr,
                   "vorante-cli: incompatible console: product code 0x%04X, model code 0x%02X "
                   "(a VORANTE9M answers 0x%04X, 0x%02X)\n",
                   session_.engine.supervision().identified_product(),
                   session_.engine.supervision().identified_model(), identity().product,
                   identity().model);
      return exit_incompatible;
    }
    if (interrupted) return exit_no_answer;
    if (!link_failure_.empty()) {
      std::fprintf(stderr, "vorante-cli: %s: %s\n", what, link_failure_.c_str());
      return exit_no_answer;
    }
    std::fprintf(stderr, "vorante-cli: %s: no answer from %s within %g s\n", what, link_text().c_str(),
                 args_.timeout_s);
    return exit_no_answer;
  }

  std::string link_text() const {
    if (args_.serial) return "serial port " + *args_.serial;
    if (args_.tcp) return "the parameter service on 127.0.0.1:" + std::to_string(args_.tcp_port);
    return "console " + ipv4_text(target_.address()) + ":" + std::to_string(target_.port());
  }

  // Asks the console who it is, so that an incompatible one is refused before anything
  // is written.
  bool identify() {
    session_.engine.device().send_identify();
    return true;
  }

  // The link cannot work at all (a serial port that does not open, a refused connection).
  bool link_failed() const { return !link_failure_.empty(); }

  std::bitset<param_count> received_;

 private:
  // The first connection to the parameter service was refused: nothing listens there. A
  // connection lost later is tried again, as the service may come back.
  bool tcp_refused() {
    const auto* tcp = dynamic_cast<const tcp_transport*>(session_.engine.device().current());
    if (tcp == nullptr || tcp_connected_once_) return false;
    if (tcp->state() == tcp_transport::link_state::connected) tcp_connected_once_ = true;
    if (tcp->state() != tcp_transport::link_state::closed) return false;
    link_failure_ = "cannot connect to " + link_text();
    return true;
  }

  std::bitset<param_count> wanted_;
  std::size_t missing_ = 0;
  std::string link_failure_;
  bool tcp_connected_once_ = false;
  const cli_args& args_;
  runtime_options options_;
  console_target target_;
  waker waker_;
  link_session session_;
  steady::time_point deadline_;
};

int run_discover(const cli_args& a) {
  discovery_round round(a.console_port);
  if (!round.start(now_ms())) {
    std::fprintf(stderr, "vorante-cli: discover: no socket for the discovery round\n");
    return exit_no_answer;
  }
  const auto deadline = steady::now() + std::chrono::milliseconds(static_cast<long>(a.timeout_s * 1000));
  while (!round.step(now_ms()) && steady::now() < deadline && !interrupted)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  for (const device_entry& e : round.entries()) std::printf("%s %s\n", ipv4_text(e.address).c_str(), e.name.c_str());
  if (round.entries().empty()) {
    std::fprintf(stderr, "vorante-cli: discover: no console answered\n");
    return exit_no_answer;
  }
  return exit_done;
}

int run_dump(client& c, const cli_args&) {
  const auto t0 = steady::now();
  c.identify();
  std::vector<uint16_t> all(param_count);
  for (int id = 0; id < param_count; ++id) all[id] = static_cast<uint16_t>(id);
  // request_all also restarts the end-marker bookkeeping of a full read.
  c.store().request_all();
  if (!c.read(all)) return c.failure("dump");
  const double ms = std::chrono::duration<double, std::milli>(steady::now() - t0).count();
  std::string out;
  out.reserve(param_count * 12);
  char line[32];
  for (int id = 0; id < param_count; ++id) {
    std::snprintf(line, sizeof line, "%d %u\n", id, c.store().get(id));
    out += line;
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fprintf(stderr, "read %d parameters in %.1f ms\n", param_count, ms);
  return exit_done;
}

std::optional<uint16_t> parse_id(std::string_view text) { return parse_integer_as<uint16_t>(text, 0, last_param_id); }

int run_get(client& c, const cli_args& a) {
  std::vector<uint16_t> ids;
  for (const std::string& s : a.operands) {
    const auto id = parse_id(s);
    if (!id) return usage_error("bad parameter ID '%s' (0..3517)\n", s.c_str());
    ids.push_back(*id);
  }
  c.identify();
  if (!c.read(ids)) return c.failure("get");
  for (uint16_t id : ids) std::printf("%u %u\n", id, c.store().get(id));
  return exit_done;
}

// Everything the linked sets of the targets look at or write, each ID once.
std::vector<uint16_t> ids_for_linked_set(const std::vector<uint16_t>& targets) {
  std::vector<uint16_t> ids;
  for (uint16_t id : targets) {
    const std::vector<uint16_t> reads = linked_set_reads(id);
    ids.insert(ids.end(), reads.begin(), reads.end());
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

// The operands ID=VALUE of set and stats, in order; a bad one ends the run with the usage text.
int parse_assignments(const std::vector<std::string>& operands, std::vector<std::pair<uint16_t, uint16_t>>& writes) {
  for (const std::string& s : operands) {
    const auto eq = s.find('=');
    const auto id = eq == std::string::npos ? std::nullopt : parse_id(std::string_view(s).substr(0, eq));
    const auto value = id ? parse_integer_as<uint16_t>(std::string_view(s).substr(eq + 1)) : std::nullopt;
    if (!value) return usage_error("bad assignment '%s' (ID=VALUE, ID 0..3517, VALUE 0..65535)\n", s.c_str());
    writes.emplace_back(*id, *value);
  }
  return exit_done;
}

int run_set(client& c, const cli_args& a) {
  std::vector<std::pair<uint16_t, uint16_t>> writes;
  if (const int code = parse_assignments(a.operands, writes); code != exit_done) return code;
  std::vector<uint16_t> targets;
  for (const auto& w : writes) targets.push_back(w.first);
  c.identify();
  if (!c.read(ids_for_linked_set(targets))) return c.failure("set");

  // A write counts once the console confirmed it: acknowledged in time, or, after its sends
  // ran out, acknowledged late or read back with the value written, within the grace period
  // (the time-out again). Only the rest is reported as not acknowledged.
  std::bitset<param_count> confirmed, failed;
  const auto grace = std::chrono::milliseconds(static_cast<long>(a.timeout_s * 1000));
  std::array<uint16_t, param_count> wanted{};
  c.engine().messages().set_ack_observer([&](uint16_t id, uint16_t value) {
    if (id < param_count && value == wanted[id]) confirmed.set(id);
  });
  c.engine().verdicts().set_grace(static_cast<uint32_t>(grace.count()));
  c.engine().verdicts().set_observer([&](uint16_t id, uint16_t, bool ok) { (ok ? confirmed : failed).set(id); });
  for (const auto& [id, value] : writes) c.store().linked_set(id, value);
  // Everything the linked set queued, partners and group members included, with the value
  // written (a read-back may leave the console's own value in the store).
  std::vector<std::pair<uint16_t, uint16_t>> written;
  for (int id = 0; id < param_count; ++id)
    if (c.store().dirty().contains(id)) {
      written.emplace_back(static_cast<uint16_t>(id), c.store().get(id));
      wanted[id] = c.store().get(id);
    }
  c.run_until([&] { return c.store().dirty().empty() && !c.store().dirty().pending(); });
  if (c.engine().supervision().incompatible()) return c.failure("set");

  const auto unsettled = [&](uint16_t id) { return !confirmed.test(id) && !failed.test(id); };
  const auto any_unsettled = [&] {
    return std::any_of(written.begin(), written.end(), [&](const auto& w) { return unsettled(w.first); });
  };
  if (any_unsettled()) {
    // Ask for the values back: a console whose answers were lost but which holds the value
    // is not failing. Asked again whenever a read round gives up.
    const auto ask = [&] {
      for (const auto& w : written)
        if (unsettled(w.first) && !c.store().dirty().contains(w.first)) c.store().request(w.first);
    };
    ask();
    c.run_until(
        [&] {
          if (!any_unsettled()) return true;
          if (!c.store().requests().pending()) ask();
          return false;
        },
        steady::now() + grace);
    if (c.engine().supervision().incompatible()) return c.failure("set");
  }
  std::vector<std::pair<uint16_t, uint16_t>> missing;
  for (const auto& w : written)
    if (!confirmed.test(w.first)) missing.push_back(w);
  if (!missing.empty()) {
    std::fprintf(stderr, "vorante-cli: set: %s did not acknowledge", c.link_text().c_str());
    for (const auto& [id, value] : missing) std::fprintf(stderr, " %u=%u", id, value);
    std::fprintf(stderr, "\n");
    return exit_not_acknowledged;
  }
  for (const auto& [id, value] : written) std::printf("%u %u\n", id, value);
  return exit_done;
}

int run_watch(client& c, const cli_args& a) {
  // Watching changes nothing on the console: no rename, no writes from its faders.
  c.observe_only();
  c.engine().messages().set_push_observer([](uint16_t id, uint16_t value) {
    std::printf("%u %u\n", id, value);
    std::fflush(stdout);
  });
  // The console pushes its changes to whoever talks to it: say hello, then the engine's
  // once-a-second status reads keep it talking.
  c.identify();
  c.store().request_range(first_status_word_id, last_status_word_id);
  const auto end = a.watch_for_s >= 0 ? steady::now() + std::chrono::milliseconds(static_cast<long>(a.watch_for_s * 1000))
                                      : steady::time_point::max();
  c.run_until([] { return false; }, end);
  if (c.engine().supervision().incompatible() || c.link_failed()) return c.failure("watch");
  return exit_done;
}

int run_scene(client& c, const cli_args& a) {
  const auto scene = parse_integer_as<int>(a.operands[0], 1, scene_count);
  if (!scene) return usage_error("bad scene number '%s' (1..16)\n", a.operands[0].c_str());
  const int n = *scene;
  const bool call = a.command == "call";
  c.identify();
  if (call)
    c.engine().scenes().request_call(static_cast<int>(n));
  else
    c.engine().scenes().request_save(static_cast<int>(n));
  const scene_requests& scenes = c.engine().scenes();
  if (!c.run_until([&] { return call ? scenes.call_done() : scenes.save_done(); })) return c.failure(a.command.c_str());
  std::printf("scene %d %s\n", n, call ? "called" : "saved");
  return exit_done;
}

std::optional<int> parse_scene(const std::string& text) {
  const auto scene = parse_integer_as<int>(text, 1, scene_count);
  if (!scene) usage_error("bad scene number '%s' (1..16)\n", text.c_str());
  return scene;
}

// Runs a transfer to its end; every rule of the machines is a check of the clock, so they
// are ticked after each engine step, at the speed of the console's replies.
bool run_transfer(client& c, scene_exchange& x) {
  return c.run_until(
      [&] {
        x.tick(now_ms());
        return !x.running();
      },
      steady::time_point::max());
}

struct transfer_report {
  std::string toast;
  bool ok = false;
  std::string json;
};

scene_exchange_events report_to(transfer_report& r) {
  scene_exchange_events events;
  events.toast = [&r](std::string_view text, uint16_t colour, int, bool) {
    r.toast = std::string(text);
    r.ok = colour == toast_green;
  };
  events.save_file = [&r](const std::string& json) { r.json = json; };
  return events;
}

long long ms_since(steady::time_point t0) {
  return static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(steady::now() - t0).count());
}

// Runs a started scene transfer to its end: -1 when the console answered it, else the exit code.
int finish_transfer(client& c, scene_exchange& x, const transfer_report& report, const char* command) {
  if (!run_transfer(c, x) || c.engine().supervision().incompatible()) return c.failure(command);
  if (!report.ok) {
    std::fprintf(stderr, "vorante-cli: %s: %s (no answer from %s)\n", command, report.toast.c_str(),
                 c.link_text().c_str());
    return exit_no_answer;
  }
  return -1;
}

// A scene file the console is never sent: why it was refused.
int file_refused(scene_check result) {
  std::fprintf(stderr, "%s\n", scene_check_message(result).text);
  return exit_file_refused;
}

// Commands whose first operand is a scene number (scene-export, scene-diff).
int prepare_leading_scene(cli_args& a) {
  const auto scene = parse_scene(a.operands[0]);
  if (!scene) return exit_usage;
  a.scene = *scene;
  return -1;
}

int run_scene_export(client& c, const cli_args& a) {
  const auto t0 = steady::now();
  c.identify();
  transfer_report report;
  scene_exchange x(c.engine().transfer(), report_to(report));
  x.start_export(a.scene, now_ms());
  if (const int code = finish_transfer(c, x, report, "scene-export"); code != -1) return code;
  const std::vector<uint8_t> file =
      scene_file_code(std::span(reinterpret_cast<const uint8_t*>(report.json.data()), report.json.size()));
  const file_write written = write_file_atomically(
      a.operands[1], std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
  if (!written.ok) {
    std::fprintf(stderr, "vorante-cli: scene-export: cannot write '%s': %s\n", a.operands[1].c_str(),
                 written.reason.c_str());
    return exit_usage;
  }
  std::fprintf(stderr, "exported scene %d in %lld ms\n", a.scene, ms_since(t0));
  return exit_done;
}

int prepare_scene_import(cli_args& a) {
  const auto scene = parse_scene(a.operands[1]);
  if (!scene) return exit_usage;
  a.scene = *scene;
  std::ifstream in(a.operands[0], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "vorante-cli: scene-import: cannot read '%s'\n", a.operands[0].c_str());
    return exit_usage;
  }
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  a.scene_text = scene_file_text(bytes);
  // The file is checked before anything is sent: a refused one never reaches the console.
  auto image = std::make_unique<transfer_image>();
  const scene_check result = check_scene_text(a.scene_text, *image);
  if (result != scene_check::ok) return file_refused(result);
  return -1;
}

int run_scene_import(client& c, const cli_args& a) {
  const auto t0 = steady::now();
  c.identify();
  transfer_report report;
  scene_exchange x(c.engine().transfer(), report_to(report));
  if (const scene_check result = x.start_import(a.scene_text, a.scene, now_ms()); result != scene_check::ok)
    return file_refused(result);
  if (const int code = finish_transfer(c, x, report, "scene-import"); code != -1) return code;
  std::fprintf(stderr, "imported scene %d in %lld ms\n", a.scene, ms_since(t0));
  return exit_done;
}

// The link's counters after a full read and the writes asked for: what the connect dialog
// of the desktop program shows, one fact per line, given-up writes tab-separated.
int run_stats(client& c, const cli_args& a) {
  std::vector<std::pair<uint16_t, uint16_t>> writes;
  if (const int code = parse_assignments(a.operands, writes); code != exit_done) return code;
  c.identify();
  std::vector<uint16_t> all(param_count);
  for (int id = 0; id < param_count; ++id) all[id] = static_cast<uint16_t>(id);
  c.store().request_all();
  if (!c.read(all)) return c.failure("stats");
  // The read counts as finished one step after its last answer.
  c.run_until([&] { return c.engine().read_finished(); }, steady::now() + std::chrono::milliseconds(200));

  if (!writes.empty()) {
    // Each write ends acknowledged, confirmed late or given up; the grace period is the
    // time-out, so the counters are final when they are printed.
    std::bitset<param_count> settled;
    std::array<uint16_t, param_count> wanted{};
    c.engine().messages().set_ack_observer([&](uint16_t id, uint16_t value) {
      if (id < param_count && value == wanted[id]) settled.set(id);
    });
    c.engine().verdicts().set_grace(static_cast<uint32_t>(a.timeout_s * 1000));
    c.engine().verdicts().set_observer([&](uint16_t id, uint16_t, bool) { settled.set(id); });
    for (const auto& [id, value] : writes) c.store().linked_set(id, value);
    std::vector<uint16_t> written;
    for (int id = 0; id < param_count; ++id)
      if (c.store().dirty().contains(id)) {
        written.push_back(static_cast<uint16_t>(id));
        wanted[id] = c.store().get(id);
      }
    const auto grace = std::chrono::milliseconds(static_cast<long>(a.timeout_s * 1000));
    c.run_until(
        [&] {
          return !c.store().dirty().pending() &&
                 std::all_of(written.begin(), written.end(), [&](uint16_t id) { return settled.test(id); });
        },
        steady::now() + 2 * grace + std::chrono::seconds(1));
    if (c.engine().supervision().incompatible()) return c.failure("stats");
  }

  const link_stats& s = c.engine().stats();
  std::printf("link %s\n", c.link_text().c_str());
  std::printf("frames sent %llu\n", static_cast<unsigned long long>(s.frames_sent));
  std::printf("frames received %llu\n", static_cast<unsigned long long>(s.frames_received));
  std::printf("write resends %llu\n", static_cast<unsigned long long>(s.write_resends));
  std::printf("read resends %llu\n", static_cast<unsigned long long>(s.read_resends));
  std::printf("heartbeat rtt %s\n", rtt_summary(s).c_str());
  if (s.full_read_done)
    std::printf("full read %u ms\n", s.full_read_ms);
  else
    std::printf("full read -\n");
  std::printf("writes confirmed late %llu\n", static_cast<unsigned long long>(s.writes_confirmed_late));
  std::printf("writes given up %llu\n", static_cast<unsigned long long>(s.writes_given_up));
  for (const given_up_write& w : s.given_up) {
    const given_up_texts t = describe_write(c.store(), w.id, w.value);
    std::printf("given up\t%u\t%s\t%s\t%s\n", w.id, t.channel.c_str(), t.parameter.c_str(), t.value.c_str());
  }
  return exit_done;
}

int run_scene_diff(client& c, const cli_args& a) {
  const auto t0 = steady::now();
  c.identify();
  // The live side first: everything a recall may set, as the console holds it now.
  std::vector<uint16_t> covered;
  for (int id = 0; id < param_count; ++id)
    if (scene_covers(id)) covered.push_back(static_cast<uint16_t>(id));
  c.store().request_all();
  if (!c.read(covered)) return c.failure("scene-diff");
  const long long live_ms = ms_since(t0);
  transfer_report report;
  scene_exchange_events events = report_to(report);
  bool read = false;
  events.values_read = [&read] { read = true; };
  scene_exchange x(c.engine().transfer(), std::move(events));
  x.start_read(a.scene, now_ms());
  if (!run_transfer(c, x) || c.engine().supervision().incompatible()) return c.failure("scene-diff");
  if (!read) {
    std::fprintf(stderr, "vorante-cli: scene-diff: %s (no answer from %s)\n", report.toast.c_str(),
                 c.link_text().c_str());
    return exit_no_answer;
  }
  const std::vector<scene_diff_entry> diff = diff_scene(c.store().values(), c.engine().transfer().image().values);
  const long long total_ms = ms_since(t0);
  std::string out;
  for (const scene_diff_entry& e : diff) {
    out += std::to_string(e.id) + '\t' + e.channel + '\t' + e.parameter + '\t' + e.live_text + '\t' + e.scene_text + '\n';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fprintf(stderr, "scene %d: %zu parameters differ, diffed in %lld ms (live values %lld ms)\n", a.scene,
               diff.size(), total_ms, live_ms);
  return exit_done;
}

void on_signal(int) { interrupted = true; }

}  // namespace
}  // namespace vorante

int main(int argc, char** argv) {
  using namespace vorante;
  // Standard output carries the data; the link's log lines go to standard error.
  set_log_stream(stderr);
  std::signal(SIGINT, on_signal);
  std::signal(SIGTERM, on_signal);
  std::signal(SIGPIPE, SIG_IGN);

  cli_args args;
  if (const int status = parse_args(argc, argv, args); status >= 0) return status;
  const command_entry& command = *find_command(args.command);
  if (command.prepare)
    if (const int status = command.prepare(args); status >= 0) return status;
  if (!command.run) return run_discover(args);
  client c(args);
  if (c.link_failed()) return c.failure(args.command.c_str());
  return command.run(c, args);
}
