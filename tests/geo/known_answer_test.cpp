// Charts with a known answer: a graticule drawn in a known projection, calibrated from two
// of its crossings, written through GDAL and read back through GDAL. Every other crossing
// must come back within 0.2 degrees of where it belongs, in the GeoTIFF and in the Web
// Mercator tiles.
#include <cpl_conv.h>
#include <cpl_vsi.h>
#include <gdal.h>
#include <gdal_alg.h>
#include <gtest/gtest.h>
#include <ogr_api.h>
#include <ogr_srs_api.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include "fakes/scratch_folder.h"
#include "geo/chart_fit.h"
#include "geo/chart_writer.h"
#include "geo/graticule_chart.h"

namespace tern::testing {
namespace {

constexpr double kAllowedDegrees = 0.2;

// A raster file as GDAL reads it back: pixel grid, coordinate system, first two bands.
struct ReadBack {
  std::array<double, 6> transform{};
  int width = 0;
  int height = 0;
  int bands = 0;
  std::vector<std::uint8_t> grey;
  std::vector<std::uint8_t> alpha;  // empty without a second band
  std::map<std::string, std::string> metadata;
  int overviews = 0;
  std::vector<std::array<int, 2>> coarsest;  // grey and alpha of the smallest overview
  OGRCoordinateTransformationH toGeo = nullptr;
  OGRCoordinateTransformationH fromGeo = nullptr;

