// The setters' first step: store a new value and say whether it changed anything, so that
// the caller repaints or reports only then.
#pragma once

#include <utility>

namespace vorante {

// Assigns `value` to `field` when they differ; true when it did.
template <class T, class U>
bool assign_changed(T& field, U&& value) {
  if (field == value) return false;
  field = std::forward<U>(value);
  return true;
}

}  // namespace vorante
