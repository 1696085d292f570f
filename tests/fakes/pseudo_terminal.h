// Whether this machine can open a pseudo-terminal, for the tests that stand one in for a
// serial port: a container without devpts cannot, nor can a program under an emulator that
// shows it a /dev without a usable ptmx. Such a test skips with the reason.
#pragma once

#include <pty.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

namespace tern::testing {

// Nothing when a pseudo-terminal opens; otherwise why not, for GTEST_SKIP.
inline std::optional<std::string> pseudoTerminalMissing() {
  int master = -1, slave = -1;
  if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
    return std::string("no pseudo-terminal can be opened here (") + std::strerror(errno) + ")";
  ::close(slave);
  ::close(master);
  return std::nullopt;
}

}  // namespace tern::testing
