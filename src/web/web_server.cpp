#include "web/web_server.h"

#include <unistd.h>

#include <deque>
#include <mutex>

#include "common/error_text.h"
#include "common/latin1.h"
#include "web/fax_chart_png.h"
#include "web/request_guard.h"
#include "web/web_module.h"

namespace tern {

namespace {

constexpr std::size_t kKeptRefusals = 200;
constexpr std::size_t kShownPath = 80;
constexpr std::size_t kShownMethod = 16;
constexpr std::string_view kText = "text/plain; charset=utf-8";

std::string shortened(std::string_view text, std::size_t most) {
  if (text.size() <= most) return printableLatin1(text);
  return printableLatin1(text.substr(0, most)) + "...";
}

std::string hostText(const std::string& host) {
  return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

HttpReply replyOf(const WebAnswer& answer) {
  return {.status = answer.status,
          .body = answer.body,
          .contentType = answer.contentType,
          .cacheControl = answer.cacheControl};
}

}  // namespace

// Thread: see WebServer; the HttpSite members run on the web module's connection threads.
class WebServer::Impl final : public HttpSite {
 public:
  Impl(const MessageStore& store, WebData& data, WebServerOptions options, LogLine log)
      : store_(store), data_(data), options_(std::move(options)), log_(std::move(log)) {
    policy_.token = options_.token;
    policy_.localHostsOnly = options_.address.loopback;
    policy_.listenHost = options_.address.host;
  }

  ~Impl() override { Stop(); }

  std::string Start() {
    const WebModuleLoad& module = SharedWebModule();
    if (module.factory == nullptr) return module.error;
    const ListenAddress& a = options_.address;
    host_ = module.factory->Create(
        *this, {.host = a.host,
                .port = a.port,
                .limits = options_,
                .defaultHeaders = {{"X-Content-Type-Options", "nosniff"},
                                   {"Referrer-Policy", "no-referrer"},
                                   {"Cache-Control", "no-store"},
                                   {"Content-Security-Policy",
                                    "default-src 'self'; img-src 'self' data:; base-uri 'none'; "
                                    "form-action 'none'; frame-ancestors 'none'"}}});
    const HttpHost::Bound bound = host_->Start();
    if (bound.port <= 0) {
      host_.reset();
      return "Die Web-Seite kann nicht auf " + hostText(a.host) + ":" + std::to_string(a.port) +
             " angeboten werden" +
             (bound.error == 0 ? std::string()
              : bound.resolver ? " (" + resolverErrorText(bound.error) + ")"
                               : " (" + systemErrorText(bound.error) + ")") +
             ".";
    }
    port_ = bound.port;
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
    if (host_) host_->Stop();
  }

  std::vector<std::string> Refusals() const {
    std::lock_guard lock(logMutex_);
    return {refusals_.begin(), refusals_.end()};
  }

  HttpReply Answer(const HttpRequestHead& request) override {
    const WebVerdict verdict = guardWebRequest({.method = request.method,
                                                .target = request.target,
                                                .cookie = request.cookie,
                                                .headerBytes = request.headerBytes,
                                                .bodyBytes = request.bodyBytes,
                                                .host = request.host},
                                               policy_);
    HttpReply reply;
    if (verdict.allowed() && verdict.route == WebRoute::Events) {
      reply.eventStream = true;
    } else {
      reply = replyOf(answerWebRequest(verdict, store_, data_.Take(), &charts_, options_.synop));
    }
    if (verdict.setTokenCookie && reply.status < 400)
      reply.setCookie = webTokenCookie(options_.token);
    return reply;
  }

  HttpReply Refuse(int status, const HttpRequestHead& request, const std::string& peer) override {
    HttpReply reply = replyOf(answerWebRequest({.status = status}, store_, {}, nullptr));
    if (reply.contentType.empty()) reply.contentType = kText;
    const std::string path = request.target.substr(0, request.target.find('?'));
    Log("Web-Seite: abgelehnt " + std::to_string(status) + " " +
        (request.method.empty() ? "-" : shortened(request.method, kShownMethod)) + " " +
        (path.empty() ? "-" : shortened(path, kShownPath)) + " von " + peer);
    return reply;
  }

  void Log(const std::string& line) override {
    {
      std::lock_guard lock(logMutex_);
      refusals_.push_back(line);
      if (refusals_.size() > kKeptRefusals) refusals_.pop_front();
    }
    if (log_) log_(line);
  }

  std::uint64_t Generation() override { return data_.Take().generation; }

  std::uint64_t WaitForNews(std::uint64_t seen, std::chrono::milliseconds longest,
                            const std::atomic<bool>& stopping) override {
    return data_.WaitForNews(seen, longest, stopping);
  }

  void WakeWaiters() override { data_.WakeWaiters(); }

 private:
  const MessageStore& store_;
  WebData& data_;
  const WebServerOptions options_;
  const LogLine log_;
  WebGuardPolicy policy_;
  FaxChartPictures charts_;
  std::unique_ptr<HttpHost> host_;
  int port_ = 0;
  mutable std::mutex logMutex_;
  std::deque<std::string> refusals_;
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
