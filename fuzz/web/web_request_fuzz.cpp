// A request to the web page as the server hands it over, without sockets: method, target
// (path and query), Cookie and Host header, judged by the guard under the three policies the
// service runs with and answered as the server would. No request may pass the guard with a
// path that leaves the page's own, or without the token where one is asked; every refusal is
// answered with its own status.
//
// Input: the method, the target, the Cookie header and the Host header, one per line; the
// target is also read as a listen address ("[ADDRESS:]PORT").
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_check.h"
#include "messages/message_store.h"
#include "web/fax_chart_png.h"
#include "web/request_guard.h"
#include "web/web_access.h"
#include "web/web_site.h"

namespace {

constexpr std::string_view kToken = "0123456789abcdef0123456789abcdef";

std::string_view nextLine(std::string_view& text) {
  const std::size_t end = text.find('\n');
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  return line;
}

void judge(const tern::WebRequest& request, const tern::WebGuardPolicy& policy) {
  using namespace tern;
  static const MessageStore store("/nonexistent/", "/nonexistent/", nullptr,
                                  MessageStore::Access::ReadOnly);
  static FaxChartPictures charts;  // the store has no fax records: every chart is missing
  static const WebData::Snapshot data;

  const WebVerdict verdict = guardWebRequest(request, policy);
  if (verdict.allowed()) {
    const std::string_view path = request.target.substr(0, request.target.find('?'));
    check(verdict.route != WebRoute::None);
    check(path.starts_with('/') && path.find("..") == std::string_view::npos);
    check(path.find('%') == std::string_view::npos);
    check(verdict.width >= 0 && verdict.width <= 9999);
    check(verdict.route != WebRoute::FaxChart || verdict.chartId > 0);
    // Where a token is asked, the request brought it.
    check(policy.token.empty() || request.target.find(policy.token) != std::string_view::npos ||
          request.cookie.find(policy.token) != std::string_view::npos);
  } else {
    check(!verdict.setTokenCookie);
  }
  check(policy.token.empty() ? !verdict.setTokenCookie : true);
  if (verdict.route == WebRoute::Events) return;  // a stream the module keeps open
  const WebAnswer answer = answerWebRequest(verdict, store, data, &charts);
  check(answer.status == verdict.status ||
        (verdict.route == WebRoute::FaxChart && answer.status == 404));
  check(!answer.contentType.empty() && !answer.body.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tern;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  WebRequest request;
  request.method = nextLine(text);
  request.target = nextLine(text);
  request.cookie = nextLine(text);
  request.host = nextLine(text);
  request.headerBytes = request.cookie.size() + request.host.size();

  judge(request, {.localHostsOnly = true, .listenHost = "127.0.0.1"});
  judge(request, {.localHostsOnly = true, .listenHost = "::1"});
  judge(request, {.token = std::string(kToken), .listenHost = "0.0.0.0"});

  const ListenAddressText address = parseListenAddress(request.target);
  check(address.address.has_value() != !address.problem.empty());
  if (address.address) check(address.address->port >= 0 && address.address->port <= 65535);
  return 0;
}
