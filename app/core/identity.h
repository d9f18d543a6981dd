// Product identity: the fixed texts the program shows and checks the console against.
#pragma once

#include <cstdint>
#include <string_view>

namespace vorante {

const char* product_name();        // window title, default device name
const char* product_code_text();   // checked against the console's identification
const char* model_code_text();     // checked against the console's identification
const char* revision_code_text();  // kept, never compared
const char* splash_switch_text();  // splash window when it parses to non-zero

// Leading white space is skipped. When everything left is decimal digits the text is
// decimal, otherwise hexadecimal with an optional "0x". Yields 0 when no digit was read,
// when anything follows the number, or when the value does not fit 32 bits. Signs are
// not accepted.
unsigned parse_number(std::string_view text);

struct identity_codes {
  uint16_t product = 0;
  uint8_t model = 0;
  uint8_t revision = 0;
};

// The identity texts parsed into the widths the identification reply uses; parsed once.
const identity_codes& identity();

}  // namespace vorante
