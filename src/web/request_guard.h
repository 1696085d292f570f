// The guard every request to the web page passes before anything answers it. The page only
// reads, so the guard lets through GET and HEAD of the few paths the page itself consists
// of, and nothing else: no path names a file, so none can reach outside what the service
// generates. Away from the loopback address every request must carry the token, as a
// cookie or, on the first visit, as "?token=" (answered with the cookie). On the loopback
// address, which asks no token, the request must name this computer as its host: a web site
// that a browser on this computer opened could otherwise point its own name at 127.0.0.1
// (DNS rebinding) and read every answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tern {

enum class WebRoute {
  None,
  Page,        // "/"
  Script,      // "/tern.js"
  Style,       // "/tern.css"
  Icon,        // "/tern.svg"
  WindMap,     // "/wind_map.png": the wind map's background
  Events,      // "/api/events": new data arrived
  Bulletins,   // "/api/bulletins"
  Navtex,      // "/api/navtex"
  Alerts,      // "/api/alerts"
  Barograph,   // "/api/barograph"
  FaxList,     // "/api/fax"
  Synop,       // "/api/synop"
  SeaWeather,  // "/api/seewetter"
  SeaMap,      // "/api/seewetter.svg"
  FaxChart,    // "/api/fax/<id>.png"
};

inline constexpr std::string_view kWebTokenCookie = "tern_token";

struct WebRequest {
  std::string_view method;
  std::string_view target;  // as in the request line: path and query
  std::string_view cookie;  // the Cookie header, empty when none came
  std::size_t headerBytes = 0;
  std::size_t bodyBytes = 0;
  std::string_view host;  // the Host header, empty when none came
};

struct WebGuardPolicy {
  std::string token;  // empty: none asked (the service listens on the loopback address)
  // Set on the loopback address: a Host other than "localhost", "127.0.0.1", "[::1]" or this
  // address (each with or without a port) is refused.
  bool localHostsOnly = false;
  std::string listenHost;  // the address listened on, IPv6 without brackets
  std::size_t maxTargetLength = 1024;
  std::size_t maxHeaderBytes = 8192;
};

struct WebVerdict {
  // 200 let through; else the refusal: 400 malformed path (or chart width), 401 token
  // missing or wrong, 403 a host name not of this computer on the loopback address, 404 no
  // such page, 405 another method, 413 headers too large or a body, 414 URL too long.
  int status = 200;
  WebRoute route = WebRoute::None;
  std::uint64_t chartId = 0;    // for FaxChart
  int width = 0;                // for FaxChart: "?width=N", 0 when not given
  bool setTokenCookie = false;  // the token came in the query: answer with the cookie
  bool allowed() const { return status == 200; }
};

// Thread: pure function.
WebVerdict guardWebRequest(const WebRequest& request, const WebGuardPolicy& policy);

// The Set-Cookie value that keeps the token for the next visits.
std::string webTokenCookie(std::string_view token);

}  // namespace tern
