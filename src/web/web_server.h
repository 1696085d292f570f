// The web page's HTTP server: the HTTP library from the system (libmicrohttpd) in the web
// module (web/http_host.h), opened by the first Start, with one handler that passes every
// request through the guard and the answers, and nothing it would route by itself. It only
// reads: no request changes a setting, a schedule or a file.
//
// Connections: a few threads each watch many connections, so a slow client holds a socket,
// never a thread. Every request's head must be complete within a deadline; the connections
// in all and per client address are limited (more are closed at once, counted in one log
// line a second); up to 32 event streams (/api/events) are held, each out of the library's
// loop while it has nothing to send, and one more is answered 503 with Retry-After. A
// request without the token, where one is asked, is answered 401 and closed as soon as its
// head has come.
//
// Every refusal is logged as one line: status, method, path (shortened, without the query,
// which may hold the token) and the client's address.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "messages/message_store.h"
#include "web/http_host.h"
#include "web/web_access.h"
#include "web/web_site.h"

namespace tern {

struct WebServerOptions : HttpLimits {
  ListenAddress address;  // port 0: a free port, see Port()
  std::string token;      // asked from every client when not empty
  // The session's decoded SYNOP reports, which the window's SYNOP page shows too; null: each
  // /api/synop decodes the stored bulletins itself. Must outlive the server.
  SynopReports* synop = nullptr;
};

// Thread: Start, Stop and the destructor on the owner's thread; Port, Url and Refusals on
// any. The server's own threads read the message store (under its lock) and `data`.
class WebServer {
 public:
  using LogLine = std::function<void(const std::string&)>;

  // `store` and `data` must outlive the server or its Stop(). `log` gets each refusal's line
  // on a server thread.
  WebServer(const MessageStore& store, WebData& data, WebServerOptions options, LogLine log);
  ~WebServer();
  WebServer(const WebServer&) = delete;
  WebServer& operator=(const WebServer&) = delete;

  // Opens the web module, binds and starts listening; empty when it does, else why not
  // (German).
  std::string Start();
  // The port listened on; 0 before Start().
  int Port() const;
  // The page's address, with "?token=" when a token is asked.
  std::string Url() const;
  // Ends every connection (event streams included) and joins every thread of the server.
  // Nothing happens a second time.
  void Stop();

  // The last refusals' lines, oldest first (at most 200).
  std::vector<std::string> Refusals() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tern
