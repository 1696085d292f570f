#include "export/fax_geo.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>

#include "fakes/store_fixture.h"
#include "geo/calibration_store.h"
#include "geo/graticule_chart.h"

namespace tern::testing {
namespace {

namespace fs = std::filesystem;

class FaxGeoExportTest : public StoreTest {
 protected:
  void chart(int row, const std::string& key, int station = 0) {
    const Bytes data = LatLonChart().faxData();
    put(kFirstFaxTable + station, row, 0, 0, key, CivilTime{2024, 3, 5, 14, 20},
        std::string(data.begin(), data.end()));
  }
  // DWD's chart ASXX40, calibrated.
  CalibrationStore calibratedChart() {
    chart(0, "ASXX40");
    CalibrationStore calibrations(dir_.slash());
    EXPECT_EQ(calibrations.Save("DWD", "ASXX40", LatLonChart().calibrate({{-20, -60}, {70, 10}})),
              "");
    return calibrations;
  }
  std::set<std::string> namesIn(const fs::path& folder) const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
  }

  ScratchFolder out_{"tern_fax_geo"};
  const fs::path dwd_ = out_.path() / "FAX_GEO" / "DWD";
};

TEST_F(FaxGeoExportTest, HoldsTheNewestChartOfEveryCalibratedRowAndDrawsItOnce) {
  chart(0, "ASXX40");
  chart(1, "FSXX41");  // not calibrated: no map
  const CalibrationStore calibrations(dir_.slash());
  ASSERT_EQ(calibrations.Save("DWD", "ASXX40", LatLonChart().calibrate({{-20, -60}, {70, 10}})),
            "");
  int turn = 0;
  ExportInput input{.faxTurn = [&turn](int) { return turn; }, .calibrations = calibrations};
  // Maps named after the row alone, as an older export left them, and their temporaries.
  fs::create_directories(dwd_);
  for (const char* old : {"ASXX40.tif", "ASXX40.mbtiles", "ASXX40.mbtiles.tmp-a1b2c3"})
    std::ofstream(dwd_ / old) << "old";

  const ExportOutcome first = Export(out_.string(), *store, input);
  ASSERT_TRUE(first.complete()) << first.firstError;
  EXPECT_EQ(namesIn(dwd_), (std::set<std::string>{"DWD_ASXX40.mbtiles", "DWD_ASXX40.tif"}));
  const auto written = fs::last_write_time(dwd_ / "DWD_ASXX40.mbtiles");

  // The same chart again: the maps are left as they are.
  const ExportOutcome again = Export(out_.string(), *store, input);
  EXPECT_EQ(again.written, first.written - 2);
  EXPECT_EQ(fs::last_write_time(dwd_ / "DWD_ASXX40.mbtiles"), written);
  // Another slant makes another chart.
  turn = 3;
  EXPECT_EQ(Export(out_.string(), *store, input).written, first.written);

  // A damaged calibration is told; a row no longer calibrated loses its maps, the user's
  // own files stay.
  std::ofstream(dwd_ / "notes.txt") << "mine";
  std::ofstream(calibrations.PathOf("DWD", "FSXX41")) << "projection=conic\n";
  ASSERT_EQ(calibrations.Remove("DWD", "ASXX40"), "");
  const ExportOutcome removed = Export(out_.string(), *store, input);
  EXPECT_EQ(removed.failed, 1);
  EXPECT_NE(removed.firstError.find("FSXX41.txt"), std::string::npos) << removed.firstError;
  EXPECT_EQ(namesIn(dwd_), (std::set<std::string>{"notes.txt"}));

  // Without calibrations the export leaves FAX_GEO alone.
  input.calibrations.reset();
  std::ofstream(dwd_ / "ASXX40.tif") << "kept";
  EXPECT_TRUE(Export(out_.string(), *store, input).complete());
  EXPECT_TRUE(fs::exists(dwd_ / "ASXX40.tif"));
}

// An export cut between the two files of a pair (killed, power gone) is repaired by the next:
// the GeoTIFF, written last, still holds the old calibration's stamp.
TEST_F(FaxGeoExportTest, APairCutBetweenItsFilesIsDrawnAgain) {
  const CalibrationStore calibrations = calibratedChart();
  const ExportInput input{.calibrations = calibrations};
  const ExportOutcome first = Export(out_.string(), *store, input);
  ASSERT_TRUE(first.complete()) << first.firstError;
  const std::string oldStamp = ReadChartStamp((dwd_ / "DWD_ASXX40.tif").string());

  // The calibration changes; the cut export got as far as the new MBTiles.
  const Calibration moved = LatLonChart().calibrate({{-10, -50}, {60, 0}});
  ASSERT_EQ(calibrations.Save("DWD", "ASXX40", moved), "");
  ASSERT_TRUE(WriteMbtiles(LatLonChart().raster(), *FitChart(moved).georeference, {"x", ""},
                           (dwd_ / "DWD_ASXX40.mbtiles").string()));

  const ExportOutcome repaired = Export(out_.string(), *store, input);
  ASSERT_TRUE(repaired.complete()) << repaired.firstError;
  EXPECT_EQ(repaired.written, first.written) << "the pair is drawn again";
  const std::string newStamp = ReadChartStamp((dwd_ / "DWD_ASXX40.tif").string());
  EXPECT_NE(newStamp, oldStamp);
  EXPECT_EQ(Export(out_.string(), *store, input).written, first.written - 2) << "then left alone";
}

// A FAX_GEO, or a station folder in it, that is a link is refused like the mirror's
// subfolders: the files where it points survive, also those of a station without calibration.
TEST_F(FaxGeoExportTest, ALinkedFolderIsRefusedAndWhatItPointsToSurvives) {
  const CalibrationStore calibrations = calibratedChart();
  const ExportInput input{.calibrations = calibrations};
  const fs::path elsewhere = out_.path() / "elsewhere";
  fs::create_directories(elsewhere / "DWD");
  for (const char* name : {"OLD.tif", "OLD.mbtiles", "DWD/OLD.tif"})
    std::ofstream(elsewhere / name) << "someone else's";

  for (const fs::path& link : {out_.path() / "FAX_GEO", out_.path() / "FAX_GEO" / "HALIFAX"}) {
    SCOPED_TRACE(link.string());
    fs::remove_all(out_.path() / "FAX_GEO");
    fs::create_directories(link.parent_path());
    fs::create_directory_symlink(link.filename() == "FAX_GEO" ? elsewhere : elsewhere / "DWD",
                                 link);
    const ExportOutcome outcome = Export(out_.string(), *store, input);
    EXPECT_FALSE(outcome.complete());
    EXPECT_NE(outcome.firstError.find("ist ein symbolischer Verweis"), std::string::npos)
        << outcome.firstError;
    EXPECT_EQ(namesIn(elsewhere), (std::set<std::string>{"DWD", "OLD.mbtiles", "OLD.tif"}));
    EXPECT_EQ(namesIn(elsewhere / "DWD"), (std::set<std::string>{"OLD.tif"}));
  }
  // Beside a linked station the others are written.
  EXPECT_EQ(namesIn(dwd_), (std::set<std::string>{"DWD_ASXX40.mbtiles", "DWD_ASXX40.tif"}));
}

// Chart servers take the file name for the chart's identity: two stations' rows of one name
// are two charts.
TEST_F(FaxGeoExportTest, RowsOfOneNameAtTwoStationsAreTwoCharts) {
  const CalibrationStore calibrations = calibratedChart();
  chart(0, "ASXX40", 1);
  const std::string other = FaxStationName(1);
  ASSERT_EQ(calibrations.Save(other, "ASXX40", LatLonChart().calibrate({{-20, -60}, {70, 10}})),
            "");
  const ExportOutcome outcome = Export(out_.string(), *store, {.calibrations = calibrations});
  ASSERT_TRUE(outcome.complete()) << outcome.firstError;
  EXPECT_EQ(namesIn(dwd_), (std::set<std::string>{"DWD_ASXX40.mbtiles", "DWD_ASXX40.tif"}));
  EXPECT_EQ(namesIn(out_.path() / "FAX_GEO" / other),
            (std::set<std::string>{other + "_ASXX40.mbtiles", other + "_ASXX40.tif"}));
}

// A full disk (a file size limit in a child process) is an export failure, and leaves no map
// whose stamp would make the next export skip the chart.
TEST_F(FaxGeoExportTest, AFullDiskIsAFailureAndTheNextExportDrawsTheChart) {
  const CalibrationStore calibrations = calibratedChart();
  ASSERT_TRUE(Export(out_.string(), *store, {}).complete());  // the mirror, without maps
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{16 << 10, 16 << 10};
    if (::setrlimit(RLIMIT_FSIZE, &small) != 0) ::_exit(3);
    const ExportOutcome full = Export(out_.string(), *store, {.calibrations = calibrations});
    ::_exit(full.failed == 1 && full.firstError.find("DWD_ASXX40.mbtiles kann nicht geschrieben") !=
                                    std::string::npos
                ? 0
                : 1);
  }
  int raw = 0;
  ASSERT_EQ(::waitpid(child, &raw, 0), child);
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 0) << "the failed map is not counted as the one failure";
  EXPECT_TRUE(namesIn(dwd_).empty());

  const ExportOutcome next = Export(out_.string(), *store, {.calibrations = calibrations});
  ASSERT_TRUE(next.complete()) << next.firstError;
  EXPECT_EQ(namesIn(dwd_), (std::set<std::string>{"DWD_ASXX40.mbtiles", "DWD_ASXX40.tif"}));
}

}  // namespace
}  // namespace tern::testing
