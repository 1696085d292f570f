// One export at a time per export folder. Two runs into the same folder would each remove
// the other's temporary files as stale and report a failure that is none (the window's
// automatic export and the dialog's save, or the window and `tern-cli export`). Each run
// holds an flock(2) on the folder itself for its whole length; the lock leaves no file
// behind among the mirror's, is shared by every process and by two runs of one process
// (separate opens of the folder exclude each other), and the kernel drops it with the
// process.
#pragma once

#include <string>

namespace tern {

// Thread: owned by the thread that made it; released by its destructor.
class ExportFolderLock {
 public:
  // Waits until no other run holds `folder`. Where the file system knows no such lock
  // (some network file systems), the run goes on unguarded, as it did before.
  explicit ExportFolderLock(const std::string& folder);
  ~ExportFolderLock();
  ExportFolderLock(const ExportFolderLock&) = delete;
  ExportFolderLock& operator=(const ExportFolderLock&) = delete;

  bool held() const { return held_; }

 private:
  int fd_ = -1;
  bool held_ = false;
};

}  // namespace tern
