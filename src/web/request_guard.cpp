#include "web/request_guard.h"

#include <array>
#include <charconv>
#include <utility>

namespace tern {

namespace {

constexpr std::array<std::pair<std::string_view, WebRoute>, 14> kFixedRoutes{{
    {"/", WebRoute::Page},
    {"/tern.js", WebRoute::Script},
    {"/tern.css", WebRoute::Style},
    {"/tern.svg", WebRoute::Icon},
    {"/wind_map.png", WebRoute::WindMap},
    {"/api/events", WebRoute::Events},
    {"/api/bulletins", WebRoute::Bulletins},
    {"/api/navtex", WebRoute::Navtex},
    {"/api/alerts", WebRoute::Alerts},
    {"/api/barograph", WebRoute::Barograph},
    {"/api/fax", WebRoute::FaxList},
    {"/api/synop", WebRoute::Synop},
    {"/api/seewetter", WebRoute::SeaWeather},
    {"/api/seewetter.svg", WebRoute::SeaMap},
}};

constexpr std::string_view kChartPrefix = "/api/fax/";
constexpr std::string_view kChartSuffix = ".png";

// Only what the page's own links contain: letters, digits and "/._-". A percent sign would
// let an encoded "..", slash or NUL past every other check, so it is refused outright.
bool pathCharactersFine(std::string_view path) {
  for (char c : path) {
    const bool fine = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '/' || c == '.' || c == '_' || c == '-';
    if (!fine) return false;
  }
  return true;
}

bool queryCharactersFine(std::string_view query) {
  for (char c : query)
    if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7f)
      return false;
  return true;
}

// Compares without stopping at the first difference, so the answer's timing tells nothing
// about how much of a guessed token was right.
bool sameToken(std::string_view given, std::string_view token) {
  if (given.size() != token.size()) return false;
  unsigned char diff = 0;
  for (std::size_t i = 0; i < token.size(); ++i)
    diff |= static_cast<unsigned char>(given[i] ^ token[i]);
  return diff == 0;
}

// The value of `name` in a list of "name=value" items separated by `separator`; nothing
// when it is missing.
std::string_view findValue(std::string_view list, std::string_view name, char separator) {
  while (!list.empty()) {
    const std::size_t end = list.find(separator);
    std::string_view item = list.substr(0, end);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    if (item.size() > name.size() && item.substr(0, name.size()) == name &&
        item[name.size()] == '=')
      return item.substr(name.size() + 1);
    if (end == std::string_view::npos) break;
    list.remove_prefix(end + 1);
  }
  return {};
}

// "NAME" or "NAME:PORT" (an IPv6 address in brackets), NAME one of this computer's own.
bool localHost(std::string_view host, std::string_view listenHost) {
  if (const std::size_t colon = host.rfind(':');
      colon != std::string_view::npos && host.find(']', colon) == std::string_view::npos) {
    const std::string_view port = host.substr(colon + 1);
    if (port.empty() || port.size() > 5 ||
        port.find_first_not_of("0123456789") != std::string_view::npos)
      return false;
    host = host.substr(0, colon);
  }
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
    return host == "::1" || (!listenHost.empty() && host == listenHost);
  }
  std::string lower(host);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower == "localhost" || lower == "127.0.0.1" ||
         (!listenHost.empty() && lower == listenHost);
}

WebVerdict route(std::string_view path) {
  for (const auto& [fixed, r] : kFixedRoutes)
    if (path == fixed) return {.route = r};
  if (path.size() > kChartPrefix.size() + kChartSuffix.size() && path.starts_with(kChartPrefix) &&
      path.ends_with(kChartSuffix)) {
    const std::string_view digits =
        path.substr(kChartPrefix.size(), path.size() - kChartPrefix.size() - kChartSuffix.size());
    std::uint64_t id = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (ec == std::errc() && end == digits.data() + digits.size() && digits.front() != '0')
      return {.route = WebRoute::FaxChart, .chartId = id};
  }
  return {.status = 404};
}

}  // namespace

WebVerdict guardWebRequest(const WebRequest& request, const WebGuardPolicy& policy) {
  if (request.target.size() > policy.maxTargetLength) return {.status = 414};
  if (request.headerBytes > policy.maxHeaderBytes || request.bodyBytes > 0) return {.status = 413};
  if (request.method != "GET" && request.method != "HEAD") return {.status = 405};
  // A request without Host (HTTP/1.0 from a script) comes from no browser and so from no
  // rebinding web site.
  if (policy.localHostsOnly && !request.host.empty() && !localHost(request.host, policy.listenHost))
    return {.status = 403};

  const std::size_t q = request.target.find('?');
  const std::string_view path = request.target.substr(0, q);
  const std::string_view query =
      q == std::string_view::npos ? std::string_view() : request.target.substr(q + 1);
  if (!path.starts_with('/') || path.find("..") != std::string_view::npos ||
      path.find("//") != std::string_view::npos || !pathCharactersFine(path) ||
      !queryCharactersFine(query))
    return {.status = 400};

  bool setCookie = false;
  if (!policy.token.empty()) {
    const std::string_view fromQuery = findValue(query, "token", '&');
    if (sameToken(fromQuery, policy.token))
      setCookie = true;
    else if (!sameToken(findValue(request.cookie, kWebTokenCookie, ';'), policy.token))
      return {.status = 401};
  }
  WebVerdict verdict = route(path);
  if (verdict.route == WebRoute::FaxChart) {
    // A picture narrower than the chart, for a small screen: 1 to 9999 pixels.
    const std::string_view width = findValue(query, "width", '&');
    if (!width.empty()) {
      const auto [end, ec] =
          std::from_chars(width.data(), width.data() + width.size(), verdict.width);
      if (ec != std::errc() || end != width.data() + width.size() || verdict.width < 1 ||
          verdict.width > 9999)
        return {.status = 400};
    }
  }
  verdict.setTokenCookie = setCookie && verdict.allowed();
  return verdict;
}

std::string webTokenCookie(std::string_view token) {
  return std::string(kWebTokenCookie) + "=" + std::string(token) +
         "; Path=/; HttpOnly; SameSite=Strict; Max-Age=31536000";
}

}  // namespace tern
