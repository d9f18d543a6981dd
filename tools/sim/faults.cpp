#include "tools/sim/faults.h"

#include <algorithm>

namespace vorante::sim {

fault_injector::fault_injector(const fault_settings& settings, uint32_t start_ms)
    : settings_(settings), start_(start_ms), rng_(settings.seed) {
  set_drop(settings.drop);
  settings_.corrupt = std::clamp(settings_.corrupt, 0.0, 1.0);
}

bool fault_injector::chance(double p) {
  if (p <= 0) return false;
  if (p >= 1) return true;
  return std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < p;
}

bool fault_injector::lose() { return chance(settings_.drop); }

bool fault_injector::damage(uint8_t* bytes, std::size_t n) {
  if (n == 0 || !chance(settings_.corrupt)) return false;
  const std::size_t at = std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_);
  bytes[at] ^= static_cast<uint8_t>(std::uniform_int_distribution<int>(1, 255)(rng_));
  return true;
}

bool fault_injector::muted(uint32_t now) const { return until_muted(now) == 0; }

int64_t fault_injector::until_muted(uint32_t now) const {
  if (settings_.mute_after_ms < 0) return -1;
  const int64_t elapsed = static_cast<uint32_t>(now - start_);
  return std::max<int64_t>(0, settings_.mute_after_ms - elapsed);
}

void fault_injector::set_drop(double p) { settings_.drop = std::clamp(p, 0.0, 1.0); }

}  // namespace vorante::sim
