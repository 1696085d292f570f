// What the map module does for src/geo: the coordinate systems of PROJ and the chart files
// of GDAL behind an interface without their headers. GDAL and PROJ bring about a hundred
// shared libraries; linked into the programs they would load at every start, also for
// `tern-cli version` or a dump. So they live in the module "tern-geo.so" beside the
// executable, which GeoEngineLoad (geo/geo_engine_loader.h) opens on first use.
//
// Everything that is reasoning about charts (the fit, the tile grid, temporary names and
// renames) stays in src/geo; the module only reads and writes through GDAL and PROJ.
// Module and programs are built from one tree by one compiler, so C++ types pass between
// them; kGeoEngineVersion keeps a module of another build from being used.
#pragma once

#include <complex>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "geo/chart_fit.h"
#include "geo/chart_writer.h"

namespace tern {

// Raised whenever a type or a function of this interface changes.
inline constexpr int kGeoEngineVersion = 2;
// The module's one exported function: `const void* tern_geo_engine(int version)`, the
// GeoEngine, or nullptr when `version` is not the module's own.
inline constexpr const char* kGeoEngineEntry = "tern_geo_engine";
inline constexpr const char* kGeoModuleName = "tern-geo.so";

// One coordinate system with its transforms to and from WGS84 latitude and longitude.
// Thread: one thread at a time per object.
class ProjectionEngine {
 public:
  virtual ~ProjectionEngine() = default;
  // The projected position as x + iy; nothing when PROJ cannot place it.
  virtual std::optional<std::complex<double>> project(double latitude, double longitude) const = 0;
  virtual std::optional<GeoPosition> unproject(std::complex<double> w) const = 0;
  virtual std::string wkt() const = 0;
};

// The Web Mercator tiles an MBTiles file holds: zoom level z has 256 * 2^z pixels around
// the equator. The finest level `zoom` is warped onto the grid; the levels down to `minZoom`
// are made from it.
struct TileGrid {
  double minX = 0, minY = 0, maxX = 0, maxY = 0;  // metres of EPSG:3857, on tile edges
  int zoom = 0;
  int minZoom = 0;
  double resolution = 0;
  int width = 0;
  int height = 0;
};

// The rows of an MBTiles file's metadata table, name and value, in order.
using TileMetadata = std::vector<std::pair<std::string, std::string>>;

// Thread: any; the module keeps no state between calls but GDAL's own, which is safe for
// calls on different threads.
class GeoEngine {
 public:
  virtual ~GeoEngine() = default;
  // From a PROJ definition, "EPSG:n" or WKT; nullptr when it cannot be read.
  virtual std::unique_ptr<ProjectionEngine> projection(const std::string& definition) const = 0;
  // Each writer fills the existing file `file` (a temporary name the caller renames; the
  // MBTiles writer replaces it, as GDAL's SQLite driver makes only new files) and returns
  // GDAL's reason when it fails, empty on success. The raster is checked already.
  virtual std::string writeGeoTiff(const ChartRaster& raster, const ChartGeoreference& georeference,
                                   const ChartLabel& label, const std::string& file) const = 0;
  // The chart warped onto `grid`, its zoom levels down to grid.minZoom written as PNG tiles
  // (those wholly transparent left out) with `metadata`, all in one SQLite transaction. Any
  // tile, row or commit that fails makes the whole write fail.
  virtual std::string writeMbtiles(const ChartRaster& raster, const ChartGeoreference& georeference,
                                   const TileGrid& grid, const TileMetadata& metadata,
                                   const std::string& file) const = 0;
  // The stamp written with a GeoTIFF; empty when there is none or the file is unreadable.
  virtual std::string readStamp(const std::string& path) const = 0;
};

}  // namespace tern
