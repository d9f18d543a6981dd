// Files in directories others can write to: what a planted name does to a read and to a
// replacement, and that a failed replacement leaves the old file and no debris.
#include "app/os/safe_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <string>

namespace vorante {
namespace {

namespace fs = std::filesystem;

std::string read_text(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_text(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::set<std::string> entries(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

// A fresh directory per case, removed afterwards.
struct scratch {
  scratch() {
    std::string pattern = (fs::temp_directory_path() / "vorante-safe-XXXXXX").string();
    if (mkdtemp(pattern.data())) dir = pattern;
  }
  ~scratch() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  fs::path dir;
};

constexpr uid_t other_uid = 4242;

TEST(safe_file, read_takes_only_a_regular_file_of_the_user) {
  struct read_case {
    const char* name;
    // Makes the thing at dir/"f"; returns the path to read, or empty when this machine
    // cannot make it.
    std::function<fs::path(const fs::path& dir)> make;
    file_status status;
    const char* reason;  // part of the reason
  };
  const std::size_t limit = 16;
  const read_case cases[] = {
      {"own regular file", [](const fs::path& d) { write_text(d / "f", "[app]\nLANG=en\n"); return d / "f"; },
       file_status::ok, ""},
      {"empty file", [](const fs::path& d) { write_text(d / "f", ""); return d / "f"; }, file_status::ok, ""},
      {"exactly the limit", [](const fs::path& d) { write_text(d / "f", std::string(16, 'x')); return d / "f"; },
       file_status::ok, ""},
      {"one byte over the limit",
       [](const fs::path& d) { write_text(d / "f", std::string(17, 'x')); return d / "f"; }, file_status::too_large,
       "larger than 16 bytes"},
      {"nothing there", [](const fs::path& d) { return d / "f"; }, file_status::missing, "does not exist"},
      {"link to a file of the user",
       [](const fs::path& d) {
         write_text(d / "victim", "secret");
         fs::create_symlink(d / "victim", d / "f");
         return d / "f";
       },
       file_status::not_regular, "symbolic link"},
      {"dangling link",
       [](const fs::path& d) {
         fs::create_symlink(d / "nowhere", d / "f");
         return d / "f";
       },
       file_status::not_regular, "symbolic link"},
      // Opening a pipe for reading without O_NONBLOCK waits for a writer for ever.
      {"named pipe",
       [](const fs::path& d) { return mkfifo((d / "f").c_str(), 0600) == 0 ? d / "f" : fs::path(); },
       file_status::not_regular, "named pipe"},
      {"directory",
       [](const fs::path& d) {
         fs::create_directory(d / "f");
         return d / "f";
       },
       file_status::not_regular, "directory"},
      {"device", [](const fs::path&) { return fs::path("/dev/null"); }, file_status::not_regular, "device"},
      {"file of another user",
       [](const fs::path& d) {
         write_text(d / "f", "x");
         return chown((d / "f").c_str(), other_uid, other_uid) == 0 ? d / "f" : fs::path();
       },
       file_status::foreign_owner, "another user (uid 4242)"},
      {"parent is not a directory",
       [](const fs::path& d) {
         write_text(d / "plain", "x");
         return d / "plain" / "f";
       },
       file_status::failed, "Not a directory"},
  };
  for (const read_case& c : cases) {
    SCOPED_TRACE(c.name);
    scratch s;
    ASSERT_FALSE(s.dir.empty());
    const fs::path path = c.make(s.dir);
    if (path.empty()) {
      std::printf("  skipped '%s': this machine cannot make it\n", c.name);
      continue;
    }
    const std::string before = fs::is_regular_file(fs::symlink_status(path)) ? read_text(path) : "";
    const file_read r = read_regular_file(path, limit);
    EXPECT_EQ(r.status, c.status);
    EXPECT_NE(r.reason.find(c.reason), std::string::npos) << r.reason;
    if (c.status == file_status::ok) {
      EXPECT_EQ(r.bytes, before);
      EXPECT_TRUE(r.reason.empty()) << r.reason;
    } else {
      EXPECT_TRUE(r.bytes.empty());
    }
  }
}

TEST(safe_file, replacement_puts_a_new_file_at_the_name_and_follows_nothing) {
  struct write_case {
    const char* name;
    std::function<void(const fs::path& dir)> make;  // what is at dir/"f" before
    std::function<void(const fs::path& dir)> check;  // besides the new content at dir/"f"
  };
  const mode_t old_mask = umask(022);
  const write_case cases[] = {
      {"nothing there", [](const fs::path&) {},
       [](const fs::path& d) { EXPECT_EQ(fs::status(d / "f").permissions(), fs::perms(0644)); }},
      // The hard link sees the old content: the file was replaced, not rewritten in place.
      {"older file of the user",
       [](const fs::path& d) {
         write_text(d / "f", "old content that is longer than the new one");
         fs::permissions(d / "f", fs::perms(0600));
         fs::create_hard_link(d / "f", d / "seen-by-a-reader");
       },
       [](const fs::path& d) {
         EXPECT_EQ(read_text(d / "seen-by-a-reader"), "old content that is longer than the new one");
         EXPECT_EQ(fs::status(d / "f").permissions(), fs::perms(0600));
       }},
      {"link to a file of the user",
       [](const fs::path& d) {
         write_text(d / "victim", "the user's data");
         fs::permissions(d / "victim", fs::perms(0640));
         fs::create_symlink(d / "victim", d / "f");
       },
       [](const fs::path& d) {
         EXPECT_EQ(read_text(d / "victim"), "the user's data");
         EXPECT_EQ(fs::status(d / "f").permissions(), fs::perms(0644));  // not the victim's
       }},
      {"dangling link", [](const fs::path& d) { fs::create_symlink(d / "created", d / "f"); },
       [](const fs::path& d) { EXPECT_FALSE(fs::exists(fs::symlink_status(d / "created"))); }},
      {"named pipe", [](const fs::path& d) { ASSERT_EQ(mkfifo((d / "f").c_str(), 0600), 0); },
       [](const fs::path&) {}},
  };
  for (const write_case& c : cases) {
    SCOPED_TRACE(c.name);
    scratch s;
    ASSERT_FALSE(s.dir.empty());
    c.make(s.dir);
    auto expected_entries = entries(s.dir);
    expected_entries.insert("f");

    const file_write w = write_file_atomically(s.dir / "f", "new");
    EXPECT_TRUE(w.ok) << w.reason;
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(s.dir / "f")));
    EXPECT_EQ(read_text(s.dir / "f"), "new");
    c.check(s.dir);
    EXPECT_EQ(entries(s.dir), expected_entries);  // no temporary file left over
  }
  umask(old_mask);
}

// Runs `attempt` in a child process after `prepare` (which may change limits or mounts
// for the child alone). Returns the child's result, or nullopt when `prepare` failed.
std::optional<file_write> in_child(const std::function<bool()>& prepare, const std::function<file_write()>& attempt) {
  int out[2];
  if (pipe(out) != 0) return std::nullopt;
  const pid_t pid = fork();
  if (pid == 0) {
    close(out[0]);
    if (!prepare()) _exit(2);
    const file_write w = attempt();
    if (!w.reason.empty() && write(out[1], w.reason.data(), w.reason.size()) < 0) _exit(3);
    _exit(w.ok ? 0 : 1);
  }
  close(out[1]);
  std::string reason;
  char buf[256];
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) reason.append(buf, static_cast<std::size_t>(n));
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 2) return std::nullopt;
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) return file_write{false, "the child ended abnormally"};
  return file_write{WEXITSTATUS(status) == 0, reason};
}

