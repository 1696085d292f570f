// The map module's entry: the only symbol it exports.
#include "geo/gdal/gdal_chart_files.h"
#include "geo/gdal/gdal_projection.h"

namespace tern {
namespace {

class GdalEngine final : public GeoEngine {
 public:
  std::unique_ptr<ProjectionEngine> projection(const std::string& definition) const override {
    return OsrProjection::from(definition);
  }
  std::string writeGeoTiff(const ChartRaster& raster, const ChartGeoreference& georeference,
                           const ChartLabel& label, const std::string& file) const override {
    return GdalWriteGeoTiff(raster, georeference, label, file);
  }
  std::string writeMbtiles(const ChartRaster& raster, const ChartGeoreference& georeference,
                           const TileGrid& grid, const TileMetadata& metadata,
                           const std::string& file) const override {
    return GdalWriteMbtiles(raster, georeference, grid, metadata, file);
  }
  std::string readStamp(const std::string& path) const override { return GdalReadStamp(path); }
};

}  // namespace
}  // namespace tern

extern "C" __attribute__((visibility("default"))) const void* tern_geo_engine(int version) {
  static const tern::GdalEngine engine;
  return version == tern::kGeoEngineVersion ? static_cast<const tern::GeoEngine*>(&engine)
                                            : nullptr;
}
