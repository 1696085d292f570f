// What the web page's HTTP server and the program say to each other. The server is the HTTP
// library from the system (libmicrohttpd), which brings GnuTLS and its crypto libraries with
// it; linked into the programs, they would be loaded by every start of `tern-cli` or the
// window, for a page most starts never serve. So the library lives in the module
// "tern-web.so" beside the executable (src/web/mhd), opened by WebServer::Start.
//
// The module only carries HTTP: connections, their limits and timeouts, the event streams.
// What a request is answered, who may ask, and every text stay in the program, behind
// HttpSite.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tern {

// Raised whenever a type or a function of this interface changes.
inline constexpr int kHttpHostVersion = 2;
// The module's one exported function: `const void* tern_http_host(int version)`, the
// HttpHostFactory, or nullptr when `version` is not the module's own.
inline constexpr const char* kHttpHostEntry = "tern_http_host";
inline constexpr const char* kWebModuleName = "tern-web.so";

// The server answers from a few threads that each watch many connections, so a slow client
// costs a socket, not a thread; these limits bound the sockets.
struct HttpLimits {
  std::size_t threads = 4;        // answering requests, each for many connections
  std::size_t connections = 256;  // at once, every client together; more are closed at once
  std::size_t perAddress = 64;    // at once from one client address; more are closed at once
  std::size_t eventStreams = 32;  // /api/events at once; more are answered 503
  int backlog = 64;               // connections the kernel holds until they are accepted
  // A request's head (request line and headers) must be complete this long after the
  // connection opened or the previous answer went out; else the connection is closed. It is
  // also the longest a client may leave an answer unread.
  std::chrono::milliseconds headTimeout{10000};
  std::chrono::milliseconds eventKeepAlive{15000};  // a comment line on a quiet event stream
};

struct HttpHostOptions {
  std::string host;
  int port = 0;  // 0: a free one
  HttpLimits limits;
  std::vector<std::pair<std::string, std::string>> defaultHeaders;  // on every answer
};

// A request as far as the program needs it; its body is never read.
struct HttpRequestHead {
  std::string method;
  std::string target;  // as in the request line, path and query undecoded
  std::string host;    // the Host header, empty when none came
  std::string cookie;
  std::size_t headerBytes = 0;  // what the client sent, the library's own entries not counted
  std::size_t bodyBytes = 0;    // what it announces (1 for a chunked body)
};

struct HttpReply {
  int status = 200;
  std::string body;
  std::string contentType;
  std::string cacheControl;  // replaces the default header when not empty
  std::string setCookie;     // sent when not empty
  bool eventStream = false;  // answered with the event stream instead (the rest unused)
};

// The program's side. Thread: every member is called on the server's threads, several at once.
class HttpSite {
 public:
  virtual ~HttpSite() = default;
  virtual HttpReply Answer(const HttpRequestHead& request) = 0;
  // The answer to a refused request, which the program also logs; `peer` is the client's
  // address ("?" when unknown).
  virtual HttpReply Refuse(int status, const HttpRequestHead& request, const std::string& peer) = 0;
  virtual void Log(const std::string& line) = 0;
  // The event stream: the generation of the data now, and a wait of at most `longest` for it
  // to move away from `seen` (ended early once `stopping` is set).
  virtual std::uint64_t Generation() = 0;
  virtual std::uint64_t WaitForNews(std::uint64_t seen, std::chrono::milliseconds longest,
                                    const std::atomic<bool>& stopping) = 0;
  // Ends every WaitForNews at once (after `stopping` was set).
  virtual void WakeWaiters() = 0;
};

// Thread: Start and Stop (once each) on the owner's thread.
class HttpHost {
 public:
  virtual ~HttpHost() = default;
  // Binds and starts listening: the port, or 0 and the errno of the failure (0 when unknown;
  // a getaddrinfo code when `resolver` is set).
  struct Bound {
    int port = 0;
    int error = 0;
    bool resolver = false;
  };
  virtual Bound Start() = 0;
  // Ends every connection (event streams included) and joins every thread.
  virtual void Stop() = 0;
};

// Thread: any.
class HttpHostFactory {
 public:
  virtual ~HttpHostFactory() = default;
  // `site` must outlive the host.
  virtual std::unique_ptr<HttpHost> Create(HttpSite& site, HttpHostOptions options) const = 0;
};

}  // namespace tern
