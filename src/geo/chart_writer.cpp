#include "geo/chart_writer.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <fcntl.h>
#include <gdal.h>
#include <gdal_utils.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>

#include "geo/projection.h"

namespace tern {

namespace {

constexpr double kWebMercatorLimit = 85.0511287798;
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

FileStatus failure(const std::string& path, const std::string& reason, int error = EIO) {
  return FileStatus::failure(error,
                             "Die Karte " + path + " kann nicht geschrieben werden: " + reason);
}

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

// A name beside `path` that no one else uses; removed again unless `keep` is called.
class TemporaryName {
 public:
  explicit TemporaryName(const std::string& path) : name_(path + ".tmp-XXXXXX") {
    const int fd = ::mkstemp(name_.data());
    if (fd < 0) {
      error_ = errno;
      name_.clear();
      return;
    }
    // mkstemp makes the file private; a chart is for other programs to read.
    ::fchmod(fd, 0644);
    ::close(fd);
  }
  ~TemporaryName() {
    if (name_.empty()) return;
    ::unlink(name_.c_str());
    ::unlink((name_ + "-journal").c_str());  // SQLite's, when the MBTiles write failed
  }
  TemporaryName(const TemporaryName&) = delete;
  TemporaryName& operator=(const TemporaryName&) = delete;

  bool ok() const { return !name_.empty(); }
  int error() const { return error_; }
  const std::string& name() const { return name_; }

  FileStatus renameTo(const std::string& path) {
    if (::rename(name_.c_str(), path.c_str()) != 0)
      return failure(path, "Umbenennen fehlgeschlagen", errno);
    name_.clear();
    return FileStatus::success();
  }

