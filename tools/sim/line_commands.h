// The line commands read from standard input, for tests and demonstrations:
//   set ID VALUE, get ID, key CODE [long], fader N LEVEL, encoder N STEPS,
//   usb insert|remove|audio, lock on|off, drop P, call N, save N, lights, faders, help, quit
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorante::sim {

enum class command_kind { set, get, key, fader, encoder, usb, lock, drop, refuse_writes, call, save, lights, faders, help, quit };

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

// The answers of "lights" and "faders": what the program last sent to the surface.
// "lights 8 39 55": the numbers of the lit key lights ("lights none" for none);
// "faders 0:812 8:1000": slot:position of every motor fader that was sent a position.
constexpr int surface_word_count = 32;
std::string lights_text(const std::array<uint16_t, surface_word_count>& words);
std::string faders_text(const std::array<uint16_t, surface_word_count>& positions, uint32_t received);

}  // namespace vorante::sim
