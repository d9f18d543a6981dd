#include "app/core/program_info.h"

#include <system_error>

#include "app/core/version.h"

namespace vorante {

std::string version_line(std::string_view program) {
  return std::string(program) + " " + program_version_text + "\n";
}

std::filesystem::path installed_docs_dir(const std::filesystem::path& program_file) {
  return (program_file.parent_path() / docs_dir_from_programs).lexically_normal();
}

std::string docs_line() {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const auto docs = installed_docs_dir(self);
    if (std::filesystem::is_directory(docs, ec)) return "documentation: " + docs.string() + "\n";
  }
  return "documentation: README.md and docs/ in the source tree\n";
}

}  // namespace vorante
