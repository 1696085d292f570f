#include "cli/watch_log.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <iostream>

#include "common/error_text.h"
#include "common/latin1.h"

extern char** environ;

namespace tern::cli {

void WatchLog::line(const std::string& text) {
  const CivilTime t = clock_.utcNow();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02dZ ", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  // One event, one line: nothing in the text (a received key, a file name) may start another.
  const std::string printable = withControlsEscaped(text);
  std::lock_guard lock(mutex_);
  std::cout << stamp << printable << std::endl;
}

std::string startAlertCommand(const std::string& command, const std::string& text) {
  reapAlertCommands();
  const std::string script = command + " \"$1\"";
  const char* argv[] = {"/bin/sh", "-c", script.c_str(), "tern-alert", text.c_str(), nullptr};
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  const int rc =
      posix_spawn(&pid, "/bin/sh", nullptr, &attr, const_cast<char* const*>(argv), environ);
  posix_spawnattr_destroy(&attr);
  return rc == 0 ? std::string()
                 : std::string("Alarmbefehl nicht gestartet: ") + systemErrorText(rc);
}

void reapAlertCommands() {
  while (::waitpid(-1, nullptr, WNOHANG) > 0) {
  }
}

}  // namespace tern::cli
