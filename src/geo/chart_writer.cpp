#include "geo/chart_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <optional>

#include "geo/geo_engine_loader.h"
#include "geo/projection.h"
#include "geo/tile_pyramid.h"

namespace tern {

namespace {

constexpr double kWebMercatorLimit = 85.0511287798;

FileStatus failure(const std::string& path, const std::string& reason, int error = EIO) {
  return FileStatus::failure(error,
                             "Die Karte " + path + " kann nicht geschrieben werden: " + reason);
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

constexpr double kHalfEquator = kWebMercatorHalfEquator;
// A warped chart larger than this gets a coarser zoom level (two bytes a pixel in memory).
constexpr double kMaxTilePixels = 64.0 * 1024 * 1024;
// The coarsest zoom level still shows the chart this many pixels on its longer side.
constexpr double kMinChartPixels = kTileSize / 2.0;

double levelResolution(int zoom) { return 2 * kHalfEquator / (kTileSize * std::ldexp(1.0, zoom)); }

// The zoom level GDAL's tile writer would choose for the chart: GDAL suggests a resolution
// for the warp (the diagonal between the warped top-left and bottom-right corners over the
// pixel diagonal, or the warped extent's diagonal when the corners give nothing) and takes
// the level whose resolution is nearest to it in ratio.
int finestZoom(const ChartRaster& raster, const ChartPlacement& placement,
               const Projection& webMercator, double extentDiagonal) {
  auto metres = [&](PixelPosition p) -> std::optional<std::complex<double>> {
    auto geo = placement.ToGeo(p);
    if (!geo) return std::nullopt;
    return webMercator.project(geo->latitude, geo->longitude);
  };
  // Pixel corners: the centre of pixel 0 is at 0.
  const auto topLeft = metres({-0.5, -0.5});
  const auto bottomRight = metres({raster.width - 0.5, raster.height - 0.5});
  std::complex<double> delta;
  if (topLeft && bottomRight) delta = *bottomRight - *topLeft;
  const double diagonal = delta.real() != 0 && delta.imag() != 0 && std::isfinite(std::abs(delta))
                              ? std::abs(delta)
                              : extentDiagonal;
  const double resolution = diagonal / std::hypot(raster.width, raster.height);
  if (!(resolution > 0)) return -1;
  int zoom = 0;
  while (zoom < 22 && levelResolution(zoom) >= resolution) ++zoom;
  if (zoom > 0 && levelResolution(zoom - 1) / resolution < resolution / levelResolution(zoom))
    --zoom;
  return zoom;
}

// The finest zoom level, the coarsest worth writing, and the tiles that cover the chart's
// bounds.
std::optional<TileGrid> tileGrid(const ChartRaster& raster, const ChartPlacement& placement,
                                 const GeoBounds& b) {
  const Projection webMercator = Projection::from("EPSG:3857");
  auto low = webMercator.project(b.south, b.west);
  auto high = webMercator.project(b.north, b.east);
  if (!low || !high) return std::nullopt;
  const double west = b.west <= -180 ? -kHalfEquator : low->real();
  const double east = b.east >= 180 ? kHalfEquator : high->real();
  const double longerSide = std::max(east - west, high->imag() - low->imag());
  if (!(longerSide > 0)) return std::nullopt;

  int zoom = finestZoom(raster, placement, webMercator,
                        std::hypot(east - west, high->imag() - low->imag()));
  if (zoom < 0) return std::nullopt;
  for (;; --zoom) {
    TileGrid g;
    g.zoom = zoom;
    g.resolution = levelResolution(zoom);
    const double tile = kTileSize * g.resolution;
    g.minX = -kHalfEquator + std::floor((west + kHalfEquator) / tile) * tile;
    g.maxX = -kHalfEquator + std::ceil((east + kHalfEquator) / tile) * tile;
    g.maxY = kHalfEquator - std::floor((kHalfEquator - high->imag()) / tile) * tile;
    g.minY = kHalfEquator - std::ceil((kHalfEquator - low->imag()) / tile) * tile;
    g.width = static_cast<int>(std::lround((g.maxX - g.minX) / g.resolution));
    g.height = static_cast<int>(std::lround((g.maxY - g.minY) / g.resolution));
    if (zoom == 0 || static_cast<double>(g.width) * g.height <= kMaxTilePixels) {
      g.minZoom = 0;
      while (g.minZoom < zoom && longerSide / levelResolution(g.minZoom) < kMinChartPixels)
        ++g.minZoom;
      return g;
    }
  }
}

std::string boundsText(const GeoBounds& b) {
  return number(b.west) + "," + number(b.south) + "," + number(b.east) + "," + number(b.north);
}

// The metadata MBTiles readers use: what the chart is, where, and its zoom levels. The
// default view is the bounds' middle one level above the coarsest, where the whole chart is
// some hundreds of pixels.
TileMetadata tileMetadata(const ChartLabel& label, const GeoBounds& b, const TileGrid& grid) {
  const int viewZoom = std::min(grid.minZoom + 1, grid.zoom);
  TileMetadata m = {
      {"name", label.name},
      {"type", "overlay"},
      {"version", "1"},
      {"description", label.description.empty() ? label.name : label.description},
      {"format", "png"},
      {"bounds", boundsText(b)},
      {"center", number((b.west + b.east) / 2) + "," + number((b.south + b.north) / 2) + "," +
                     std::to_string(viewZoom)},
      {"minzoom", std::to_string(grid.minZoom)},
      {"maxzoom", std::to_string(grid.zoom)},
  };
  if (!label.attribution.empty()) m.emplace_back("attribution", label.attribution);
  return m;
}

// What the module's writer returned, for the file at `path`.
FileStatus written(TemporaryName& temporary, const std::string& path, const std::string& error) {
  if (!error.empty()) return failure(path, error);
  return temporary.renameTo(path);
}

}  // namespace

FileStatus WriteGeoTiff(const ChartRaster& raster, const ChartGeoreference& georeference,
                        const ChartLabel& label, const std::string& path) {
  if (FileStatus s = checkRaster(raster, path); !s) return s;
  const GeoEngineLoad& geo = SharedGeoEngine();
  if (geo.engine == nullptr) return failure(path, geo.error, ENOENT);
  TemporaryName temporary(path);
  if (!temporary.ok())
    return failure(path, "die Datei kann nicht angelegt werden", temporary.error());
  return written(temporary, path,
                 geo.engine->writeGeoTiff(raster, georeference, label, temporary.name()));
}

FileStatus WriteMbtiles(const ChartRaster& raster, const ChartGeoreference& georeference,
                        const ChartLabel& label, const std::string& path) {
  if (FileStatus s = checkRaster(raster, path); !s) return s;
  const GeoEngineLoad& geo = SharedGeoEngine();
  if (geo.engine == nullptr) return failure(path, geo.error, ENOENT);
  const ChartPlacement placement(georeference);
  const GeoBounds bounds = chartBounds(raster, placement);
  // The warp is made onto this grid rather than left to GDAL, which takes the extent from the
  // chart's border alone and so cuts off the pole region of a polar chart.
  const std::optional<TileGrid> grid = tileGrid(raster, placement, bounds);
  if (!grid) return failure(path, "die Karte lässt sich nicht in Web-Mercator darstellen", EINVAL);
  TemporaryName temporary(path);
  if (!temporary.ok())
    return failure(path, "die Datei kann nicht angelegt werden", temporary.error());
  return written(temporary, path,
                 geo.engine->writeMbtiles(raster, georeference, *grid,
                                          tileMetadata(label, bounds, *grid), temporary.name()));
}

FileStatus WriteChartFiles(const ChartRaster& raster, const ChartGeoreference& georeference,
                           const ChartLabel& label, const std::string& base) {
  if (FileStatus s = WriteMbtiles(raster, georeference, label, base + ".mbtiles"); !s) return s;
  FileStatus tiff = WriteGeoTiff(raster, georeference, label, base + ".tif");
  if (!tiff) std::remove((base + ".mbtiles").c_str());
  return tiff;
}

std::string ReadChartStamp(const std::string& path) {
  if (!fileExists(path)) return {};
  const GeoEngine* geo = SharedGeoEngine().engine;
  return geo != nullptr ? geo->readStamp(path) : std::string();
}

}  // namespace tern
