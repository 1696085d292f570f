#include "geo/projection.h"

#include <cpl_conv.h>

#include <cmath>
#include <utility>

namespace tern {

Projection Projection::from(const std::string& definition) {
  Projection p;
  p.chart_ = OSRNewSpatialReference(nullptr);
  if (OSRSetFromUserInput(p.chart_, definition.c_str()) != OGRERR_NONE) return p;
  // Longitude first, as x, whatever the authority's axis order.
  OSRSetAxisMappingStrategy(p.chart_, OAMS_TRADITIONAL_GIS_ORDER);
  p.wgs84_ = OSRNewSpatialReference(nullptr);
  OSRSetWellKnownGeogCS(p.wgs84_, "WGS84");
  OSRSetAxisMappingStrategy(p.wgs84_, OAMS_TRADITIONAL_GIS_ORDER);
  p.toChart_ = OCTNewCoordinateTransformation(p.wgs84_, p.chart_);
  p.toGeo_ = OCTNewCoordinateTransformation(p.chart_, p.wgs84_);
  return p;
}

Projection::Projection(Projection&& other) noexcept { *this = std::move(other); }

Projection& Projection::operator=(Projection&& other) noexcept {
  std::swap(chart_, other.chart_);
  std::swap(wgs84_, other.wgs84_);
  std::swap(toChart_, other.toChart_);
  std::swap(toGeo_, other.toGeo_);
  return *this;
}

Projection::~Projection() {
  if (toChart_ != nullptr) OCTDestroyCoordinateTransformation(toChart_);
  if (toGeo_ != nullptr) OCTDestroyCoordinateTransformation(toGeo_);
  if (wgs84_ != nullptr) OSRRelease(wgs84_);
  if (chart_ != nullptr) OSRRelease(chart_);
}

std::optional<std::complex<double>> Projection::project(double latitude, double longitude) const {
  double x = longitude;
  double y = latitude;
  if (!valid() || !OCTTransform(toChart_, 1, &x, &y, nullptr) || !std::isfinite(x) ||
      !std::isfinite(y))
    return std::nullopt;
  return std::complex<double>(x, y);
}

std::optional<GeoPosition> Projection::unproject(std::complex<double> w) const {
  double x = w.real();
  double y = w.imag();
  if (!valid() || !OCTTransform(toGeo_, 1, &x, &y, nullptr) || !std::isfinite(x) ||
      !std::isfinite(y))
    return std::nullopt;
  return GeoPosition{y, x};
}

std::string Projection::wkt() const {
  char* text = nullptr;
  std::string result;
  if (chart_ != nullptr && OSRExportToWkt(chart_, &text) == OGRERR_NONE && text != nullptr)
    result = text;
  CPLFree(text);
  return result;
}

}  // namespace tern
