// The web page of a session that read out the simulated receiver, through real HTTP: the
// JSON answers and a chart picture, the token away from the loopback address, and the end
// of the server at Close().
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "assembly/session_fixture.h"
#include "fakes/recording_view.h"
#include "messages/channels.h"
#include "web/raw_http.h"

namespace tern::testing {
namespace {

using nlohmann::json;

class SessionWeb : public SessionTest {
 protected:
  RecordingView view;
  DirectHandOver handOver;
};

// Width and height from a PNG's header.
std::pair<int, int> pngSize(const std::string& png) {
  auto u32 = [&](std::size_t at) {
    return (static_cast<unsigned char>(png[at]) << 24) |
           (static_cast<unsigned char>(png[at + 1]) << 16) |
           (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
  };
  return png.size() > 24 ? std::pair{u32(16), u32(20)} : std::pair{0, 0};
}

TEST_F(SessionWeb, TheApiAnswersWhatTheSimulatedReceiverDelivered) {
  ApplicationSession session(options, clock);
  session.Open(sink);
  session.Attach(view, handOver);
  session.Thread()->RunPass();
  const WebPageStart web = session.StartWebPage({"127.0.0.1", 0, true}, nullptr);
  ASSERT_EQ(web.problem, "");
  const int port = session.WebPage()->Port();
  EXPECT_EQ(web.url, "http://127.0.0.1:" + std::to_string(port) + "/");
  EXPECT_EQ(web.tokenFile, "") << "no token on the loopback address";
  auto get = [port](const std::string& path, const std::string& headers = "") {
    return httpExchange(port, "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headers +
                                  "Connection: close\r\n\r\n");
  };
  auto answer = [&](const std::string& path) {
    const std::string res = get(path);
    EXPECT_EQ(statusOf(res), 200) << path;
    return statusOf(res) == 200 ? json::parse(bodyOf(res)) : json();
  };

  const json navtex = answer("/api/navtex");
  const std::size_t stored = session.Store().navtex(kNavtex518).records().size() +
                             session.Store().navtex(kNavtex490).records().size();
  EXPECT_GT(navtex["messages"].size(), 0u);
  EXPECT_EQ(navtex["messages"].size() + navtex["hidden"].get<std::size_t>(), stored);
  EXPECT_GE(navtex["messages"][0]["time"], navtex["messages"].back()["time"]) << "newest first";

  const json bulletins = answer("/api/bulletins");
  ASSERT_GT(bulletins["bulletins"].size(), 0u);
  EXPECT_FALSE(bulletins["bulletins"][0]["lines"].empty());

  const json baro = answer("/api/barograph");
  EXPECT_GT(baro["samples"].size(), 100u);
  EXPECT_TRUE(baro["pressureHPa"].is_number());

  const json fax = answer("/api/fax");
  ASSERT_EQ(fax["stations"].size(), 5u);
  ASSERT_FALSE(fax["stations"][0]["charts"].empty());
  const std::string chart =
      "/api/fax/" + std::to_string(fax["stations"][0]["charts"][0]["id"].get<std::uint64_t>());
  for (auto [query, width] : {std::pair{"", 1800}, {"?width=450", 450}}) {
    const std::string png = get(chart + ".png" + query);
    EXPECT_EQ(statusOf(png), 200);
    EXPECT_EQ(headerOf(png, "Content-Type"), "image/png");
    EXPECT_EQ(bodyOf(png).substr(0, 8), "\x89PNG\r\n\x1A\n");
    const auto [w, h] = pngSize(bodyOf(png));
    EXPECT_EQ(w, width) << query;
    EXPECT_GT(h, width / 2) << query;
  }

  EXPECT_EQ(session.Close(), "");
  EXPECT_EQ(get("/api/fax"), "") << "the server ends at Close";
  EXPECT_TRUE(sink.texts.empty()) << sink.last();
}

TEST_F(SessionWeb, AwayFromTheLoopbackAddressTheTokenOfTheDataFolderIsAsked) {
  ApplicationSession session(options, clock);
  session.Open(sink);
  // Bound to 127.0.0.1 for the test, but treated as an address others can reach.
  const WebPageStart web = session.StartWebPage({"127.0.0.1", 0, false}, nullptr);
  ASSERT_EQ(web.problem, "");
  const std::string token = LoadOrCreateWebToken(session.DataFolder()).token;
  EXPECT_EQ(web.tokenFile, session.DataFolder() + "web_token.txt");
  EXPECT_NE(web.url.find("/?token=" + token), std::string::npos) << "a new token is told once";

  const int port = session.WebPage()->Port();
  auto get = [port](const std::string& path, const std::string& headers = "") {
    return httpExchange(port, "GET " + path + " HTTP/1.1\r\nHost: boat\r\n" + headers +
                                  "Connection: close\r\n\r\n");
  };
  EXPECT_EQ(statusOf(get("/api/alerts")), 401);
  const std::string first = get("/api/alerts?token=" + token);
  EXPECT_EQ(statusOf(first), 200);
  EXPECT_NE(headerOf(first, "Set-Cookie").find("tern_token=" + token), std::string::npos);
  EXPECT_EQ(statusOf(get("/api/alerts", "Cookie: tern_token=" + token + "\r\n")), 200);
}

}  // namespace
}  // namespace tern::testing
