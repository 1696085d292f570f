#include "geo/projection.h"

#include "geo/geo_engine_loader.h"

namespace tern {

Projection Projection::from(const std::string& definition) {
  Projection p;
  const GeoEngineLoad& load = SharedGeoEngine();
  if (load.engine == nullptr) {
    p.error_ = load.error;
    return p;
  }
  p.engine_ = load.engine->projection(definition);
  if (p.engine_ == nullptr) p.error_ = "Die Projektion ist nicht verfügbar (PROJ).";
  return p;
}

std::optional<std::complex<double>> Projection::project(double latitude, double longitude) const {
  if (!valid()) return std::nullopt;
  return engine_->project(latitude, longitude);
}

std::optional<GeoPosition> Projection::unproject(std::complex<double> w) const {
  if (!valid()) return std::nullopt;
  return engine_->unproject(w);
}

std::string Projection::wkt() const { return valid() ? engine_->wkt() : std::string(); }

}  // namespace tern
