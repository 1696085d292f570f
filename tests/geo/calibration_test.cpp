#include "geo/calibration.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/scratch_folder.h"
#include "geo/calibration_store.h"
#include "geo/chart_fit.h"
#include "geo/graticule_chart.h"

namespace tern::testing {
namespace {

TEST(CalibrationTextTest, ReadsWhatItWritesAndWhatAUserWrites) {
  const Calibration polar{
      ChartProjection::PolarNorth, 45.5, {{412, 1630, 50, -30.25}, {1288.5, 1187, 60, 10}}};
  const Calibration mercator{
      ChartProjection::Mercator, 60, {{0, 0, -89.5, -180}, {1799, 2399, 89.5, 180}}};
  for (const Calibration& c : {polar, mercator}) {
    const CalibrationParse back = ParseCalibration(FormatCalibration(c));
    ASSERT_TRUE(back.calibration) << back.error;
    EXPECT_EQ(*back.calibration, c);
  }
  const CalibrationParse byHand = ParseCalibration(
      "# Nordatlantik\r\n\r\n  projection = polar-north\r\npoint=412, 1630, +50, "
      "-30\npoint=1,2,3,4");
  ASSERT_TRUE(byHand.calibration) << byHand.error;
  EXPECT_EQ(byHand.calibration->trueScaleLatitude, 60);  // the default
  EXPECT_EQ(byHand.calibration->points.size(), 2u);
  EXPECT_EQ(byHand.calibration->points[0], (CalibrationPoint{412, 1630, 50, -30}));
}

TEST(CalibrationTextTest, RefusesMalformedTextNamingTheLine) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"point=1,2,3,4", "Keine Projektion"},
      {"projection=lambert", "Zeile 1: unbekannte Projektion 'lambert'"},
      {"projection=latlon\npoint=1,2,3", "Zeile 2: point= braucht"},
      {"projection=latlon\npoint=1,2,3,4,5", "Zeile 2: point= braucht"},
      {"projection=latlon\npoint=1,2,3,x", "Zeile 2: point= braucht"},
      {"projection=latlon\npoint=1,2,3,nan", "Zeile 2: point= braucht"},
      {"projection=latlon\n\nscale=3", "Zeile 3: unbekannter Eintrag 'scale'"},
      {"projection=latlon\npoint", "Zeile 2: 'Name=Wert' erwartet"},
      {"projection=latlon\npoint=1,2,90.5,0", "Punkt 1: die Breite 90.5 liegt jenseits von 90°"},
      {"projection=latlon\npoint=1,2,0,-181", "Punkt 1: die Länge -181 liegt jenseits von 180°"},
      {"projection=latlon\npoint=-1,2,0,0", "Punkt 1: Spalte und Zeile"},
      {"projection=latlon\npoint=1e300,2,0,0", "Punkt 1: Spalte und Zeile müssen unter 100000"},
      {"projection=polar-north\ntrue_scale_latitude=0", "Breite wahren Maßstabs"},
  };
  for (const auto& c : cases) {
    const CalibrationParse p = ParseCalibration(c.text);
    EXPECT_FALSE(p.calibration) << c.text;
    EXPECT_NE(p.error.find(c.error), std::string::npos) << c.text << " -> " << p.error;
  }
}

// A point may lie beyond the chart's border by up to the chart's own size on that side.
TEST(CalibrationTextTest, RefusesPointsFarOutsideTheChart) {
  const struct {
    CalibrationPoint point;
    bool refused;
  } cases[] = {
      {{0, 0, 50, 0}, false},         {{1799, 2399, 50, 0}, false}, {{3599, 4799, 50, 0}, false},
      {{-1800, -2400, 50, 0}, false}, {{3600, 100, 50, 0}, true},   {{100, 4800, 50, 0}, true},
      {{-1801, 100, 50, 0}, true},    {{100, -2401, 50, 0}, true},  {{90000, 1200, 50, 0}, true},
  };
  for (const auto& c : cases) {
    const Calibration calibration{ChartProjection::Mercator, 60, {{900, 1200, 0, 0}, c.point}};
    const std::string error = CalibrationOutsideError(calibration, 1800, 2400);
    EXPECT_EQ(!error.empty(), c.refused) << c.point.column << "," << c.point.row << ": " << error;
    if (c.refused) {
      EXPECT_NE(error.find("Punkt 2 (Spalte "), std::string::npos) << error;
    }
  }
}

