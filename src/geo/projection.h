// A coordinate system from PROJ with its transforms to and from WGS84 latitude and
// longitude, through the map module (geo/geo_engine.h), which is opened by the first one.
#pragma once

#include <complex>
#include <memory>
#include <optional>
#include <string>

#include "geo/chart_fit.h"
#include "geo/geo_engine.h"

namespace tern {

// Thread: one thread at a time per object.
class Projection {
 public:
  // From a PROJ definition, "EPSG:n" or WKT; valid() tells whether it could be read.
  static Projection from(const std::string& definition);

  bool valid() const { return engine_ != nullptr; }
  // German, why the projection is not valid: the map module missing or the definition.
  const std::string& error() const { return error_; }
  // The projected position as x + iy; nothing when PROJ cannot place it.
  std::optional<std::complex<double>> project(double latitude, double longitude) const;
  std::optional<GeoPosition> unproject(std::complex<double> w) const;
  std::string wkt() const;

 private:
  std::unique_ptr<ProjectionEngine> engine_;
  std::string error_;
};

}  // namespace tern
