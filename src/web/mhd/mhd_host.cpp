// The web module's HTTP server: libmicrohttpd, used only through its documented interface, on
// a listening socket of our own, with a few threads that each watch many connections. Every
// request's head goes to the program's HttpSite as soon as it is complete; the body is never
// read, nothing is routed here and no file is served.
//
// What the library gives as options: a thread pool, the limits on connections in all and per
// client address, an idle time-out, suspended answers for the event streams. What it does not
// give is added here: a hard deadline for a request's head (HeadDeadlines), TCP_NODELAY on
// every connection, refusals of conflicting Content-Length headers, and the refusals' texts
// and log lines from the program.
#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "web/http_host.h"
#include "web/mhd/event_streams.h"
#include "web/mhd/head_deadlines.h"
#include "web/mhd/listen_socket.h"

namespace tern {

namespace {

constexpr std::chrono::milliseconds kWatchTick{1000};
constexpr const char* kRetryAfterSeconds = "5";

// What one request carries between the library's callbacks.
struct Request {
  explicit Request(const char* requestTarget)
      : target(requestTarget != nullptr ? requestTarget : "") {}
  std::string target;
  HttpRequestHead head;
  HttpReply reply;
  bool headSeen = false;
  bool queued = false;
};

std::string peerText(MHD_Connection* connection) {
  const MHD_ConnectionInfo* info =
      MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
  if (info == nullptr || info->client_addr == nullptr) return "?";
  char text[INET6_ADDRSTRLEN] = "";
  const sockaddr* a = info->client_addr;
  if (a->sa_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(a);
    if (::inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text) == nullptr) return "?";
    return std::string(text) + ":" + std::to_string(ntohs(v4->sin_port));
  }
  if (a->sa_family == AF_INET6) {
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(a);
    if (::inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text) == nullptr) return "?";
    std::string peer = "[";  // appended piece by piece: GCC 12 misreads the chained '+'
    peer += text;
    peer += "]:";
    peer += std::to_string(ntohs(v6->sin6_port));
    return peer;
  }
  return "?";
}

int socketOf(MHD_Connection* connection) {
  const MHD_ConnectionInfo* info =
      MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
  return info != nullptr ? info->connect_fd : -1;
}

bool sameName(const char* a, const char* b) { return ::strcasecmp(a, b) == 0; }

// The head's size and what it announces of a body, from the headers as they came.
struct HeaderSummary {
  std::size_t bytes = 0;
  std::size_t body = 0;
  const char* length = nullptr;
  bool conflictingLength = false;
};

MHD_Result summarise(void* cls, MHD_ValueKind, const char* key, const char* value) {
  auto& s = *static_cast<HeaderSummary*>(cls);
  const std::string_view v = value != nullptr ? value : "";
  s.bytes += std::strlen(key) + v.size() + 4;
  if (sameName(key, MHD_HTTP_HEADER_TRANSFER_ENCODING)) {
    s.body = std::max<std::size_t>(s.body, 1);
  } else if (sameName(key, MHD_HTTP_HEADER_CONTENT_LENGTH)) {
    // Two lengths that differ let a proxy and this server see different requests.
    if (s.length != nullptr && v != s.length) s.conflictingLength = true;
    s.length = value;
    std::size_t n = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    s.body = std::max(s.body, ec == std::errc() && end == v.data() + v.size() ? n : 1);
  }
  return MHD_YES;
}

std::string header(MHD_Connection* connection, const char* name) {
  const char* value = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
  return value != nullptr ? value : "";
}

// Thread: Start and Stop on the owner's thread; the callbacks on the library's threads; the
// watch loop on a thread of its own.
class MhdHost final : public HttpHost {
 public:
  MhdHost(HttpSite& site, HttpHostOptions options)
      : site_(site),
        options_(std::move(options)),
        deadlines_(options_.limits.headTimeout),
        streams_(
            options_.limits.eventStreams, options_.limits.eventKeepAlive,
            [this] { return site_.Generation(); }, stopping_) {}

  ~MhdHost() override { Stop(); }

