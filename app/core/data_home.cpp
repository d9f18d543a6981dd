#include "app/core/data_home.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <vector>

#include "app/core/log.h"

namespace vorante {

namespace fs = std::filesystem;

std::optional<fs::path> data_home_dir(const char* xdg_data_home, const char* home) {
  if (xdg_data_home && xdg_data_home[0] == '/') return fs::path(xdg_data_home) / data_home_name;
  if (home && home[0] == '/') return fs::path(home) / ".local" / "share" / data_home_name;
  return std::nullopt;
}

namespace {

// HOME is missing in some service and sudo environments; the password database still
// knows the home directory.
std::string home_of_user() {
  if (const char* home = std::getenv("HOME"); home && home[0] == '/') return home;
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
    return found->pw_dir;
  return {};
}

}  // namespace

bool enter_data_home() {
  const std::string home = home_of_user();
  const auto dir = data_home_dir(std::getenv("XDG_DATA_HOME"), home.c_str());
  if (!dir) {
    log_print("[WARN] no home directory for '--home'\n");
    return false;
  }
  std::error_code ec;
  if (!fs::is_directory(*dir, ec)) {
    fs::create_directories(dir->parent_path(), ec);
    if (::mkdir(dir->c_str(), 0700) != 0 && errno != EEXIST) {
      log_print("[WARN] cannot create '%s': %s\n", dir->c_str(), std::strerror(errno));
      return false;
    }
  }
  if (::chdir(dir->c_str()) != 0) {
    log_print("[WARN] cannot enter '%s': %s\n", dir->c_str(), std::strerror(errno));
    return false;
  }
  return true;
}

}  // namespace vorante
