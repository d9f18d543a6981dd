// The line commands read from standard input, for tests and demonstrations:
//   set ID VALUE, get ID, key CODE [long], fader N LEVEL, encoder N STEPS,
//   usb insert|remove|audio, lock on|off, drop P, call N, save N, help, quit
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorante::sim {

enum class command_kind { set, get, key, fader, encoder, usb, lock, drop, refuse_writes, call, save, help, quit };

struct line_command {
  command_kind kind = command_kind::help;
  unsigned a = 0;          // ID, key code, fader, encoder or scene number
  int b = 0;               // value, level or steps
  bool flag = false;       // long press; lock on
  double probability = 0;  // drop
  std::string word;        // usb: insert, remove or audio
};

// Nullopt with the reason in `error` for a line that is no command; an empty line is no
// command and no error (error stays empty).
std::optional<line_command> parse_line_command(std::string_view line, std::string& error);

std::string line_command_help();

}  // namespace vorante::sim