TEST(safe_file, failed_replacement_keeps_the_old_file_and_leaves_nothing_behind) {
  struct failure_case {
    const char* name;
    // Run in the child before the write; false when this machine cannot set it up.
    std::function<bool(const fs::path& dir)> prepare;
    const char* reason;
  };
  const failure_case cases[] = {
      // A disk that fills up mid-write: the size limit stops the write part-way.
      {"write stops part-way",
       [](const fs::path&) {
         signal(SIGXFSZ, SIG_IGN);
         const rlimit small{4096, 4096};
         return setrlimit(RLIMIT_FSIZE, &small) == 0;
       },
       "File too large"},
      // Root writes through any permission bits; a read-only mount stops even root.
      {"directory on a read-only mount",
       [](const fs::path& d) {
         return unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                mount(d.c_str(), d.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
                mount(nullptr, d.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
       },
       "Read-only file system"},
      {"directory at the name",
       [](const fs::path& d) {
         fs::remove(d / "f");
         return fs::create_directory(d / "f");
       },
       "directory"},
  };
  const std::string big(64 * 1024, 'n');
  for (const failure_case& c : cases) {
    SCOPED_TRACE(c.name);
    scratch s;
    ASSERT_FALSE(s.dir.empty());
    write_text(s.dir / "f", "old");
    const auto w = in_child([&] { return c.prepare(s.dir); }, [&] { return write_file_atomically(s.dir / "f", big); });
    if (!w) {
      std::printf("  skipped '%s': this machine cannot set it up\n", c.name);
      continue;
    }
    EXPECT_FALSE(w->ok);
    EXPECT_NE(w->reason.find(c.reason), std::string::npos) << w->reason;
    if (fs::is_regular_file(s.dir / "f")) {
      EXPECT_EQ(read_text(s.dir / "f"), "old");
    }
    EXPECT_EQ(entries(s.dir), std::set<std::string>{"f"});
  }

  scratch s;
  write_text(s.dir / "plain", "x");
  const file_write w = write_file_atomically(s.dir / "plain" / "f", "new");
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(w.reason, "Not a directory");
  EXPECT_EQ(read_text(s.dir / "plain"), "x");
}

}  // namespace
}  // namespace vorante
