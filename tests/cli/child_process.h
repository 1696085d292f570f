// A child process of a test (tern-cli, a server) whose standard output and error are read
// as they come; killed when the test ends without waiting for it.
#pragma once

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

namespace tern::testing {

class Child {
 public:
  // `environment`: "NAME=value" words added to the test's own; `inherit`: a descriptor the
  // child gets as descriptor 3 (a listening socket handed over as systemd would), or -1.
  explicit Child(std::vector<std::string> args, std::vector<std::string> environment = {},
                 int inherit = -1) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    if (inherit >= 0) posix_spawn_file_actions_adddup2(&actions, inherit, 3);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> env;
    for (char** e = environ; *e != nullptr; ++e) env.push_back(*e);
    for (auto& e : environment) env.push_back(e.data());
    env.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), env.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    out_ = fds[0];
  }
  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(out_);
  }

  // Reads until `text` has appeared or `seconds` have passed; true when it appeared.
  bool waitFor(const std::string& text, int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (output.find(text) == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      pollfd p{out_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) != 1) return false;
      char buf[4096];
      ssize_t n = ::read(out_, buf, sizeof buf);
      if (n <= 0) return false;
      output.append(buf, static_cast<std::size_t>(n));
    }
    return true;
  }
  void signal(int s) { ::kill(pid_, s); }
  // The exit status, or -1 when it did not exit normally within the time.
  int wait(int seconds) {
    waitFor("\n\x01never", seconds);  // drains the output until the pipe closes
    int status = 0;
    pid_t done = ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return done > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string output;

 private:
  pid_t pid_ = -1;
  int out_ = -1;
};

}  // namespace tern::testing
