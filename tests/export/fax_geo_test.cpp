#include "export/fax_geo.h"

#include <gtest/gtest.h>

#include <cmath>
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
  void chart(int row, const std::string& key) {
    const Bytes data = LatLonChart().faxData();
    put(kFirstFaxTable, row, 0, 0, key, CivilTime{2024, 3, 5, 14, 20},
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

  const ExportOutcome first = Export(out_.string(), *store, input);
  ASSERT_TRUE(first.complete()) << first.firstError;
  EXPECT_EQ(namesIn(dwd_), (std::set<std::string>{"ASXX40.mbtiles", "ASXX40.tif"}));
  const auto written = fs::last_write_time(dwd_ / "ASXX40.mbtiles");

  // The same chart again: the maps are left as they are.
  const ExportOutcome again = Export(out_.string(), *store, input);
  EXPECT_EQ(again.written, first.written - 2);
  EXPECT_EQ(fs::last_write_time(dwd_ / "ASXX40.mbtiles"), written);
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
  const std::string oldStamp = ReadChartStamp((dwd_ / "ASXX40.tif").string());

  // The calibration changes; the cut export got as far as the new MBTiles.
  const Calibration moved = LatLonChart().calibrate({{-10, -50}, {60, 0}});
  ASSERT_EQ(calibrations.Save("DWD", "ASXX40", moved), "");
  ASSERT_TRUE(WriteMbtiles(LatLonChart().raster(), *FitChart(moved).georeference, {"x", ""},
                           (dwd_ / "ASXX40.mbtiles").string()));

  const ExportOutcome repaired = Export(out_.string(), *store, input);
  ASSERT_TRUE(repaired.complete()) << repaired.firstError;
  EXPECT_EQ(repaired.written, first.written) << "the pair is drawn again";
  const std::string newStamp = ReadChartStamp((dwd_ / "ASXX40.tif").string());
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
  EXPECT_EQ(namesIn(dwd_), (std::set<std::string>{"ASXX40.mbtiles", "ASXX40.tif"}));
}

}  // namespace
}  // namespace tern::testing
