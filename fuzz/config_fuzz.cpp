// Feeds arbitrary text to everything that reads the console's key=value texts: the line
// reader, the lookup, the report and result handlers, and the command builders that take
// texts typed by people or heard from the air.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/log.h"
#include "app/protocol/config_texts.h"
#include "app/protocol/kv.h"
#include "fuzz/fuzz_check.h"

namespace {

using namespace vorante;

// An empty view may point anywhere.
bool inside(std::string_view part, std::string_view whole) {
  if (part.empty()) return true;
  return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

bool holds_line_break(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

// A built command never carries a line break or zero byte taken from its input.
void check_command(const std::optional<std::string>& command, std::string_view a, std::string_view b) {
  if (holds_line_break(a) || holds_line_break(b)) FUZZ_REQUIRE(!command.has_value());
  if (command) FUZZ_REQUIRE(command->find('\0') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  set_log_stream(nullptr);
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  for (const std::size_t limit : {kv_report_key_limit, kv_lookup_key_limit}) {
    kv_cursor cursor(text);
    std::size_t last = 0;
    int lines = 0;
    while (const auto pair = kv_next(cursor, limit)) {
      FUZZ_REQUIRE(inside(pair->key, text) && inside(pair->value, text));
      FUZZ_REQUIRE(pair->key.size() <= limit && pair->value.size() <= kv_value_limit);
      FUZZ_REQUIRE(!holds_line_break(pair->value));
      FUZZ_REQUIRE(cursor.offset > last && cursor.offset <= text.size());
      last = cursor.offset;
      FUZZ_REQUIRE(++lines <= static_cast<int>(size));
    }
  }
  for (const std::string_view key : {"DEVNAME", "ETH_IP", "CMD", "RESULT", "LOCK", "SCENEKEYLOCK", ""}) {
    if (const auto value = kv_get(text, key)) FUZZ_REQUIRE(inside(*value, text));
  }

  int sent = 0;
  config_texts texts(null_ui_port(), "VORANTE9M", [&](std::string_view) { ++sent; });
  texts.on_report(text);
  texts.on_result(text);
  texts.set_observe_only(true);
  texts.on_report(text);
  texts.on_result(text);

  // Two user texts: the input cut at its first '|'.
  const auto cut = text.find('|');
  const std::string_view a = text.substr(0, cut);
  const std::string_view b = cut == std::string_view::npos ? std::string_view() : text.substr(cut + 1);
  check_command(device_name_command(a), a, {});
  check_command(change_password_command(a, b), a, b);
  check_command(change_lock_command(a, true), a, {});
  check_command(access_point_command(a, b), a, b);
  check_command(join_wireless_command(a, b), a, b);
  const network_addresses addresses{a, b, a, b};
  check_command(wired_network_command(false, addresses), a, b);
  check_command(station_network_command(false, addresses), a, b);
  return 0;
}
