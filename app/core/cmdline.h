// The two command-line passes. The first runs before anything else and handles the
// options that end or hold up the start; the second fills the run-time options once the
// application starts.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/core/options.h"

namespace vorante {

// What "-mkdef" and "-wdc" do, passed in so the passes stay free of files and sockets.
struct first_pass_actions {
  // Validates or writes the default image; false when it could not be written.
  std::function<bool()> make_defaults;
  // Waits for the local parameter service; false when the wait could not start.
  std::function<bool()> wait_datacenter;
};

// Visits the arguments after the program name in order. "-mkdef" runs make_defaults and
// ends the start (status 0, or 1 when the image could not be written); "-wdc" prints
// "waiting datacenter..." and then "ok!" or "error!" after the wait. Returns the exit
// status when the process should end now, nothing when it carries on.
std::optional<int> first_cmdline_pass(int argc, const char* const* argv,
                                       const first_pass_actions& actions);

// The long options answered before anything else starts, so that nothing is read or
// written in the wrong place: "--help" and "--version" print and end the process with
// status 0, "--home" makes the program's own directory the working directory.
enum class info_request { none, help, version };

struct early_options {
  info_request info = info_request::none;  // the first of the two given
  bool home = false;
  bool operator==(const early_options&) const = default;
};

// Reads the arguments as the second pass does, values included, so that "-ps --help"
// is still -ps with a value. Stops at the first option the second pass refuses: that
// one ends the start later with its own message.
early_options scan_early_options(int argc, const char* const* argv);

// What "--help" prints before the line on the documentation.
std::string help_text();

// Start-up requests of the long options, for screenshots, tests and direct connects.
struct connect_request {
  std::string address;
  std::optional<uint16_t> port;  // the console's usual port when not given
  bool operator==(const connect_request&) const = default;
};

constexpr int default_screenshot_delay_ms = 1000;

struct screenshot_request {
  std::string file;
  int delay_ms = default_screenshot_delay_ms;
  bool operator==(const screenshot_request&) const = default;
};

struct show_request {
  std::string page;
  int argument = 0;
  std::string part;  // a tab or view of the page, by name or number; empty: as it opens
  bool operator==(const show_request&) const = default;
};

// The part of a page "--show PAGE:ARG:PART" names, among the page's `names` (its tabs or
// views in order): a name in any letter case, or a number counting from 1. Nothing when
// the text is neither.
std::optional<int> pick_part(std::span<const char* const> names, std::string_view part);

struct launch_requests {
  std::optional<connect_request> connect;        // --connect ADDR[:PORT]
  std::optional<screenshot_request> screenshot;  // --screenshot FILE[@MS]
  std::optional<show_request> show;              // --show PAGE[:ARG[:PART]]
  bool operator==(const launch_requests&) const = default;
};

// "-ps N", "-pr N", "-gbar N" (on when N is not 0), "-log6951 N", "-wdc" (no value), and
// the long options above; "--takeover" (no value) turns surface takeover on; "--home", "--help" and "--version" take no value and are
// answered before this pass. N is read like atoi: leading white space, an optional sign,
// decimal digits up to the first other character, 0 when there are none, clamped to the
// int range; a value option given last counts as 0. Arguments without a dash are
// ignored. An unknown option prints "unknow parameter '%s'!", a long option without a
// value "missing value for '%s'!" and one with an unusable value "bad value '%s' for
// '%s'!"; each returns false and the process ends with status 1.
bool second_cmdline_pass(int argc, const char* const* argv, runtime_options& options,
                         launch_requests& requests);

}  // namespace vorante
