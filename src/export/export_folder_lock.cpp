#include "export/export_folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace tern {

ExportFolderLock::ExportFolderLock(const std::string& folder) {
  fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;  // the export finds the folder missing and says so
  int result = 0;
  while ((result = ::flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
  }
  held_ = result == 0;
}

ExportFolderLock::~ExportFolderLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace tern
