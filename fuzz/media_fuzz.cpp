// Feeds arbitrary bytes to the media client as reports, steps and scan commands, and traps
// on anything it must never do: hold nodes after a scan, give an unbounded name, or report
// a finish it does not know.
#include <cstddef>
#include <cstdint>

#include "app/core/log.h"
#include "fuzz/media_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vorante::set_log_stream(nullptr);
  if (!vorante::run_media_harness(data, size).consistent) __builtin_trap();
  return 0;
}
