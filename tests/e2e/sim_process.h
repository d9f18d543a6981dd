// The console simulator as a child process: started on a free loopback port, driven
// through its line commands on standard input, stopped with "quit".
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/process.h"

namespace vorante::test {

class sim_process {
 public:
  explicit sim_process(std::vector<std::string> options) {
    std::vector<std::string> args = {VORANTE_SIM_PATH};
    if (std::find(options.begin(), options.end(), "--port") == options.end()) {
      args.push_back("--port");
      args.push_back("0");
    }
    args.insert(args.end(), options.begin(), options.end());
    const child_process child = spawn_child(args, {.in = true, .out = true, .err = false});
    if (child.pid < 0) return;
    pid_ = child.pid;
    to_ = child.in;
    from_ = child.out;
    // The start-up facts, then "ready".
    for (std::string line; read_line(line, std::chrono::seconds(10));) {
      if (line.rfind("udp ", 0) == 0) udp_port_ = port_of(line);
      if (line.rfind("tcp ", 0) == 0) tcp_port_ = port_of(line);
      if (line.rfind("serial ", 0) == 0) serial_path_ = line.substr(7);
      if (line == "ready") {
        ready_ = true;
        break;
      }
    }
  }

  ~sim_process() { stop(); }

  bool ready() const { return ready_; }
  uint16_t udp_port() const { return udp_port_; }
  uint16_t tcp_port() const { return tcp_port_; }
  const std::string& serial_path() const { return serial_path_; }
  std::string console() const { return "127.0.0.1:" + std::to_string(udp_port_); }

  // Sends one line command and returns its one-line answer ("" on time-out).
  std::string command(const std::string& line) {
    const std::string text = line + "\n";
    if (::write(to_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) return {};
    std::string answer;
    read_line(answer, std::chrono::seconds(5));
    return answer;
  }

  void stop() {
    if (pid_ <= 0) return;
    command("quit");
    int status = 0;
    for (int i = 0; i < 200; ++i) {
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      ::usleep(10000);
    }
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
      pid_ = -1;
    }
    ::close(to_);
    ::close(from_);
  }

 private:
  static uint16_t port_of(const std::string& line) {
    return static_cast<uint16_t>(std::stoi(line.substr(line.rfind(':') + 1)));
  }

  bool read_line(std::string& line, std::chrono::milliseconds limit) {
    line.clear();
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
      const auto nl = buffer_.find('\n');
      if (nl != std::string::npos) {
        line = buffer_.substr(0, nl);
        buffer_.erase(0, nl + 1);
        return true;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd p{from_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
      char buf[512];
      const ssize_t n = ::read(from_, buf, sizeof buf);
      if (n <= 0) return false;
      buffer_.append(buf, static_cast<std::size_t>(n));
    }
  }

  pid_t pid_ = -1;
  int to_ = -1, from_ = -1;
  std::string buffer_;
  bool ready_ = false;
  uint16_t udp_port_ = 0, tcp_port_ = 0;
  std::string serial_path_;
};

}  // namespace vorante::test
