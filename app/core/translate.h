// Translation of the program's fixed English texts. The active table is installed by the
// UI; without one every text reads as itself.
#pragma once

namespace vorante {

struct translation_pair {
  const char* english;
  const char* translated;
};

struct translation_table {
  const char* locale;
  const translation_pair* pairs;
  int count;
};

// The text in the current language; the English text itself when there is no translation.
const char* translate_text(const char* english);

// Installs the table used by translate_text (nullptr: English).
void set_translation_table(const translation_table* table);

}  // namespace vorante
