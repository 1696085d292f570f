// The boat network as a plotter and a Signal K server see it: datagrams on loopback ports.
#include "alerts/boat_network.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <nlohmann/json.hpp>

#include "fakes/udp_listener.h"

namespace tern {
namespace {

using nlohmann::json;

const CivilTime kNow{2026, 12, 8, 14, 21, 0, 0};

NavtexArrival arrival(const std::string& key, const std::string& text, bool shown,
                      std::optional<std::string> alert) {
  MessageRecord r;
  r.header = makeHeader(10, static_cast<std::uint32_t>(text.size()), key, kNow);
  r.data.assign(text.begin(), text.end());
  return {r, kNavtex518, 518, shown, std::move(alert)};
}

std::vector<std::string> drain(testing::UdpListener& rx) {
  std::vector<std::string> got;
  while (auto d = rx.receive(got.empty() ? 2000 : 200)) got.push_back(*d);
  return got;
}

TEST(BoatNetwork, EachTargetGetsTheNewsInItsOwnFormat) {
  testing::UdpListener plotter, server;
  ASSERT_TRUE(plotter.ok() && server.ok());
  BoatNetwork network;
  const auto failures = network.Open(
      {{plotter.target()}, {server.target(), "no-port", "no-such-host.invalid:1"}}, kNow);
  ASSERT_EQ(failures.size(), 2u);
  EXPECT_EQ(failures[0], "--signalk braucht HOST:PORT, nicht 'no-port'.");
  EXPECT_NE(failures[1].find("no-such-host.invalid"), std::string::npos);

  WeatherWatch::BarometerNews baro;
  baro.reading = BarometerReading{1002.5, -1.5};
  baro.alarm = WeatherWatch::PressureAlarm{PressureLevel::Gale, "Sturm"};
  EXPECT_TRUE(network.Send(baro, kNow).empty());
  WeatherWatch::NavtexNews navtex;
  navtex.arrivals = {arrival("PA01", "ZCZC PA01\r\nHIDDEN\r\nNNNN", false, std::nullopt),
                     arrival("SA01", "ZCZC SA01\r\n\r\nWRACK VOR H\xD6RNUM\r\nNNNN", true,
                             "NAVTEX: Navigationswarnung (A) von Pinneberg (S)"),
                     arrival("SE02", "ZCZC SE02\r\nFORECAST\r\nNNNN", true, std::nullopt)};
  EXPECT_TRUE(network.Send(navtex, kNow).empty());

  // The plotter: MDA and XDR, then the NRX of the shown messages, numbered on.
  std::vector<std::string> starts;
  for (const auto& s : drain(plotter)) {
    if (s.find(",001,") == 10 || s[1] == 'W') starts.push_back(s.substr(0, 26));
  }
  EXPECT_EQ(starts,
            (std::vector<std::string>{"$WIMDA,29.6038,I,1.00250,B", "$WIXDR,P,1.00250,B,Baromet",
                                      "$CRNRX,002,001,00,SA01,2,1", "$CRNRX,002,001,01,SE02,2,1"}));

  // The server: deltas of the source "tern" in SI units, the alarm, the NAVTEX alert.
  const auto deltas = drain(server);
  ASSERT_EQ(deltas.size(), 3u);
  std::vector<json> updates;
  for (const auto& d : deltas) {
    const json j = json::parse(d);
    EXPECT_EQ(j["updates"][0]["source"]["label"], "tern");
    EXPECT_EQ(j["updates"][0]["timestamp"], "2026-12-08T14:21:00Z");
    updates.push_back(j["updates"][0]["values"]);
  }
  EXPECT_EQ(updates[0][0]["path"], "environment.outside.pressure");
  EXPECT_DOUBLE_EQ(updates[0][0]["value"].get<double>(), 100250.0);
  EXPECT_EQ(updates[0][1]["path"], "environment.outside.temperature");
  EXPECT_DOUBLE_EQ(updates[0][1]["value"].get<double>(), 271.65);
  EXPECT_EQ(updates[1][0],
            json::parse(R"({"path":"notifications.environment.outside.pressure","value":
                {"state":"alarm","method":["visual","sound"],"message":"Sturm"}})"));
  EXPECT_EQ(updates[2][0], json::parse(R"({"path":"notifications.navtex.SA01","value":
                {"state":"alarm","method":["visual","sound"],
                 "message":"NAVTEX Navigationswarnung (A), Pinneberg: WRACK VOR HÖRNUM"}})"));

  // Re-armed: the notification is cleared.
  baro = {};
  baro.alarm = WeatherWatch::PressureAlarm{PressureLevel::Calm, ""};
  network.Send(baro, kNow);
  const auto cleared = drain(server);
  ASSERT_EQ(cleared.size(), 1u);
  EXPECT_TRUE(json::parse(cleared[0])["updates"][0]["values"][0]["value"].is_null());
  EXPECT_FALSE(plotter.receive(200));  // no reading this time
}

// A plotter's name that the boat network cannot resolve yet at the start: the target stays
// and is tried again with the news, once a minute, not with every reading.
TEST(BoatNetwork, ATargetThatDidNotOpenIsTriedAgainOnceAMinute) {
  BoatNetwork network;
  const auto failures = network.Open({{"no-such-host.invalid:10110"}, {}}, kNow);
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("Neuer Versuch"), std::string::npos) << failures[0];
  EXPECT_FALSE(network.empty());
  WeatherWatch::BarometerNews baro;
  baro.reading = BarometerReading{1002.5, -1.5};
  auto at = [](int seconds) { return civilFromSeconds(secondsSinceEpoch(kNow) + seconds); };
  const struct {
    int seconds;
    bool tried;
  } sends[] = {{1, false}, {59, false}, {60, true}, {90, false}, {120, true}, {-3600, true}};
  for (const auto& s : sends) {
    const auto result = network.Send(baro, at(s.seconds));
    EXPECT_EQ(result.size(), s.tried ? 1u : 0u) << s.seconds;
    if (s.tried && !result.empty()) {
      EXPECT_NE(result[0].find("no-such-host.invalid"), std::string::npos) << result[0];
    }
  }
}

// What a plotter shows of a NAVTEX alert: subject and station by name, then what happened.
TEST(BoatNetwork, NavtexNotificationsSayWhatHappenedAndAreTakenBack) {
  const struct {
    int which;
    const char* key;
    const char* text;
    const char* state;
    const char* message;
  } cases[] = {
      // The station's own line and the date-time group are header; a short first line (the
      // originator) is joined with the next.
      {kNavtex518, "ED05",
       "ZCZC ED05\r\nNITON NAVTEX\r\n101200 UTC JUN 26\r\nMRCC FALMOUTH\r\n"
       "OVERDUE SAILING YACHT, WHITE HULL\r\nLAST KNOWN POSITION\r\nNNNN",
       "alarm", "NAVTEX Seenot (D), Niton: MRCC FALMOUTH: OVERDUE SAILING YACHT, WHITE HULL"},
      {kNavtex518, "PB12",
       "ZCZC PB12\r\nNETHERLANDS COASTGUARD NAVTEX\r\nGALE WARNING GERMAN BIGHT WEST 8\r\nNNNN",
       "warn",
       "NAVTEX Wetterwarnung (B), Netherlands Coastguard: GALE WARNING GERMAN BIGHT WEST 8"},
      // Without a station line: the letter's name on that frequency, or the letter.
      {kNavtex490, "LE01", "ZCZC LE01\r\nWETTERVORHERSAGE DEUTSCHE BUCHT\r\nNNNN", "alert",
       "NAVTEX Wettervorhersage (E), Pinneberg: WETTERVORHERSAGE DEUTSCHE BUCHT"},
      {kNavtex490, "SE01", "ZCZC SE01\r\nFORECAST\r\nNNNN", "alert",
       "NAVTEX Wettervorhersage (E), Station S: FORECAST"},
      {kNavtex518, "XL07", "ZCZC XL07\r\nNNNN", "alert",
       "NAVTEX Navigationswarnung (L), Station X: "},
  };
  testing::UdpListener server;
  ASSERT_TRUE(server.ok());
  BoatNetwork network;
  ASSERT_TRUE(network.Open({{}, {server.target()}}, kNow).empty());
  WeatherWatch::NavtexNews news;
  for (const auto& c : cases) {
    NavtexArrival a = arrival(c.key, c.text, true, "alert");
    a.which = c.which;
    news.arrivals.push_back(a);
    news.listed.push_back(c.key);
  }
  EXPECT_TRUE(network.Send(news, kNow).empty());
  const auto raised = drain(server);
  ASSERT_EQ(raised.size(), std::size(cases));
  for (std::size_t k = 0; k < raised.size(); ++k) {
    const json value = json::parse(raised[k])["updates"][0]["values"][0];
    EXPECT_EQ(value["path"], std::string("notifications.navtex.") + cases[k].key);
    EXPECT_EQ(value["value"]["state"], cases[k].state) << cases[k].key;
    EXPECT_EQ(value["value"]["message"], cases[k].message);
  }

  // A read-out that dropped ED05 from the list takes its notice back; the others stay until
  // 72 hours have passed, which a barometer reading notices too.
  WeatherWatch::NavtexNews next;
  next.listed = {"PB12", "LE01", "SE01", "XL07"};
  EXPECT_TRUE(network.Send(next, kNow).empty());
  auto cleared = [&] {
    std::vector<std::string> paths;
    for (const auto& d : drain(server)) {
      const json value = json::parse(d)["updates"][0]["values"][0];
      if (value["value"].is_null()) paths.push_back(value["path"]);
    }
    return paths;
  };
  EXPECT_EQ(cleared(), std::vector<std::string>{"notifications.navtex.ED05"});
  WeatherWatch::BarometerNews baro;
  baro.reading = BarometerReading{1002.5, -1.5};
  network.Send(baro, civilFromSeconds(secondsSinceEpoch(kNow) + 71 * 3600));
  EXPECT_TRUE(cleared().empty());
  network.Send(baro, civilFromSeconds(secondsSinceEpoch(kNow) + 72 * 3600));
  EXPECT_EQ(cleared().size(), 4u);
}

// A burst of a hundred messages goes out at the pace a plotter takes, whole, and the
// barometer does not wait behind it.
TEST(DatagramPacer, PacesABacklogAndLetsTheBarometerAhead) {
  testing::UdpListener rx;
  ASSERT_TRUE(rx.ok());
  UdpSender sender;
  ASSERT_EQ(sender.open(*parseUdpTarget(rx.target())), "");
  DatagramPacer pacer(sender);
  std::vector<std::string> backlog(100, "NAVTEX");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(pacer.Queue(backlog, DatagramPacer::Lane::Backlog), "");
  // A batch that would overflow the queue is refused whole, nothing of it queued.
  EXPECT_NE(pacer.Queue(std::vector<std::string>(DatagramPacer::kMaxQueued, "X"),
                        DatagramPacer::Lane::Backlog),
            "");
  EXPECT_EQ(pacer.Queue({"BARO"}, DatagramPacer::Lane::Urgent), "");
  std::vector<std::string> got;
  while (auto d = rx.receive(1000)) {
    got.push_back(*d);
    if (got.size() == 101) break;
  }
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(got.size(), 101u);
  // The backlog's first datagram may have gone before the barometer came.
  EXPECT_LE(std::find(got.begin(), got.end(), "BARO") - got.begin(), 1);
  EXPECT_GE(took, 99 * DatagramPacer::kGap);
  EXPECT_TRUE(pacer.WaitIdle(std::chrono::milliseconds(100)));
  EXPECT_TRUE(pacer.TakeFailures().empty());
}

}  // namespace
}  // namespace tern
