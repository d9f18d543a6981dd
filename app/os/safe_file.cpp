#include "app/os/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace vorante {

namespace {

std::string system_reason(int error) { return std::error_code(error, std::generic_category()).message(); }

const char* kind_of(mode_t mode) {
  if (S_ISLNK(mode)) return "it is a symbolic link";
  if (S_ISFIFO(mode)) return "it is a named pipe";
  if (S_ISDIR(mode)) return "it is a directory";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device";
  if (S_ISSOCK(mode)) return "it is a socket";
  return "it is not a regular file";
}

file_read refused(file_status status, std::string reason) {
  file_read r;
  r.status = status;
  r.reason = std::move(reason);
  return r;
}

class fd_guard {
 public:
  explicit fd_guard(int fd) : fd_(fd) {}
  ~fd_guard() {
    if (fd_ >= 0) ::close(fd_);
  }
  fd_guard(const fd_guard&) = delete;
  fd_guard& operator=(const fd_guard&) = delete;
  int get() const { return fd_; }
  // Closes now, for callers that need close's own verdict.
  int close() {
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc;
  }

 private:
  int fd_;
};

// The umask without changing it where the kernel reports it; otherwise set and restored
// at once (the program creates no files from other threads).
mode_t current_umask() {
  if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
    char line[128];
    unsigned value = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, status))
      found = std::sscanf(line, "Umask: %o", &value) == 1;
    std::fclose(status);
    if (found) return static_cast<mode_t>(value);
  }
  const mode_t mask = ::umask(022);
  ::umask(mask);
  return mask;
}

bool write_all(int fd, std::string_view bytes, int& error) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

file_read read_regular_file(const std::filesystem::path& path, std::size_t max_size) {
  // Looked at first so that a device or a pipe is never opened at all; the open below
  // checks again, since the name can change in between.
  struct stat before {};
  if (::lstat(path.c_str(), &before) != 0) {
    const int error = errno;
    if (error == ENOENT) return refused(file_status::missing, "it does not exist");
    return refused(file_status::failed, system_reason(error));
  }
  if (!S_ISREG(before.st_mode)) return refused(file_status::not_regular, kind_of(before.st_mode));

  fd_guard fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) {
    const int error = errno;
    if (error == ENOENT) return refused(file_status::missing, "it does not exist");
    if (error == ELOOP) return refused(file_status::not_regular, kind_of(S_IFLNK));
    return refused(file_status::failed, system_reason(error));
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return refused(file_status::failed, system_reason(errno));
  if (!S_ISREG(st.st_mode)) return refused(file_status::not_regular, kind_of(st.st_mode));
  if (st.st_dev != before.st_dev || st.st_ino != before.st_ino)
    return refused(file_status::failed, "it was replaced while being opened");
  if (st.st_uid != ::geteuid())
    return refused(file_status::foreign_owner, "it belongs to another user (uid " + std::to_string(st.st_uid) + ")");
  if (static_cast<unsigned long long>(st.st_size) > max_size)
    return refused(file_status::too_large, "it is larger than " + std::to_string(max_size) + " bytes");

  file_read r;
  r.bytes.reserve(static_cast<std::size_t>(st.st_size));
  char chunk[65536];
  while (true) {
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0) {
      if (errno == EINTR) continue;
      return refused(file_status::failed, system_reason(errno));
    }
    if (n == 0) break;
    // The file may grow while it is read: the limit holds for what is read.
    if (r.bytes.size() + static_cast<std::size_t>(n) > max_size)
      return refused(file_status::too_large, "it is larger than " + std::to_string(max_size) + " bytes");
    r.bytes.append(chunk, static_cast<std::size_t>(n));
  }
  r.status = file_status::ok;
  return r;
}

file_write write_file_atomically(const std::filesystem::path& path, std::string_view bytes) {
  file_write result;
  const auto name = path.filename();
  if (name.empty() || name == "." || name == "..") {
    result.reason = "it is not a file name";
    return result;
  }
  const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");

  // Keep the permission bits of the file being replaced; a link or anything else at the
  // name says nothing about them.
  mode_t mode = 0666 & ~current_umask();
  struct stat old {};
  if (::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) mode = old.st_mode & 07777;

  std::string temp = (dir / name).string() + ".XXXXXX";
  fd_guard fd(::mkostemp(temp.data(), O_CLOEXEC));
  if (fd.get() < 0) {
    result.reason = system_reason(errno);
    return result;
  }
  const auto fail = [&](int error) {
    ::unlink(temp.c_str());
    result.reason = system_reason(error);
    return result;
  };
  int error = 0;
  if (!write_all(fd.get(), bytes, error)) return fail(error);
  if (::fchmod(fd.get(), mode) != 0) return fail(errno);
  if (::fsync(fd.get()) != 0) return fail(errno);
  if (fd.close() != 0) return fail(errno);
  if (::rename(temp.c_str(), path.c_str()) != 0) return fail(errno);

  // The rename itself survives a crash only once the directory is synced; the file is
  // complete either way, so a directory that cannot be synced is no failure.
  fd_guard dir_fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir_fd.get() >= 0) ::fsync(dir_fd.get());
  result.ok = true;
  return result;
}

}  // namespace vorante
