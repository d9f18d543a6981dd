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
#include <vector>

extern char** environ;

namespace vorante::test {

struct process_result {
  int status = -1;  // exit status, or -1 when it did not end by itself
  std::string out;
  std::string err;
};

// Starts `args` (args[0] is the path) and reads its output; `during` is called every
// few milliseconds while it runs. The process is killed after `limit`.
template <class During>
process_result run_process(const std::vector<std::string>& args, std::chrono::milliseconds limit, During&& during) {
  int out_pipe[2], err_pipe[2];
  if (::pipe(out_pipe) != 0 || ::pipe(err_pipe) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
  posix_spawn_file_actions_addclose(&actions, out_pipe[0]);
  posix_spawn_file_actions_addclose(&actions, err_pipe[0]);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  process_result r;
  if (rc != 0) {
    ::close(out_pipe[0]);
    ::close(err_pipe[0]);
    return r;
  }
  const auto deadline = std::chrono::steady_clock::now() + limit;
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  int open_pipes = 2;
  char buf[4096];
  while (open_pipes > 0 && std::chrono::steady_clock::now() < deadline) {
    during();
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
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return r;
  }
  ::waitpid(pid, &status, 0);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

inline process_result run_process(const std::vector<std::string>& args,
                                  std::chrono::milliseconds limit = std::chrono::seconds(20)) {
  return run_process(args, limit, [] {});
}

}  // namespace vorante::test
