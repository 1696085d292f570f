#include "common/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/error_text.h"

namespace tern {

FolderLock::FolderLock(const std::string& folder) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path.push_back('/');
  path += kFileName;
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
  if (fd_ < 0) {
    reason_ = systemErrorText(errno);
    return;
  }
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    state_ = State::Held;
    return;
  }
  const int error = errno;
  state_ = error == EWOULDBLOCK ? State::InUse : State::Unavailable;
  reason_ = systemErrorText(error);
  ::close(fd_);
  fd_ = -1;
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);  // the last descriptor closed releases the lock
}

std::string folderInUseMessage(const std::string& folder) {
  return "Der Datenordner " + folder + " wird bereits von einem anderen TERN-Programm benutzt.";
}

}  // namespace tern
