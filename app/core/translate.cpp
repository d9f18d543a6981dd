#include "app/core/translate.h"

#include <cstring>

namespace vorante {

namespace {
const translation_table* active_table = nullptr;
}

const char* translate_text(const char* english) {
  if (english == nullptr || active_table == nullptr) return english;
  for (int i = 0; i < active_table->count; ++i)
    if (std::strcmp(active_table->pairs[i].english, english) == 0)
      return active_table->pairs[i].translated;
  return english;
}

void set_translation_table(const translation_table* table) { active_table = table; }

}  // namespace vorante
