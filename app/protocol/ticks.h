// Millisecond ticks wrap; deadlines are compared by the signed distance.
#pragma once

#include <cstdint>

namespace vorante {

constexpr bool due(uint32_t now, uint32_t deadline) { return static_cast<int32_t>(now - deadline) >= 0; }

}  // namespace vorante
