// Setters that only act on a real change: `if (assign_changed(field_, v)) update();`.
#pragma once

#include <utility>

namespace vorante {

// Stores `value` in `field` and says whether that changed it; an equal value leaves the
// field untouched and returns false, so the caller can skip its repaint or relayout.
template <typename T, typename U>
constexpr bool assign_changed(T& field, U&& value) {
  if (field == value) return false;
  field = std::forward<U>(value);
  return true;
}

}  // namespace vorante
