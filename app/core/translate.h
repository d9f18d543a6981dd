// Translation of the program's fixed English texts.
//
// A language pack is an ordered list of languages; each language has a locale name and a
// phrase table of (English text, translated text) pairs, or no table at all. The first
// language of the pack is the fallback. The language is chosen once at start, before any
// other thread runs, and never changes afterwards; until then every text reads as itself.
#pragma once

#include <cstddef>
#include <span>

namespace vorante {

struct translation_pair {
  const char* english;     // nullptr ends the table early
  const char* translated;  // nullptr: no translation, the pair is skipped
};

// One language of a pack. phrases == nullptr means the language has no phrase table. A
// table ends after phrase_count pairs or at a pair whose English text is null, whichever
// comes first.
struct language {
  const char* locale;  // nullptr or "" marks the end of the pack
  const translation_pair* phrases;
  std::size_t phrase_count;
};

// The name older callers and tests use for a single language with its table.
using translation_table = language;

// The languages in order; the list ends after count entries or at the first entry with
// no locale name, whichever comes first. The pack must outlive its use.
struct language_pack {
  const language* languages;
  std::size_t count;
};

// Remembers the pack and makes its first language current: 0. -1 (nothing changes) when
// the pack is null or its first entry is empty.
int translation_init(const language_pack* pack);

// Makes the first language of the pack whose locale equals name (exact, case-sensitive)
// current: 0. -1 and no change when nothing matches, name is null or no pack is set.
int translation_set_locale(const char* name);

// The text in the current language, or the argument itself (the same pointer) when it
// has no translation or no language is current.
const char* translate_text(const char* english);

// The locale of the current language; nullptr before translation_init.
const char* current_locale();

// Forgets the pack: every text reads as itself again.
void translation_reset();

// Installs one language (after an untranslated "en") and makes it current; nullptr is
// the same as translation_reset(). The table is copied; its phrases must outlive it.
void set_translation_table(const translation_table* table);

// The program's pack: "en" (no table, the fallback) then "zh-cn".
const language_pack& default_language_pack();

// The simplified-Chinese phrase table, in its fixed order.
std::span<const translation_pair> zh_cn_phrases();

// Initialises the program's pack and selects locale; a null or empty locale means "en".
// False when the locale names no language of the pack ("en" then stays current).
bool select_language(const char* locale);

}  // namespace vorante
