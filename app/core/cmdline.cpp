#include "app/core/cmdline.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <string_view>

#include "app/core/log.h"
#include "app/core/numbers.h"

namespace vorante {

std::optional<int> first_cmdline_pass(int argc, const char* const* argv,
                                      const first_pass_actions& actions) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-mkdef") {
      const bool ok = actions.make_defaults ? actions.make_defaults() : false;
      return ok ? 0 : 1;
    }
    if (arg == "-wdc") {
      log_print("waiting datacenter...\n");
      const bool started = actions.wait_datacenter && actions.wait_datacenter();
      log_print(started ? "ok!\n" : "error!\n");
    }
  }
  return std::nullopt;
}

namespace {

// The options without a value, beside "-mkdef" which ends the start in the first pass.
constexpr std::string_view flag_options[] = {"-wdc", "--home", "--help", "--version", "--takeover"};
constexpr std::string_view value_options[] = {"-ps", "-pr", "-gbar", "-log6951",
                                              "--connect", "--screenshot", "--show"};

template <std::size_t n>
bool is_one_of(std::string_view arg, const std::string_view (&names)[n]) {
  for (std::string_view name : names)
    if (arg == name) return true;
  return false;
}

}  // namespace

early_options scan_early_options(int argc, const char* const* argv) {
  early_options found;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.empty() || arg.front() != '-') continue;
    if (arg == "--help" || arg == "--version") {
      found.info = arg == "--help" ? info_request::help : info_request::version;
      return found;
    }
    if (arg == "--home") {
      found.home = true;
    } else if (arg == "-mkdef" || is_one_of(arg, flag_options)) {
      continue;
    } else if (is_one_of(arg, value_options)) {
      ++i;
    } else {
      break;
    }
  }
  return found;
}

std::string help_text() {
  return "usage: vorante [OPTION...]\n"
         "  -mkdef                  check preset.bin in the temporary directory ($TMPDIR or /tmp),\n"
         "                          rewrite it when missing or wrong, and exit\n"
         "  -wdc                    wait for a local parameter service (127.0.0.1:8086) first\n"
         "  -ps N, -pr N            print every sent / received frame when N is not 0\n"
         "  -gbar N                 show the group bar when N is not 0\n"
         "  -log6951 N              verbosity of the USB media scanner\n"
         "  --connect ADDR[:PORT]   talk to the console at ADDR without the connect dialog\n"
         "  --show PAGE[:ARG[:PART]]\n"
         "                          show a page at start by its name, without the connect dialog;\n"
         "                          PART picks a tab or view by its name or its number from 1:\n"
         "                          edit_input OVERVIEW PEQ GATE COMP PHANTOM FADER,\n"
         "                          edit_output PEQ COMP GEQ FADER, edit_efx TYPES PEQ FADER,\n"
         "                          edit_dca PARAM FADER, brief_fader A B C AUX1..AUX8 FX1 FX2\n"
         "                          (C: the sends of AUX1, or of the bus chosen before)\n"
         "  --screenshot FILE[@MS]  save the window as PNG after MS milliseconds (default 1000)\n"
         "                          and quit\n"
         "  --takeover              drive the console's key lights and motor faders (surface\n"
         "                          takeover), as the debug launcher's switch does\n"
         "  --home                  work in $XDG_DATA_HOME/vorante (~/.local/share/vorante),\n"
         "                          made when missing; the desktop menu starts it so\n"
         "  --help, --version       print this text or the version and exit\n"
         "keys: Ctrl+Z undo, Ctrl+Shift+Z or Ctrl+Y redo, Ctrl+1..Ctrl+5 the fader banks,\n"
         "  Ctrl+F the fader overview, Ctrl+M the media page, Ctrl+comma the settings,\n"
         "  Left and Right turn the first encoder, Escape closes an editor to the strips\n"
         "files: nativecfg.ini and playlist.json in the working directory, preset.bin in the\n"
         "temporary directory\n"
         "status: 0 done, 1 an unknown option, a bad value, or a file that cannot be written\n"
         "(-mkdef, --screenshot), 2 an unknown page or part (--show)\n";
}

std::optional<int> pick_part(std::span<const char* const> names, std::string_view part) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::size_t n = 0; n < names.size(); ++n) {
    const std::string_view name = names[n];
    if (name.size() == part.size() &&
        std::equal(name.begin(), name.end(), part.begin(), [&](char a, char b) { return lower(a) == lower(b); }))
      return static_cast<int>(n);
  }
  if (const auto number = parse_integer_as<int>(part, 1, static_cast<int>(names.size()))) return *number - 1;
  return std::nullopt;
}

