#include "tools/sim/line_commands.h"

#include <vector>

#include "app/core/numbers.h"
#include "app/params/ids.h"

namespace vorante::sim {

namespace {

std::vector<std::string_view> words_of(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\r')) ++at;
    const std::size_t start = at;
    while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r') ++at;
    if (at > start) words.push_back(line.substr(start, at - start));
  }
  return words;
}

bool number(std::string_view text, long long lo, long long hi, long long& out) {
  const auto v = parse_integer(text, lo, hi);
  if (v) out = *v;
  return v.has_value();
}

line_command command(command_kind kind, long long a, long long b = 0, bool flag = false) {
  line_command c;
  c.kind = kind;
  c.a = static_cast<unsigned>(a);
  c.b = static_cast<int>(b);
  c.flag = flag;
  return c;
}

}  // namespace

std::string line_command_help() {
  return "commands: set ID VALUE | get ID | key CODE [long] | fader N LEVEL | encoder N STEPS |\n"
         "          usb insert|remove|audio | lock on|off | drop P | refuse writes on|off | call N | save N |\n"
         "          lights | faders | help | quit\n";
}

std::optional<line_command> parse_line_command(std::string_view line, std::string& error) {
  error.clear();
  const std::vector<std::string_view> w = words_of(line);
  if (w.empty()) return std::nullopt;
  const std::string_view verb = w[0];
  line_command c;
  long long x = 0, y = 0;
  auto wrong = [&](const char* usage) -> std::optional<line_command> {
    error = std::string("usage: ") + usage;
    return std::nullopt;
  };

  if (verb == "set") {
    if (w.size() != 3 || !number(w[1], 0, last_param_id, x) || !number(w[2], 0, 0xFFFF, y))
      return wrong("set ID VALUE (ID 0..3517, VALUE 0..65535)");
    c = command(command_kind::set, x, y);
  } else if (verb == "get") {
    if (w.size() != 2 || !number(w[1], 0, last_param_id, x)) return wrong("get ID (0..3517)");
    c = command(command_kind::get, x);
  } else if (verb == "key") {
    const bool long_press = w.size() == 3 && w[2] == "long";
    if ((w.size() != 2 && !long_press) || !number(w[1], 0, 0x7FFF, x)) return wrong("key CODE [long]");
    c = command(command_kind::key, x, 0, long_press);
  } else if (verb == "fader") {
    if (w.size() != 3 || !number(w[1], 0, 31, x) || !number(w[2], 0, 0x3FFF, y))
      return wrong("fader N LEVEL (N 0..31, LEVEL 0..16383)");
    c = command(command_kind::fader, x, y);
  } else if (verb == "encoder") {
    if (w.size() != 3 || !number(w[1], 0, 31, x) || !number(w[2], -32768, 32767, y))
      return wrong("encoder N STEPS (N 0..31)");
    c = command(command_kind::encoder, x, y);
  } else if (verb == "usb") {
    if (w.size() != 2 || (w[1] != "insert" && w[1] != "remove" && w[1] != "audio")) return wrong("usb insert|remove|audio");
    c.kind = command_kind::usb;
    c.word = std::string(w[1]);
  } else if (verb == "lock") {
    if (w.size() != 2 || (w[1] != "on" && w[1] != "off")) return wrong("lock on|off");
    c.kind = command_kind::lock;
    c.flag = w[1] == "on";
  } else if (verb == "refuse") {
    // A console that takes nothing it is sent to write, for the retry and give-up tests.
    if (w.size() != 3 || w[1] != "writes" || (w[2] != "on" && w[2] != "off")) return wrong("refuse writes on|off");
    c.kind = command_kind::refuse_writes;
    c.flag = w[2] == "on";
  } else if (verb == "drop") {
    const auto p = w.size() == 2 ? parse_real(w[1], 0, 1) : std::nullopt;
    if (!p) return wrong("drop P (0..1)");
    c.kind = command_kind::drop;
    c.probability = *p;
  } else if (verb == "call" || verb == "save") {
    if (w.size() != 2 || !number(w[1], 1, 16, x)) return wrong(verb == "call" ? "call N (1..16)" : "save N (1..16)");
    c = command(verb == "call" ? command_kind::call : command_kind::save, x);
  } else if ((verb == "lights" || verb == "faders") && w.size() == 1) {
    c.kind = verb == "lights" ? command_kind::lights : command_kind::faders;
  } else if (verb == "help" && w.size() == 1) {
    c.kind = command_kind::help;
  } else if (verb == "quit" && w.size() == 1) {
    c.kind = command_kind::quit;
  } else {
    error = "unknown command '" + std::string(verb) + "'";
    return std::nullopt;
  }
  return c;
}

std::string lights_text(const std::array<uint16_t, surface_word_count>& words) {
  std::string text = "lights";
  for (int n = 0; n < surface_word_count * 16; ++n)
    if ((words[static_cast<std::size_t>(n / 16)] >> (n % 16)) & 1) text += " " + std::to_string(n);
  return text == "lights" ? "lights none" : text;
}

std::string faders_text(const std::array<uint16_t, surface_word_count>& positions, uint32_t received) {
  std::string text = "faders";
  for (int f = 0; f < surface_word_count; ++f)
    if ((received >> f) & 1) text += " " + std::to_string(f) + ":" + std::to_string(positions[static_cast<std::size_t>(f)]);
  return text == "faders" ? "faders none" : text;
}

}  // namespace vorante::sim
