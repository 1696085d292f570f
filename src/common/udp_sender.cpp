#include "common/udp_sender.h"

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/error_text.h"

namespace tern {

std::optional<UdpTarget> parseUdpTarget(const std::string& text) {
  const auto colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return std::nullopt;
  std::string host = text.substr(0, colon);
  if (host.front() == '[') {
    if (host.size() < 3 || host.back() != ']') return std::nullopt;
    host = host.substr(1, host.size() - 2);
  } else if (host.find(':') != std::string::npos) {
    return std::nullopt;  // an IPv6 address needs its brackets
  }
  int port = 0;
  for (char c : text.substr(colon + 1)) {
    if (c < '0' || c > '9') return std::nullopt;
    port = port * 10 + (c - '0');
    if (port > 65535) return std::nullopt;
  }
  if (port == 0) return std::nullopt;
  return UdpTarget{host, port};
}

UdpSender::~UdpSender() {
  if (socket_ >= 0) ::close(socket_);
}

std::string UdpSender::open(const UdpTarget& target) {
  if (socket_ >= 0) {
    ::close(socket_);
    socket_ = -1;
  }
  description_ = target.host + ":" + std::to_string(target.port);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_DGRAM;
  addrinfo* found = nullptr;
  const std::string port = std::to_string(target.port);
  if (int rc = ::getaddrinfo(target.host.c_str(), port.c_str(), &hints, &found); rc != 0) {
    return "Der Rechner " + target.host + " ist nicht zu finden: " + resolverErrorText(rc);
  }
  std::string failure = "Keine Verbindung zu " + description_ + " möglich.";
  for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
    int s = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (s < 0) continue;
    // A connected datagram socket: send() needs no address and reports refusals.
    if (::connect(s, a->ai_addr, a->ai_addrlen) == 0) {
      socket_ = s;
      failure.clear();
      break;
    }
    failure = "Keine Verbindung zu " + description_ + " möglich: " + systemErrorText(errno);
    ::close(s);
  }
  ::freeaddrinfo(found);
  return failure;
}

std::string UdpSender::send(const std::string& datagram) {
  if (socket_ < 0) return "Kein Ziel geöffnet.";
  ssize_t sent = ::send(socket_, datagram.data(), datagram.size(), MSG_NOSIGNAL);
  if (sent == static_cast<ssize_t>(datagram.size())) return {};
  // Nobody listening yet (ICMP port unreachable) is normal while the plotter starts.
  if (sent < 0 && errno == ECONNREFUSED) return {};
  return "Daten an " + description_ +
         " nicht gesendet: " + (sent < 0 ? systemErrorText(errno) : "unvollständig");
}

}  // namespace tern
