#include "geo/gdal/gdal_chart_files.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal.h>
#include <gdal_utils.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

namespace tern {

namespace {

constexpr const char* kStampItem = "TERN_CHART";

void registerDrivers() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

// GDAL prints its errors on stderr unless told otherwise; here they become the status.
// The handler stack is per thread, so the window and the export thread do not meet.
class QuietGdal {
 public:
  QuietGdal() {
    registerDrivers();
    CPLPushErrorHandler(CPLQuietErrorHandler);
    CPLErrorReset();
    // No ".aux.xml" side files beside what is written or read.
    CPLSetThreadLocalConfigOption("GDAL_PAM_ENABLED", "NO");
  }
  ~QuietGdal() {
    CPLSetThreadLocalConfigOption("GDAL_PAM_ENABLED", nullptr);
    CPLPopErrorHandler();
  }
  QuietGdal(const QuietGdal&) = delete;
  QuietGdal& operator=(const QuietGdal&) = delete;

  static std::string last() {
    const char* message = CPLGetLastErrorMsg();
    return message != nullptr && *message != '\0' ? message : "GDAL meldet keinen Grund";
  }
  // GDAL's reason when an error was raised since the start, empty otherwise.
  static std::string failed() { return CPLGetLastErrorType() >= CE_Failure ? last() : ""; }
};

// A GDAL configuration option for this thread while the object lives.
class ThreadConfig {
 public:
  ThreadConfig(const char* name, const char* value) : name_(name) {
    CPLSetThreadLocalConfigOption(name, value);
  }
  ~ThreadConfig() { CPLSetThreadLocalConfigOption(name_, nullptr); }
  ThreadConfig(const ThreadConfig&) = delete;
  ThreadConfig& operator=(const ThreadConfig&) = delete;

 private:
  const char* name_;
};

struct DatasetCloser {
  void operator()(void* dataset) const {
    if (dataset != nullptr) GDALClose(dataset);
  }
};
using Dataset = std::unique_ptr<void, DatasetCloser>;

// GDAL's creation options, freed with the object.
class Options {
 public:
  Options() = default;
  ~Options() { CSLDestroy(list_); }
  Options(const Options&) = delete;
  Options& operator=(const Options&) = delete;
  Options& set(const char* name, const std::string& value) {
    list_ = CSLSetNameValue(list_, name, value.c_str());
    return *this;
  }
  char** get() const { return list_; }

 private:
  char** list_ = nullptr;
};

// The chart as a dataset in memory: grey, and an alpha band of opaque pixels when the warp
// is to leave transparent what lies outside the chart.
Dataset memoryChart(const ChartRaster& raster, const ChartGeoreference& georeference,
                    bool withAlpha) {
  GDALDriverH memory = GDALGetDriverByName("MEM");
  if (memory == nullptr) return nullptr;
  Dataset dataset(
      GDALCreate(memory, "", raster.width, raster.height, withAlpha ? 2 : 1, GDT_Byte, nullptr));
  if (!dataset) return nullptr;
  GDALRasterBandH grey = GDALGetRasterBand(dataset.get(), 1);
  if (GDALRasterIO(grey, GF_Write, 0, 0, raster.width, raster.height,
                   const_cast<std::uint8_t*>(raster.grey.data()), raster.width, raster.height,
                   GDT_Byte, 0, 0) != CE_None)
    return nullptr;
  GDALSetRasterColorInterpretation(grey, GCI_GrayIndex);
  if (withAlpha) {
    GDALRasterBandH alpha = GDALGetRasterBand(dataset.get(), 2);
    if (GDALFillRaster(alpha, 255, 0) != CE_None) return nullptr;
    GDALSetRasterColorInterpretation(alpha, GCI_AlphaBand);
  }
  std::array<double, 6> transform = georeference.geoTransform;
  if (GDALSetProjection(dataset.get(), georeference.wkt.c_str()) != CE_None ||
      GDALSetGeoTransform(dataset.get(), transform.data()) != CE_None)
    return nullptr;
  return dataset;
}

std::string number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.10g", value);
  return buffer;
}

// The chart warped onto the tile grid, grey and alpha, in memory.
Dataset warped(GDALDatasetH source, const TileGrid& grid) {
  const std::string args[] = {"-of",
                              "MEM",
                              "-t_srs",
                              "EPSG:3857",
                              "-te",
                              number(grid.minX),
                              number(grid.minY),
                              number(grid.maxX),
                              number(grid.maxY),
                              "-ts",
                              std::to_string(grid.width),
                              std::to_string(grid.height),
                              "-r",
                              "bilinear",
                              "-dstalpha"};
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  GDALWarpAppOptions* options = GDALWarpAppOptionsNew(argv.data(), nullptr);
  if (options == nullptr) return nullptr;
  GDALDatasetH sources[] = {source};
  Dataset result(GDALWarp("", nullptr, 1, sources, options, nullptr));
  GDALWarpAppOptionsFree(options);
  return result;
}

// GDAL's tile writer records zoom level 0 as the lowest whatever it wrote, and readers
// take "minzoom" for the lowest level there is. The tiles file is an SQLite database; under
// its temporary name GDAL's SQLite driver opens it (the tile driver claims only ".mbtiles").
bool setLowestZoom(const std::string& temporaryPath, int zoom) {
  const char* const drivers[] = {"SQLite", nullptr};
  Dataset database(GDALOpenEx(temporaryPath.c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE, drivers,
                              nullptr, nullptr));
  if (!database) return false;
  const std::string sql = "UPDATE metadata SET value = '" + std::to_string(std::max(0, zoom)) +
                          "' WHERE name = 'minzoom'";
  CPLErrorReset();
  GDALDatasetReleaseResultSet(database.get(),
                              GDALDatasetExecuteSQL(database.get(), sql.c_str(), nullptr, nullptr));
  return CPLGetLastErrorType() < CE_Failure;
}

}  // namespace

