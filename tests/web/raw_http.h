// Plain-socket HTTP for the server tests: requests exactly as written (a client library
// would tidy "..", encodings and odd methods away) and connections held open on purpose.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace tern::testing {

class RawConnection {
 public:
  // From `source`, another loopback address for a client of its own.
  explicit RawConnection(int port, const char* source = nullptr)
      : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    if (source != nullptr) {
      sockaddr_in from{};
      from.sin_family = AF_INET;
      ::inet_pton(AF_INET, source, &from.sin_addr);
      ::bind(fd_, reinterpret_cast<sockaddr*>(&from), sizeof from);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, "127.0.0.1", &address.sin_addr);
    connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~RawConnection() { ::close(fd_); }
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  bool connected() const { return connected_; }
  bool send(const std::string& bytes) {
    return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(bytes.size());
  }
  // What arrives until the server closes, `until` shows up or `ms` pass.
  std::string receive(int ms, const std::string& until = "") {
    return receiveUntil(ms, [&until](const std::string& got) {
      return !until.empty() && got.find(until) != std::string::npos;
    });
  }
  // What arrives until the server closes, `done(everything so far)` holds or `ms` pass.
  template <typename Done>
  std::string receiveUntil(int ms, Done done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done(got_)) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            end - std::chrono::steady_clock::now())
                            .count();
      pollfd p{fd_, POLLIN, 0};
      if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) != 1) break;
      char buffer[8192];
      const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0) {
        closed_ = true;
        break;
      }
      got_.append(buffer, static_cast<std::size_t>(n));
    }
    return got_;
  }
  bool closedByServer() const { return closed_; }
  // Forgets what arrived so far, so the next receive starts afresh.
  void clear() { got_.clear(); }

 private:
  int fd_;
  bool connected_ = false;
  bool closed_ = false;
  std::string got_;
};

// The status code of an answer ("HTTP/1.1 405 ..."), 0 when there is none.
inline int statusOf(const std::string& answer) {
  if (answer.rfind("HTTP/1.1 ", 0) != 0 || answer.size() < 12) return 0;
  return std::stoi(answer.substr(9, 3));
}

// The body of a whole answer (after the blank line), empty without one.
inline std::string bodyOf(const std::string& answer) {
  const std::size_t end = answer.find("\r\n\r\n");
  return end == std::string::npos ? std::string() : answer.substr(end + 4);
}

// The value of the header `name` (as the server spells it), empty without one.
inline std::string headerOf(const std::string& answer, const std::string& name) {
  const std::size_t at = answer.find("\r\n" + name + ": ");
  if (at == std::string::npos || at > answer.find("\r\n\r\n")) return {};
  const std::size_t begin = at + name.size() + 4;
  return answer.substr(begin, answer.find("\r\n", begin) - begin);
}

// How many whole answers (head and the body its Content-Length announces) `bytes` holds.
inline std::size_t wholeAnswers(const std::string& bytes) {
  std::size_t count = 0;
  for (std::size_t at = 0;;) {
    const std::size_t headEnd = bytes.find("\r\n\r\n", at);
    if (headEnd == std::string::npos) return count;
    const std::string length = headerOf(bytes.substr(at, headEnd + 4 - at), "Content-Length");
    at = headEnd + 4 + (length.empty() ? 0 : std::stoul(length));
    if (at > bytes.size()) return count;
    ++count;
  }
}

// One request on a fresh connection, the whole answer read until the server closes.
inline std::string httpExchange(int port, const std::string& request, int ms = 5000) {
  RawConnection c(port);
  if (!c.connected() || !c.send(request)) return {};
  return c.receive(ms);
}

}  // namespace tern::testing
