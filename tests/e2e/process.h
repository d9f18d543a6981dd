// Runs a program of this project as a process and collects its output.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <type_traits>
#include <vector>

extern char** environ;

namespace vorante::test {

// A started child and our ends of the pipes that were asked for (-1 for the others, which
// it shares with this process).
struct child_process {
  pid_t pid = -1;
  int in = -1;   // its standard input
  int out = -1;  // its standard output
  int err = -1;  // its standard error
};

struct child_pipes {
  bool in = false;
  bool out = true;
  bool err = false;
};

// Starts `args` (args[0] is the path) with the pipes asked for; pid -1 when it could not
// be started.
inline child_process spawn_child(const std::vector<std::string>& args, child_pipes which) {
  int pipes[3][2] = {{-1, -1}, {-1, -1}, {-1, -1}};
  const bool wanted[3] = {which.in, which.out, which.err};
  child_process c;
  for (int fd = 0; fd < 3; ++fd)
    // Close-on-exec, so that no other child keeps a pipe open; the dup2 below clears it
    // for the child's own ends.
    if (wanted[fd] && ::pipe2(pipes[fd], O_CLOEXEC) != 0) return c;  // only when out of descriptors
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (int fd = 0; fd < 3; ++fd) {
    if (!wanted[fd]) continue;
    // Standard input reads the pipe's read end; the outputs write the write end.
    const int theirs = fd == 0 ? 0 : 1;
    posix_spawn_file_actions_adddup2(&actions, pipes[fd][theirs], fd);
  }
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int* const ours[3] = {&c.in, &c.out, &c.err};
  for (int fd = 0; fd < 3; ++fd) {
    if (!wanted[fd]) continue;
    const int theirs = fd == 0 ? 0 : 1;
    ::close(pipes[fd][theirs]);
    if (rc == 0)
      *ours[fd] = pipes[fd][1 - theirs];
    else
      ::close(pipes[fd][1 - theirs]);
  }
  if (rc == 0) c.pid = pid;
  return c;
}

struct process_result {
  int status = -1;  // exit status, or -1 when it did not end by itself
  std::string out;
  std::string err;
};

// Starts `args` (args[0] is the path) and reads its output; `during` is called every few
// milliseconds while it runs. When `during` returns bool, false asks the process to finish
// (SIGINT) and its output is read on until it has ended. The process is killed after
// `limit`.
template <class During>
process_result run_process(const std::vector<std::string>& args, std::chrono::milliseconds limit, During&& during) {
  const child_process child = spawn_child(args, {.in = false, .out = true, .err = true});
  process_result r;
  if (child.pid < 0) return r;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  pollfd fds[2] = {{child.out, POLLIN, 0}, {child.err, POLLIN, 0}};
  int open_pipes = 2;
  bool interrupted = false;
  char buf[4096];
  while (open_pipes > 0 && std::chrono::steady_clock::now() < deadline) {
    if constexpr (std::is_same_v<std::invoke_result_t<During&>, bool>) {
      if (!interrupted && !during()) {
        ::kill(child.pid, SIGINT);
        interrupted = true;
      }
    } else {
      during();
    }
    if (::poll(fds, 2, 5) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      const ssize_t n = ::read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open_pipes;
        continue;
      }
      (i == 0 ? r.out : r.err).append(buf, static_cast<std::size_t>(n));
    }
  }
  for (auto& fd : fds)
    if (fd.fd >= 0) ::close(fd.fd);
  int status = 0;
  if (open_pipes > 0) {
    ::kill(child.pid, SIGKILL);
    ::waitpid(child.pid, &status, 0);
    return r;
  }
  ::waitpid(child.pid, &status, 0);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

inline process_result run_process(const std::vector<std::string>& args,
                                  std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  return run_process(args, limit, [] {});
}

}  // namespace vorante::test
