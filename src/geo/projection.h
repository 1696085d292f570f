// A coordinate system from PROJ (through GDAL's spatial reference API) with its transforms
// to and from WGS84 latitude and longitude. Included by the geo folder's sources only, the
// one place that sees GDAL's headers.
#pragma once

#include <ogr_srs_api.h>

#include <complex>
#include <optional>
#include <string>

#include "geo/chart_fit.h"

namespace tern {

// Thread: one thread at a time per object.
class Projection {
 public:
  // From a PROJ definition, "EPSG:n" or WKT; valid() tells whether it could be read.
  static Projection from(const std::string& definition);
  Projection(Projection&& other) noexcept;
  Projection& operator=(Projection&& other) noexcept;
  ~Projection();

  bool valid() const { return toChart_ != nullptr && toGeo_ != nullptr; }
  // The projected position as x + iy; nothing when PROJ cannot place it.
  std::optional<std::complex<double>> project(double latitude, double longitude) const;
  std::optional<GeoPosition> unproject(std::complex<double> w) const;
  std::string wkt() const;

 private:
  Projection() = default;

  OGRSpatialReferenceH chart_ = nullptr;
  OGRSpatialReferenceH wgs84_ = nullptr;
  OGRCoordinateTransformationH toChart_ = nullptr;
  OGRCoordinateTransformationH toGeo_ = nullptr;
};

}  // namespace tern