  Bound Start() override {
    const HttpLimits& l = options_.limits;
    const ListenSocket listener = OpenListenSocket(options_.host, options_.port, l.backlog);
    if (listener.fd < 0) return {0, listener.error, listener.resolver};
    const auto idleSeconds = static_cast<unsigned>(
        std::max<long long>(1, std::chrono::ceil<std::chrono::seconds>(l.headTimeout).count()));
    const unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL |
                           MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ITC | MHD_USE_ERROR_LOG;
    daemon_ = MHD_start_daemon(
        flags, 0, nullptr, nullptr, &MhdHost::onRequest, this,  //
        MHD_OPTION_LISTEN_SOCKET, listener.fd,                  //
        MHD_OPTION_THREAD_POOL_SIZE, static_cast<unsigned>(std::max<std::size_t>(1, l.threads)),
        MHD_OPTION_CONNECTION_LIMIT, static_cast<unsigned>(l.connections),
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, static_cast<unsigned>(l.perAddress),
        MHD_OPTION_CONNECTION_TIMEOUT, idleSeconds,                    //
        MHD_OPTION_NOTIFY_CONNECTION, &MhdHost::onConnection, this,    //
        MHD_OPTION_NOTIFY_COMPLETED, &MhdHost::onCompleted, this,      //
        MHD_OPTION_URI_LOG_CALLBACK, &MhdHost::onRequestLine, this,    //
        MHD_OPTION_EXTERNAL_LOGGER, &MhdHost::onLibraryMessage, this,  //
        MHD_OPTION_END);
    // A daemon that fails to start has closed the socket it was given on its way out (or
    // never took it, which leaves one descriptor behind): closing it here again could close
    // another thread's newer file.
    if (daemon_ == nullptr) return {0, errno != 0 ? errno : EINVAL};
    watch_ = std::thread([this] { watch(); });
    return {listener.port, 0};
  }

  void Stop() override {
    if (daemon_ == nullptr || stopped_.exchange(true)) return;
    stopping_ = true;
    site_.WakeWaiters();
    if (watch_.joinable()) watch_.join();
    streams_.ResumeAll();
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
  }

 private:
  // The library's callbacks: C functions with the host as their closure.
  // Called once the head is complete, then for each piece of a body, then once more when
  // the request is complete. A refusal is queued at the first call, which makes the library
  // close the connection after it without reading further; an answer waits for the last
  // call, so that the connection can be kept.
  static MHD_Result onRequest(void* cls, MHD_Connection* connection, const char* url,
                              const char* method, const char*, const char*, std::size_t* uploadSize,
                              void** requestCls) {
    auto& self = *static_cast<MhdHost*>(cls);
    auto* request = static_cast<Request*>(*requestCls);
    if (request == nullptr) *requestCls = request = new Request(url);
    if (!request->headSeen) {
      request->headSeen = true;
      self.deadlines_.HeadComplete(connection);
      HeaderSummary headers;
      MHD_get_connection_values(connection, MHD_HEADER_KIND, &summarise, &headers);
      request->head = {.method = method != nullptr ? method : "",
                       .target = request->target,
                       .host = header(connection, MHD_HTTP_HEADER_HOST),
                       .cookie = header(connection, MHD_HTTP_HEADER_COOKIE),
                       .headerBytes = headers.bytes,
                       .bodyBytes = headers.body};
      if (headers.conflictingLength) return self.queueRefusal(connection, *request, 400);
      if (self.stopping_) return self.queueRefusal(connection, *request, 503);
      request->reply = self.site_.Answer(request->head);
      if (request->reply.status >= 400)
        return self.queueRefusal(connection, *request, request->reply.status);
      return MHD_YES;
    }
    if (*uploadSize != 0 || request->queued) {
      *uploadSize = 0;  // a body the guard let through would be dropped unread
      return MHD_YES;
    }
    request->queued = true;
    return self.answer(connection, *request);
  }

  static void* onRequestLine(void* cls, const char* uri, MHD_Connection* connection) {
    static_cast<MhdHost*>(cls)->deadlines_.RequestBegun(connection);
    return new Request(uri);
  }

  static void onCompleted(void* cls, MHD_Connection* connection, void** requestCls,
                          MHD_RequestTerminationCode) {
    delete static_cast<Request*>(*requestCls);
    *requestCls = nullptr;
    static_cast<MhdHost*>(cls)->deadlines_.AnswerSent(connection);
  }

