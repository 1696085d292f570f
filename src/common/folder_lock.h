// One writer per data folder. Every program that writes a data folder (the window,
// `tern-cli readout`, `watch` and `update`) holds an exclusive lock on a file in it for as
// long as it runs: the window rewrites every data file from memory, so a second
// writer's messages would be overwritten and lost. The lock is an flock(2), which the kernel
// drops when the process ends, so a crash never leaves the folder locked.
//
// Commands that only read a folder take no lock: the data files are always replaced whole
// (see file_io.h), so a reader sees old or new files and never disturbs the writer.
#pragma once

#include <string>

namespace tern {

// Thread: owned by the thread that made it; released by its destructor.
class FolderLock {
 public:
  enum class State {
    Held,        // this process is the folder's writer
    InUse,       // another process holds the lock
    Unavailable  // no lock file could be made (e.g. a read-only folder): no guard possible
  };
  // The lock file inside the data folder.
  static constexpr const char* kFileName = ".TERN.lock";

  // Tries once, without waiting. `folder` ends with '/' or not.
  explicit FolderLock(const std::string& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  State state() const { return state_; }
  // The system's reason when Unavailable.
  const std::string& reason() const { return reason_; }

 private:
  int fd_ = -1;
  State state_ = State::Unavailable;
  std::string reason_;
};

// "Der Datenordner <folder> wird bereits von einem anderen TERN-Programm benutzt."
std::string folderInUseMessage(const std::string& folder);

}  // namespace tern
