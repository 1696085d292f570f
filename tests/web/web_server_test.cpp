// The web server over real sockets on a free port: what it refuses (and logs), the
// connection limit, the event stream and its end at Stop().
#include "web/web_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>

#include "fakes/store_fixture.h"
#include "web/raw_http.h"

namespace tern::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* kToken = "0123456789abcdef0123456789abcdef";

// Every file of a folder with its bytes, to see that nothing was written.
std::map<std::string, std::string> folderContent(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files[entry.path().string()] = bytes.str();
  }
  return files;
}

std::string get(const std::string& target, const std::string& headers = "") {
  return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + headers +
         "\r\n";
}

class WebServerTest : public StoreTest {
 protected:
  WebServer& start(WebServerOptions options) {
    options.address.port = 0;
    server = std::make_unique<WebServer>(*store, data, options, nullptr);
    EXPECT_EQ(server->Start(), "");
    EXPECT_GT(server->Port(), 0);
    return *server;
  }
  // The log lines of the refusals, one each, so the test's output shows them.
  void printRefusals() {
    for (const std::string& line : server->Refusals()) std::cout << line << '\n';
  }

  WebData data;
  std::unique_ptr<WebServer> server;
};

TEST_F(WebServerTest, RefusesBadRequestsWithoutTouchingTheDataFolder) {
  put(2, 0, 0, 0, "ASXX40", {2026, 3, 5, 1, 0, 0, 0}, "");
  ASSERT_TRUE(store->SaveFiles());
  WebServerOptions options;
  options.token = kToken;  // as on an address away from this computer
  const int port = start(options).Port();
  const auto before = folderContent(dir_.path());
  const std::string cookie = "Cookie: tern_token=" + std::string(kToken) + "\r\n";

  struct Case {
    std::string request;
    int status;
  } cases[] = {
      {get("/api/navtex", cookie), 200},
      {get("/api/fax?token=" + std::string(kToken)), 200},
      {get("/api/navtex"), 401},
      {get("/api/navtex", "Cookie: tern_token=0123456789abcdef0123456789abcdee\r\n"), 401},
      {get("/api/navtex?" + std::string(2000, 'a'), cookie), 414},
      {get("/" + std::string(9000, 'a'), cookie), 414},  // beyond the library's own limit
      {get("/api/../web_token.txt", cookie), 400},
      {get("/api/%2e%2e/web_token.txt", cookie), 400},
      {get("/%2E%2E%2Fetc%2Fpasswd", cookie), 400},
      {"POST /api/navtex HTTP/1.1\r\nHost: localhost\r\n" + cookie + "\r\n", 405},
      {"PUT /api/navtex HTTP/1.1\r\nHost: localhost\r\n" + cookie + "\r\n", 405},
      {"DELETE /api/fax/1.png HTTP/1.1\r\nHost: localhost\r\n" + cookie + "\r\n", 405},
      {"TRACE / HTTP/1.1\r\nHost: localhost\r\n" + cookie + "\r\n", 405},
      {"POST /api/alerts HTTP/1.1\r\nHost: localhost\r\nContent-Length: 9\r\n" + cookie +
           "\r\nseen=true",
       413},
      // A web site that pointed its own name at this computer (DNS rebinding).
      {"GET /api/navtex HTTP/1.1\r\nHost: evil.example:8080\r\n" + cookie + "\r\n", 403},
      // Two lengths, which a proxy in front may read otherwise than the server.
      {"GET /api/navtex HTTP/1.1\r\nHost: localhost\r\nContent-Length: 0\r\n"
       "Content-Length: 5\r\n" +
           cookie + "\r\nhello",
       400},
      {get("/api/nothing", cookie), 404},
      {get("/api/fax/999.png", cookie), 404},
      {"HELLO\r\n\r\n", 0},  // not HTTP: the library closes it unanswered and unlogged
  };
  int refused = 0;
  for (const Case& c : cases) {
    const std::string answer = httpExchange(port, c.request);
    EXPECT_EQ(statusOf(answer), c.status) << c.request.substr(0, 60) << "\n" << answer;
    if (c.status == 200 || c.status == 0) continue;
    ++refused;
    // A short German text, and the connection ends with it.
    EXPECT_NE(answer.find("Connection: close"), std::string::npos) << c.request.substr(0, 60);
    EXPECT_NE(answer.find("text/plain; charset=utf-8"), std::string::npos);
  }
  EXPECT_NE(httpExchange(port, cases[1].request).find("Set-Cookie: tern_token="),
            std::string::npos);

  const std::vector<std::string> lines = server->Refusals();
  printRefusals();
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(refused));
  EXPECT_NE(lines[0].find("abgelehnt 401 GET /api/navtex von 127.0.0.1:"), std::string::npos);
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find(kToken), std::string::npos) << "the token is never logged";
    EXPECT_LT(line.size(), 200u) << "long paths are shortened";
  }
  server->Stop();
  EXPECT_EQ(folderContent(dir_.path()), before);
}

