#include "ui/platform/native_config.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "app/os/safe_file.h"

namespace vorante {
namespace {

// Values are read into 12-byte buffers: 11 bytes and the terminator.
constexpr std::size_t native_config_value_max = 11;

std::string_view trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// One line of the file without its line ending, and what it is.
struct profile_line {
  std::string_view text;
  enum kind_t { other, section, entry } kind = other;
  std::string_view name;   // section or key name
  std::string_view value;  // entries only
};

profile_line classify(std::string_view text) {
  profile_line line;
  line.text = text;
  const auto body = trim(text);
  if (body.empty() || body.front() == ';') return line;
  if (body.front() == '[') {
    const auto close = body.find(']');
    if (close == std::string_view::npos) return line;
    line.kind = profile_line::section;
    line.name = trim(body.substr(1, close - 1));
    return line;
  }
  const auto eq = body.find('=');
  if (eq == std::string_view::npos) return line;
  line.kind = profile_line::entry;
  line.name = trim(body.substr(0, eq));
  line.value = trim(body.substr(eq + 1));
  return line;
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto nl = text.find('\n');
    if (nl == std::string_view::npos) {
      // CRs ending the last line are its line ending, not its text, or a rewrite would
      // turn them into a CRLF and change the file's line endings.
      while (!text.empty() && text.back() == '\r') text.remove_suffix(1);
      lines.push_back(text);
      break;
    }
    auto line = text.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    text.remove_prefix(nl + 1);
  }
  return lines;
}

// Cuts to the reading buffer without splitting a UTF-8 sequence.
std::string cut_value(std::string_view value) {
  if (value.size() <= native_config_value_max) return std::string(value);
  std::size_t n = native_config_value_max;
  while (n > 0 && (static_cast<unsigned char>(value[n]) & 0xC0) == 0x80) --n;
  return std::string(value.substr(0, n));
}

bool read_file(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  out = buffer.str();
  return true;
}

}  // namespace

std::optional<std::string> profile_get(std::string_view text, std::string_view section, std::string_view key) {
  bool in_section = false;
  bool seen_section = false;
  for (const auto raw : split_lines(text)) {
    const auto line = classify(raw);
    if (line.kind == profile_line::section) {
      // Only the first section of that name counts.
      if (seen_section) return std::nullopt;
      in_section = same_name(line.name, section);
      seen_section = in_section;
    } else if (in_section && line.kind == profile_line::entry && same_name(line.name, key)) {
      auto value = line.value;
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
      return std::string(value);
    }
  }
  return std::nullopt;
}

std::string profile_set(std::string_view text, std::string_view section, std::string_view key, std::string_view value) {
  const std::string eol = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
  const auto lines = split_lines(text);
  const std::string entry = std::string(key) + "=" + std::string(value);

  // Where the first matching section starts and where its last entry is.
  int section_at = -1, last_entry = -1, key_at = -1;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    const auto line = classify(lines[i]);
    if (line.kind == profile_line::section) {
      if (section_at >= 0) break;
      if (same_name(line.name, section)) section_at = last_entry = i;
    } else if (section_at >= 0 && line.kind == profile_line::entry) {
      last_entry = i;
      if (key_at < 0 && same_name(line.name, key)) key_at = i;
    }
  }

  std::string out;
  const auto put = [&](std::string_view line) {
    out += line;
    out += eol;
  };
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    if (i == key_at) {
      put(entry);
      continue;
    }
    put(lines[i]);
    if (key_at < 0 && i == last_entry) put(entry);
  }
  if (section_at < 0) {
    put("[" + std::string(section) + "]");
    put(entry);
  }
  return out;
}

std::string native_config_get(std::string_view key, const std::string& path) {
  std::string text;
  if (!read_file(path, text)) return {};
  return cut_value(profile_get(text, native_config_section, key).value_or(""));
}

bool native_config_set(std::string_view key, std::string_view value, const std::string& path) {
  if (value.find_first_of("\r\n") != std::string_view::npos) return false;
  std::string text;
  read_file(path, text);  // a missing file starts empty
  const auto updated = profile_set(text, native_config_section, key, value);
  return write_file_atomically(path, updated).ok;
}

bool debug_launcher_wanted(const std::string& path) { return native_config_get("DEBUG", path) == "yes"; }

std::string configured_language(const std::string& path) {
  auto language = native_config_get("LANG", path);
  return language.empty() ? default_language : language;
}

bool store_language(std::string_view language, const std::string& path) {
  return native_config_set("LANG", language, path);
}

}  // namespace vorante
