#include "app/protocol/kv.h"

namespace vorante {

namespace {

std::string_view trim_leading_spaces(std::string_view s) {
  const std::size_t first = s.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view{} : s.substr(first);
}

std::string_view trim_trailing_spaces(std::string_view s) {
  const std::size_t last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : s.substr(0, last + 1);
}

std::optional<kv_pair> parse_line(std::string_view line, std::size_t key_limit) {
  line = trim_leading_spaces(line);
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;

  const std::string_view key = trim_trailing_spaces(line.substr(0, equals));
  std::string_view value = trim_leading_spaces(line.substr(equals + 1));
  // The console ends values at a line break or a C string terminator, whatever follows.
  constexpr std::string_view value_ends("\r\n\0", 3);
  value = trim_trailing_spaces(value.substr(0, value.find_first_of(value_ends)));

  if (key.size() > key_limit || value.size() > kv_value_limit) return std::nullopt;
  return kv_pair{key, value};
}

}  // namespace

std::optional<kv_pair> kv_next(kv_cursor& cursor, std::size_t key_limit) {
  const std::string_view text = cursor.text;
  while (cursor.offset < text.size()) {
    const std::size_t start = cursor.offset;
    const std::size_t newline = text.find('\n', start);
    const std::size_t end = newline == std::string_view::npos ? text.size() : newline;
    cursor.offset = newline == std::string_view::npos ? text.size() : newline + 1;
    if (auto pair = parse_line(text.substr(start, end - start), key_limit)) return pair;
  }
  return std::nullopt;
}

std::optional<std::string_view> kv_get(std::string_view text, std::string_view key) {
  if (key.size() > kv_lookup_key_limit) return std::nullopt;
  kv_cursor cursor(text);
  while (auto pair = kv_next(cursor, kv_lookup_key_limit))
    if (pair->key == key) return pair->value;
  return std::nullopt;
}

}  // namespace vorante
