// A small UDP sender for the datagrams that chart plotter programs and boat servers read
// from the local network once a UDP input is set up on them. Datagrams are fire and forget:
// a plotter that is not running must never hold up or break the reception of messages.
#pragma once

#include <optional>
#include <string>

namespace tern {

// "HOST:PORT" split and checked; nothing when the text is not of that form or the port is
// not 1..65535. An IPv6 host is written in brackets: "[::1]:10110".
struct UdpTarget {
  std::string host;
  int port = 0;
};
std::optional<UdpTarget> parseUdpTarget(const std::string& text);

// Thread: one owner; send() may be called from any single thread at a time.
class UdpSender {
 public:
  UdpSender() = default;
  ~UdpSender();
  UdpSender(const UdpSender&) = delete;
  UdpSender& operator=(const UdpSender&) = delete;

  // Resolves the host and opens the socket; "" on success, else a German description.
  std::string open(const UdpTarget& target);
  bool isOpen() const { return socket_ >= 0; }
  // One datagram; "" on success, else a German description of the failure.
  std::string send(const std::string& datagram);

 private:
  int socket_ = -1;
  std::string description_;  // "127.0.0.1:10110", for messages
};

}  // namespace tern
