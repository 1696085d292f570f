#include "web/mhd/head_deadlines.h"

#include <sys/socket.h>

namespace tern {

void HeadDeadlines::Opened(const void* connection, int fd) {
  std::lock_guard lock(mutex_);
  entries_[connection] = {.fd = fd, .deadline = Clock::now() + longest_};
}

void HeadDeadlines::RequestBegun(const void* connection) {
  std::lock_guard lock(mutex_);
  if (auto it = entries_.find(connection); it != entries_.end()) it->second.begun = true;
}

void HeadDeadlines::HeadComplete(const void* connection) {
  std::lock_guard lock(mutex_);
  if (auto it = entries_.find(connection); it != entries_.end()) it->second.due = false;
}

void HeadDeadlines::AnswerSent(const void* connection) {
  std::lock_guard lock(mutex_);
  if (auto it = entries_.find(connection); it != entries_.end()) {
    it->second.deadline = Clock::now() + longest_;
    it->second.due = true;
    it->second.begun = false;
  }
}

void HeadDeadlines::Closed(const void* connection) {
  std::lock_guard lock(mutex_);
  entries_.erase(connection);
}

// Shutdown, not close: the socket stays the library's, which sees it end and closes it.
void HeadDeadlines::shutdownSocket(int fd) { ::shutdown(fd, SHUT_RDWR); }

}  // namespace tern
