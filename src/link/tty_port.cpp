#include "link/tty_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "link/protocol.h"
#include "link/receiver_access.h"

namespace tern {

namespace {

using SteadyClock = std::chrono::steady_clock;

int msUntil(SteadyClock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
  return static_cast<int>(std::max<std::int64_t>(left.count(), 0));
}

bool isCharDevice(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

}  // namespace

TtyPort::TtyPort(std::string path) : path_(std::move(path)) {}

TtyPort::~TtyPort() { close(); }

Counted TtyPort::deviceCount() { return {LinkStatus::Ok, isCharDevice(path_) ? 1u : 0u}; }

LinkStatus TtyPort::description(std::uint32_t index, std::string& text) {
  if (index != 0 || !isCharDevice(path_)) return LinkStatus::IoError;
  text = protocol::kReceiverDescription;
  return LinkStatus::Ok;
}

LinkStatus TtyPort::open(std::string_view description) {
  if (fd_ >= 0 || description != protocol::kReceiverDescription) return LinkStatus::IoError;
  int fd = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return LinkStatus::IoError;
  termios tio{};
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::tcgetattr(fd, &tio) != 0) {
    ::close(fd);
    return LinkStatus::IoError;
  }
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
    ::close(fd);
    return LinkStatus::IoError;
  }
  // Only input is stale here (a reply to nobody). Output may still hold the command that
  // an earlier open wrote just before it closed; discarding it would lose that command.
  ::tcflush(fd, TCIFLUSH);
  fd_ = fd;
  return LinkStatus::Ok;
}

LinkStatus TtyPort::setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
  if (fd_ < 0) return LinkStatus::NotOpen;
  readTimeoutMs_ = readMs;
  writeTimeoutMs_ = writeMs;
  return LinkStatus::Ok;
}

Counted TtyPort::write(ByteView data) {
  if (fd_ < 0) return {LinkStatus::NotOpen, 0};
  auto deadline = SteadyClock::now() + std::chrono::milliseconds(writeTimeoutMs_);
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR)
      return {LinkStatus::IoError, static_cast<std::uint32_t>(done)};
    int left = msUntil(deadline);
    if (left == 0) return {LinkStatus::Timeout, static_cast<std::uint32_t>(done)};
    pollfd pfd{fd_, POLLOUT, 0};
    // A hung-up or broken line never becomes writable again: give up at once instead of
    // spinning until the deadline.
    if (::poll(&pfd, 1, left) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)))
      return {LinkStatus::IoError, static_cast<std::uint32_t>(done)};
  }
  return {LinkStatus::Ok, static_cast<std::uint32_t>(done)};
}

Counted TtyPort::read(std::span<std::uint8_t> into) {
  if (fd_ < 0) return {LinkStatus::NotOpen, 0};
  auto deadline = SteadyClock::now() + std::chrono::milliseconds(readTimeoutMs_);
  std::size_t got = 0;
  while (got < into.size()) {
    ssize_t n = ::read(fd_, into.data() + got, into.size() - got);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR)
      return {LinkStatus::IoError, static_cast<std::uint32_t>(got)};
    int left = msUntil(deadline);
    if (left == 0) break;
    pollfd pfd{fd_, POLLIN, 0};
    int rc = ::poll(&pfd, 1, left);
    // An unplugged converter or a vanished pty peer hangs up; waiting on would only spin.
    bool hungUp = (pfd.revents & POLLHUP) && !(pfd.revents & POLLIN);
    if (rc > 0 && ((pfd.revents & (POLLERR | POLLNVAL)) || hungUp))
      return {LinkStatus::IoError, static_cast<std::uint32_t>(got)};
  }
  auto n = static_cast<std::uint32_t>(got);
  return {got == into.size() ? LinkStatus::Ok : LinkStatus::Timeout, n};
}

Counted TtyPort::queued() {
  if (fd_ < 0) return {LinkStatus::NotOpen, 0};
  int n = 0;
  if (::ioctl(fd_, FIONREAD, &n) != 0 || n < 0) return {LinkStatus::IoError, 0};
  return {LinkStatus::Ok, static_cast<std::uint32_t>(n)};
}

void TtyPort::drainOutput() {
  // tcdrain alone waits without limit on a line that never drains (flow control stuck, a
  // converter that hangs); wait for the driver's queue with the write timeout first, and
  // let tcdrain finish the last bytes only once the queue is empty.
  auto deadline = SteadyClock::now() + std::chrono::milliseconds(writeTimeoutMs_);
  int pending = 0;
  while (::ioctl(fd_, TIOCOUTQ, &pending) == 0 && pending > 0) {
    if (msUntil(deadline) == 0) return;
    ::usleep(1000);
  }
  ::tcdrain(fd_);
}

LinkStatus TtyPort::close() {
  if (fd_ < 0) return LinkStatus::Ok;
  drainOutput();
  int rc = ::close(fd_);  // also drops the lock
  fd_ = -1;
  return rc == 0 ? LinkStatus::Ok : LinkStatus::IoError;
}

AccessProblem TtyPort::accessProblem() {
  DeviceNode node = inspectNode(path_);
  if (!node.exists) return {};
  if (!node.accessible) return {AccessProblem::Kind::NotPermitted, {}};
  if (!node.holders.empty())
    return {AccessProblem::Kind::Held, describeProcess(node.holders.front())};
  // Another TERN on this port holds its lock, possibly between two exchanges.
  if (auto holder = flockHolder(path_); holder && holder->pid != static_cast<int>(::getpid()))
    return {AccessProblem::Kind::Held, describeProcess(*holder)};
  return {};
}

}  // namespace tern
