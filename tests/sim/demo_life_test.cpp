// The demo receiver: every record lands in a row of the schedules (or is a proper NAVTEX
// message), codes match their channels, the observation bulletins decode, the content is the
// same for the same start, and new data arrives as the clock moves on.
#include "sim/demo_life.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <set>
#include <string>

#include "config/schedule_file.h"
#include "fakes/fake_clock.h"
#include "link/ttern.h"
#include "messages/channels.h"
#include "sim/demo_scenario.h"
#include "synop/synop_decoder.h"

namespace tern::sim {
namespace {

namespace p = protocol;

const char* kFiles[kTableCount] = {"SCHEDULE_RTTY_D.TRN",         "SCHEDULE_RTTY_E.TRN",
                                   "SCHEDULE_FAX_DWD.TRN",        "SCHEDULE_FAX_NORTHWOOD.TRN",
                                   "SCHEDULE_FAX_HALIFAX.TRN",    "SCHEDULE_FAX_BOSTON.TRN",
                                   "SCHEDULE_FAX_NEW_ORLEANS.TRN"};

std::set<std::string> keysOf(int table) {
  ScheduleFile f = readScheduleFile(std::string(TERN_ASSETS_DIR) + "/" + kFiles[table]);
  EXPECT_TRUE(f.readable) << kFiles[table];
  std::set<std::string> keys;
  for (const std::string& id : scheduleIdentifiers(f)) keys.insert(id.substr(0, 6));
  return keys;
}

bool validNavtexId(const std::string& id) {
  return id.size() == 4 && id[0] >= 'A' && id[0] <= 'X' && std::isupper(id[1]) &&
         std::isdigit(id[2]) && std::isdigit(id[3]) && id.substr(2) != "00";
}

const CivilTime kStart{2026, 3, 5, 14, 20, 0, 0};

TEST(DemoScenario, RecordsLandInScheduleRowsWithCodesOfTheirChannel) {
  Scenario s = demoScenario(kStart);
  std::set<std::string> keys[kTableCount];
  for (int t = 0; t < kTableCount; ++t) keys[t] = keysOf(t);
  std::set<std::string> rowsHit[2];
  for (int ch : {p::kGroupDwd, p::kGroupFax}) {
    for (const SimRecord& r : s.logs[ch]) {
      const int table = tableOfCode(r.code);
      ASSERT_GE(table, 0) << r.key << " code " << int(r.code);
      EXPECT_EQ(ch == p::kGroupDwd, table <= 1) << r.key << " code " << int(r.code);
      EXPECT_EQ(r.key.size(), 6u);
      EXPECT_TRUE(keys[table].count(r.key)) << r.key << " is no row of " << kFiles[table];
      if (table <= 1) rowsHit[table].insert(r.key);
    }
  }
  // A day of both programmes covers every row of both files.
  EXPECT_EQ(rowsHit[0], keys[0]);
  EXPECT_EQ(rowsHit[1], keys[1]);
  EXPECT_GE(s.logs[p::kGroupFax].size(), 4u);

  std::set<std::uint8_t> navtexCodes;
  std::set<char> subjects;
  for (const SimRecord& r : s.logs[p::kGroupNavtex]) {
    EXPECT_TRUE(validNavtexId(r.key)) << r.key;
    EXPECT_TRUE(r.code == 9 || r.code == 10) << r.key;
    std::string text(r.data.begin(), r.data.end());
    EXPECT_EQ(text.rfind("ZCZC " + r.key + "\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("NNNN"), std::string::npos);
    navtexCodes.insert(r.code);
    subjects.insert(r.key[1]);
  }
  EXPECT_EQ(navtexCodes.size(), 2u);
  EXPECT_GE(subjects.size(), 4u);

  // Records are logged in time order and none lies in the future or beyond the ageing limits.
  for (const auto& log : s.logs)
    for (std::size_t i = 0; i < log.size(); ++i) {
      const std::int64_t t = secondsSinceEpoch(log[i].received);
      EXPECT_LE(t, secondsSinceEpoch(kStart));
      EXPECT_GT(t, secondsSinceEpoch(kStart) - 2 * 86400);
    }
  EXPECT_EQ(s.baroPressures.size(), 3u * 24 * 60);
}

TEST(DemoScenario, EveryFaxStationHasChartsAtAnyHour) {
  for (int hour : {2, 7, 9, 14, 20}) {
    Scenario s = demoScenario({2026, 3, 5, hour, 10, 0, 0});
    std::set<int> tables;
    for (const SimRecord& r : s.logs[p::kGroupFax]) tables.insert(tableOfCode(r.code));
    EXPECT_EQ(tables, (std::set<int>{2, 3, 4, 5, 6})) << hour << ":10 UTC";
    EXPECT_LE(s.logs[p::kGroupFax].size(), static_cast<std::size_t>(kDemoStartCharts));
  }
}

TEST(DemoScenario, BulletinsAreInTheServiceStyleAndTheObservationsDecode) {
  Scenario s = demoScenario(kStart);
  int ships = 0, coastal = 0;
  for (const SimRecord& r : s.logs[p::kGroupDwd]) {
    const std::string text(r.data.begin(), r.data.end());
    EXPECT_EQ(text.rfind("ZCZC ", 0), 0u) << r.key;
    EXPECT_NE(text.find("\r\n" + r.key), std::string::npos) << r.key;
    EXPECT_EQ(text.find_first_of("abcdefghijklmnopqrstuvwxyz\x80\xFF"), std::string::npos) << r.key;
    for (std::size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
      ASSERT_TRUE(i >= 2 && text[i - 1] == '\r' && text[i - 2] == '\r') << r.key << ": " << text;
    const bool german = r.code <= 5;
    TSynopDecoder decoder;
    if (r.key.rfind("SMVX", 0) == 0 || r.key.rfind("SIVX", 0) == 0) {
      ASSERT_NE(text.find("\r\r\nBBXX\r\r\n"), std::string::npos);
      std::size_t reports = std::count(text.begin(), text.end(), '=');
      std::size_t nil = 0;
      for (std::size_t i = text.find("NIL="); i != std::string::npos; i = text.find("NIL=", i + 1))
        ++nil;
      decoder.DecodeShipText(text, german ? DwdStore::German : DwdStore::English);
      // A NIL report stays in the raw list without a position; the filter drops it later.
      EXPECT_EQ(decoder.ReportList().size(), reports) << "every report decodes:\n" << text;
      auto placed = std::count_if(decoder.ReportList().begin(), decoder.ReportList().end(),
                                  [](const TSynopType& x) { return x.positionKnown(); });
      EXPECT_EQ(static_cast<std::size_t>(placed), reports - nil) << text;
      ++ships;
    } else if (r.key == "SXEN40" || r.key == "SXMM41") {
      decoder.ParseCoastalText(text, r.key);
      std::size_t lines =
          std::count(text.begin(), text.end(), '\n') - 7;  // 5 head lines, blank, "="
      EXPECT_EQ(decoder.ReportList().size(), lines) << text;
      ++coastal;
    }
  }
  EXPECT_GE(ships, 16);
  EXPECT_GE(coastal, 4);
}

TEST(DemoScenario, TheSameStartGivesTheSameReceiver) {
  Scenario a = demoScenario(kStart), b = demoScenario(kStart);
  // The charts are drawn when first read out, not when the receiver is made.
  for (const SimRecord& r : a.logs[p::kGroupFax]) EXPECT_TRUE(r.data.empty() && r.draw) << r.key;
  for (std::size_t ch = 0; ch < 3; ++ch) {
    ASSERT_EQ(a.logs[ch].size(), b.logs[ch].size());
    for (std::size_t i = 0; i < a.logs[ch].size(); ++i) {
      drawRecordData(a.logs[ch][i]);
      drawRecordData(b.logs[ch][i]);
      EXPECT_EQ(recordHeader(a.logs[ch][i]), recordHeader(b.logs[ch][i]));
      EXPECT_EQ(a.logs[ch][i].data, b.logs[ch][i].data);
      EXPECT_FALSE(a.logs[ch][i].data.empty());
    }
  }
  EXPECT_EQ(a.baroPressures, b.baroPressures);
}

TEST(DemoScenario, TheBarographShowsAFrontPassing) {
  Scenario s = demoScenario(kStart);
  auto [lo, hi] = std::minmax_element(s.baroPressures.begin(), s.baroPressures.end());
  EXPECT_GT(*hi - *lo, 1500) << "a fall of more than 15 hPa";
  EXPECT_GT(*lo, -4000);
  EXPECT_LT(*hi, 4500);
  for (std::size_t i = 1; i < s.baroPressures.size(); ++i)
    ASSERT_LT(std::abs(s.baroPressures[i] - s.baroPressures[i - 1]), 40) << "minute " << i;
}

TEST(DemoScenario, TheBarometerFallsFastOnceADayFromTheStart) {
  // Demo starts at several phases of the passing lows.
  for (std::int64_t offset : {0, 20 * 3600, 77 * 3600, 131 * 3600}) {
    const std::int64_t start = secondsSinceEpoch(kStart) + offset;
    const DemoWeather weather(start);
    auto fall = [&](std::int64_t t) {
      return (demoBaroValue(weather, t) - demoBaroValue(weather, t - 3 * 3600)) / 100.0;
    };
    // Within the first two hours of the demo, and again on each of the next days.
    for (int day = 0; day < 4; ++day) {
      double steepest = 0;
      for (int minute = 0; minute <= 120; ++minute) {
        steepest = std::min(steepest, fall(start + day * 86400 + minute * 60));
      }
      EXPECT_LE(steepest, -3.0) << "offset " << offset << ", day " << day;
    }
  }
}

TEST(DemoLife, NewDataArrivesAsTheClockMovesOn) {
  testing::FakeClock clock(kStart);
  auto receiver = std::make_shared<SimReceiver>(demoScenario(kStart), clock);
  DemoPort port(receiver, secondsSinceEpoch(kStart));
  TTERN link(std::make_unique<SimPort>(receiver), clock);  // one life only: `port`
  receiver->setStatusWord(0);
  ASSERT_TRUE(link.ReadBaroNow(true));
  const std::int16_t before = link.Pressure;
  link.BaroChanged = 0;

  port.deviceCount();
  EXPECT_EQ(receiver->statusWord(), 0) << "nothing due yet";
  std::uint16_t bits = 0;
  for (int minute = 0; minute < 3 * 60; ++minute) {
    clock.advance(std::chrono::minutes(1));
    port.deviceCount();
    bits |= receiver->statusWord();
  }
  EXPECT_EQ(bits, p::kStatusNewDwd | p::kStatusNewFax | p::kStatusNewNavtex);
  ASSERT_TRUE(link.ReadBaroNow(true));
  EXPECT_EQ(link.BaroChanged, 1);
  EXPECT_NE(link.Pressure, before);

  // The newest DWD record is one of the last hour, stamped after the start.
  ASSERT_TRUE(link.OpenLink());
  ASSERT_TRUE(link.SelectChannel(p::kGroupDwd, false));
  ASSERT_TRUE(link.NextRecord(false));
  const auto& h = link.RecordHeader;
  CivilTime t{2000 + h[22], h[21], h[20], h[17], h[18], h[19], 0};
  EXPECT_GT(secondsSinceEpoch(t), secondsSinceEpoch(kStart));
  EXPECT_LE(secondsSinceEpoch(t), secondsSinceEpoch(clock.utcNow()));
  link.CloseLink();

  std::uint8_t page[p::kBaroPageLength];
  ASSERT_TRUE(link.ReadBaroPage(page, true));
  EXPECT_EQ(getU16(page, 6), 3 * 24 * 60 + 3 * 60) << "one sample a minute";
}

}  // namespace
}  // namespace tern::sim
