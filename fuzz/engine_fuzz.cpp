// Feeds arbitrary bytes to the synchronisation engine as a transport would deliver them.
#include "fuzz/engine_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  vorante::set_log_stream(nullptr);
  if (!vorante::run_engine_harness(data, size).consistent) __builtin_trap();
  return 0;
}
