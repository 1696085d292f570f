#include "app/instance_guard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace tern {

InstanceGuard::InstanceGuard(const std::string& runtimeFolder) {
  std::string path = runtimeFolder;
  if (path.empty() || path.back() != '/') path.push_back('/');
  path += "TERN.lock";
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) return;
  if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    state_ = State::Acquired;
  } else {
    state_ = errno == EWOULDBLOCK ? State::AlreadyRunning : State::Unavailable;
    ::close(fd_);
    fd_ = -1;
  }
}

InstanceGuard::~InstanceGuard() {
  if (fd_ >= 0) ::close(fd_);  // closing the last descriptor releases the lock
}

std::string InstanceGuard::defaultRuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return runtime;
  std::string folder = "/tmp/tern-" + std::to_string(::getuid());
  ::mkdir(folder.c_str(), 0700);
  return folder;
}

}  // namespace tern
