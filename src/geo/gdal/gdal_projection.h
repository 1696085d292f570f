// A coordinate system of PROJ through GDAL's spatial reference API: the map module's
// ProjectionEngine.
#pragma once

#include <ogr_srs_api.h>

#include <memory>

#include "geo/geo_engine.h"

namespace tern {

// Thread: one thread at a time per object.
class OsrProjection final : public ProjectionEngine {
 public:
  // nullptr when `definition` cannot be read or PROJ offers no transform.
  static std::unique_ptr<OsrProjection> from(const std::string& definition);
  ~OsrProjection() override;
  OsrProjection(const OsrProjection&) = delete;
  OsrProjection& operator=(const OsrProjection&) = delete;

  std::optional<std::complex<double>> project(double latitude, double longitude) const override;
  std::optional<GeoPosition> unproject(std::complex<double> w) const override;
  std::string wkt() const override;

 private:
  OsrProjection() = default;
  static std::unique_ptr<OsrProjection> make(const std::string& definition);

  OGRSpatialReferenceH chart_ = nullptr;
  OGRSpatialReferenceH wgs84_ = nullptr;
  OGRCoordinateTransformationH toChart_ = nullptr;
  OGRCoordinateTransformationH toGeo_ = nullptr;
};

}  // namespace tern
