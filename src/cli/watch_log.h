// The service's log: one line per event on standard output, each with its UTC time stamp, so
// the system journal (or any redirection) holds them in order. Lines are flushed at once;
// a service is read while it runs.
#pragma once

#include <mutex>
#include <string>

#include "common/clock.h"

namespace tern::cli {

// Thread: any thread; lines never interleave.
class WatchLog {
 public:
  explicit WatchLog(const Clock& clock) : clock_(clock) {}
  void line(const std::string& text);

 private:
  const Clock& clock_;
  std::mutex mutex_;
};

// Runs `command` through the shell with `text` as its first argument ("$1"), so the text
// needs no quoting and cannot inject commands. The child does not inherit the service's
// blocked signals. Returns "" when it started, else a description; finished children are
// reaped by reapAlertCommands().
std::string startAlertCommand(const std::string& command, const std::string& text);
void reapAlertCommands();

}  // namespace tern::cli
