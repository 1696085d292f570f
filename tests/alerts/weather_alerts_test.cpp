#include "alerts/weather_alerts.h"

#include <gtest/gtest.h>

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

MessageRecord navtex(const std::string& key, const std::string& text = "TEXT") {
  MessageRecord r;
  r.header = makeHeader(10, static_cast<std::uint32_t>(text.size()), key,
                        CivilTime{2026, 12, 8, 14, 20, 0, 0});
  r.data.assign(text.begin(), text.end());
  return r;
}

TEST(NavtexAlerts, TheSubjectsNoReceiverMaySuppress) {
  EXPECT_EQ(navtexAlertText(navtex("SA01")), "NAVTEX: Navigational warnings (A) von S");
  EXPECT_EQ(navtexAlertText(navtex("PB12")), "NAVTEX: Meteorological warnings (B) von P");
  EXPECT_EQ(navtexAlertText(navtex("LD03")), "NAVTEX: Search and rescue information (D) von L");
  EXPECT_EQ(navtexAlertText(navtex("SL40")), "NAVTEX: Additional warnings (L) von S");
  for (const char* other :
       {"SC01", "SE07", "SF01", "SG01", "SH01", "SJ01", "SK01", "SZ01", "S", ""}) {
    EXPECT_FALSE(navtexAlertText(navtex(other))) << other;
  }
}

TEST(NavtexAlerts, OnlyMessagesThatArrivedAfterTheStartAlert) {
  testing::ScratchFolder dir{"tern_alerts"};
  MessageStore store(dir.string() + "/", dir.string() + "/", nullptr);
  auto add = [&](int which, const MessageRecord& r) {
    std::lock_guard lock(store.mutex());
    store.navtex(which).append(r.header, r.data, store.nextSerial());
  };
  add(kNavtex518, navtex("SA01"));                 // there before: loaded from the files
  const CivilTime now{2026, 12, 8, 16, 20, 0, 0};  // two hours after the reception
  WeatherWatch watch(store);
  EXPECT_TRUE(watch.NavtexRead(now).alerts.empty());

  add(kNavtex518, navtex("SE02"));  // a forecast: sent on, no alert
  add(kNavtex490, navtex("LB05"));
  auto news = watch.NavtexRead(now);
  ASSERT_EQ(news.alerts.size(), 1u);
  EXPECT_EQ(news.alerts[0], "NAVTEX: Meteorological warnings (B) von L");
  EXPECT_EQ(news.received, (std::vector<std::string>{"SE02 518 kHz", "LB05 490 kHz"}));
  ASSERT_EQ(news.sentences.size(), 2u);
  EXPECT_EQ(news.sentences[1].rfind("$CRNRX,LB05,1,1,490,08,12,2026,142000,,TEXT*", 0), 0u)
      << news.sentences[1];
  EXPECT_TRUE(watch.NavtexRead(now).sentences.empty());

  // A warning of the backlog a receiver brings back after a while goes to the plotter only.
  add(kNavtex518, navtex("SD07"));
  news = watch.NavtexRead(CivilTime{2026, 12, 8, 16, 21, 0, 0});
  EXPECT_TRUE(news.alerts.empty());
  EXPECT_EQ(news.sentences.size(), 1u);

  // Control bytes of a key from the air reach a log line escaped.
  add(kNavtex518, navtex("\nA\x1B[2J"));
  news = watch.NavtexRead(now);
  EXPECT_EQ(news.received, std::vector<std::string>{"\\x0AA\\x1B[2J 518 kHz"});
  ASSERT_EQ(news.alerts.size(), 1u);
  EXPECT_EQ(news.alerts[0], "NAVTEX: Navigational warnings (A) von \\x0A");
}

}  // namespace
}  // namespace tern
