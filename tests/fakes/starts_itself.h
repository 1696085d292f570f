// Whether the test program can start itself again, as gtest's "threadsafe" death tests do to
// get a fresh process. Under qemu-user without the kernel's binfmt_misc entry for arm64
// (scripts/arm64-check.sh) an emulated program cannot start another one; such a test skips
// with the reason.
#pragma once

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace tern::testing {

inline bool programStartsItself() {
  static const bool starts = [] {
    char program[] = "/proc/self/exe";
    char list[] = "--gtest_list_tests";
    char none[] = "--gtest_filter=-*";
    char* argv[] = {program, list, none, nullptr};
    pid_t pid = -1;
    if (::posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) return false;
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }();
  return starts;
}

}  // namespace tern::testing
