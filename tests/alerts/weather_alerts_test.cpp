#include "alerts/weather_alerts.h"

#include <gtest/gtest.h>

#include "fakes/navtex_appended.h"
#include "fakes/scratch_folder.h"

namespace tern {
namespace {

// Feeds a scripted series of tendencies and collects what alerted, with the step it came at.
std::vector<std::pair<int, std::string>> alertsOf(const std::vector<double>& series) {
  PressureAlerts alerts;
  std::vector<std::pair<int, std::string>> out;
  for (std::size_t i = 0; i < series.size(); ++i) {
    if (auto text = alerts.Update(series[i])) out.emplace_back(static_cast<int>(i), *text);
  }
  return out;
}

TEST(PressureAlerts, OneAlertPerLevelAndFall) {
  // Falls through strong wind, jitters around the level, deepens into a gale, recovers
  // only partly (no new alert), then rises past the re-arm mark and falls again.
  auto got =
      alertsOf({-1.0, -2.9, -3.4, -2.8, -3.1, -4.5, -6.8, -7.2, -5.5, -6.1, -1.9, -3.0, -4.0});
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].first, 2);
  EXPECT_EQ(got[0].second, "Luftdruck fällt: \u22123.4 hPa in 3 Stunden. Starkwind möglich.");
  EXPECT_EQ(got[1].first, 6);
  EXPECT_EQ(got[1].second, "Luftdruck fällt stark: \u22126.8 hPa in 3 Stunden. Sturm möglich.");
  EXPECT_EQ(got[2].first, 11);  // -1.9 lies above -3.0 + 1: armed again
}

TEST(PressureAlerts, NoneWhileThePressureRisesOrIsUnknown) {
  EXPECT_TRUE(alertsOf({0.0, 1.2, 3.5, 6.9, 0.4, -0.5, -2.99}).empty());
  PressureAlerts alerts;
  EXPECT_FALSE(alerts.Update(std::nullopt));
}

TEST(PressureAlerts, AJumpStraightIntoAGaleToldOnceAsAGale) {
  auto got = alertsOf({-1.0, -6.0, -3.5});
  ASSERT_EQ(got.size(), 1u);
  EXPECT_NE(got[0].second.find("Sturm möglich"), std::string::npos);
}

TEST(PressureAlerts, TendencyOfTheBarometerRing) {
  BaroStore baro;
  EXPECT_FALSE(threeHourTendency(baro));
  const int count = 400;
  for (int i = 0; i < count; ++i) {
    // Falling 1.5 hPa per hour: 2.5 Pa a minute.
    putU16(&baro.samples()[static_cast<std::size_t>(i) * BaroStore::kSampleSize],
           static_cast<std::uint16_t>(static_cast<std::int16_t>(1000 - i * 5 / 2)));
  }
  putU16(&baro.block()[6], count);
  auto t = threeHourTendency(baro);
  ASSERT_TRUE(t);
  EXPECT_NEAR(*t, -4.5, 0.02);
}

MessageRecord navtex(const std::string& key, const std::string& text = "TEXT",
                     CivilTime received = CivilTime{2026, 12, 8, 14, 20, 0, 0}) {
  MessageRecord r;
  r.header = makeHeader(10, static_cast<std::uint32_t>(text.size()), key, received);
  r.data.assign(text.begin(), text.end());
  return r;
}

TEST(NavtexAlerts, AlertTextsSayTheSubjectInGermanAndTheStationByName) {
  const struct {
    int which;
    MessageRecord record;
    const char* text;
  } cases[] = {
      {kNavtex518, navtex("SA01"), "NAVTEX: Navigationswarnung (A) von Pinneberg (S)"},
      {kNavtex518, navtex("LD03"), "NAVTEX: Seenot (D) von Rogaland (L)"},
      {kNavtex490, navtex("LB05"), "NAVTEX: Wetterwarnung (B) von Pinneberg (L)"},
      // The message's own station line is trusted before the table.
      {kNavtex518, navtex("OB02", "ZCZC OB02\r\nPORTPATRICK NAVTEX\r\nGALE\r\nNNNN"),
       "NAVTEX: Wetterwarnung (B) von Portpatrick (O)"},
      // A letter no table names, and letters from the air, reach a log line escaped.
      {kNavtex518, navtex("XB01"), "NAVTEX: Wetterwarnung (B) von Station X"},
      {kNavtex518, navtex("\nA\x1B[2J"), "NAVTEX: Navigationswarnung (A) von Station \\x0A"},
      {kNavtex518, navtex("Q\x07"), "NAVTEX: Meldung (\\x07) von Malin Head (Q)"},
      {kNavtex518, navtex("OB03", "ZCZC OB03\r\nPORT\x1BPATRICK NAVTEX\r\nNNNN"),
       "NAVTEX: Wetterwarnung (B) von Port\\x1BPatrick (O)"},
  };
  for (const auto& c : cases) EXPECT_EQ(navtexAlertText(c.which, c.record), c.text);
}

struct WatchFixture : ::testing::Test {
  testing::ScratchFolder dir{"tern_alerts"};
  MessageStore store{dir.string() + "/", dir.string() + "/", nullptr};
  NavtexAppended add(int which, const MessageRecord& r) {
    return testing::appendNavtex(store, which, r.keyText(),
                                 std::string(r.data.begin(), r.data.end()), r.receptionTime());
  }
  static std::vector<std::string> alerts(const WeatherWatch::NavtexNews& news) {
    std::vector<std::string> out;
    for (const auto& a : news.arrivals)
      if (a.alert) out.push_back(*a.alert);
    return out;
  }
};

