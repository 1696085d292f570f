#include "web/web_server.h"

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
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "common/latin1.h"
#include "web/connection_queue.h"
#include "web/connection_stream.h"
#include "web/fax_chart_png.h"
#include "web/request_guard.h"

namespace tern {

namespace {

constexpr std::size_t kKeptRefusals = 200;
constexpr std::size_t kShownPath = 80;
constexpr std::size_t kShownMethod = 16;
constexpr std::string_view kText = "text/plain; charset=utf-8";
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

std::string shortened(std::string_view text, std::size_t most) {
  if (text.size() <= most) return printableLatin1(text);
  return printableLatin1(text.substr(0, most)) + "...";
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

}  // namespace

// Thread: see WebServer; the handlers run on the connection queue's threads.
class WebServer::Impl final : public httplib::Server {
 public:
  Impl(const MessageStore& store, WebData& data, WebServerOptions options, LogLine log)
      : store_(store),
        data_(data),
        options_(std::move(options)),
        log_(std::move(log)),
        stopEvent_(::eventfd(0, EFD_CLOEXEC)) {
    policy_.token = options_.token;
    const ConnectionLimits limits{options_.workers, options_.waiting, options_.refusing};
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
        std::max<time_t>(1, std::chrono::ceil<std::chrono::seconds>(options_.keepAlive).count()));
    set_keep_alive_max_count(static_cast<std::size_t>(std::max(1, options_.requestsPerConnection)));
    set_default_headers({{"X-Content-Type-Options", "nosniff"},
                         {"Referrer-Policy", "no-referrer"},
                         {"Cache-Control", "no-store"},
                         {"Content-Security-Policy",
                          "default-src 'self'; img-src 'self' data:; base-uri 'none'; "
                          "form-action 'none'; frame-ancestors 'none'"}});
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

  ~Impl() override {
    Stop();
    if (stopEvent_ >= 0) ::close(stopEvent_);
  }

