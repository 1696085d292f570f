// The web module's HTTP server: cpp-httplib with our own connection queue and stream, and
// the module's one exported entry. One pre-routing handler passes every request to the
// program's HttpSite; nothing is routed here and no file is served.
#include <httplib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <memory>
#include <thread>

#include "web/http_host.h"
#include "web/httplib/connection_queue.h"
#include "web/httplib/connection_stream.h"

namespace tern {

namespace {

constexpr std::chrono::milliseconds kRefusalWait{1000};
// How often a quiet event stream looks whether its browser has gone.
constexpr std::chrono::milliseconds kPeerCheck{1000};

// The connection the calling worker serves, and whether it ends after the current answer.
thread_local const ConnectionStream* tConnection = nullptr;
thread_local bool tCloseAfter = false;

// The headers the library adds to a request itself (the addresses) do not count.
bool addedByLibrary(const std::string& name) {
  return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
         name == "LOCAL_PORT";
}

std::size_t headerBytes(const httplib::Request& req) {
  std::size_t bytes = 0;
  for (const auto& [name, value] : req.headers)
    if (!addedByLibrary(name)) bytes += name.size() + value.size() + 4;
  return bytes;
}

// What the request says it carries; the body itself is never read.
std::size_t bodyBytes(const httplib::Request& req) {
  if (req.has_header("Transfer-Encoding")) return 1;
  const std::string length = req.get_header_value("Content-Length");
  std::size_t n = 0;
  const auto [end, ec] = std::from_chars(length.data(), length.data() + length.size(), n);
  if (ec != std::errc() || end != length.data() + length.size()) return length.empty() ? 0 : 1;
  return n;
}

HttpRequestHead headOf(const httplib::Request& req) {
  return {.method = req.method,
          .target = req.target,
          .cookie = req.get_header_value("Cookie"),
          .headerBytes = headerBytes(req),
          .bodyBytes = bodyBytes(req)};
}

// A browser sends nothing on an event stream after its request: the socket turning readable
// with nothing to read means it closed (a reload, a closed tab), and the stream's worker can
// go back to serving rather than wait for the next keep-alive line to fail.
bool peerClosed(int fd) {
  if (fd < 0) return false;
  pollfd p{fd, POLLIN | POLLRDHUP, 0};
  if (::poll(&p, 1, 0) <= 0) return false;
  if ((p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) return true;
  char byte = 0;
  return ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
}

// Frees an event stream's place when the stream's answer is gone.
class StreamPlace {
 public:
  explicit StreamPlace(std::atomic<std::size_t>& count) : count_(count) {}
  ~StreamPlace() { --count_; }
  StreamPlace(const StreamPlace&) = delete;
  StreamPlace& operator=(const StreamPlace&) = delete;

 private:
  std::atomic<std::size_t>& count_;
};

// Thread: see HttpHost; the handlers run on the connection queue's threads.
class HttplibHost final : public HttpHost, private httplib::Server {
 public:
  HttplibHost(HttpSite& site, HttpHostOptions options)
      : site_(site), options_(std::move(options)), stopEvent_(::eventfd(0, EFD_CLOEXEC)) {
    const HttpLimits& l = options_.limits;
    const ConnectionLimits limits{l.workers, l.waiting, l.refusing};
    new_task_queue = [limits] { return new ConnectionQueue(limits); };
    // The library's default also sets SO_REUSEPORT, with which a second program (another
    // data folder's service) could bind the same port and take every other connection. Only
    // SO_REUSEADDR, so a restart finds its port free while old connections time out.
    set_socket_options([](socket_t sock) {
      const int yes = 1;
      ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    set_payload_max_length(0);
    // What the answers' Keep-Alive header tells the client; the loop below keeps to it.
    set_keep_alive_timeout(
        std::max<time_t>(1, std::chrono::ceil<std::chrono::seconds>(l.keepAlive).count()));
    set_keep_alive_max_count(static_cast<std::size_t>(std::max(1, l.requestsPerConnection)));
    httplib::Headers headers;
    for (const auto& [name, value] : options_.defaultHeaders) headers.emplace(name, value);
    set_default_headers(std::move(headers));
    set_pre_routing_handler(
        [this](const httplib::Request& req, httplib::Response& res) { return handle(req, res); });
    // What the library refuses itself (a request line it cannot read, a target beyond its
    // own limit) gets the same German text and the same log line.
    set_error_handler(
        HandlerWithResponse([this](const httplib::Request& req, httplib::Response& res) {
          if (!res.body.empty()) return HandlerResponse::Unhandled;
          refuse(res.status, req, res);
          return HandlerResponse::Handled;
        }));
  }

  ~HttplibHost() override {
    Stop();
    if (stopEvent_ >= 0) ::close(stopEvent_);
  }

  Bound Start() override {
    if (stopEvent_ < 0) return {0, errno};
    errno = 0;
    const int port = options_.port == 0
                         ? bind_to_any_port(options_.host)
                         : (bind_to_port(options_.host, options_.port) ? options_.port : -1);
    if (port <= 0) return {0, errno};
    listener_ = std::thread([this] { listen_after_bind(); });
    // The library's stop() does nothing before its loop runs; Stop() must find it running.
    for (int i = 0; i < 5000 && !is_running(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return {port, 0};
  }

  void Stop() override {
    if (stopped_.exchange(true)) return;
    stopping_ = true;
    if (stopEvent_ >= 0) {
      const std::uint64_t one = 1;
      [[maybe_unused]] const ssize_t n = ::write(stopEvent_, &one, sizeof one);
    }
    site_.WakeWaiters();
    if (listener_.joinable()) {
      stop();
      listener_.join();
    }
  }

 private:
  // The library's own loop over a connection's requests, with our waits: see
  // ConnectionStream. A refused connection gets one answer, then it is closed.
  bool process_and_close_socket(socket_t sock) override {
    const ConnectionMode mode = ConnectionQueue::Mode();
    const HttpLimits& l = options_.limits;
    bool ok = true;
    if (mode == ConnectionMode::Close) {
      noteClosedUnanswered();
    } else if (!stopping_) {
      // A refusal waits for its request only briefly: the refusal thread serves them all.
      const bool refusing = mode == ConnectionMode::Refuse;
      const auto firstWait = refusing ? std::min(l.readTimeout, kRefusalWait) : l.readTimeout;
      const ConnectionTimes times{
          firstWait, l.writeTimeout,
          std::chrono::steady_clock::now() + (refusing ? firstWait : l.connectionReads)};
      ConnectionStream stream(sock, stopEvent_, times);
      tConnection = &stream;
      tCloseAfter = false;
      int left = refusing ? 1 : l.requestsPerConnection;
      for (auto wait = firstWait; left > 0 && stream.WaitForRequest(wait);
           wait = l.keepAlive, --left) {
        bool closed = false;
        ok = process_request(stream, left == 1, closed, nullptr);
        if (!ok || closed || tCloseAfter) break;
      }
      if (tCloseAfter) stream.Linger();
      tConnection = nullptr;
    }
    ::shutdown(sock, SHUT_RDWR);
    ::close(sock);
    return ok;
  }

  // A flood beyond every limit: one line a second with the count, not a line each.
  void noteClosedUnanswered() {
    ++closedUnanswered_;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastClosedLine_ < std::chrono::seconds(1)) return;
    lastClosedLine_ = now;
    site_.Log("Web-Seite: zu viele Verbindungen, " + std::to_string(closedUnanswered_) +
              " ohne Antwort geschlossen");
    closedUnanswered_ = 0;
  }

  HandlerResponse handle(const httplib::Request& req, httplib::Response& res) {
    if (ConnectionQueue::Mode() == ConnectionMode::Refuse || stopping_) {
      refuse(503, req, res);
      return HandlerResponse::Handled;
    }
    const HttpReply reply = site_.Answer(headOf(req));
    if (reply.eventStream) {
      if (!startEvents(res)) {
        refuse(503, req, res);
        return HandlerResponse::Handled;
      }
    } else if (reply.status >= 400) {
      refuse(reply.status, req, res);
      return HandlerResponse::Handled;
    } else {
      res.status = reply.status;
      res.set_content(reply.body, reply.contentType);
      if (!reply.cacheControl.empty()) {
        res.headers.erase("Cache-Control");
        res.set_header("Cache-Control", reply.cacheControl);
      }
    }
    if (!reply.setCookie.empty()) res.set_header("Set-Cookie", reply.setCookie);
    return HandlerResponse::Handled;
  }

  // The program's refusal, the connection closed after it.
  void refuse(int status, const httplib::Request& req, httplib::Response& res) {
    const HttpReply reply = site_.Refuse(
        status, headOf(req), tConnection != nullptr ? peerText(tConnection->socket()) : "?");
    res.status = status;
    res.set_content(reply.body, reply.contentType);
    res.set_header("Connection", "close");
    tCloseAfter = true;
  }

  // The event stream: "data: <generation>" whenever it moves, a comment line while it does not.
  bool startEvents(httplib::Response& res) {
    const std::size_t most = std::max<std::size_t>(1, options_.limits.workers / 2);
    if (streams_.fetch_add(1) >= most) {
      --streams_;
      return false;
    }
    auto place = std::make_shared<StreamPlace>(streams_);
    auto seen = std::make_shared<std::uint64_t>(site_.Generation());
    const int socket = tConnection != nullptr ? tConnection->socket() : -1;
    res.set_chunked_content_provider(
        "text/event-stream",
        [this, place, seen, socket](std::size_t offset, httplib::DataSink& sink) {
          if (offset == 0) {
            const std::string start = "retry: 3000\ndata: " + std::to_string(*seen) + "\n\n";
            if (!sink.write(start.data(), start.size())) return false;
          }
          const auto keepAliveAt =
              std::chrono::steady_clock::now() + options_.limits.eventKeepAlive;
          std::uint64_t now = *seen;
          for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                keepAliveAt - std::chrono::steady_clock::now());
            now = site_.WaitForNews(
                *seen, std::clamp(left, std::chrono::milliseconds{0}, kPeerCheck), stopping_);
            if (stopping_ || now != *seen || left <= kPeerCheck) break;
            if (peerClosed(socket)) return false;
          }
          if (stopping_) return false;
          const std::string text = now != *seen ? "data: " + std::to_string(now) + "\n\n" : ":\n\n";
          *seen = now;
          return sink.write(text.data(), text.size());
        });
    return true;
  }

  HttpSite& site_;
  const HttpHostOptions options_;
  const int stopEvent_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> stopped_{false};
  std::atomic<std::size_t> streams_{0};
  std::thread listener_;
  // Touched by the accept thread only.
  std::uint64_t closedUnanswered_ = 0;
  std::chrono::steady_clock::time_point lastClosedLine_;
};

class HttplibHostFactory final : public HttpHostFactory {
 public:
  std::unique_ptr<HttpHost> Create(HttpSite& site, HttpHostOptions options) const override {
    return std::make_unique<HttplibHost>(site, std::move(options));
  }
};

}  // namespace
}  // namespace tern

extern "C" __attribute__((visibility("default"))) const void* tern_http_host(int version) {
  static const tern::HttplibHostFactory factory;
  return version == tern::kHttpHostVersion ? static_cast<const tern::HttpHostFactory*>(&factory)
                                           : nullptr;
}
