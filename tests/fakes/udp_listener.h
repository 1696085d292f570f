// A UDP socket on a free loopback port that tests send NMEA sentences to and read back.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>
#include <string>

namespace tern::testing {

class UdpListener {
 public:
  UdpListener() : fd_(::socket(AF_INET, SOCK_DGRAM, 0)) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
      port_ = ntohs(addr.sin_port);
  }
  ~UdpListener() {
    if (fd_ >= 0) ::close(fd_);
  }
  UdpListener(const UdpListener&) = delete;
  UdpListener& operator=(const UdpListener&) = delete;

  bool ok() const { return port_ != 0; }
  // "127.0.0.1:PORT", as the --nmea-udp option takes it.
  std::string target() const { return "127.0.0.1:" + std::to_string(port_); }
  // The next datagram, waiting at most `timeoutMs` (0: only one already there).
  std::optional<std::string> receive(int timeoutMs) {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) != 1) return std::nullopt;
    char buf[512];
    const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
    if (n <= 0) return std::nullopt;
    return std::string(buf, static_cast<std::size_t>(n));
  }

 private:
  int fd_;
  int port_ = 0;
};

}  // namespace tern::testing
