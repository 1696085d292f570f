// Keeps TERN to one running copy per desktop session. The guard is an exclusive lock on a
// file in the user's runtime folder; the kernel drops the lock when the process ends, so a
// crash can never leave it stuck the way a stale lock file would.
#pragma once

#include <string>

namespace tern {

// Thread: window thread (created in main() before the toolkit, destroyed at exit).
class InstanceGuard {
 public:
  enum class State { Acquired, AlreadyRunning, Unavailable };

  // `runtimeFolder` holds the lock file "TERN.lock".
  explicit InstanceGuard(const std::string& runtimeFolder);
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // Acquired: this process is the only one. AlreadyRunning: another process holds the lock.
  // Unavailable: the lock file cannot be created (the program then runs unguarded rather
  // than refusing to start).
  State state() const { return state_; }

  // The user's runtime folder: $XDG_RUNTIME_DIR, else a private folder under /tmp.
  static std::string defaultRuntimeFolder();

 private:
  int fd_ = -1;
  State state_ = State::Unavailable;
};

}  // namespace tern
