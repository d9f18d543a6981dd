#include "app/core/translate.h"

#include <cstring>
#include <iterator>

namespace vorante {

namespace {

// Set once at start (or by tests), read from every thread afterwards.
const language_pack* active_pack = nullptr;
const language* active_language = nullptr;

bool is_end_of_pack(const language_pack& pack, std::size_t index) {
  if (pack.languages == nullptr || index >= pack.count) return true;
  const char* locale = pack.languages[index].locale;
  return locale == nullptr || locale[0] == '\0';
}

// The first present translation of text in the language's table, or text itself.
const char* look_up(const language& lang, const char* text) {
  if (lang.phrases == nullptr) return text;
  for (std::size_t i = 0; i < lang.phrase_count; ++i) {
    const translation_pair& pair = lang.phrases[i];
    if (pair.english == nullptr) break;
    if (pair.translated != nullptr && std::strcmp(pair.english, text) == 0)
      return pair.translated;
  }
  return text;
}

}  // namespace

int translation_init(const language_pack* pack) {
  if (pack == nullptr || is_end_of_pack(*pack, 0)) return -1;
  active_pack = pack;
  active_language = &pack->languages[0];
  return 0;
}

int translation_set_locale(const char* name) {
  if (active_pack == nullptr || name == nullptr) return -1;
  for (std::size_t i = 0; !is_end_of_pack(*active_pack, i); ++i) {
    const language& lang = active_pack->languages[i];
    if (std::strcmp(lang.locale, name) == 0) {
      active_language = &lang;
      return 0;
    }
  }
  return -1;
}

const char* translate_text(const char* english) {
  const language* lang = active_language;
  if (english == nullptr || lang == nullptr) return english;
  if (lang->phrases != nullptr) return look_up(*lang, english);
  // A language without a table borrows the fallback's table; the fallback itself shows
  // its texts as written.
  const language& first = active_pack->languages[0];
  if (lang == &first) return english;
  return look_up(first, english);
}

const char* current_locale() { return active_language ? active_language->locale : nullptr; }

void translation_reset() {
  active_pack = nullptr;
  active_language = nullptr;
}

void set_translation_table(const translation_table* table) {
  static language languages[2];
  static language_pack pack{languages, 2};
  if (table == nullptr) {
    translation_reset();
    return;
  }
  languages[0] = {"en", nullptr, 0};
  languages[1] = *table;
  active_pack = &pack;
  active_language = &languages[1];
}

const language_pack& default_language_pack() {
  static const language languages[] = {
      {"en", nullptr, 0},
      {"zh-cn", zh_cn_phrases().data(), zh_cn_phrases().size()},
  };
  static const language_pack pack{languages, std::size(languages)};
  return pack;
}

bool select_language(const char* locale) {
  if (translation_init(&default_language_pack()) != 0) return false;
  if (locale == nullptr || locale[0] == '\0') locale = "en";
  return translation_set_locale(locale) == 0;
}

}  // namespace vorante