  explicit ReadBack(const std::string& path) {
    GDALAllRegister();
    GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
    if (ds == nullptr) return;
    width = GDALGetRasterXSize(ds);
    height = GDALGetRasterYSize(ds);
    bands = GDALGetRasterCount(ds);
    GDALGetGeoTransform(ds, transform.data());
    auto band = [&](int k, std::vector<std::uint8_t>& out) {
      out.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
      if (GDALRasterIO(GDALGetRasterBand(ds, k), GF_Read, 0, 0, width, height, out.data(), width,
                       height, GDT_Byte, 0, 0) != CE_None)
        out.clear();
    };
    band(1, grey);
    if (bands >= 2) band(bands == 2 ? 2 : 4, alpha);
    for (char** item = GDALGetMetadata(ds, nullptr); item != nullptr && *item != nullptr; ++item) {
      const std::string text = *item;
      metadata[text.substr(0, text.find('='))] = text.substr(text.find('=') + 1);
    }
    overviews = bands >= 2 ? GDALGetOverviewCount(GDALGetRasterBand(ds, 1)) : 0;
    if (overviews > 0) {
      GDALRasterBandH g = GDALGetOverview(GDALGetRasterBand(ds, 1), overviews - 1);
      GDALRasterBandH a = GDALGetOverview(GDALGetRasterBand(ds, bands == 2 ? 2 : 4), overviews - 1);
      const int w = GDALGetRasterBandXSize(g);
      const int h = GDALGetRasterBandYSize(g);
      std::vector<std::uint8_t> both(2 * static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
      if (GDALRasterIO(g, GF_Read, 0, 0, w, h, both.data(), w, h, GDT_Byte, 0, 0) == CE_None &&
          GDALRasterIO(a, GF_Read, 0, 0, w, h, both.data() + both.size() / 2, w, h, GDT_Byte, 0,
                       0) == CE_None)
        for (std::size_t i = 0; i < both.size() / 2; ++i)
          coarsest.push_back({both[i], both[both.size() / 2 + i]});
    }
    OGRSpatialReferenceH chart = OSRNewSpatialReference(GDALGetProjectionRef(ds));
    OSRSetAxisMappingStrategy(chart, OAMS_TRADITIONAL_GIS_ORDER);
    OGRSpatialReferenceH wgs84 = OSRNewSpatialReference(nullptr);
    OSRSetWellKnownGeogCS(wgs84, "WGS84");
    OSRSetAxisMappingStrategy(wgs84, OAMS_TRADITIONAL_GIS_ORDER);
    toGeo = OCTNewCoordinateTransformation(chart, wgs84);
    fromGeo = OCTNewCoordinateTransformation(wgs84, chart);
    OSRRelease(chart);
    OSRRelease(wgs84);
    GDALClose(ds);
  }
  ~ReadBack() {
    if (toGeo) OCTDestroyCoordinateTransformation(toGeo);
    if (fromGeo) OCTDestroyCoordinateTransformation(fromGeo);
  }

  // Latitude and longitude of a pixel position (centre of pixel 0 at 0).
  std::array<double, 2> geoOf(double column, double row) const {
    const auto& t = transform;
    double x = t[0] + (column + 0.5) * t[1] + (row + 0.5) * t[2];
    double y = t[3] + (column + 0.5) * t[4] + (row + 0.5) * t[5];
    OCTTransform(toGeo, 1, &x, &y, nullptr);
    return {y, x};
  }
  // Pixel of a place, for a file without a turned grid.
  std::array<double, 2> pixelOf(double latitude, double longitude) const {
    double x = longitude;
    double y = latitude;
    OCTTransform(fromGeo, 1, &x, &y, nullptr);
    return {(x - transform[0]) / transform[1] - 0.5, (y - transform[3]) / transform[5] - 0.5};
  }
  // A dark, opaque pixel within `radius` of the position.
  bool darkNear(double column, double row, int radius) const {
    for (long r = std::lround(row) - radius; r <= std::lround(row) + radius; ++r)
      for (long c = std::lround(column) - radius; c <= std::lround(column) + radius; ++c) {
        if (r < 0 || c < 0 || r >= height || c >= width) continue;
        const auto i = static_cast<std::size_t>(r * width + c);
        if (grey[i] < 128 && (alpha.empty() || alpha[i] > 0)) return true;
      }
    return false;
  }
};

// The zoom level GDAL's own tile writer takes for a raster file: the resolution GDAL suggests
// for a warp to Web Mercator, rounded to the nearest level.
int gdalZoom(const std::string& path) {
  GDALDatasetH ds = GDALOpen(path.c_str(), GA_ReadOnly);
  OGRSpatialReferenceH mercator = OSRNewSpatialReference(nullptr);
  OSRImportFromEPSG(mercator, 3857);
  char* wkt = nullptr;
  OSRExportToWkt(mercator, &wkt);
  void* transform = GDALCreateGenImgProjTransformer(ds, nullptr, nullptr, wkt, FALSE, 0, 1);
  std::array<double, 6> grid{};
  int columns = 0;
  int rows = 0;
  GDALSuggestedWarpOutput(ds, GDALGenImgProjTransform, transform, grid.data(), &columns, &rows);
  GDALDestroyGenImgProjTransformer(transform);
  CPLFree(wkt);
  OSRRelease(mercator);
  GDALClose(ds);
  return static_cast<int>(std::lround(std::log2(2 * 20037508.342789244 / 256 / grid[1])));
}

// The finest level is GDAL's choice; the coarsest is `minZoom`, and every level between holds
// tiles. The metadata tells plotters what the chart is and where.
void checkTiles(const ReadBack& tiles, const std::string& tif, const ChartLabel& label,
                int minZoom) {
  const int maxZoom = gdalZoom(tif);
  EXPECT_EQ(tiles.overviews, maxZoom - minZoom);
  std::map<std::string, std::string> metadata = tiles.metadata;
  EXPECT_EQ(metadata["name"], label.name);
  EXPECT_EQ(metadata["description"], label.description);
  EXPECT_EQ(metadata["attribution"], label.attribution);
  EXPECT_EQ(metadata["type"], "overlay");
  EXPECT_EQ(metadata["format"], "png");
  EXPECT_EQ(metadata["maxzoom"], std::to_string(maxZoom));
  EXPECT_EQ(metadata["minzoom"], std::to_string(minZoom));
  double west = 0, south = 0, east = 0, north = 0, lon = 0, lat = 0;
  int viewZoom = -1;
  ASSERT_EQ(
      std::sscanf(metadata["bounds"].c_str(), "%lf,%lf,%lf,%lf", &west, &south, &east, &north), 4);
  ASSERT_EQ(std::sscanf(metadata["center"].c_str(), "%lf,%lf,%d", &lon, &lat, &viewZoom), 3);
  EXPECT_TRUE(west < lon && lon < east && south < lat && lat < north) << metadata["center"];
  EXPECT_TRUE(minZoom <= viewZoom && viewZoom <= maxZoom) << metadata["center"];
  // Coarser levels weigh grey by alpha: the chart's white paper keeps white where it fades
  // into the transparent surroundings, instead of greying towards them.
  double edgeGrey = 0;
  int edgePixels = 0;
  for (const auto& [grey, alpha] : tiles.coarsest) {
    if (alpha == 0 || alpha == 255) continue;
    edgeGrey += grey;
    ++edgePixels;
  }
  ASSERT_GT(edgePixels, 0);
  EXPECT_GT(edgeGrey / edgePixels, 200);
}

struct KnownAnswer {
  const GraticuleChart& (*chart)();
  std::vector<std::array<double, 2>> calibration;
  bool tiles;  // also written and checked as MBTiles
  int minZoom = 0;
};

class KnownAnswerTest : public ::testing::TestWithParam<KnownAnswer> {
 protected:
  ScratchFolder folder_{"tern_geo"};
};

TEST_P(KnownAnswerTest, EveryOtherCrossingComesBackWithinTheAllowance) {
  const GraticuleChart& chart = GetParam().chart();
  const Calibration calibration = chart.calibrate(GetParam().calibration);
  const ChartFit fit = FitChart(calibration);
  ASSERT_TRUE(fit.ok()) << fit.error;
  ASSERT_GT(chart.crossings.size(), 20u);

  const std::string base = folder_.slash() + chart.name;
  const ChartRaster raster = chart.raster();
  const FileStatus written =
      WriteGeoTiff(raster, *fit.georeference, {chart.name, ""}, base + ".tif");
  ASSERT_TRUE(written) << written.message;
  const ReadBack tif(base + ".tif");
  ASSERT_EQ(tif.width, chart.width);
  ASSERT_EQ(tif.height, chart.height);

  double largest = 0;
  for (const GraticuleCrossing& x : chart.crossings) {
    const auto [latitude, longitude] = tif.geoOf(x.column, x.row);
    const double error = ArcDegrees(latitude, longitude, x.latitude, x.longitude);
    largest = std::max(largest, error);
    EXPECT_LT(error, kAllowedDegrees) << x.latitude << "/" << x.longitude;
    EXPECT_TRUE(tif.darkNear(x.column, x.row, 0)) << "crossing not drawn in the GeoTIFF";
  }
  std::printf("%s: %zu crossings, largest error %.4f degrees\n", chart.name.c_str(),
              chart.crossings.size(), largest);
  RecordProperty("largest_error_degrees", std::to_string(largest));

  if (!GetParam().tiles) return;
  const ChartLabel label{
      .name = "DWD_" + chart.name,
      .description = "Deutscher Wetterdienst " + chart.name + " 15.06. 10:00 UTC",
      .attribution = "Deutscher Wetterdienst"};
  const FileStatus tiled = WriteMbtiles(raster, *fit.georeference, label, base + ".mbtiles");
  ASSERT_TRUE(tiled) << tiled.message;
  const ReadBack tiles(base + ".mbtiles");
  ASSERT_GT(tiles.width, 0);

  checkTiles(tiles, base + ".tif", label, GetParam().minZoom);
  int checked = 0;
  for (const GraticuleCrossing& x : chart.crossings) {
    if (x.latitude > 80) continue;  // Web Mercator ends at 85 degrees; 80 is stretched six-fold
    const auto [column, row] = tiles.pixelOf(x.latitude, x.longitude);
    // 0.2 degrees are at least 2 pixels at the zoom level of these charts.
    EXPECT_TRUE(tiles.darkNear(column, row, 2)) << x.latitude << "/" << x.longitude;
    ++checked;
  }
  EXPECT_GT(checked, 20);
  // Renamed into place: nothing temporary is left beside the two files.
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{chart.name + ".mbtiles", chart.name + ".tif"}));
}

TEST(ChartWriterTest, AFailedWriteSaysWhichFileAndLeavesNothing) {
  ScratchFolder folder("tern_geo");
  const GraticuleChart& chart = LatLonChart();
  const ChartFit fit = FitChart(chart.calibrate({{-20, -60}, {70, 10}}));
  ASSERT_TRUE(fit.ok());
  const std::string missing = folder.slash() + "missing/chart";
  const FileStatus status = WriteChartFiles(chart.raster(), *fit.georeference, {"x", ""}, missing);
  EXPECT_FALSE(status);
  EXPECT_NE(status.message.find("Die Karte " + missing + ".mbtiles kann nicht geschrieben werden"),
            std::string::npos)
      << status.message;
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
  EXPECT_FALSE(WriteGeoTiff({}, *fit.georeference, {"x", ""}, folder.slash() + "empty.tif"));
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));

  // The MBTiles went through, the GeoTIFF did not (a folder in its place): no half pair.
  std::filesystem::create_directory(folder.path() / "half.tif");
  EXPECT_FALSE(
      WriteChartFiles(chart.raster(), *fit.georeference, {"x", ""}, folder.slash() + "half"));
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "half.mbtiles"));
}

