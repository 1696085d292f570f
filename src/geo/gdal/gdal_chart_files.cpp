#include "geo/gdal/gdal_chart_files.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal.h>
#include <gdal_utils.h>
#include <ogr_api.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <vector>

#include "geo/tile_pyramid.h"

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

// A 256 x 256 grey and alpha tile encoded as PNG through GDAL's PNG driver, in memory.
// Thread: one thread at a time per object.
class PngEncoder {
 public:
  PngEncoder() {
    GDALDriverH memory = GDALGetDriverByName("MEM");
    if (memory != nullptr)
      tile_.reset(GDALCreate(memory, "", kTileSize, kTileSize, 2, GDT_Byte, nullptr));
    if (tile_) {
      GDALSetRasterColorInterpretation(GDALGetRasterBand(tile_.get(), 1), GCI_GrayIndex);
      GDALSetRasterColorInterpretation(GDALGetRasterBand(tile_.get(), 2), GCI_AlphaBand);
    }
    static std::atomic<unsigned> instances{0};
    name_ = "/vsimem/tern_tile_" + std::to_string(instances++) + ".png";
  }
  ~PngEncoder() { VSIUnlink(name_.c_str()); }
  PngEncoder(const PngEncoder&) = delete;
  PngEncoder& operator=(const PngEncoder&) = delete;

  // The PNG file of the tile; false with GDAL's error raised when it cannot be made.
  bool encode(const std::uint8_t* grey, const std::uint8_t* alpha, std::vector<GByte>& png) {
    if (!tile_) return false;
    for (int band = 1; band <= 2; ++band)
      if (GDALRasterIO(GDALGetRasterBand(tile_.get(), band), GF_Write, 0, 0, kTileSize, kTileSize,
                       const_cast<std::uint8_t*>(band == 1 ? grey : alpha), kTileSize, kTileSize,
                       GDT_Byte, 0, 0) != CE_None)
        return false;
    Dataset file(GDALCreateCopy(GDALGetDriverByName("PNG"), name_.c_str(), tile_.get(), FALSE,
                                nullptr, nullptr, nullptr));
    if (!file) return false;
    file.reset();
    if (CPLGetLastErrorType() >= CE_Failure) return false;
    vsi_l_offset length = 0;
    GByte* bytes = VSIGetMemFileBuffer(name_.c_str(), &length, FALSE);
    if (bytes == nullptr || length == 0) return false;
    png.assign(bytes, bytes + length);
    return true;
  }

 private:
  Dataset tile_;
  std::string name_;
};

// An MBTiles file written through GDAL's SQLite driver: the two tables of the format, then
// every tile and metadata row in one transaction. A failed insert or commit (a full disk, a
// file size limit) is the write's failure; nothing is taken as written until the commit.
// Thread: one thread at a time per object.
class TileDatabase {
 public:
  // The caller's empty placeholder is replaced: the driver creates only files that do not
  // exist yet. The name stays the caller's, who removes it on failure.
  std::string create(const std::string& file) {
    VSIUnlink(file.c_str());
    Options options;
    options.set("METADATA", "NO");
    Dataset created(GDALCreate(GDALGetDriverByName("SQLite"), file.c_str(), 0, 0, 0, GDT_Unknown,
                               options.get()));
    if (!created) return QuietGdal::last();
    for (const char* sql :
         {"CREATE TABLE metadata (name text, value text)",
          "CREATE TABLE tiles (zoom_level integer, tile_column integer, tile_row integer, "
          "tile_data blob)",
          "CREATE UNIQUE INDEX tile_index ON tiles (zoom_level, tile_column, tile_row)"}) {
      CPLErrorReset();
      GDALDatasetReleaseResultSet(created.get(),
                                  GDALDatasetExecuteSQL(created.get(), sql, nullptr, nullptr));
      if (CPLGetLastErrorType() >= CE_Failure) return QuietGdal::last();
    }
    created.reset();
    if (CPLGetLastErrorType() >= CE_Failure) return QuietGdal::last();
    // Opened again, the driver sees the tables as layers to add features to.
    const char* const drivers[] = {"SQLite", nullptr};
    database_.reset(
        GDALOpenEx(file.c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE, drivers, nullptr, nullptr));
    if (!database_) return QuietGdal::last();
    tiles_ = GDALDatasetGetLayerByName(database_.get(), "tiles");
    metadata_ = GDALDatasetGetLayerByName(database_.get(), "metadata");
    if (tiles_ == nullptr || metadata_ == nullptr) return "Die Tabellen fehlen in " + file;
    if (GDALDatasetStartTransaction(database_.get(), FALSE) != OGRERR_NONE)
      return QuietGdal::last();
    return {};
  }

  // `row` counted from the south, as MBTiles does.
  std::string addTile(int zoom, std::int64_t column, std::int64_t row,
                      const std::vector<GByte>& png) {
    Feature f(tiles_);
    if (!f) return QuietGdal::last();
    OGR_F_SetFieldInteger64(f.get(), 0, zoom);
    OGR_F_SetFieldInteger64(f.get(), 1, column);
    OGR_F_SetFieldInteger64(f.get(), 2, row);
    OGR_F_SetFieldBinary(f.get(), 3, static_cast<int>(png.size()), png.data());
    if (OGR_L_CreateFeature(tiles_, f.get()) != OGRERR_NONE) return QuietGdal::last();
    return {};
  }

