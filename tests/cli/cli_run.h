// tern-cli run as a script runs it, for the process tests of tern-cli.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace tern::testing {

struct CliRun {
  int status = -1;
  std::string out;
};

// Runs tern-cli with a time limit, so a command that blocks fails the test instead of
// hanging it. With `withErrors`, stderr is part of the output. `environment` ("NAME=value
// ...") is set for the command alone.
inline CliRun run(const std::string& arguments, bool withErrors = false,
                  const std::string& environment = "") {
  CliRun r;
  std::string command = environment + " timeout 60 " + std::string(TERN_BIN_DIR) + "/tern-cli " +
                        arguments + (withErrors ? " 2>&1" : " 2>/dev/null");
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  int raw = ::pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

}  // namespace tern::testing
