#include "synop/synop_gpx.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fakes/scratch_folder.h"

namespace tern {
namespace {

TSynopType report(const std::string& name, std::int32_t lat, std::int32_t lon, int day, int hour) {
  TSynopType r;
  r.name = name;
  r.latitude = lat;
  r.longitude = lon;
  r.direction = 270;
  r.speed = 7.7;  // 15 kn
  r.dayText = "Tag: " + std::to_string(day);
  r.timeText = "Zeit: " + std::to_string(hour) + "h";
  r.lines = {"Luftdruck in Barometerhöhe: 1001.0 hPa.",
             "Luftdruck auf Meereshöhe (NN) reduziert: 1002.5 hPa.",
             "Horizontale Sichtweite: 10 km.",
             "Lufttemperatur: 8.2 °C.",
             "Taupunkttemperatur: 5.0 °C.",
             "Wellenhöhe der Windsee: 1.5 m."};
  return r;
}

const CivilTime kNow{2026, 12, 8, 14, 30, 0, 0};

// Valid against the GPX 1.1 schema (subset in tests/data/gpx, see its header).
bool validGpx(const std::string& path) {
  const std::string command = "xmllint --noout --schema " + std::string(TERN_TEST_DATA_DIR) +
                              "/gpx/gpx11_subset.xsd " + path + " 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

TEST(SynopGpx, WaypointsOfPlacedReportsValidateAgainstTheSchema) {
  TSynopType unplaced = report("DHZD", TSynopType::kUnknown, 80, 8, 12);
  TSynopType calm = report("Helgoland <Düne>", 541, 79, 8, 12);
  calm.direction = TSynopType::kUnknown;
  std::vector<TSynopType> reports = {report("DBBH", 545, -35, 8, 12), unplaced, calm,
                                     report("FAR", 905, 10, 8, 12)};
  const std::string gpx = synopGpx(reports, kNow);

  testing::ScratchFolder dir{"tern_gpx"};
  const std::string path = (dir / "synop.gpx").string();
  std::ofstream(path) << gpx;
  EXPECT_TRUE(validGpx(path)) << gpx;

  EXPECT_NE(gpx.find("<wpt lat=\"54.5\" lon=\"-3.5\">"), std::string::npos);
  EXPECT_NE(gpx.find("<time>2026-12-08T12:00:00Z</time>"), std::string::npos);
  EXPECT_NE(gpx.find("<desc>Wind 270° 15 kn, 08.12. 12 UTC\nLuftdruck 1002.5 hPa\nSicht 10 "
                     "km\nSeegang 1.5 m\nLufttemperatur 8.2 °C</desc>"),
            std::string::npos)
      << gpx;
  EXPECT_EQ(gpx.find("Taupunkt"), std::string::npos);
  EXPECT_NE(gpx.find("<name>Helgoland &lt;Düne&gt;</name>"), std::string::npos);
  EXPECT_NE(gpx.find("Wind unbekannt, 08.12. 12 UTC"), std::string::npos);
  EXPECT_EQ(gpx.find("DHZD"), std::string::npos);  // no known position
  EXPECT_EQ(gpx.find("FAR"), std::string::npos);   // beyond the pole: garbled
}

TEST(SynopGpx, DescriptionsCarryWhatTheReportGivesAndNoBulletinHeader) {
  TSynopType sparse = report("DBBH", 545, -35, 8, 12);
  sparse.lines = {"Luftdruck in Barometerhöhe: 1001.0 hPa.",
                  "Horizontale Sichtweite: Nicht beobachtet.", "Relative Feuchte: 80 %."};
  TSynopType coastal = report("HELGOLAND", 541, 79, 8, 12);
  coastal.ReportKind = kReportCoastal;
  coastal.lines = {"SXVX40 DWAV 081200",
                   "WETTERBEOBACHTUNGEN VON KUESTENSTATIONEN",
                   "BEOBACHTUNGEN VOM 08.12.2026 12 UTC",
                   "STATION WIND BFT SICHT WETTER LUFTDRUCK",
                   "NORDERNEY W 4 25 KM HEITER 1014",
                   "HELGOLAND SW 5 20 KM BEDECKT 1012 ",
                   "="};
  TSynopType unlisted = coastal;
  unlisted.name = "ARKONA";
  const struct {
    const TSynopType& report;
    std::vector<std::string> lines;
  } cases[] = {
      {sparse, {"Luftdruck 1001.0 hPa"}},
      {coastal, {"Luftdruck 1012 hPa", "Sicht 20 km", "HELGOLAND SW 5 20 KM BEDECKT 1012"}},
      {unlisted, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(gpxWeatherLines(c.report), c.lines) << c.report.name;
  EXPECT_EQ(synopGpx({coastal}, kNow).find("KUESTENSTATIONEN"), std::string::npos);
}

TEST(SynopGpx, ReportDatesFromTheDayOfTheMonth) {
  auto at = [](int day, int hour, CivilTime now) {
    return reportUtcTime(report("X", 0, 0, day, hour), now);
  };
  EXPECT_EQ(at(8, 12, kNow), (CivilTime{2026, 12, 8, 12, 0, 0, 0}));
  EXPECT_EQ(at(30, 18, kNow), (CivilTime{2026, 11, 30, 18, 0, 0, 0}));
  // The 31st seen on 1 March is January's.
  EXPECT_EQ(at(31, 0, CivilTime{2027, 3, 1, 6, 0, 0, 0}), (CivilTime{2027, 1, 31, 0, 0, 0, 0}));
  EXPECT_EQ(at(1, 0, CivilTime{2027, 1, 1, 0, 10, 0, 0}), (CivilTime{2027, 1, 1, 0, 0, 0, 0}));
  EXPECT_FALSE(reportUtcTime(TSynopType{}, kNow));
}

}  // namespace
}  // namespace tern
