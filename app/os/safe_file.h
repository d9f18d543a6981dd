// Reading and replacing files in places other users can write to as well (the temporary
// directory, a shared working directory) without being turned against the user: a name
// that someone planted as a link, a pipe, a device or a file of their own is left alone,
// and a file is only ever replaced whole, by a rename, never written in place.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace vorante {

enum class file_status {
  ok,
  missing,        // nothing by that name
  not_regular,    // a link, pipe, device, socket or directory: not opened for reading
  foreign_owner,  // a regular file of another user
  too_large,      // a regular file of the user, larger than the caller wants: not read
  failed,         // the system refused (the reason says why)
};

struct file_read {
  file_status status = file_status::failed;
  std::string reason;  // for a log line, e.g. "it is a symbolic link"; empty when ok
  std::string bytes;   // the whole file when ok
  bool ok() const { return status == file_status::ok; }
};

// Reads the file when it is a regular file owned by the effective user and at most
// max_size bytes long. Links are not followed and nothing blocks: a named pipe or a
// device is reported, not waited on.
file_read read_regular_file(const std::filesystem::path& path, std::size_t max_size);

struct file_write {
  bool ok = false;
  std::string reason;  // empty when ok
};

// Replaces `path` with exactly `bytes`: written to a new file beside it, synced, and
// renamed over the name, so readers see the old content or the new, never a part, and a
// link at the name is replaced rather than followed. An existing file's permission bits
// are kept; a new file gets 0666 less the umask. Nothing is left behind on failure.
file_write write_file_atomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace vorante
