// The key=value lines the console's configuration messages carry, e.g. "DEVNAME=Stage\r\n".
// Spaces around keys and values are not part of them; a line without "=" is no entry.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace vorante {

// The longest key and value the console's texts use. A line with a longer key or value
// counts as no entry at all, so a damaged line never passes for a known one.
constexpr std::size_t kv_report_key_limit = 63;  // keys read line by line
constexpr std::size_t kv_lookup_key_limit = 31;  // keys looked up by name (kv_get)
constexpr std::size_t kv_value_limit = 63;

// Both views point into the text that was parsed.
struct kv_pair {
  std::string_view key;
  std::string_view value;
};

// A read position in a text; cheap to copy.
struct kv_cursor {
  explicit kv_cursor(std::string_view whole_text) : text(whole_text) {}

  std::string_view text;
  std::size_t offset = 0;
};

// The next line holding a key and "=", in order; nullopt at the end of the text. The value
// ends at "\r", "\n" or a zero byte.
std::optional<kv_pair> kv_next(kv_cursor& cursor, std::size_t key_limit = kv_report_key_limit);

// The value of the first line in the whole text whose key is exactly `key`.
std::optional<std::string_view> kv_get(std::string_view text, std::string_view key);

}  // namespace vorante