// A full disk, made by a file size limit in a child process (no root needed): the writer must
// see every failed write, whether it comes while the tables are made, among the tiles or at
// the commit, and leave neither the new file nor its temporary behind.
TEST(ChartWriterTest, AFullDiskFailsTheWriteAndLeavesNothing) {
  const GraticuleChart& chart = MercatorChart();
  const ChartFit fit = FitChart(chart.calibrate({{10, -70}, {60, 10}}));
  ASSERT_TRUE(fit.ok());
  const ChartRaster raster = chart.raster();
  for (const rlim_t limit : {rlim_t{2} << 10, rlim_t{64} << 10, rlim_t{150} << 10}) {
    SCOPED_TRACE(limit);
    ScratchFolder folder("tern_geo_full");
    const std::string base = folder.slash() + "chart";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit then fails with EFBIG
      const rlimit small{limit, limit};
      if (::setrlimit(RLIMIT_FSIZE, &small) != 0) ::_exit(3);
      const FileStatus status = WriteChartFiles(raster, *fit.georeference, {"chart", ""}, base);
      ::_exit(status ? 1 : status.message.find("chart.mbtiles kann nicht") == 0 ? 2 : 0);
    }
    int raw = 0;
    ASSERT_EQ(::waitpid(child, &raw, 0), child);
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0) << "1: reported as written; 2: without the file's name";
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Charts, KnownAnswerTest,
    ::testing::Values(KnownAnswer{PolarChart, {{40, -40}, {60, 30}}, true, 0},
                      KnownAnswer{MercatorChart, {{10, -70}, {60, 10}}, true, 1},
                      KnownAnswer{LatLonChart, {{-20, -60}, {70, 10}}, false}),
    [](const ::testing::TestParamInfo<KnownAnswer>& p) { return p.param.chart().name; });

}  // namespace
}  // namespace tern::testing
