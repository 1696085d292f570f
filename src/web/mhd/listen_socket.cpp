#include "web/mhd/listen_socket.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tern {

namespace {

int boundPort(int fd) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  if (address.ss_family == AF_INET)
    return ntohs(reinterpret_cast<const sockaddr_in*>(&address)->sin_port);
  if (address.ss_family == AF_INET6)
    return ntohs(reinterpret_cast<const sockaddr_in6*>(&address)->sin6_port);
  return 0;
}

}  // namespace

ListenSocket OpenListenSocket(const std::string& host, int port, int backlog) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  // Numbers only: a name would make the listener depend on the resolver at start.
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV | AI_PASSIVE;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found); rc != 0)
    return {.error = rc == EAI_SYSTEM ? errno : rc, .resolver = rc != EAI_SYSTEM};
  ListenSocket result{.error = EADDRNOTAVAIL};
  for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
    const int fd =
        ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) {
      result.error = errno;
      continue;
    }
    // SO_REUSEADDR lets a restart bind while old connections time out. Not SO_REUSEPORT,
    // with which a second service could bind the same port and take every other client.
    const int yes = 1;
    const int no = 0;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (a->ai_family == AF_INET6) ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &no, sizeof no);
    if (::bind(fd, a->ai_addr, a->ai_addrlen) == 0 && ::listen(fd, backlog) == 0) {
      result = {.fd = fd, .port = boundPort(fd)};
      break;
    }
    result.error = errno;
    ::close(fd);
  }
  ::freeaddrinfo(found);
  return result;
}

}  // namespace tern
