#include "app/core/startup.h"

#include <cstdio>
#include <filesystem>

#include "app/core/data_home.h"
#include "app/core/factory_marker.h"
#include "app/core/id_names.h"
#include "app/core/identity.h"
#include "app/core/log.h"
#include "app/core/program_info.h"
#include "app/params/defaults.h"
#include "app/params/store.h"

namespace vorante {

namespace {

// Prints why the default image is not in place, unless that very line was printed last,
// so the start-up check and "-mkdef" right after it do not say the same thing twice.
bool report_preset(const std::filesystem::path& path, const preset_check& check, std::string& last_line) {
  const std::string line = preset_check_line(path, check);
  if (!line.empty() && line != last_line) log_print("%s", line.c_str());
  last_line = line;
  return line.empty();
}

}  // namespace

std::optional<int> answer_early_options(int argc, const char* const* argv) {
  const early_options early = scan_early_options(argc, argv);
  if (early.info == info_request::help) {
    std::fputs((help_text() + docs_line()).c_str(), stdout);
    return 0;
  }
  if (early.info == info_request::version) {
    std::fputs(version_line("vorante").c_str(), stdout);
    return 0;
  }
  if (early.home && !enter_data_home()) return 1;
  return std::nullopt;
}

bool make_default_image() {
  std::string last_line;
  const auto path = preset_path();
  return report_preset(path, ensure_preset_file(path), last_line);
}

std::optional<int> begin_process(int argc, const char* const* argv,
                                 const std::function<bool()>& wait_datacenter) {
  const auto path = preset_path();
  std::string last_line;
  // A file that is not used leaves the program on the defaults it built in memory.
  report_preset(path, ensure_preset_file(path), last_line);
  const auto make_defaults = [&] { return report_preset(path, ensure_preset_file(path), last_line); };
  return first_cmdline_pass(argc, argv, {make_defaults, wait_datacenter});
}

void read_identity(runtime_options& options) {
  identity();
  if (factory_marker_set()) options.factory_mode = true;
}

void load_names_if_printing(const runtime_options& options) {
  if (options.print_writes_by_name) load_id_names_at_start();
}

bool parse_cmdline(int argc, const char* const* argv, runtime_options& options,
                   launch_requests& requests) {
  log_print("parsing cmdline...\n");
  if (!second_cmdline_pass(argc, argv, options, requests)) return false;
  log_print("parse cmdline finished!\n");
  return true;
}

bool start_core(int argc, const char* const* argv, runtime_options& options,
                launch_requests& requests) {
  read_identity(options);
  load_names_if_printing(options);
  return parse_cmdline(argc, argv, options, requests);
}

std::string startup_summary(const param_store& store, const runtime_options& options) {
  char line[200];
  std::snprintf(line, sizeof line,
                "vorante: %zu parameters, link mode %d, factory %d, group bar %d, "
                "print sent %d, print received %d, media log level %d",
                store.values().size(), options.link_mode, options.factory_mode ? 1 : 0,
                options.group_bar ? 1 : 0, options.print_sent ? 1 : 0,
                options.print_received ? 1 : 0, options.media_log_level);
  return line;
}

}  // namespace vorante
