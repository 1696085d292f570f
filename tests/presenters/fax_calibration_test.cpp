#include "presenters/fax_calibration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "fakes/scratch_folder.h"
#include "geo/graticule_chart.h"

namespace tern::testing {
namespace {

TEST(FaxCalibrationTest, TypedDegreesAreReadAsSailorsWriteThem) {
  struct Case {
    const char* text;
    bool latitude;
    std::optional<double> expected;
  };
  const Case cases[] = {
      {"54,5", true, 54.5},
      {" 54.5 ", true, 54.5},
      {"-33,25", true, -33.25},
      {"33,25 S", true, -33.25},
      {"12,5°W", false, -12.5},
      {"12,5 o", false, 12.5},
      {"+180", false, 180},
      {"90,01", true, std::nullopt},  // beyond the pole
      {"181", false, std::nullopt},
      {"-12 W", false, std::nullopt},  // sign and letter say it
                                       // twice
      {"12 E", true, std::nullopt},    // a longitude's letter on a latitude
      {"12,5,3", true, std::nullopt},
      {"", true, std::nullopt},
      {"N", true, std::nullopt},
      {"nan", true, std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<double> got = ParseDegrees(c.text, c.latitude);
    ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.text;
    if (got) {
      EXPECT_DOUBLE_EQ(*got, *c.expected) << c.text;
    }
  }
  EXPECT_EQ(FormatDegrees(-3.25, false), "3,250\xC2\xB0 W");
  EXPECT_EQ(*ParseDegrees(FormatDegrees(-3.25, false), false), -3.25);
}

class FaxCalibrationModeTest : public ::testing::Test {
 protected:
  void place(std::size_t index, double latitude, double longitude) {
    ASSERT_EQ(mode_.SetPlace(index, std::to_string(latitude), std::to_string(longitude)), "");
  }
  // Clicks the crossing of `latitude` and `longitude` on the Mercator test chart, `offRows`
  // beside it, and types its place.
  void click(double latitude, double longitude, double offRows = 0) {
    const GraticuleCrossing& x = MercatorChart().crossing(latitude, longitude);
    const std::size_t k = mode_.AddPoint({std::round(x.column), std::round(x.row) + offRows});
    place(k, latitude, longitude);
  }

  ScratchFolder dir_{"tern_fax_calibration"};
  CalibrationStore store_{dir_.slash()};
  FaxCalibration mode_{store_};
};

TEST_F(FaxCalibrationModeTest, ChecksTheFitFromTheThirdPointAndKeepsItForTheRow) {
  EXPECT_EQ(mode_.Begin(0, "ASXX40 Bodenanalyse"), "");
  EXPECT_EQ(mode_.RowName(), "ASXX40");
  EXPECT_FALSE(mode_.Saved());
  EXPECT_FALSE(mode_.CanSave());

  click(10, -70);
  const std::size_t unplaced = mode_.AddPoint({100, 100});  // clicked, place not yet typed
  EXPECT_NE(mode_.SetPlace(unplaced, "91", "0"), "");
  EXPECT_NE(mode_.SetPlace(unplaced, "50", "west"), "");
  EXPECT_FALSE(mode_.Points()[unplaced].place);
  EXPECT_FALSE(mode_.CanSave());
  click(60, 10);
  ASSERT_TRUE(mode_.CanSave()) << mode_.Summary();
  EXPECT_FALSE(mode_.Points()[2].residual);  // two points always fit

  click(30, -40);
  click(40, 0, 12);  // beside its crossing
  const auto& points = mode_.Points();
  ASSERT_EQ(points.size(), 5u);
  EXPECT_FALSE(points[1].residual);
  EXPECT_LT(*points[3].residual, 5);
  EXPECT_FALSE(points[3].flagged);
  EXPECT_TRUE(points[4].flagged) << *points[4].residual;
  EXPECT_NE(mode_.Summary().find("Punkt 5: Abweichung"), std::string::npos) << mode_.Summary();

  mode_.RemovePoint(4);
  mode_.RemovePoint(1);
  EXPECT_NE(mode_.Summary().find("passen zusammen"), std::string::npos) << mode_.Summary();
  ASSERT_EQ(mode_.Save(), "");

  // The next chart of the row, of another day, starts with the saved points.
  FaxCalibration later(store_);
  EXPECT_EQ(later.Begin(0, "ASXX40 Bodenanalyse 2"), "");
  EXPECT_TRUE(later.Saved());
  EXPECT_EQ(later.Current(), mode_.Current());
  ASSERT_EQ(later.Forget(), "");
  EXPECT_FALSE(store_.Load("DWD", "ASXX40").calibration);
}

TEST_F(FaxCalibrationModeTest, DegenerateCalibrationsAreRefusedAndNeverWritten) {
  mode_.Begin(1, "PPVE89");
  mode_.SetProjection(ChartProjection::PolarNorth);
  EXPECT_NE(mode_.SetTrueScaleLatitude(95), "");
  EXPECT_EQ(mode_.TrueScaleLatitude(), kDefaultTrueScaleLatitude);
  // Two points on one circle of latitude cannot place a polar chart.
  place(mode_.AddPoint({100, 400}), 50, 0);
  place(mode_.AddPoint({900, 400}), 50, 40);
  EXPECT_FALSE(mode_.CanSave());
  EXPECT_NE(mode_.Summary().find("Breitenkreis"), std::string::npos) << mode_.Summary();
  EXPECT_NE(mode_.Save(), "");
  EXPECT_FALSE(std::filesystem::exists(store_.PathOf("NORTHWOOD", "PPVE89")));

  // A damaged saved file is told and the mode starts empty.
  std::filesystem::create_directories(
      std::filesystem::path(store_.PathOf("DWD", "BAD")).parent_path());
  std::ofstream(store_.PathOf("DWD", "BAD")) << "projection=conic\n";
  EXPECT_NE(mode_.Begin(0, "BAD"), "");
  EXPECT_TRUE(mode_.Points().empty());
}

}  // namespace
}  // namespace tern::testing