TEST_F(WebServerTest, AClosedEventStreamFreesItsPlaceBeforeTheNextKeepAlive) {
  WebServerOptions options;
  options.eventStreams = 1;
  const int port = start(options).Port();
  {
    RawConnection gone(port);  // a reloaded page's stream
    ASSERT_TRUE(gone.send(get("/api/events")));
    ASSERT_NE(gone.receive(2000, "data: 0\n\n").find("data: 0"), std::string::npos);
  }
  // Well within the keep-alive time (15 s) the new page's stream is served, not refused.
  std::this_thread::sleep_for(1500ms);
  RawConnection next(port);
  ASSERT_TRUE(next.send(get("/api/events")));
  EXPECT_NE(next.receive(2000, "data: 0\n\n").find("data: 0"), std::string::npos);
}

// Phones, tablets, the plotter and a second screen each hold a stream; one more than the
// limit is told to come back, and ordinary requests are still answered at once.
TEST_F(WebServerTest, ThirtyTwoEventStreamsAreServedAtOnceAndOneMoreIsToldToRetry) {
  WebServerOptions options;
  const int port = start(options).Port();
  std::vector<std::unique_ptr<RawConnection>> streams;
  for (std::size_t i = 0; i < options.eventStreams; ++i) {
    streams.push_back(std::make_unique<RawConnection>(port));
    ASSERT_TRUE(streams.back()->send(get("/api/events")));
  }
  for (auto& stream : streams)
    ASSERT_NE(stream->receive(3000, "data: 0\n\n").find("data: 0"), std::string::npos);
  const std::string refused = httpExchange(port, get("/api/events"), 3000);
  EXPECT_EQ(statusOf(refused), 503) << refused;
  EXPECT_EQ(headerOf(refused, "Retry-After"), "5");
  EXPECT_NE(refused.find("Zu viele Verbindungen"), std::string::npos);
  EXPECT_EQ(statusOf(httpExchange(port, get("/api/alerts"), 1000)), 200);

  data.NoteNewData();  // every stream hears of it
  for (auto& stream : streams)
    EXPECT_NE(stream->receive(3000, "data: 1\n\n").find("data: 1"), std::string::npos);
}

