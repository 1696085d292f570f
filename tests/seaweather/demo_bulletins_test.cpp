// The demo receiver's sea weather reports and warnings, over three days of its weather and
// in both languages, are read whole: every area known, nothing left unread.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "seaweather/sea_areas.h"
#include "seaweather/sea_bulletin.h"
#include "sim/demo_programme.h"
#include "sim/demo_weather.h"

namespace tern::seaweather {
namespace {

TEST(DemoBulletins, EveryReportAndWarningOfTheDemoIsReadWhole) {
  const std::int64_t start = secondsSinceEpoch(CivilTime{2026, 12, 8, 6, 0, 0, 0});
  const sim::DemoWeather weather(start);
  int reports = 0, warnings = 0, warned = 0;
  for (const sim::DemoItem& item : sim::demoItemsBetween(start, start + 3 * 86400)) {
    if (item.source != sim::DemoItem::Source::Dwd) continue;
    for (const auto& [channel, record] : sim::demoRecords(item, weather, true)) {
      if (record.key != "FQEN50" && record.key != "FQEN70" && record.key != "WODL45") continue;
      const std::string text(record.data.begin(), record.data.end());
      const SeaBulletin b = readSeaBulletin(text, record.key, record.received);
      SCOPED_TRACE(text);
      EXPECT_EQ(b.heading, record.key);
      EXPECT_TRUE(b.fullyRead());
      for (const std::string& part : b.unreadParts) ADD_FAILURE() << "unread: " << part;
      EXPECT_TRUE(b.issued.has_value());
      if (b.kind == BulletinKind::Report) {
        ++reports;
        EXPECT_EQ(b.areas.size(), seaAreas().size());
        for (const AreaEntry& a : b.areas) {
          EXPECT_TRUE(a.readable()) << a.written << ": " << a.wind.summary;
          EXPECT_GE(a.wind.bftMin, 0) << a.written;
          EXPECT_GT(a.wind.seaM, 0) << a.written;
          EXPECT_FALSE(a.wind.points.empty()) << a.written;
        }
      } else {
        ++warnings;
        EXPECT_TRUE(b.noWarnings || !b.warnings.empty());
        for (const AreaEntry& w : b.warnings) {
          EXPECT_TRUE(w.readable()) << w.written;
          EXPECT_EQ(w.level(), levelOfForce(w.wind.bftMax)) << w.written << ": " << w.text;
          ++warned;
        }
      }
    }
  }
  EXPECT_GT(reports, 30);
  EXPECT_GT(warnings, 30);
  EXPECT_GT(warned, 0);  // the demo's lows bring warnings within three days
}

// Whenever the demo starts, the newest warnings the receiver holds already name the gale the
// squall line brings an hour later to three areas, and the report shows it: the map and the
// alerts can be seen within the first hour.
TEST(DemoBulletins, TheSquallLineBringsAGaleWarningBeforeTheFirstHourIsOut) {
  const std::int64_t day = secondsSinceEpoch(CivilTime{2026, 12, 8, 0, 0, 0, 0});
  for (const int minute : {0, 10, 179, 181, 400, 779, 1259, 1439}) {
    const std::int64_t start = day + minute * 60;
    SCOPED_TRACE(minute);
    const sim::DemoWeather weather(start);
    std::optional<SeaBulletin> warnings, report;
    for (const sim::DemoItem& item : sim::demoItemsBetween(start - 4 * 3600, start)) {
      if (item.source != sim::DemoItem::Source::Dwd || item.due > start) continue;
      for (const auto& [channel, record] : sim::demoRecords(item, weather, true)) {
        const std::string text(record.data.begin(), record.data.end());
        if (record.key == "WODL45") warnings = readSeaBulletin(text, record.key, record.received);
        if (record.key == "FQEN50") report = readSeaBulletin(text, record.key, record.received);
      }
    }
    ASSERT_TRUE(warnings && report);
    std::vector<std::string> gales;
    for (const AreaEntry& w : warnings->warnings)
      if (w.level() >= WarningLevel::Gale) gales.push_back(w.id);
    for (const char* id : {"deutsche-bucht", "belte-und-sund", "westliche-ostsee"}) {
      EXPECT_NE(std::find(gales.begin(), gales.end(), id), gales.end()) << id;
    }
    int reportGales = 0;
    for (const AreaEntry& a : report->areas) reportGales += a.wind.bftMax >= 8 ? 1 : 0;
    EXPECT_GE(reportGales, 3);
  }
}

}  // namespace
}  // namespace tern::seaweather
