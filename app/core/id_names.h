// Parameter names for debug printing, read from the header that declares the parameter
// enum. Optional: without it every ID prints as "ID_UNDEF".
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vorante {

// A header is only trusted when it names exactly this many IDs and ends with the marker.
constexpr std::size_t id_name_count = 3018;
constexpr std::string_view id_name_last = "ID_M0_END";

class id_name_table {
 public:
  // Reads the enumerator names of the first "typedef enum" block. The names are kept only
  // when there are exactly id_name_count of them and the last is id_name_last; otherwise
  // the table ends up empty. Returns whether they were kept.
  bool parse(std::string_view header_text);
  // As parse, on a file; prints "Error reading file" to stderr when it cannot be read.
  bool load(const std::filesystem::path& path);

  // The name of `id`, or "ID_UNDEF" when it is not below size().
  const char* name(unsigned id) const;
  std::size_t size() const { return names_.size(); }

 private:
  std::vector<std::string> names_;
};

// The process-wide table that id_name() reads.
id_name_table& id_names();
const char* id_name(unsigned id);
bool load_id_names(const std::filesystem::path& path);

// Loads "id_32ch.h" from `dir`, or "../../app/protocol/id_24ch.h" below it when that
// file does not exist, and prints "parse id enum success!!!!" or "... fail!!!!".
bool load_id_names_at_start(const std::filesystem::path& dir = ".");

}  // namespace vorante
