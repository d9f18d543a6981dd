#include "app/core/factory_marker.h"

namespace vorante {

// Writable and initialised, so it lands in .data exactly once and the factory tool can
// patch it in place; `used` keeps it even if nothing else refers to it.
__attribute__((used)) volatile char factory_marker_block[factory_marker_size] =
    "####{EF2DB340-CD66-46BC-9D6C-42E8C347BC83}####";

bool is_factory_marker(const volatile char* block) {
  static constexpr char factory_tag[8] = {'F', 'A', 'C', 'T', 'O', 'R', 'Y', '\0'};
  for (int i = 0; i < 8; ++i)
    if (block[i] != factory_tag[i]) return false;
  return true;
}

bool factory_marker_set() { return is_factory_marker(factory_marker_block); }

}  // namespace vorante