TEST_F(WatchFixture, OnlyNewRecentMessagesTheFilterChoosesAlertAndOnlyOnce) {
  const CivilTime now{2026, 12, 8, 16, 20, 0, 0};  // two hours after the reception
  NavtexFilter filter;
  filter.choose(kNavtex518, NavtexFilter::kStationsShown, 'P', false);
  WeatherWatch watch(store, filter);
  EXPECT_TRUE(watch.NavtexRead({}, now).arrivals.empty());

  const std::vector<NavtexAppended> appended = {
      add(kNavtex518, navtex("SE02")),  // a forecast: no alert
      add(kNavtex490, navtex("LB05")),
      add(kNavtex518, navtex("PA03")),  // a hidden station's warning: neither shown nor alerted
  };
  auto news = watch.NavtexRead(appended, now);
  ASSERT_EQ(news.arrivals.size(), 3u);
  EXPECT_EQ(alerts(news), std::vector<std::string>{"NAVTEX: Wetterwarnung (B) von Pinneberg (L)"});
  for (const auto& a : news.arrivals) EXPECT_EQ(a.shown, a.record.keyText() != "PA03");
  // The list index goes in, the frequency in kHz comes out of the table once.
  EXPECT_EQ(news.arrivals[1].which, kNavtex490);
  EXPECT_EQ(news.arrivals[1].frequencyKhz, 490);
  EXPECT_EQ(news.arrivals[0].frequencyKhz, 518);

  // The station repeats its warning four hours later: a new record, no second alert; the
  // repeat memory outlives the watch (a restart of the program).
  const CivilTime later{2026, 12, 8, 20, 20, 0, 0};
  WeatherWatch restarted(store, filter);
  news = restarted.NavtexRead(
      {add(kNavtex490, navtex("LB05", "TEXT", CivilTime{2026, 12, 8, 20, 10, 0, 0}))}, later);
  ASSERT_EQ(news.arrivals.size(), 1u);
  EXPECT_TRUE(alerts(news).empty());
  EXPECT_TRUE(news.problems.empty());

  // A warning of the backlog a receiver brings back after a while goes to the plotter only.
  news = restarted.NavtexRead({add(kNavtex518, navtex("SD07"))}, later);
  EXPECT_TRUE(alerts(news).empty());
  EXPECT_TRUE(news.arrivals.at(0).shown);
}

TEST_F(WatchFixture, BarometerReadingsOncePerMinuteAndTheAlertLevelAsItChanges) {
  WeatherWatch watch(store, NavtexFilter());
  std::int16_t raw = 1000;  // the newest sample, Pa above 100000; three hours before: 1000
  auto read = [&](std::int16_t newest, int second) {
    {
      std::lock_guard lock(store.mutex());
      BaroStore& baro = store.baro();
      for (int i = 0; i < 200; ++i) {
        putU16(&baro.samples()[static_cast<std::size_t>(i) * BaroStore::kSampleSize],
               static_cast<std::uint16_t>(i < 100 ? 1000 : newest));
      }
      putU16(&baro.block()[6], 200);
    }
    return watch.BarometerRead(newest, 153, 40, CivilTime{2026, 12, 8, 14, 20, second, 0});
  };
  auto news = read(raw, 0);
  ASSERT_TRUE(news.reading);
  EXPECT_NEAR(news.reading->seaLevelHpa, reduceToSeaLevel(1010.0, 15.3, 40), 1e-9);
  EXPECT_GT(news.reading->seaLevelHpa, 1014.0);  // 40 m raise it by about 5 hPa
  EXPECT_DOUBLE_EQ(news.reading->temperatureC, 15.3);
  EXPECT_FALSE(news.alarm);
  EXPECT_FALSE(read(raw, 30).reading);  // the same minute

  struct Step {
    std::int16_t newest;
    std::optional<PressureLevel> alarm;
  } steps[] = {
      {600, PressureLevel::StrongWind},  // -4 hPa
      {500, std::nullopt},               // deeper, same level
      {300, PressureLevel::Gale},        // -7 hPa
      {550, PressureLevel::StrongWind},  // the gale armed again, strong wind not yet
      {850, PressureLevel::Calm},        // cleared
  };
  int second = 0;
  for (const auto& step : steps) {
    news = read(step.newest, ++second);
    EXPECT_EQ(news.alarm ? std::optional(news.alarm->level) : std::nullopt, step.alarm)
        << step.newest;
    if (news.alarm) {
      EXPECT_EQ(news.alarm->text.empty(), *step.alarm == PressureLevel::Calm);
    }
  }
}

// The start's full read and the receiver's next sample can fall either side of a minute's
// turn: still one reading for the boat network, and one a minute after.
TEST_F(WatchFixture, BarometerReadingsAtMostOnceAMinuteAlsoAcrossTheMinutesTurn) {
  WeatherWatch watch(store, NavtexFilter());
  const struct {
    int minute, second;
    bool reading;
  } reads[] = {{20, 59, true}, {21, 1, false},  {21, 30, false}, {21, 59, true},
               {22, 58, true}, {22, 59, false}, {10, 0, true}};  // the clock put back
  for (const auto& r : reads) {
    const auto news =
        watch.BarometerRead(400, 80, 0, CivilTime{2026, 12, 8, 14, r.minute, r.second, 0});
    EXPECT_EQ(news.reading.has_value(), r.reading) << r.minute << ":" << r.second;
  }
}

}  // namespace
}  // namespace tern
