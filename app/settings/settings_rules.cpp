#include "app/settings/settings_rules.h"

namespace vorante {

namespace {

// A UTF-8 continuation byte (10xxxxxx) never starts a character.
bool continues_character(char c) { return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u; }

bool valid_address_part(std::string_view part) {
  if (part.empty() || part.size() > 3) return false;
  unsigned value = 0;
  for (const char c : part) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value < 256;
}

}  // namespace

bool valid_address(std::string_view text) {
  text = text.substr(0, address_max_chars);
  int parts = 0;
  for (;;) {
    const std::size_t dot = text.find('.');
    if (!valid_address_part(text.substr(0, dot))) return false;
    ++parts;
    if (dot == std::string_view::npos) break;
    text.remove_prefix(dot + 1);
  }
  return parts == 4;
}

std::optional<password_refusal> check_password_entry(std::string_view entry) {
  if (entry.size() > password_max_bytes) return password_refusal::too_long;
  if (entry.find(' ') != std::string_view::npos) return password_refusal::has_space;
  return std::nullopt;
}

std::string_view password_refusal_text(password_refusal refusal) {
  switch (refusal) {
    case password_refusal::too_long: return "Password length must not exceed 8 characters.";
    case password_refusal::has_space: return "Password cannot contain spaces.";
  }
  return {};
}

std::string lock_entry(std::string_view typed) {
  if (typed.size() <= password_max_bytes) return std::string(typed);
  std::size_t end = password_max_bytes;
  while (end > 0 && continues_character(typed[end])) --end;
  return std::string(typed.substr(0, end));
}

std::string masked(std::string_view text) {
  std::string stars;
  for (const char c : text)
    if (!continues_character(c)) stars += '*';
  return stars;
}

}  // namespace vorante
