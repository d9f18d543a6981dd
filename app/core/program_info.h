// What every program says about itself in --version and --help: the build's version and
// where the installed documentation is.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vorante {

// "vorante 0.1.0\n" for the program named.
std::string version_line(std::string_view program);

// The documentation next to an installed program at `program_file`, whether or not it
// exists.
std::filesystem::path installed_docs_dir(const std::filesystem::path& program_file);

// One line for --help: the documentation folder of this installation, or the source
// tree's when the program runs from a build tree.
std::string docs_line();

}  // namespace vorante
