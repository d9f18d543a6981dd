#include "app/core/startup.h"

#include <cstdio>

#include "app/core/factory_marker.h"
#include "app/core/id_names.h"
#include "app/core/identity.h"
#include "app/core/log.h"
#include "app/params/defaults.h"
#include "app/params/store.h"

namespace vorante {

bool make_default_image() {
  const auto path = preset_path();
  if (ensure_preset_file(path) != preset_result::write_failed) return true;
  log_print("write '%s' fail\n", path.c_str());
  return false;
}

std::optional<int> begin_process(int argc, const char* const* argv,
                                 const std::function<bool()>& wait_datacenter) {
  ensure_preset_file();
  return first_cmdline_pass(argc, argv, {make_default_image, wait_datacenter});
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
