// What the web page's HTTP server and the program say to each other. The server is the HTTP
// library from the system (cpp-httplib), which brings OpenSSL, zlib and brotli with it;
// linked into the programs, OpenSSL's set-up alone would cost every start of `tern-cli` or
// the window about 5 ms, for a page most starts never serve. So the library lives in the
// module "tern-web.so" beside the executable (src/web/httplib), opened by WebServer::Start.
//
// The module only carries HTTP: connections, their limits and timeouts, the event stream's
// loop. What a request is answered, who may ask, and every text stay in the program, behind
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
inline constexpr int kHttpHostVersion = 1;
// The module's one exported function: `const void* tern_http_host(int version)`, the
// HttpHostFactory, or nullptr when `version` is not the module's own.
inline constexpr const char* kHttpHostEntry = "tern_http_host";
inline constexpr const char* kWebModuleName = "tern-web.so";

struct HttpLimits {
  std::size_t workers = 8;
  std::size_t waiting = 16;
  std::size_t refusing = 32;  // connections waiting for their 503; more are closed at once
  std::chrono::milliseconds readTimeout{3000};
  std::chrono::milliseconds writeTimeout{5000};
  std::chrono::milliseconds keepAlive{2000};
  int requestsPerConnection = 20;
  std::chrono::milliseconds connectionReads{30000};  // a connection reads no request after this
  std::chrono::milliseconds eventKeepAlive{15000};   // a comment line on a quiet event stream
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
  std::string target;
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
  // Binds and starts listening: the port, or 0 and the errno of the failure (0 when unknown).
  struct Bound {
    int port = 0;
    int error = 0;
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
