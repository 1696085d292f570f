// The web server over real sockets on a free port: what it refuses (and logs), the
// connection limit, the event stream and its end at Stop().
#include "web/web_server.h"

#include <gtest/gtest.h>

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
  return "GET " + target + " HTTP/1.1\r\nHost: boat\r\nConnection: close\r\n" + headers + "\r\n";
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
      {"POST /api/navtex HTTP/1.1\r\nHost: boat\r\n" + cookie + "\r\n", 405},
      {"PUT /api/navtex HTTP/1.1\r\nHost: boat\r\n" + cookie + "\r\n", 405},
      {"DELETE /api/fax/1.png HTTP/1.1\r\nHost: boat\r\n" + cookie + "\r\n", 405},
      {"TRACE / HTTP/1.1\r\nHost: boat\r\n" + cookie + "\r\n", 405},
      {"POST /api/alerts HTTP/1.1\r\nHost: boat\r\nContent-Length: 9\r\n" + cookie +
           "\r\nseen=true",
       413},
      {get("/api/nothing", cookie), 404},
      {get("/api/fax/999.png", cookie), 404},
      {"HELLO\r\n\r\n", 400},
  };
  int refused = 0;
  for (const Case& c : cases) {
    const std::string answer = httpExchange(port, c.request);
    EXPECT_EQ(statusOf(answer), c.status) << c.request.substr(0, 60) << "\n" << answer;
    if (c.status == 200) continue;
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
  options.workers = 2;  // so at most one event stream
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

TEST_F(WebServerTest, ConnectionsBeyondTheLimitGet503WhileTheServedOnesGoOn) {
  WebServerOptions options;
  options.workers = 2;  // so at most one event stream
  options.waiting = 1;
  options.readTimeout = 4000ms;
  const int port = start(options).Port();

  RawConnection stream(port);
  ASSERT_TRUE(stream.send(get("/api/events")));
  ASSERT_NE(stream.receive(2000, "data: 0\n\n").find("data: 0"), std::string::npos);
  EXPECT_EQ(statusOf(httpExchange(port, get("/api/events"))), 503) << "a second stream";
  std::this_thread::sleep_for(300ms);  // its worker is free again once it has closed

  RawConnection quiet(port);  // takes the other worker and says nothing
  RawConnection waiting(port);
  ASSERT_TRUE(quiet.connected() && waiting.connected());
  std::this_thread::sleep_for(100ms);
  const auto asked = std::chrono::steady_clock::now();
  const std::string refused = httpExchange(port, get("/api/alerts"), 3000);
  EXPECT_EQ(statusOf(refused), 503) << refused;
  EXPECT_NE(refused.find("Zu viele Verbindungen"), std::string::npos);
  EXPECT_LT(std::chrono::steady_clock::now() - asked, 2s) << "refused at once, not queued";

  // The connections inside the limit are served as before.
  ASSERT_TRUE(quiet.send(get("/api/alerts")));
  EXPECT_EQ(statusOf(quiet.receive(3000)), 200);
  ASSERT_TRUE(waiting.send(get("/api/alerts")));
  EXPECT_EQ(statusOf(waiting.receive(3000)), 200);
  printRefusals();
}

TEST_F(WebServerTest, AClientThatTricklesItsRequestIsCutOffAtTheConnectionsDeadline) {
  WebServerOptions options;
  options.readTimeout = 600ms;
  options.connectionReads = 1000ms;
  const int port = start(options).Port();
  RawConnection slow(port);
  ASSERT_TRUE(slow.send("GET / HTTP/1.1\r\n"));
  const auto began = std::chrono::steady_clock::now();
  while (!slow.closedByServer() && std::chrono::steady_clock::now() - began < 5s) {
    slow.send("X-Slow: 1\r\n");  // always within the read timeout
    slow.receive(300);
  }
  EXPECT_TRUE(slow.closedByServer());
  EXPECT_LT(std::chrono::steady_clock::now() - began, 2500ms);
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