std::string GdalWriteGeoTiff(const ChartRaster& raster, const ChartGeoreference& georeference,
                             const ChartLabel& label, const std::string& file) {
  QuietGdal quiet;
  Dataset source = memoryChart(raster, georeference, false);
  if (!source) return QuietGdal::last();
  GDALSetMetadataItem(source.get(), "TIFFTAG_IMAGEDESCRIPTION", label.title.c_str(), nullptr);
  GDALSetMetadataItem(source.get(), "TIFFTAG_SOFTWARE", "TERN", nullptr);
  if (!label.stamp.empty())
    GDALSetMetadataItem(source.get(), kStampItem, label.stamp.c_str(), nullptr);
  Options options;
  options.set("COMPRESS", "DEFLATE").set("TILED", "YES");
  Dataset copy(GDALCreateCopy(GDALGetDriverByName("GTiff"), file.c_str(), source.get(), FALSE,
                              options.get(), nullptr, nullptr));
  if (!copy) return QuietGdal::last();
  copy.reset();  // GDAL writes the last blocks and the header on close
  return QuietGdal::failed();
}

std::string GdalWriteMbtiles(const ChartRaster& raster, const ChartGeoreference& georeference,
                             const ChartLabel& label, const TileGrid& grid,
                             const std::string& bounds, const std::string& file) {
  QuietGdal quiet;
  Dataset source = memoryChart(raster, georeference, false);
  if (!source) return QuietGdal::last();
  Dataset mercator = warped(source.get(), grid);
  if (!mercator) return QuietGdal::last();
  source.reset();

  // The file is renamed into place only when whole, so SQLite's syncs buy nothing here.
  const ThreadConfig noSync("OGR_SQLITE_SYNCHRONOUS", "OFF");
  Options options;
  options.set("NAME", label.title)
      .set("DESCRIPTION", label.title)
      .set("TYPE", "overlay")
      .set("TILE_FORMAT", "PNG")
      .set("RESAMPLING", "NEAREST")  // the grid is the tiles' already
      .set("BOUNDS", bounds);
  Dataset tiles(GDALCreateCopy(GDALGetDriverByName("MBTiles"), file.c_str(), mercator.get(), FALSE,
                               options.get(), nullptr, nullptr));
  if (!tiles) return QuietGdal::last();
  mercator.reset();
  // The copy's own handle cannot add zoom levels; the file opened again can.
  tiles.reset();
  const char* const drivers[] = {"MBTiles", nullptr};
  tiles.reset(GDALOpenEx(file.c_str(), GDAL_OF_RASTER | GDAL_OF_UPDATE, drivers, nullptr, nullptr));
  if (!tiles) return QuietGdal::last();
  // Two coarser zoom levels, so the chart still shows when the plotter zooms out.
  int factors[] = {2, 4};
  if (GDALBuildOverviews(tiles.get(), "AVERAGE", 2, factors, 0, nullptr, nullptr, nullptr) !=
      CE_None)
    return QuietGdal::last();
  tiles.reset();
  if (!setLowestZoom(file, grid.zoom - 2)) return QuietGdal::last();
  return QuietGdal::failed();
}

std::string GdalReadStamp(const std::string& path) {
  QuietGdal quiet;
  const char* const drivers[] = {"GTiff", nullptr};
  Dataset dataset(
      GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, drivers, nullptr, nullptr));
  if (!dataset) return {};
  const char* stamp = GDALGetMetadataItem(dataset.get(), kStampItem, nullptr);
  return stamp != nullptr ? stamp : "";
}

}  // namespace tern