  static void onConnection(void* cls, MHD_Connection* connection, void**,
                           MHD_ConnectionNotificationCode code) {
    auto& self = *static_cast<MhdHost*>(cls);
    if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
      self.deadlines_.Closed(connection);
      return;
    }
    const int fd = socketOf(connection);
    // The answers are small and a browser keeps the connection: without this, Nagle's rule
    // and the client's delayed acknowledgement hold a second segment for 40 ms.
    const int yes = 1;
    if (fd >= 0) ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    self.deadlines_.Opened(connection, fd);
  }

  // The library's own notes: only the refused connections matter to the user, counted and
  // told once a tick by the watch loop. The rest is the library's diagnosis of single
  // clients (resets, broken requests), which it answers itself.
  static void onLibraryMessage(void* cls, const char* format, va_list) {
    if (std::strstr(format, "connection limit") != nullptr)
      ++static_cast<MhdHost*>(cls)->closedUnanswered_;
  }

  MHD_Result answer(MHD_Connection* connection, Request& request) {
    HttpReply& reply = request.reply;
    MHD_Response* response = nullptr;
    if (reply.eventStream) {
      response = streams_.Open(connection, socketOf(connection));
      if (response == nullptr) return refuse(connection, request.head, 503);
      reply.contentType = "text/event-stream";
    } else {
      response = bodyResponse(std::move(reply.body));
    }
    if (response == nullptr) return MHD_NO;
    addHeaders(response, reply.contentType, reply.cacheControl);
    if (!reply.setCookie.empty())
      MHD_add_response_header(response, MHD_HTTP_HEADER_SET_COOKIE, reply.setCookie.c_str());
    return queue(connection, static_cast<unsigned>(reply.status), response);
  }

  MHD_Result queueRefusal(MHD_Connection* connection, Request& request, int status) {
    request.queued = true;
    return refuse(connection, request.head, status);
  }

  // The program's refusal, the connection closed after it.
  MHD_Result refuse(MHD_Connection* connection, const HttpRequestHead& head, int status) {
    HttpReply reply = site_.Refuse(status, head, peerText(connection));
    MHD_Response* response = bodyResponse(std::move(reply.body));
    if (response == nullptr) return MHD_NO;
    addHeaders(response, reply.contentType, reply.cacheControl);
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
    if (status == MHD_HTTP_SERVICE_UNAVAILABLE)
      MHD_add_response_header(response, MHD_HTTP_HEADER_RETRY_AFTER, kRetryAfterSeconds);
    return queue(connection, static_cast<unsigned>(status), response);
  }

  static MHD_Response* bodyResponse(std::string body) {
    if (body.empty())
      return MHD_create_response_from_buffer_with_free_callback_cls(0, nullptr, nullptr, nullptr);
    auto* kept = new std::string(std::move(body));
    MHD_Response* response = MHD_create_response_from_buffer_with_free_callback_cls(
        kept->size(), kept->data(), [](void* text) { delete static_cast<std::string*>(text); },
        kept);
    if (response == nullptr) delete kept;
    return response;
  }

  void addHeaders(MHD_Response* response, const std::string& contentType,
                  const std::string& cacheControl) const {
    for (const auto& [name, value] : options_.defaultHeaders) {
      if (!cacheControl.empty() && sameName(name.c_str(), MHD_HTTP_HEADER_CACHE_CONTROL)) continue;
      MHD_add_response_header(response, name.c_str(), value.c_str());
    }
    if (!cacheControl.empty())
      MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, cacheControl.c_str());
    if (!contentType.empty())
      MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, contentType.c_str());
  }

  static MHD_Result queue(MHD_Connection* connection, unsigned status, MHD_Response* response) {
    const MHD_Result queued = MHD_queue_response(connection, status, response);
    MHD_destroy_response(response);  // the connection keeps its own reference
    return queued;
  }

  // Wakes the event streams on news and on their keep-alive, cuts heads past their deadline,
  // and tells of refused connections, until the host stops.
  void watch() {
    const auto tick = std::min(kWatchTick, options_.limits.eventKeepAlive);
    std::uint64_t generation = site_.Generation();
    while (!stopping_) {
      generation = site_.WaitForNews(generation, tick, stopping_);
      if (stopping_) break;
      const auto now = std::chrono::steady_clock::now();
      streams_.Wake(generation, now);
      const HeadDeadlines::Cut cut = deadlines_.CutOverdue(now, [](const void* c) {
        return peerText(const_cast<MHD_Connection*>(static_cast<const MHD_Connection*>(c)));
      });
      if (cut.partial > 0)
        site_.Log("Web-Seite: " + std::to_string(cut.partial) +
                  (cut.partial == 1 ? " Anfrage" : " Anfragen") +
                  " nicht rechtzeitig vollständig, Verbindung geschlossen (zuletzt von " +
                  cut.lastPeer + ")");
      if (const std::size_t closed = closedUnanswered_.exchange(0); closed > 0)
        site_.Log("Web-Seite: zu viele Verbindungen, " + std::to_string(closed) +
                  " ohne Antwort geschlossen");
    }
  }

  HttpSite& site_;
  const HttpHostOptions options_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> stopped_{false};
  std::atomic<std::size_t> closedUnanswered_{0};
  HeadDeadlines deadlines_;
  EventStreams streams_;
  MHD_Daemon* daemon_ = nullptr;
  std::thread watch_;
};

class MhdHostFactory final : public HttpHostFactory {
 public:
  std::unique_ptr<HttpHost> Create(HttpSite& site, HttpHostOptions options) const override {
    return std::make_unique<MhdHost>(site, std::move(options));
  }
};

}  // namespace
}  // namespace tern

extern "C" __attribute__((visibility("default"))) const void* tern_http_host(int version) {
  static const tern::MhdHostFactory factory;
  return version == tern::kHttpHostVersion ? static_cast<const tern::HttpHostFactory*>(&factory)
                                           : nullptr;
}