  std::string Start() {
    if (stopEvent_ < 0)
      return std::string("Die Web-Seite kann nicht starten (") + std::strerror(errno) + ").";
    const ListenAddress& a = options_.address;
    errno = 0;
    port_ = a.port == 0 ? bind_to_any_port(a.host) : (bind_to_port(a.host, a.port) ? a.port : -1);
    if (port_ <= 0) {
      port_ = 0;
      const int reason = errno;
      return "Die Web-Seite kann nicht auf " + hostText(a.host) + ":" + std::to_string(a.port) +
             " angeboten werden" +
             (reason != 0 ? std::string(" (") + std::strerror(reason) + ")" : std::string()) + ".";
    }
    listener_ = std::thread([this] { listen_after_bind(); });
    // The library's stop() does nothing before its loop runs; Stop() must find it running.
    for (int i = 0; i < 5000 && !is_running(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return {};
  }

  int Port() const { return port_; }

  std::string Url() const {
    std::string host = options_.address.host;
    if (host == "0.0.0.0" || host == "::") {
      char name[256] = "";
      if (::gethostname(name, sizeof name - 1) == 0 && name[0] != '\0') host = name;
    }
    std::string url = "http://" + hostText(host) + ":" + std::to_string(port_) + "/";
    if (!options_.token.empty()) url += "?token=" + options_.token;
    return url;
  }

  void Stop() {
    if (stopped_.exchange(true)) return;
    stopping_ = true;
    if (stopEvent_ >= 0) {
      const std::uint64_t one = 1;
      [[maybe_unused]] const ssize_t n = ::write(stopEvent_, &one, sizeof one);
    }
    data_.WakeWaiters();
    if (listener_.joinable()) {
      stop();
      listener_.join();
    }
  }

  std::vector<std::string> Refusals() const {
    std::lock_guard lock(logMutex_);
    return {refusals_.begin(), refusals_.end()};
  }

 private:
  static std::string hostText(const std::string& host) {
    return host.find(':') != std::string::npos ? "[" + host + "]" : host;
  }

  // The library's own loop over a connection's requests, with our waits: see
  // ConnectionStream. A refused connection gets one answer, then it is closed.
  bool process_and_close_socket(socket_t sock) override {
    const ConnectionMode mode = ConnectionQueue::Mode();
    bool ok = true;
    if (mode == ConnectionMode::Close) {
      noteClosedUnanswered();
    } else if (!stopping_) {
      // A refusal waits for its request only briefly: the refusal thread serves them all.
      const bool refusing = mode == ConnectionMode::Refuse;
      const auto firstWait =
          refusing ? std::min(options_.readTimeout, kRefusalWait) : options_.readTimeout;
      const ConnectionTimes times{
          firstWait, options_.writeTimeout,
          std::chrono::steady_clock::now() + (refusing ? firstWait : options_.connectionReads)};
      ConnectionStream stream(sock, stopEvent_, times);
      tConnection = &stream;
      tCloseAfter = false;
      int left = refusing ? 1 : options_.requestsPerConnection;
      for (auto wait = firstWait; left > 0 && stream.WaitForRequest(wait);
           wait = options_.keepAlive, --left) {
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
    log("Web-Seite: zu viele Verbindungen, " + std::to_string(closedUnanswered_) +
        " ohne Antwort geschlossen");
    closedUnanswered_ = 0;
  }

  HandlerResponse handle(const httplib::Request& req, httplib::Response& res) {
    if (ConnectionQueue::Mode() == ConnectionMode::Refuse || stopping_) {
      refuse(503, req, res);
      return HandlerResponse::Handled;
    }
    const std::string cookie = req.get_header_value("Cookie");
    const WebRequest request{.method = req.method,
                             .target = req.target,
                             .cookie = cookie,
                             .headerBytes = headerBytes(req),
                             .bodyBytes = bodyBytes(req)};
    const WebVerdict verdict = guardWebRequest(request, policy_);
    if (verdict.allowed() && verdict.route == WebRoute::Events) {
      if (!startEvents(res)) refuse(503, req, res);
    } else {
      const WebAnswer answer =
          answerWebRequest(verdict, store_, data_.Take(), &charts_, options_.synop);
      if (answer.status >= 400) {
        refuse(answer.status, req, res);
      } else {
        res.status = answer.status;
        res.set_content(answer.body, answer.contentType);
        // The page's own files may be kept by the browser; the data never.
        res.headers.erase("Cache-Control");
        res.set_header("Cache-Control", answer.cacheControl);
      }
    }
    if (verdict.setTokenCookie && res.status < 400)
      res.set_header("Set-Cookie", webTokenCookie(options_.token));
    return HandlerResponse::Handled;
  }

  // The refusal's German text, the connection closed after it, and the log line.
  void refuse(int status, const httplib::Request& req, httplib::Response& res) {
    const WebAnswer answer = answerWebRequest({.status = status}, store_, {}, nullptr);
    res.status = status;
    res.set_content(answer.body,
                    answer.contentType.empty() ? std::string(kText) : answer.contentType);
    res.set_header("Connection", "close");
    tCloseAfter = true;
    const std::string path = req.target.substr(0, req.target.find('?'));
    log("Web-Seite: abgelehnt " + std::to_string(status) + " " +
        (req.method.empty() ? "-" : shortened(req.method, kShownMethod)) + " " +
        (path.empty() ? "-" : shortened(path, kShownPath)) + " von " +
        (tConnection != nullptr ? peerText(tConnection->socket()) : "?"));
  }

  // /api/events: "data: <generation>" whenever it moves, a comment line while it does not.
  bool startEvents(httplib::Response& res) {
    const std::size_t most = std::max<std::size_t>(1, options_.workers / 2);
    if (streams_.fetch_add(1) >= most) {
      --streams_;
      return false;
    }
    auto place = std::make_shared<StreamPlace>(streams_);
    auto seen = std::make_shared<std::uint64_t>(data_.Take().generation);
    const int socket = tConnection != nullptr ? tConnection->socket() : -1;
    res.set_chunked_content_provider(
        "text/event-stream",
        [this, place, seen, socket](std::size_t offset, httplib::DataSink& sink) {
          if (offset == 0) {
            const std::string start = "retry: 3000\ndata: " + std::to_string(*seen) + "\n\n";
            if (!sink.write(start.data(), start.size())) return false;
          }
          const auto keepAliveAt = std::chrono::steady_clock::now() + options_.eventKeepAlive;
          std::uint64_t now = *seen;
          for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                keepAliveAt - std::chrono::steady_clock::now());
            now = data_.WaitForNews(
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

  void log(const std::string& line) {
    {
      std::lock_guard lock(logMutex_);
      refusals_.push_back(line);
      if (refusals_.size() > kKeptRefusals) refusals_.pop_front();
    }
    if (log_) log_(line);
  }

  const MessageStore& store_;
  WebData& data_;
  const WebServerOptions options_;
  const LogLine log_;
  WebGuardPolicy policy_;
  FaxChartPictures charts_;
  const int stopEvent_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> stopped_{false};
  std::atomic<std::size_t> streams_{0};
  int port_ = 0;
  std::thread listener_;
  mutable std::mutex logMutex_;
  std::deque<std::string> refusals_;
  // Touched by the accept thread only.
  std::uint64_t closedUnanswered_ = 0;
  std::chrono::steady_clock::time_point lastClosedLine_;
};

WebServer::WebServer(const MessageStore& store, WebData& data, WebServerOptions options,
                     LogLine log)
    : impl_(std::make_unique<Impl>(store, data, std::move(options), std::move(log))) {}

WebServer::~WebServer() = default;

std::string WebServer::Start() { return impl_->Start(); }
int WebServer::Port() const { return impl_->Port(); }
std::string WebServer::Url() const { return impl_->Url(); }
void WebServer::Stop() { impl_->Stop(); }
std::vector<std::string> WebServer::Refusals() const { return impl_->Refusals(); }

}  // namespace tern
