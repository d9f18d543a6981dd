#include "app/params/solo.h"

namespace vorante {

unsigned solo_id(int kind, int index) {
  if (kind == kind_bus && index == main_r_bus) return main_r_solo_id;
  return param_id(kind, index, code_solo);
}

bool is_soloed(const param_store& store, int kind, int index) { return is_solo_active(store.get(solo_id(kind, index))); }

void solo_write(param_store& store, int kind, int index, bool on) {
  const uint16_t level = on ? 1200 : 0;
  if (kind == kind_bus && index == main_l_bus) {
    store.linked_set(main_l_solo_id, level);
    store.quiet_linked_set(main_l_solo_id + 1, 0);
    return;
  }
  if (kind == kind_bus && index == main_r_bus) {
    store.linked_set(main_r_solo_id, level);
    store.quiet_linked_set(main_r_solo_id - 1, 0);
    return;
  }
  const unsigned id = param_id(kind, index, code_solo);
  if (id == no_param_id) return;
  const uint16_t value = static_cast<uint16_t>((store.get(id) & 0xC000) | level);
  store.linked_set(id, value);
  store.linked_set(id + 1, value);
}

}  // namespace vorante
