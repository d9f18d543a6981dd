// Copying every setting of one channel onto another channel of the same kind: the copy
// page, the editors' clipboard and stereo linking all build on these.
#pragma once

#include "app/params/store.h"

namespace vorante {

void copy_input(param_store& store, int target, int source);
void copy_bus(param_store& store, int target, int source);
void copy_fx(param_store& store, int target, int source);

}  // namespace vorante
