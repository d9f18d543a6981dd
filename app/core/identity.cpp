#include "app/core/identity.h"

#include <cstdint>

namespace vorante {

const char* product_name() { return "VORANTE9M"; }
const char* product_code_text() { return "0xE001"; }
const char* model_code_text() { return "0x3B"; }
const char* revision_code_text() { return "0x01"; }
const char* splash_switch_text() { return "1"; }

namespace {

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_decimal(char c) { return c >= '0' && c <= '9'; }

int hex_value(char c) {
  if (is_decimal(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads digits of `base` up to the end; 0 on an empty run, a stray character or overflow.
unsigned read_digits(std::string_view digits, unsigned base) {
  if (digits.empty()) return 0;
  uint64_t value = 0;
  for (char c : digits) {
    const int d = hex_value(c);
    if (d < 0 || static_cast<unsigned>(d) >= base) return 0;
    value = value * base + static_cast<unsigned>(d);
    if (value > UINT32_MAX) return 0;
  }
  return static_cast<unsigned>(value);
}

}  // namespace

unsigned parse_number(std::string_view text) {
  while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
  bool all_decimal = true;
  for (char c : text) all_decimal = all_decimal && is_decimal(c);
  if (all_decimal) return read_digits(text, 10);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
  return read_digits(text, 16);
}

const identity_codes& identity() {
  static const identity_codes codes{
      static_cast<uint16_t>(parse_number(product_code_text())),
      static_cast<uint8_t>(parse_number(model_code_text())),
      static_cast<uint8_t>(parse_number(revision_code_text())),
  };
  return codes;
}

}  // namespace vorante