namespace {

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// atoi without its undefined overflow: a value beyond int saturates.
int atoi_value(std::string_view text) {
  while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// What the text after an option value's last separator turned out to be.
enum class suffix { taken, part_of_value, bad };

// The value without the suffix after its last `separator` when `take` took that suffix;
// nullopt for a bad suffix or an empty value.
template <typename Take>
std::optional<std::string_view> without_suffix(std::string_view value, char separator, Take take) {
  if (const auto at = value.rfind(separator); at != std::string_view::npos) {
    const suffix s = take(value.substr(at + 1));
    if (s == suffix::bad) return std::nullopt;
    if (s == suffix::taken) value = value.substr(0, at);
  }
  if (value.empty()) return std::nullopt;
  return value;
}

std::optional<connect_request> parse_connect(std::string_view value) {
  connect_request req;
  const auto address = without_suffix(value, ':', [&](std::string_view text) {
    const auto port = parse_port(text);
    if (!port) return suffix::bad;
    req.port = static_cast<uint16_t>(*port);
    return suffix::taken;
  });
  if (!address) return std::nullopt;
  req.address = *address;
  return req;
}

std::optional<screenshot_request> parse_screenshot(std::string_view value) {
  screenshot_request req;
  // Only a number at the end is a delay, so "shot@2x.png" stays a file name.
  const auto file = without_suffix(value, '@', [&](std::string_view text) {
    const auto ms = parse_integer_as<int>(text, 0, INT_MAX);
    if (!ms) return suffix::part_of_value;
    req.delay_ms = *ms;
    return suffix::taken;
  });
  if (!file) return std::nullopt;
  req.file = *file;
  return req;
}

std::optional<show_request> parse_show(std::string_view value) {
  show_request req;
  const auto colon = value.find(':');
  if (colon != std::string_view::npos) {
    std::string_view rest = value.substr(colon + 1);
    if (const auto second = rest.find(':'); second != std::string_view::npos) {
      const std::string_view part = rest.substr(second + 1);
      // One part only: a third colon is a typing error, not a part's name.
      if (part.empty() || part.find(':') != std::string_view::npos) return std::nullopt;
      req.part = part;
      rest = rest.substr(0, second);
    }
    const auto arg = parse_integer_as<int>(rest);
    if (!arg) return std::nullopt;
    req.argument = *arg;
    value = value.substr(0, colon);
  }
  if (value.empty()) return std::nullopt;
  req.page = value;
  return req;
}

}  // namespace

bool second_cmdline_pass(int argc, const char* const* argv, runtime_options& options,
                         launch_requests& requests) {
  for (int i = 1; i < argc; ++i) {
    const char* name = argv[i];
    const std::string_view arg = name;
    if (arg.empty() || arg.front() != '-') continue;
    if (arg == "--takeover") {
      options.surface_takeover = true;
      continue;
    }
    if (is_one_of(arg, flag_options)) continue;

    // Every remaining option takes the next argument as its value.
    const bool has_value = i + 1 < argc;
    const char* value = has_value ? argv[++i] : "";

    if (arg == "-ps") {
      options.print_sent = atoi_value(value) != 0;
    } else if (arg == "-pr") {
      options.print_received = atoi_value(value) != 0;
    } else if (arg == "-gbar") {
      options.group_bar = atoi_value(value) != 0;
    } else if (arg == "-log6951") {
      options.media_log_level = atoi_value(value);
    } else if (arg == "--connect" || arg == "--screenshot" || arg == "--show") {
      if (!has_value) {
        log_print("missing value for '%s'!\n", name);
        return false;
      }
      bool ok = false;
      if (arg == "--connect") {
        requests.connect = parse_connect(value);
        ok = requests.connect.has_value();
      } else if (arg == "--screenshot") {
        requests.screenshot = parse_screenshot(value);
        ok = requests.screenshot.has_value();
      } else {
        requests.show = parse_show(value);
        ok = requests.show.has_value();
      }
      if (!ok) {
        log_print("bad value '%s' for '%s'!\n", value, name);
        return false;
      }
    } else {
      log_print("unknow parameter '%s'!\n", name);
      return false;
    }
  }
  return true;
}

}  // namespace vorante