  std::string addMetadata(const std::string& name, const std::string& value) {
    Feature f(metadata_);
    if (!f) return QuietGdal::last();
    OGR_F_SetFieldString(f.get(), 0, name.c_str());
    OGR_F_SetFieldString(f.get(), 1, value.c_str());
    if (OGR_L_CreateFeature(metadata_, f.get()) != OGRERR_NONE) return QuietGdal::last();
    return {};
  }

  std::string commit() {
    CPLErrorReset();
    if (GDALDatasetCommitTransaction(database_.get()) != OGRERR_NONE) return QuietGdal::last();
    database_.reset();
    return QuietGdal::failed();
  }

 private:
  // A new row of `layer`, freed with the object.
  class Feature {
   public:
    explicit Feature(OGRLayerH layer) : feature_(OGR_F_Create(OGR_L_GetLayerDefn(layer))) {}
    ~Feature() {
      if (feature_ != nullptr) OGR_F_Destroy(feature_);
    }
    Feature(const Feature&) = delete;
    Feature& operator=(const Feature&) = delete;
    explicit operator bool() const { return feature_ != nullptr; }
    OGRFeatureH get() const { return feature_; }

   private:
    OGRFeatureH feature_;
  };

  Dataset database_;
  OGRLayerH tiles_ = nullptr;
  OGRLayerH metadata_ = nullptr;
};

// The warped chart as the finest level of the tile set.
bool finestLevel(GDALDatasetH mercator, const TileGrid& grid, TileLevel& level) {
  level.zoom = grid.zoom;
  level.column = std::llround((grid.minX + kWebMercatorHalfEquator) / grid.resolution);
  level.row = std::llround((kWebMercatorHalfEquator - grid.maxY) / grid.resolution);
  level.width = grid.width;
  level.height = grid.height;
  const std::size_t size =
      static_cast<std::size_t>(grid.width) * static_cast<std::size_t>(grid.height);
  level.grey.resize(size);
  level.alpha.resize(size);
  for (int band = 1; band <= 2; ++band)
    if (GDALRasterIO(GDALGetRasterBand(mercator, band), GF_Read, 0, 0, grid.width, grid.height,
                     band == 1 ? level.grey.data() : level.alpha.data(), grid.width, grid.height,
                     GDT_Byte, 0, 0) != CE_None)
      return false;
  return true;
}

// Every tile of `level` that is not wholly transparent.
std::string writeLevel(const TileLevel& level, PngEncoder& encoder, TileDatabase& database) {
  std::vector<std::uint8_t> grey(kTilePixels);
  std::vector<std::uint8_t> alpha(kTilePixels);
  std::vector<GByte> png;
  const std::int64_t rows = std::int64_t{1} << level.zoom;
  for (std::int64_t ty = level.row / kTileSize; ty <= (level.row + level.height - 1) / kTileSize;
       ++ty)
    for (std::int64_t tx = level.column / kTileSize;
         tx <= (level.column + level.width - 1) / kTileSize; ++tx) {
      if (!CutTile(level, tx, ty, grey.data(), alpha.data())) continue;
      if (!encoder.encode(grey.data(), alpha.data(), png)) return QuietGdal::last();
      if (std::string e = database.addTile(level.zoom, tx, rows - 1 - ty, png); !e.empty())
        return e;
    }
  return {};
}

}  // namespace

std::string GdalWriteGeoTiff(const ChartRaster& raster, const ChartGeoreference& georeference,
                             const ChartLabel& label, const std::string& file) {
  QuietGdal quiet;
  Dataset source = memoryChart(raster, georeference, false);
  if (!source) return QuietGdal::last();
  GDALSetMetadataItem(source.get(), "TIFFTAG_DOCUMENTNAME", label.name.c_str(), nullptr);
  const std::string& description = label.description.empty() ? label.name : label.description;
  GDALSetMetadataItem(source.get(), "TIFFTAG_IMAGEDESCRIPTION", description.c_str(), nullptr);
  if (!label.attribution.empty())
    GDALSetMetadataItem(source.get(), "TIFFTAG_COPYRIGHT", label.attribution.c_str(), nullptr);
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
                             const TileGrid& grid, const TileMetadata& metadata,
                             const std::string& file) {
  QuietGdal quiet;
  TileLevel level;
  {
    Dataset source = memoryChart(raster, georeference, false);
    if (!source) return QuietGdal::last();
    Dataset mercator = warped(source.get(), grid);
    if (!mercator) return QuietGdal::last();
    if (!finestLevel(mercator.get(), grid, level)) return QuietGdal::last();
  }

  // The file is renamed into place only when whole, so SQLite's syncs buy nothing here.
  const ThreadConfig noSync("OGR_SQLITE_SYNCHRONOUS", "OFF");
  TileDatabase database;
  if (std::string e = database.create(file); !e.empty()) return e;
  PngEncoder encoder;
  for (;;) {
    if (std::string e = writeLevel(level, encoder, database); !e.empty()) return e;
    if (level.zoom <= grid.minZoom) break;
    level = HalvedLevel(level);
  }
  for (const auto& [name, value] : metadata)
    if (std::string e = database.addMetadata(name, value); !e.empty()) return e;
  return database.commit();
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
