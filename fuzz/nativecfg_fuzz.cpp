// Reads and rewrites an arbitrary nativecfg.ini text. What is written is read back, and
// writing one key never changes what another key reads.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ui/platform/native_config.h"
#include "fuzz/fuzz_check.h"

namespace {

using namespace vorante;

// A value native_config_set would write and profile_get gives back unchanged: no line
// break, no white space at either end, no matching quotes around it.
std::string plain_value(std::string_view s) {
  std::string v;
  for (const char c : s)
    if (c != '\r' && c != '\n' && c != ' ' && c != '\t' && c != '"' && c != '\'') v += c;
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // The last 12 bytes at most are the value to write, the rest is the file.
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const std::size_t split = size > 12 ? size - 12 : size / 2;
  const std::string_view text = all.substr(0, split);
  const std::string value = plain_value(all.substr(split));

  const auto debug_before = profile_get(text, native_config_section, "DEBUG");
  profile_get(text, "", "");
  profile_get(text, "APP", "lang");

  const std::string written = profile_set(text, native_config_section, "LANG", value);
  const auto lang = profile_get(written, native_config_section, "LANG");
  FUZZ_REQUIRE(lang.has_value() && *lang == value);
  FUZZ_REQUIRE(profile_get(written, native_config_section, "DEBUG") == debug_before);

  // Writing the same again changes nothing more.
  FUZZ_REQUIRE(profile_set(written, native_config_section, "LANG", value) == written);
  return 0;
}
