#include "app/display_probe.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <optional>

namespace tern {

namespace {

constexpr int kFirstX11Port = 6000;

struct DisplayName {
  std::string host;
  int number = 0;
};

// "[host]:number[.screen]". Anything else (a protocol or a socket path before the host, the
// old double colon, no number) is not parsed, and the toolkit is left to read it.
std::optional<DisplayName> parseDisplay(std::string_view display) {
  const std::size_t colon = display.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  DisplayName name;
  name.host = std::string(display.substr(0, colon));
  if (name.host.find('/') != std::string::npos || (!name.host.empty() && name.host.back() == ':'))
    return std::nullopt;
  std::string_view rest = display.substr(colon + 1);
  std::size_t digits = 0;
  while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') ++digits;
  if (digits == 0 || digits > 5) return std::nullopt;
  for (char c : rest.substr(0, digits)) name.number = name.number * 10 + (c - '0');
  rest.remove_prefix(digits);
  if (!rest.empty()) {
    if (rest.front() != '.' || rest.size() == 1) return std::nullopt;
    for (char c : rest.substr(1))
      if (c < '0' || c > '9') return std::nullopt;
  }
  if (name.number > 65535 - kFirstX11Port) return std::nullopt;
  return name;
}

// Closes a descriptor on every way out.
struct Socket {
  explicit Socket(int descriptor) : fd(descriptor) {}
  ~Socket() {
    if (fd >= 0) ::close(fd);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd;
};

// The errno of a connection to the local socket `path` (0 when it was accepted), on the
// file system or, with `abstract`, in the abstract namespace.
int connectLocal(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::size_t offset = abstract ? 1 : 0;
  if (path.size() + offset + 1 > sizeof address.sun_path) return ENAMETOOLONG;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset +
                                             path.size() + (abstract ? 0 : 1));
  Socket socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (socket.fd < 0) return errno;
  if (::connect(socket.fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) return 0;
  // A server whose queue is full is there all the same.
  return errno == EAGAIN ? 0 : errno;
}

bool isAbsent(int error) { return error == ENOENT || error == ECONNREFUSED; }

DisplayAnswer probeLocal(const std::string& socket) {
  const int onDisk = connectLocal(socket, false);
  if (onDisk == 0) return DisplayAnswer::Reachable;
  const int abstract = connectLocal(socket, true);
  if (abstract == 0) return DisplayAnswer::Reachable;
  return isAbsent(onDisk) && isAbsent(abstract) ? DisplayAnswer::Unreachable
                                                : DisplayAnswer::Unknown;
}

// The errno of a TCP connection to `address` (0 when accepted); ETIMEDOUT after `wait`.
int connectTcp(const addrinfo& address, std::chrono::milliseconds wait) {
  Socket socket(::socket(address.ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (socket.fd < 0) return errno;
  if (::connect(socket.fd, address.ai_addr, address.ai_addrlen) == 0) return 0;
  if (errno != EINPROGRESS) return errno;
  pollfd ready{socket.fd, POLLOUT, 0};
  int n;
  do {
    n = ::poll(&ready, 1, static_cast<int>(wait.count()));
  } while (n < 0 && errno == EINTR);
  if (n <= 0) return ETIMEDOUT;
  int error = 0;
  socklen_t size = sizeof error;
  if (::getsockopt(socket.fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) return errno;
  return error;
}

DisplayAnswer probeTcp(const std::string& host, int port, std::chrono::milliseconds wait) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int resolved = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
  if (resolved == EAI_NONAME) return DisplayAnswer::Unreachable;
  if (resolved != 0) return DisplayAnswer::Unknown;
  bool allRefused = true;
  DisplayAnswer answer = DisplayAnswer::Unknown;
  for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
    const int error = connectTcp(*a, wait);
    if (error == 0) {
      answer = DisplayAnswer::Reachable;
      break;
    }
    if (error != ECONNREFUSED) allRefused = false;
  }
  ::freeaddrinfo(found);
  if (answer == DisplayAnswer::Reachable) return answer;
  return allRefused ? DisplayAnswer::Unreachable : DisplayAnswer::Unknown;
}

}  // namespace

DisplayAnswer probeX11Display(std::string_view display, const std::string& socketFolder,
                              std::chrono::milliseconds wait) {
  const std::optional<DisplayName> name = parseDisplay(display);
  if (!name) return DisplayAnswer::Unknown;
  if (name->host.empty() || name->host == "unix")
    return probeLocal(socketFolder + "X" + std::to_string(name->number));
  return probeTcp(name->host, kFirstX11Port + name->number, wait);
}

}  // namespace tern
