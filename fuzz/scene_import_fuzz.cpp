// Feeds arbitrary text to the scene import, as a decoded scene file reaches it, and traps
// when a text that passed the checks does not come back the same after writing it out.
#include <cstddef>
#include <cstdint>

#include "app/core/log.h"
#include "fuzz/scene_import_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  vorante::set_log_stream(nullptr);
  if (!vorante::run_scene_import_harness(data, size).consistent) __builtin_trap();
  return 0;
}
