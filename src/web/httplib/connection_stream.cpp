#include "web/httplib/connection_stream.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tern {

namespace {

using Clock = std::chrono::steady_clock;

void addressOf(const sockaddr_storage& address, std::string& ip, int& port) {
  char text[INET6_ADDRSTRLEN] = "";
  if (address.ss_family == AF_INET) {
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
    ::inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
    port = ntohs(v4.sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
    ::inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
    port = ntohs(v6.sin6_port);
  }
  ip = text;
}

template <typename Name>
void nameOf(int socket, Name name, std::string& ip, int& port) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  ip.clear();
  port = 0;
  if (name(socket, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    addressOf(address, ip, port);
}

}  // namespace

ConnectionStream::ConnectionStream(int socket, int stopEvent, ConnectionTimes times)
    : socket_(socket), stopEvent_(stopEvent), times_(times) {}

ConnectionStream::Wait ConnectionStream::waitFor(short events,
                                                 std::chrono::milliseconds longest) const {
  const auto until = Clock::now() + longest;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left < 0) return Wait::TimedOut;
    pollfd fds[2] = {{socket_, events, 0}, {stopEvent_, POLLIN, 0}};
    const int n = ::poll(fds, 2, static_cast<int>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || fds[1].revents != 0) return Wait::Stopped;
    if (n > 0) return Wait::Ready;  // also an error or hang-up: the next call reports it
  }
}

bool ConnectionStream::is_readable() const {
  if (start_ < end_) return true;
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(times_.readsEnd - Clock::now());
  return waitFor(POLLIN, std::min(times_.read, left)) == Wait::Ready;
}

bool ConnectionStream::is_writable() const { return waitFor(POLLOUT, times_.write) == Wait::Ready; }

ssize_t ConnectionStream::read(char* ptr, std::size_t size) {
  if (start_ == end_) {
    if (!is_readable()) return -1;
    ssize_t n;
    do {
      n = ::recv(socket_, buffer_.data(), buffer_.size(), 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) return n;
    start_ = 0;
    end_ = static_cast<std::size_t>(n);
  }
  const std::size_t count = std::min(size, end_ - start_);
  std::memcpy(ptr, buffer_.data() + start_, count);
  start_ += count;
  return static_cast<ssize_t>(count);
}

ssize_t ConnectionStream::write(const char* ptr, std::size_t size) {
  if (!is_writable()) return -1;
  ssize_t n;
  do {
    n = ::send(socket_, ptr, size, MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  return n;
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  nameOf(socket_, ::getpeername, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
  nameOf(socket_, ::getsockname, ip, port);
}

bool ConnectionStream::WaitForRequest(std::chrono::milliseconds longest) const {
  if (start_ < end_) return true;
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(times_.readsEnd - Clock::now());
  if (waitFor(POLLIN, std::min(longest, left)) != Wait::Ready) return false;
  char byte;
  return ::recv(socket_, &byte, 1, MSG_PEEK | MSG_DONTWAIT) > 0;
}

void ConnectionStream::Linger() const {
  ::shutdown(socket_, SHUT_WR);
  std::array<char, 4096> drop;
  std::size_t dropped = 0;
  while (dropped < 65536 && waitFor(POLLIN, std::chrono::milliseconds(500)) == Wait::Ready) {
    const ssize_t n = ::recv(socket_, drop.data(), drop.size(), MSG_DONTWAIT);
    if (n <= 0) break;
    dropped += static_cast<std::size_t>(n);
  }
}

std::string peerText(int socket) {
  std::string ip;
  int port = 0;
  nameOf(socket, ::getpeername, ip, port);
  if (ip.empty()) return "?";
  return (ip.find(':') != std::string::npos ? "[" + ip + "]" : ip) + ":" + std::to_string(port);
}

}  // namespace tern