// A crowd of connections from one address that send their heads a line at a time (as a
// broken or hostile client might): the limit per address and the deadline for a head keep
// the server answering everyone else within a second, and the crowd is cut at the deadline.
TEST_F(WebServerTest, TwoHundredSlowConnectionsFromOneAddressDoNotStarveAnotherClient) {
  WebServerOptions options;
  options.headTimeout = 3000ms;
  const int port = start(options).Port();
  std::vector<std::unique_ptr<RawConnection>> crowd;
  for (int i = 0; i < 200; ++i) {
    crowd.push_back(std::make_unique<RawConnection>(port, "127.0.0.2"));
    crowd.back()->send("GET /api/alerts HTTP/1.1\r\n");
  }
  const auto began = std::chrono::steady_clock::now();
  int answered = 0;
  std::chrono::steady_clock::duration slowest{};
  while (std::chrono::steady_clock::now() - began < 4500ms) {
    for (auto& slow : crowd) slow->send("X-Slow: 1\r\n");
    const auto asked = std::chrono::steady_clock::now();
    const std::string answer = httpExchange(port, get("/api/alerts"), 1000);
    slowest = std::max(slowest, std::chrono::steady_clock::now() - asked);
    EXPECT_EQ(statusOf(answer), 200) << answer;
    ++answered;
    std::this_thread::sleep_for(200ms);
  }
  EXPECT_GE(answered, 10);
  EXPECT_LT(slowest, 1s);
  int open = 0;
  for (auto& slow : crowd) {
    slow->send("X-Slow: 1\r\n");
    slow->receive(50);
    if (!slow->closedByServer()) ++open;
  }
  EXPECT_EQ(open, 0) << "every head past its deadline was cut";
  printRefusals();
  const std::vector<std::string> lines = server->Refusals();
  const auto said = [&](const std::string& text) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(text) != std::string::npos; });
  };
  EXPECT_TRUE(said("zu viele Verbindungen")) << "beyond the limit per address";
  EXPECT_TRUE(said("nicht rechtzeitig vollständig")) << "cut at the deadline";
}

TEST_F(WebServerTest, AClientThatTricklesItsRequestIsCutOffAtTheDeadline) {
  WebServerOptions options;
  options.headTimeout = 1000ms;
  const int port = start(options).Port();
  RawConnection slow(port);
  ASSERT_TRUE(slow.send("GET / HTTP/1.1\r\n"));
  const auto began = std::chrono::steady_clock::now();
  while (!slow.closedByServer() && std::chrono::steady_clock::now() - began < 5s) {
    slow.send("X-Slow: 1\r\n");  // never silent long enough for an idle time-out
    slow.receive(300);
  }
  EXPECT_TRUE(slow.closedByServer());
  EXPECT_LT(std::chrono::steady_clock::now() - began, 2500ms);
}

// Keep-alive answers go out whole at once: no 40 ms stall for the client's delayed
// acknowledgement between head and body.
TEST_F(WebServerTest, KeepAliveAnswersFollowEachOtherWithoutAStall) {
  const int port = start({}).Port();
  RawConnection browser(port);
  const std::string request = "GET /api/alerts HTTP/1.1\r\nHost: localhost\r\n\r\n";
  const auto began = std::chrono::steady_clock::now();
  for (std::size_t i = 1; i <= 20; ++i) {
    ASSERT_TRUE(browser.send(request));
    const std::string got = browser.receiveUntil(
        2000, [i](const std::string& bytes) { return wholeAnswers(bytes) >= i; });
    ASSERT_EQ(wholeAnswers(got), i) << got;
  }
  EXPECT_LT(std::chrono::steady_clock::now() - began, 400ms) << "20 answers, not 20 stalls";
}

TEST_F(WebServerTest, TheEventStreamFollowsTheGenerationAndEndsAtStop) {
  WebServerOptions options;
  options.eventKeepAlive = 300ms;
  const int port = start(options).Port();
  RawConnection events(port);
  ASSERT_TRUE(events.send(get("/api/events")));
  std::string got = events.receive(2000, "data: 0\n\n");
  EXPECT_NE(got.find("Content-Type: text/event-stream"), std::string::npos);

  data.NoteNewData();
  EXPECT_NE(events.receive(2000, "data: 1\n\n").find("data: 1\n\n"), std::string::npos);
  data.SetFilter(NavtexFilter());  // the same filter: nothing new
  data.SetAlerts({});
  got = events.receive(2000, "data: 2\n\n");
  EXPECT_NE(got.find("data: 2\n\n"), std::string::npos);
  EXPECT_EQ(got.find("data: 3"), std::string::npos);
  EXPECT_NE(events.receive(2000, "\r\n:\n\n").find(":\n\n"), std::string::npos)
      << "a comment line keeps a quiet stream alive";

  const auto stopping = std::chrono::steady_clock::now();
  server->Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - stopping, 1s);
  events.receive(1000);
  EXPECT_TRUE(events.closedByServer());
}

}  // namespace
}  // namespace tern::testing