TEST(ChartFitTest, RefusesDegenerateCalibrationsAndNeverStoresThem) {
  using P = ChartProjection;
  const struct {
    Calibration calibration;
    const char* error;
  } cases[] = {
      {{P::Mercator, 60, {{100, 100, 50, 0}}}, "Mindestens zwei Punkte"},
      {{P::Mercator, 60, {{100, 100, 50, 0}, {100, 100, 50, 0}}},
       "Punkt 1 und Punkt 2 liegen auf demselben Bildpunkt"},
      {{P::LatLon, 60, {{100, 100, 50, 0}, {900, 700, 50, 0}}},
       "Punkt 1 und Punkt 2 bezeichnen dieselbe Stelle"},
      {{P::PolarNorth, 60, {{100, 100, 90, 0}, {900, 700, 60, 0}, {500, 900, 90, 120}}},
       "Punkt 1 und Punkt 3 bezeichnen dieselbe Stelle"},
      {{P::PolarNorth, 60, {{100, 100, 50, 0}, {900, 700, 50, 60}, {500, 900, 50, 30}}},
       "demselben Breitenkreis"},
      {{P::PolarNorth, 60, {{100, 100, 50, 0}, {900, 700, 91, 60}}},
       "Punkt 2: die Breite 91 liegt jenseits von 90°"},
      {{P::Mercator, 60, {{100, 100, 85.5, 0}, {900, 700, 50, 60}}},
       "Punkt 1 lässt sich in dieser Projektion nicht darstellen"},
      {{P::PolarNorth, 60, {{100, 100, 50, 0}, {900, 700, -31, 60}}}, "Punkt 2 lässt sich"},
  };
  ScratchFolder data("tern_calibration");
  const CalibrationStore store(data.string());
  for (const auto& c : cases) {
    const ChartFit fit = FitChart(c.calibration);
    EXPECT_FALSE(fit.ok()) << c.error;
    EXPECT_NE(fit.error.find(c.error), std::string::npos) << fit.error;
    EXPECT_EQ(store.Save("DWD", "ASXX40", c.calibration), fit.error);
    EXPECT_FALSE(std::filesystem::exists(store.PathOf("DWD", "ASXX40")));
  }
}

TEST(ChartFitTest, ResidualsShowTheOnePointThatDisagrees) {
  const GraticuleChart& chart = PolarChart();
  Calibration c = chart.calibrate({{40, -40}, {60, 30}, {70, -20}, {50, 0}});
  ChartFit fit = FitChart(c);
  ASSERT_TRUE(fit.ok()) << fit.error;
  ASSERT_EQ(fit.residuals.size(), 4u);
  for (double r : fit.residuals) EXPECT_LT(r, 1.5);
  // A polar chart's turn goes into its central meridian: no turned pixel grid.
  EXPECT_EQ(fit.georeference->geoTransform[2], 0);
  EXPECT_EQ(fit.georeference->geoTransform[4], 0);

  c.points[2].column += 30;  // clicked beside the crossing
  fit = FitChart(c);
  ASSERT_TRUE(fit.ok());
  EXPECT_GT(fit.residuals[2], kResidualLimitPixels);
  for (int k : {0, 1, 3}) EXPECT_LT(fit.residuals[static_cast<std::size_t>(k)], fit.residuals[2]);
}

TEST(CalibrationStoreTest, KeepsOneFilePerStationAndRow) {
  ScratchFolder data("tern_calibration");
  const CalibrationStore store(data.string());
  const Calibration c = MercatorChart().calibrate({{10, -70}, {60, 10}});
  EXPECT_FALSE(store.Load("DWD", "ASXX40").calibration);
  EXPECT_EQ(store.Save("NEW ORLEANS", "../x", c), "");
  EXPECT_EQ(store.PathOf("NEW ORLEANS", "../x"),
            data.string() + "/fax_calibration/NEW_ORLEANS/___x.txt");
  const CalibrationLoad back = store.Load("NEW ORLEANS", "../x");
  ASSERT_TRUE(back.calibration) << back.error;
  EXPECT_EQ(*back.calibration, c);
  EXPECT_FALSE(store.Load("DWD", "___x").calibration);

  // A damaged file is told, not taken for "not calibrated".
  std::FILE* f = std::fopen(store.PathOf("NEW ORLEANS", "../x").c_str(), "w");
  std::fputs("projection=cylinder\n", f);
  std::fclose(f);
  const CalibrationLoad damaged = store.Load("NEW ORLEANS", "../x");
  EXPECT_FALSE(damaged.calibration);
  EXPECT_NE(damaged.error.find("unbekannte Projektion"), std::string::npos);

  EXPECT_EQ(store.Remove("NEW ORLEANS", "../x"), "");
  EXPECT_FALSE(store.Load("NEW ORLEANS", "../x").calibration);
}

}  // namespace
}  // namespace tern::testing