 private:
  std::string name_;
  int error_ = 0;
};

FileStatus checkRaster(const ChartRaster& raster, const std::string& path) {
  if (raster.width <= 0 || raster.height <= 0 ||
      raster.grey.size() !=
          static_cast<std::size_t>(raster.width) * static_cast<std::size_t>(raster.height))
    return failure(path, "das Bild ist leer", EINVAL);
  return FileStatus::success();
}

std::string number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.10g", value);
  return buffer;
}

struct GeoBounds {
  double west = 180;
  double south = 90;
  double east = -180;
  double north = -90;
};

// What the chart covers in longitude and latitude, from its border and its poles, within
// what Web Mercator shows.
GeoBounds chartBounds(const ChartRaster& raster, const ChartPlacement& placement) {
  GeoBounds b;
  bool allLongitudes = false;
  std::optional<double> previousLongitude;
  constexpr int kSteps = 64;
  const double w = raster.width - 1;
  const double h = raster.height - 1;
  // Around the border: top, right, bottom, left.
  for (int side = 0; side < 4; ++side) {
    for (int k = 0; k < kSteps; ++k) {
      const double t = static_cast<double>(k) / kSteps;
      const PixelPosition pixel = side == 0   ? PixelPosition{t * w, 0}
                                  : side == 1 ? PixelPosition{w, t * h}
                                  : side == 2 ? PixelPosition{w - t * w, h}
                                              : PixelPosition{0, h - t * h};
      auto geo = placement.ToGeo(pixel);
      if (!geo) continue;
      b.west = std::min(b.west, geo->longitude);
      b.east = std::max(b.east, geo->longitude);
      b.south = std::min(b.south, geo->latitude);
      b.north = std::max(b.north, geo->latitude);
      // A jump from about +180 to about -180: the border crosses the 180th meridian.
      if (previousLongitude && std::fabs(geo->longitude - *previousLongitude) > 180)
        allLongitudes = true;
      previousLongitude = geo->longitude;
    }
  }
  for (double pole : {90.0, -90.0}) {
    auto pixel = placement.ToPixel({pole, 0});
    if (pixel && pixel->column >= 0 && pixel->column <= w && pixel->row >= 0 && pixel->row <= h) {
      allLongitudes = true;
      (pole > 0 ? b.north : b.south) = pole;
    }
  }
  if (allLongitudes) {
    b.west = -180;
    b.east = 180;
  }
  b.south = std::clamp(b.south, -kWebMercatorLimit, kWebMercatorLimit);
  b.north = std::clamp(b.north, -kWebMercatorLimit, kWebMercatorLimit);
  return b;
}

// The pixel grid of the tiles: zoom level z has 256 * 2^z pixels around the equator.
struct TileGrid {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;  // metres of EPSG:3857, on tile edges
  int zoom = 0;
  double resolution = 0;
  int width = 0;
  int height = 0;
};

constexpr double kHalfEquator = 20037508.342789244;
constexpr int kTileSize = 256;
// A warped chart larger than this gets a coarser zoom level (two bytes a pixel in memory).
constexpr double kMaxTilePixels = 64.0 * 1024 * 1024;

// The finest zoom level that does not lose the chart's detail at its centre, and the tiles
// that cover the chart's bounds.
std::optional<TileGrid> tileGrid(const ChartRaster& raster, const ChartPlacement& placement) {
  const Projection webMercator = Projection::from("EPSG:3857");
  auto metres = [&](PixelPosition p) -> std::optional<std::complex<double>> {
    auto geo = placement.ToGeo(p);
    if (!geo) return std::nullopt;
    return webMercator.project(std::clamp(geo->latitude, -kWebMercatorLimit, kWebMercatorLimit),
                               geo->longitude);
  };
  const PixelPosition centre{raster.width / 2.0, raster.height / 2.0};
  auto c = metres(centre);
  auto right = metres({centre.column + 1, centre.row});
  auto down = metres({centre.column, centre.row + 1});
  if (!c || !right || !down) return std::nullopt;
  const double native = std::min(std::abs(*right - *c), std::abs(*down - *c));
  if (!(native > 0)) return std::nullopt;

  const GeoBounds b = chartBounds(raster, placement);
  auto low = webMercator.project(b.south, b.west);
  auto high = webMercator.project(b.north, b.east);
  if (!low || !high) return std::nullopt;
  const double west = b.west <= -180 ? -kHalfEquator : low->real();
  const double east = b.east >= 180 ? kHalfEquator : high->real();

  int zoom = std::clamp(
      static_cast<int>(std::ceil(std::log2(2 * kHalfEquator / (kTileSize * native)))), 0, 22);
  for (;; --zoom) {
    TileGrid g;
    g.zoom = zoom;
    g.resolution = 2 * kHalfEquator / (kTileSize * std::ldexp(1.0, zoom));
    const double tile = kTileSize * g.resolution;
    g.minX = -kHalfEquator + std::floor((west + kHalfEquator) / tile) * tile;
    g.maxX = -kHalfEquator + std::ceil((east + kHalfEquator) / tile) * tile;
    g.maxY = kHalfEquator - std::floor((kHalfEquator - high->imag()) / tile) * tile;
    g.minY = kHalfEquator - std::ceil((kHalfEquator - low->imag()) / tile) * tile;
    g.width = static_cast<int>(std::lround((g.maxX - g.minX) / g.resolution));
    g.height = static_cast<int>(std::lround((g.maxY - g.minY) / g.resolution));
    if (zoom == 0 || static_cast<double>(g.width) * g.height <= kMaxTilePixels) return g;
  }
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

std::string boundsText(const GeoBounds& b) {
  return number(b.west) + "," + number(b.south) + "," + number(b.east) + "," + number(b.north);
}

}  // namespace

FileStatus WriteGeoTiff(const ChartRaster& raster, const ChartGeoreference& georeference,
                        const ChartLabel& label, const std::string& path) {
  if (FileStatus s = checkRaster(raster, path); !s) return s;
  registerDrivers();
  QuietGdal quiet;
  Dataset source = memoryChart(raster, georeference, false);
  if (!source) return failure(path, QuietGdal::last());
  GDALSetMetadataItem(source.get(), "TIFFTAG_IMAGEDESCRIPTION", label.title.c_str(), nullptr);
  GDALSetMetadataItem(source.get(), "TIFFTAG_SOFTWARE", "TERN", nullptr);
  if (!label.stamp.empty())
    GDALSetMetadataItem(source.get(), kStampItem, label.stamp.c_str(), nullptr);

  TemporaryName temporary(path);
  if (!temporary.ok())
    return failure(path, "die Datei kann nicht angelegt werden", temporary.error());
  Options options;
  options.set("COMPRESS", "DEFLATE").set("TILED", "YES");
  Dataset copy(GDALCreateCopy(GDALGetDriverByName("GTiff"), temporary.name().c_str(), source.get(),
                              FALSE, options.get(), nullptr, nullptr));
  if (!copy) return failure(path, QuietGdal::last());
  copy.reset();  // GDAL writes the last blocks and the header on close
  if (CPLGetLastErrorType() >= CE_Failure) return failure(path, QuietGdal::last());
  return temporary.renameTo(path);
}

FileStatus WriteMbtiles(const ChartRaster& raster, const ChartGeoreference& georeference,
                        const ChartLabel& label, const std::string& path) {
  if (FileStatus s = checkRaster(raster, path); !s) return s;
  registerDrivers();
  QuietGdal quiet;
  const ChartPlacement placement(georeference);
  // The warp is made here rather than left to the tile writer, which takes the extent from
  // the chart's border alone and so cuts off the pole region of a polar chart.
  const std::optional<TileGrid> grid = tileGrid(raster, placement);
  if (!grid) return failure(path, "die Karte lässt sich nicht in Web-Mercator darstellen", EINVAL);
  Dataset source = memoryChart(raster, georeference, false);
  if (!source) return failure(path, QuietGdal::last());
  Dataset mercator = warped(source.get(), *grid);
  if (!mercator) return failure(path, QuietGdal::last());
  source.reset();

  TemporaryName temporary(path);
  if (!temporary.ok())
    return failure(path, "die Datei kann nicht angelegt werden", temporary.error());
  // The file is renamed into place only when whole, so SQLite's syncs buy nothing here.
  const ThreadConfig noSync("OGR_SQLITE_SYNCHRONOUS", "OFF");

  Options options;
  options.set("NAME", label.title)
      .set("DESCRIPTION", label.title)
      .set("TYPE", "overlay")
      .set("TILE_FORMAT", "PNG")
      .set("RESAMPLING", "NEAREST")  // the grid is the tiles' already
      .set("BOUNDS", boundsText(chartBounds(raster, placement)));
  Dataset tiles(GDALCreateCopy(GDALGetDriverByName("MBTiles"), temporary.name().c_str(),
                               mercator.get(), FALSE, options.get(), nullptr, nullptr));
  if (!tiles) return failure(path, QuietGdal::last());
  mercator.reset();
  // The copy's own handle cannot add zoom levels; the file opened again can.
  tiles.reset();
  const char* const drivers[] = {"MBTiles", nullptr};
  tiles.reset(GDALOpenEx(temporary.name().c_str(), GDAL_OF_RASTER | GDAL_OF_UPDATE, drivers,
                         nullptr, nullptr));
  if (!tiles) return failure(path, QuietGdal::last());
  // Two coarser zoom levels, so the chart still shows when the plotter zooms out.
  int factors[] = {2, 4};
  if (GDALBuildOverviews(tiles.get(), "AVERAGE", 2, factors, 0, nullptr, nullptr, nullptr) !=
      CE_None)
    return failure(path, QuietGdal::last());
  tiles.reset();
  if (!setLowestZoom(temporary.name(), grid->zoom - 2)) return failure(path, QuietGdal::last());
  if (CPLGetLastErrorType() >= CE_Failure) return failure(path, QuietGdal::last());
  return temporary.renameTo(path);
}

FileStatus WriteChartFiles(const ChartRaster& raster, const ChartGeoreference& georeference,
                           const ChartLabel& label, const std::string& base) {
  if (FileStatus s = WriteGeoTiff(raster, georeference, label, base + ".tif"); !s) return s;
  return WriteMbtiles(raster, georeference, label, base + ".mbtiles");
}

std::string ReadChartStamp(const std::string& path) {
  if (!fileExists(path)) return {};
  registerDrivers();
  QuietGdal quiet;
  const char* const drivers[] = {"GTiff", nullptr};
  Dataset dataset(
      GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, drivers, nullptr, nullptr));
  if (!dataset) return {};
  const char* stamp = GDALGetMetadataItem(dataset.get(), kStampItem, nullptr);
  return stamp != nullptr ? stamp : "";
}

}  // namespace tern
