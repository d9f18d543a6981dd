// vorante: the control surface. No window yet: it runs the start-up that needs none,
// probes for a parameter service on this machine, builds the parameter store and reports
// what it found.
#include "app/core/log.h"
#include "app/core/startup.h"
#include "app/os/probe.h"
#include "app/params/store.h"

int main(int argc, char** argv) {
  using namespace vorante;

  if (const auto status = begin_process(argc, argv, [] { return datacenter_wait(); })) return *status;

  runtime_options options;
  launch_requests requests;
  read_identity(options);
  load_names_if_printing(options);
  options.local_device = local_probe();
  log_print("local device: %s\r\n", options.local_device ? "true" : "false");
  if (!parse_cmdline(argc, argv, options, requests)) return 1;

  static param_store store(options);
  store.load_defaults();
  log_print("%s\n", startup_summary(store, options).c_str());
  return 0;
}
