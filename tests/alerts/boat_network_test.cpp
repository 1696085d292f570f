// The boat network as a plotter and a Signal K server see it: datagrams on loopback ports.
#include "alerts/boat_network.h"

#include <gtest/gtest.h>

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
                             "NAVTEX: Navigational warnings (A) von S"),
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
                {"state":"alert","method":["visual","sound"],"message":"WRACK VOR HÖRNUM"}})"));

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
    if (s.tried && !result.empty())
      EXPECT_NE(result[0].find("no-such-host.invalid"), std::string::npos) << result[0];
  }
}

}  // namespace
}  // namespace tern
