#include "app/settings/factory_reset.h"

#include <cstdio>

#include "app/core/translate.h"

namespace vorante {

bool factory_reset_counter::start() {
  if (running_) return false;
  running_ = true;
  count_ = 0;
  return true;
}

std::string factory_reset_counter::tick() {
  // The translation keeps the one %u of the English text.
  char text[160];
  std::snprintf(text, sizeof text, translate_text(factory_reset_counting), count_);
  ++count_;
  return text;
}

}  // namespace vorante
