// Numbers typed by people on a command line or a line of commands: parameter IDs and
// values, ports, counts and durations. One rule everywhere, so the program, the client
// and the simulator take the same text: decimal digits, or hexadecimal digits after "0x"
// or "0X"; a leading '-' only where the range has negative numbers; no spaces, no '+',
// nothing after the digits. Out of range is no number.
#pragma once

#include <concepts>
#include <type_traits>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace vorante {

std::optional<int64_t> parse_integer(std::string_view text, int64_t lo, int64_t hi);

template <std::integral T>
std::optional<T> parse_integer_as(std::string_view text, T lo = std::numeric_limits<T>::min(),
                                  T hi = std::numeric_limits<T>::max()) {
  static_assert(sizeof(T) < sizeof(int64_t) || std::is_signed_v<T>, "wider than the parser");
  const auto v = parse_integer(text, static_cast<int64_t>(lo), static_cast<int64_t>(hi));
  if (!v) return std::nullopt;
  return static_cast<T>(*v);
}

// A UDP or TCP port, 1..65535; 0 as well where it means "any free port".
enum class port_zero { refused, allowed };
std::optional<uint16_t> parse_port(std::string_view text, port_zero zero = port_zero::refused);

// A finite real number in decimal notation ("2", "0.25", "1e-3"), within [lo, hi]:
// probabilities, rates.
std::optional<double> parse_real(std::string_view text, double lo, double hi);

// A duration in seconds as a real number, 0 up to a day unless the caller says less.
constexpr double max_duration_s = 86400;
std::optional<double> parse_seconds(std::string_view text, double max_s = max_duration_s);

}  // namespace vorante
