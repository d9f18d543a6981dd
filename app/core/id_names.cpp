#include "app/core/id_names.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include "app/core/log.h"

namespace vorante {

namespace {

bool is_name_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Scans the enum body from just after its "{" up to the closing "}" outside comments.
// Each enumerator contributes its first name; whatever follows it up to the next comma
// ("= 5", "= ID_X + 1") is skipped. Returns false when the body never closes.
bool scan_enum_body(std::string_view body, std::vector<std::string>& names) {
  bool skipping_to_comma = false;
  std::string current;
  auto end_name = [&] {
    if (current.empty()) return;
    names.push_back(std::move(current));
    current.clear();
    skipping_to_comma = true;
  };
  std::size_t i = 0;
  while (i < body.size()) {
    const char c = body[i];
    if (c == '/' && i + 1 < body.size() && (body[i + 1] == '*' || body[i + 1] == '/')) {
      end_name();
      const bool block = body[i + 1] == '*';
      const auto stop = body.find(block ? "*/" : "\n", i + 2);
      if (stop == std::string_view::npos) return false;
      i = stop + (block ? 2 : 1);
      continue;
    }
    if (c == '}') {
      end_name();
      return true;
    }
    if (skipping_to_comma) {
      if (c == ',') skipping_to_comma = false;
    } else if (is_name_char(c)) {
      current.push_back(c);
    } else {
      end_name();
      if (c == ',') skipping_to_comma = false;
    }
    ++i;
  }
  return false;
}

}  // namespace

bool id_name_table::parse(std::string_view text) {
  names_.clear();
  const auto typedef_at = text.find("typedef enum");
  if (typedef_at == std::string_view::npos) return false;
  const auto open = text.find('{', typedef_at);
  if (open == std::string_view::npos) return false;

  std::vector<std::string> names;
  names.reserve(id_name_count);
  if (!scan_enum_body(text.substr(open + 1), names)) return false;
  if (names.size() != id_name_count || names.back() != id_name_last) return false;
  names_ = std::move(names);
  return true;
}

bool id_name_table::load(const std::filesystem::path& path) {
  names_.clear();
  std::error_code ec;
  std::ifstream in(path, std::ios::binary);
  std::string text;
  // A directory opens fine on POSIX and then reads as empty; it is just as unreadable.
  const bool readable = in && !std::filesystem::is_directory(path, ec);
  if (readable) text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!readable || in.bad()) {
    std::fputs("Error reading file\n", stderr);
    return false;
  }
  return parse(text);
}

const char* id_name_table::name(unsigned id) const {
  return id < names_.size() ? names_[id].c_str() : "ID_UNDEF";
}

id_name_table& id_names() {
  static id_name_table table;
  return table;
}

const char* id_name(unsigned id) { return id_names().name(id); }

bool load_id_names(const std::filesystem::path& path) { return id_names().load(path); }

bool load_id_names_at_start(const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::path path = dir / "id_32ch.h";
  if (!std::filesystem::exists(path, ec)) path = dir / "../../app/protocol/id_24ch.h";
  const bool ok = load_id_names(path);
  log_print("parse id enum %s!!!!\n", ok ? "success" : "fail");
  return ok;
}

}  // namespace vorante
