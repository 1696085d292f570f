#include "web/request_guard.h"

#include <gtest/gtest.h>

#include <string>

namespace tern::testing {
namespace {

TEST(RequestGuard, LetsThroughOnlyThePagesOwnPathsAndRefusesTheRest) {
  const std::string token = "0123456789abcdef0123456789abcdef";
  const std::string cookie = "theme=dark; tern_token=" + token;
  const std::string longTarget = "/api/navtex?" + std::string(1100, 'x');
  struct Case {
    const char* what;
    std::string method, target, cookie;
    bool tokenAsked;
    int status;
    WebRoute route = WebRoute::None;
    std::uint64_t chart = 0;
    bool setCookie = false;
  };
  const Case cases[] = {
      {"page on loopback", "GET", "/", "", false, 200, WebRoute::Page},
      {"head", "HEAD", "/api/navtex", "", false, 200, WebRoute::Navtex},
      {"query ignored", "GET", "/api/barograph?days=2", "", false, 200, WebRoute::Barograph},
      {"chart", "GET", "/api/fax/1234.png", "", false, 200, WebRoute::FaxChart, 1234},
      {"synop", "GET", "/api/synop", "", false, 200, WebRoute::Synop},
      {"sea weather", "GET", "/api/seewetter", "", false, 200, WebRoute::SeaWeather},
      {"sea map", "GET", "/api/seewetter.svg?g=3", "", false, 200, WebRoute::SeaMap},
      {"sea map elsewhere", "GET", "/api/seewetter/x.svg", "", false, 404},
      {"map picture", "GET", "/wind_map.png", "", false, 200, WebRoute::WindMap},
      {"icon", "GET", "/tern.svg", "", false, 200, WebRoute::Icon},
      {"no favicon.ico", "GET", "/favicon.ico", "", false, 404},
      {"chart id 0", "GET", "/api/fax/0.png", "", false, 404},
      {"chart id leading 0", "GET", "/api/fax/012.png", "", false, 404},
      {"chart id too large", "GET", "/api/fax/99999999999999999999999.png", "", false, 404},
      {"chart id not a number", "GET", "/api/fax/-1.png", "", false, 404},
      {"unknown path", "GET", "/etc/passwd", "", false, 404},
      {"trailing slash", "GET", "/api/navtex/", "", false, 404},
      {"dot dot", "GET", "/../settings.txt", "", false, 400},
      {"dot dot inside", "GET", "/api/fax/../../x.png", "", false, 400},
      {"encoded dot dot", "GET", "/%2e%2e/x", "", false, 400},
      {"backslash", "GET", "/api\\navtex", "", false, 400},
      {"double slash", "GET", "//api/navtex", "", false, 400},
      {"relative", "GET", "api/navtex", "", false, 400},
      {"full URL", "GET", "http://x/", "", false, 400},
      {"control byte in query", "GET", "/?a=\x01", "", false, 400},
      {"post", "POST", "/api/navtex", "", false, 405},
      {"put", "PUT", "/", "", false, 405},
      {"delete", "DELETE", "/api/fax/5.png", "", false, 405},
      {"lower-case get", "get", "/", "", false, 405},
      {"long URL", "GET", longTarget, "", false, 414},
      {"token asked, none given", "GET", "/", "", true, 401},
      {"token asked, before the path is looked at", "GET", "/nothing", "", true, 401},
      {"token in cookie", "GET", "/api/alerts", cookie, true, 200, WebRoute::Alerts},
      {"token in query sets cookie", "GET", "/?token=" + token, "", true, 200, WebRoute::Page, 0,
       true},
      {"wrong token in query", "GET", "/?token=" + token.substr(1) + "0", "", true, 401},
      {"token prefix", "GET", "/?token=" + token.substr(0, 8), "", true, 401},
      {"wrong cookie", "GET", "/", "tern_token=abc", true, 401},
      {"cookie of another name", "GET", "/", "xtern_token=" + token, true, 401},
      {"token on a missing page", "GET", "/x?token=" + token, "", true, 404},
  };
  for (const Case& c : cases) {
    WebGuardPolicy policy;
    if (c.tokenAsked) policy.token = token;
    const WebVerdict v = guardWebRequest({c.method, c.target, c.cookie}, policy);
    EXPECT_EQ(v.status, c.status) << c.what;
    EXPECT_EQ(v.route, c.route) << c.what;
    EXPECT_EQ(v.chartId, c.chart) << c.what;
    EXPECT_EQ(v.setTokenCookie, c.setCookie) << c.what;
  }
}

// On the loopback address only this computer's own names: a web site whose name was pointed
// at 127.0.0.1 is refused, however the name is written.
TEST(RequestGuard, OnTheLoopbackAddressOnlyThisComputersNamesAreAccepted) {
  const struct {
    const char* host;
    bool accepted;
  } cases[] = {
      {"localhost", true},
      {"LocalHost:8080", true},
      {"127.0.0.1", true},
      {"127.0.0.1:80", true},
      {"[::1]", true},
      {"[::1]:8080", true},
      {"127.0.0.2:8080", true},  // the address listened on
      {"", true},                // HTTP/1.0 without Host: no browser, no web site
      {"evil.example", false},
      {"evil.example:8080", false},
      {"localhost.evil.example", false},
      {"127.0.0.1.nip.io", false},
      {"localhost:", false},
      {"localhost:80x", false},
      {"::1", false},
      {"[::2]", false},
      {"127.0.0.1:8080:80", false},
  };
  WebGuardPolicy policy{.localHostsOnly = true, .listenHost = "127.0.0.2"};
  for (const auto& c : cases) {
    const WebRequest request{.method = "GET", .target = "/api/alerts", .host = c.host};
    EXPECT_EQ(guardWebRequest(request, policy).status, c.accepted ? 200 : 403) << c.host;
  }
  policy.localHostsOnly = false;  // away from loopback the token decides, not the name
  EXPECT_EQ(guardWebRequest({.method = "GET", .target = "/", .host = "boat"}, policy).status, 200);
}

TEST(RequestGuard, RefusesLargeRequestsWhateverElseTheyAre) {
  WebGuardPolicy policy;
  EXPECT_EQ(guardWebRequest({"GET", "/", "", 9000, 0}, policy).status, 413);
  EXPECT_EQ(guardWebRequest({"GET", "/", "", 100, 1}, policy).status, 413);  // GET with a body
  EXPECT_EQ(guardWebRequest({"POST", "/", "", 100, 1 << 20}, policy).status, 413);
  EXPECT_EQ(webTokenCookie("ab"),
            "tern_token=ab; Path=/; HttpOnly; SameSite=Strict; Max-Age=31536000");
}

}  // namespace
}  // namespace tern::testing
