// nativecfg.ini: the few settings kept on this machine rather than on the console.
// Section "app" holds DEBUG (read at start) and LANG (read at start, written when the
// user picks another language). The file stays readable and writable by Windows' own
// profile functions, so a settings file carried over from there keeps working.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vorante {

inline constexpr const char* native_config_file = "nativecfg.ini";  // in the working directory
inline constexpr const char* native_config_section = "app";
inline constexpr const char* default_language = "en";

// Profile text, read the way Windows reads it: the first section and the first key that
// match win, names match without regard to case, white space around names and values is
// ignored, ';' starts a comment line, and a value in matching quotes loses the quotes.
std::optional<std::string> profile_get(std::string_view text, std::string_view section, std::string_view key);

// The text with `key` set to `value`. Every other line stays as it was: the key's line is
// replaced in place, a new key goes after the last entry of its section, a new section at
// the end. Line endings follow the text (CRLF when it already uses them).
std::string profile_set(std::string_view text, std::string_view section, std::string_view key, std::string_view value);

// Key of section "app", cut to 11 bytes; empty when the file or the key is missing.
std::string native_config_get(std::string_view key, const std::string& path = native_config_file);

// Writes key of section "app", keeping the rest of the file. Values with line breaks are
// refused (they would forge other keys). The file is replaced in one rename, so a failed
// write never leaves half a file. False when anything failed.
bool native_config_set(std::string_view key, std::string_view value, const std::string& path = native_config_file);

// DEBUG is exactly "yes".
bool debug_launcher_wanted(const std::string& path = native_config_file);
// LANG; "en" when missing or empty.
std::string configured_language(const std::string& path = native_config_file);
bool store_language(std::string_view language, const std::string& path = native_config_file);

}  // namespace vorante
