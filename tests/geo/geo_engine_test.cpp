// The map module: opened only when a chart is placed, and a clear refusal where it is
// missing or is not one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fakes/scratch_folder.h"
#include "fakes/starts_itself.h"
#include "geo/calibration_store.h"
#include "geo/geo_engine_loader.h"
#include "geo/graticule_chart.h"

namespace tern::testing {
namespace {

bool mapped(const std::string& name) {
  std::ifstream maps("/proc/self/maps");
  std::stringstream text;
  text << maps.rdbuf();
  return text.str().find(name) != std::string::npos;
}

std::string besideThisTest() {
  char exe[4096] = {};
  const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  std::string path(exe, n > 0 ? static_cast<std::size_t>(n) : 0);
  return path.substr(0, path.find_last_of('/') + 1) + kGeoModuleName;
}

TEST(GeoEngineTest, LoadsTheModuleOrSaysWhyNot) {
  ScratchFolder folder("tern_geo_engine");
  std::ofstream(folder / "not-a-module.so") << "text, not a shared object";
  struct Case {
    std::string path;
    const char* error;  // part of the message; nullptr: loads
  } cases[] = {
      {folder.slash() + "tern-geo.so", "sind nicht installiert"},
      {"", "sind nicht installiert: tern-geo.so fehlt."},
      {folder.slash() + "not-a-module.so", "lassen sich nicht laden"},
      {besideThisTest(), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const GeoEngineLoad load = LoadGeoEngine(c.path);
    if (c.error == nullptr) {
      ASSERT_NE(load.engine, nullptr) << load.error;
      const auto mercator = load.engine->projection("EPSG:3857");
      ASSERT_NE(mercator, nullptr);
      const auto equator = mercator->project(0, 180);
      ASSERT_TRUE(equator);
      EXPECT_NEAR(equator->real(), 20037508.34, 0.01);
      EXPECT_EQ(load.engine->projection("+proj=nonsense"), nullptr);
    } else {
      EXPECT_EQ(load.engine, nullptr);
      EXPECT_NE(load.error.find(c.error), std::string::npos) << load.error;
      EXPECT_NE(load.error.find(c.path), std::string::npos) << load.error;
    }
  }
}

// In a process of its own (the other tests open the module): reading calibrations does not
// open it, the first fit does, and only once.
TEST(GeoEngineDeathTest, OpenedByTheFirstFitOnly) {
  if (!tern::testing::programStartsItself())
    GTEST_SKIP() << "this program cannot start itself again here (an emulator without "
                    "binfmt_misc), and the check needs a fresh process";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ScratchFolder folder("tern_geo_lazy");
        const Calibration calibration = MercatorChart().calibrate({{10, -70}, {60, 10}});
        const CalibrationStore store(folder.string());
        std::filesystem::create_directories(folder / "fax_calibration/DWD");
        std::ofstream(store.PathOf("DWD", "ASXX40")) << FormatCalibration(calibration);
        const bool read = store.Load("DWD", "ASXX40").calibration == calibration;
        const bool before = mapped(kGeoModuleName);
        const bool fitted = FitChart(calibration).ok();
        const bool after = mapped(kGeoModuleName);
        const GeoEngine* first = SharedGeoEngine().engine;
        FitChart(calibration);
        std::exit(read && !before && fitted && after && first == SharedGeoEngine().engine ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tern::testing
