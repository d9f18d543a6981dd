// vorante: the control surface. No window yet: it runs the start-up that needs none,
// builds the parameter store and reports what it found.
#include "app/core/log.h"
#include "app/core/startup.h"
#include "app/params/store.h"

int main(int argc, char** argv) {
  using namespace vorante;

  // The datacenter wait needs the device link; until then it cannot start.
  if (const auto status = begin_process(argc, argv, [] { return false; })) return *status;

  runtime_options options;
  launch_requests requests;
  if (!start_core(argc, argv, options, requests)) return 1;

  static param_store store(options);
  store.load_defaults();
  log_print("%s\n", startup_summary(store, options).c_str());
  return 0;
}
