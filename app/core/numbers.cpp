#include "app/core/numbers.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace vorante {

std::optional<int64_t> parse_integer(std::string_view text, int64_t lo, int64_t hi) {
  bool negative = false;
  if (lo < 0 && text.starts_with('-')) {
    negative = true;
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  // from_chars would take a sign of its own after the prefix ("0x-1"); an unsigned
  // target takes digits only.
  uint64_t magnitude = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, magnitude, base);
  if (text.empty() || ec != std::errc{} || ptr != end) return std::nullopt;
  constexpr uint64_t int64_limit = static_cast<uint64_t>(INT64_MAX);
  if (magnitude > int64_limit + (negative ? 1 : 0)) return std::nullopt;
  const int64_t v = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  if (v < lo || v > hi) return std::nullopt;
  return v;
}

std::optional<uint16_t> parse_port(std::string_view text, port_zero zero) {
  return parse_integer_as<uint16_t>(text, zero == port_zero::allowed ? 0 : 1, 65535);
}

std::optional<double> parse_real(std::string_view text, double lo, double hi) {
  double v = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, v, std::chars_format::general);
  if (text.empty() || ec != std::errc{} || ptr != end || !std::isfinite(v) || v < lo || v > hi) return std::nullopt;
  return v;
}

std::optional<double> parse_seconds(std::string_view text, double max_s) { return parse_real(text, 0, max_s); }

}  // namespace vorante
