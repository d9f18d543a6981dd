// The program's own directory for a start from the desktop menu, where the working
// directory is wherever the desktop happens to be: nativecfg.ini and the other files the
// program keeps in its working directory live there instead.
#pragma once

#include <filesystem>
#include <optional>

namespace vorante {

inline constexpr const char* data_home_name = "vorante";

// $XDG_DATA_HOME/vorante, or $HOME/.local/share/vorante when XDG_DATA_HOME is unset, empty
// or relative (the base directory rules ignore a relative one). Nothing without a usable
// home either.
std::optional<std::filesystem::path> data_home_dir(const char* xdg_data_home, const char* home);

// Creates that directory when it is missing (private to the user) and makes it the working
// directory. Logs why and returns false when it cannot.
bool enter_data_home();

}  // namespace vorante
