// One accepted connection as the HTTP library reads and writes it: every wait is bounded by
// the read or write timeout, reading ends for good at the connection's deadline, and a stop
// of the server ends every wait at once. So no client, however slow, holds a worker longer
// than its deadline plus one write timeout, and the server's stop never waits for a client.
#pragma once

#include <httplib.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <string>

namespace tern {

struct ConnectionTimes {
  std::chrono::milliseconds read{3000};            // longest wait for the next bytes of a request
  std::chrono::milliseconds write{5000};           // longest wait until the client takes more
  std::chrono::steady_clock::time_point readsEnd;  // no request is read after this
};

// Thread: the thread that serves the connection.
class ConnectionStream final : public httplib::Stream {
 public:
  // `stopEvent` becomes readable when the server stops. Neither descriptor is closed here.
  ConnectionStream(int socket, int stopEvent, ConnectionTimes times);

  bool is_readable() const override;
  bool is_writable() const override;
  ssize_t read(char* ptr, std::size_t size) override;
  ssize_t write(const char* ptr, std::size_t size) override;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  int socket() const override { return socket_; }

  // Waits at most `longest` for the first byte of the next request; false when none came, the
  // client closed, the deadline passed or the server stops.
  bool WaitForRequest(std::chrono::milliseconds longest) const;
  // After a refusal: stops sending, then reads and drops what the client still sends (a body
  // the answer did not wait for) for a short while, so closing does not reset the connection
  // before the client has read the answer.
  void Linger() const;

 private:
  enum class Wait { Ready, TimedOut, Stopped };
  Wait waitFor(short events, std::chrono::milliseconds longest) const;

  int socket_;
  int stopEvent_;
  ConnectionTimes times_;
  std::array<char, 4096> buffer_{};
  std::size_t start_ = 0;
  std::size_t end_ = 0;
};

// "192.168.1.5:51234" for a socket's peer; "?" when it cannot be told.
std::string peerText(int socket);

}  // namespace tern
