#include "geo/gdal/gdal_projection.h"

#include <cpl_conv.h>
#include <cpl_error.h>

#include <cmath>

namespace tern {

std::unique_ptr<OsrProjection> OsrProjection::from(const std::string& definition) {
  // An unreadable definition is the caller's to report, not GDAL's to print on stderr.
  CPLPushErrorHandler(CPLQuietErrorHandler);
  std::unique_ptr<OsrProjection> p = make(definition);
  CPLPopErrorHandler();
  return p;
}

std::unique_ptr<OsrProjection> OsrProjection::make(const std::string& definition) {
  std::unique_ptr<OsrProjection> p(new OsrProjection);
  p->chart_ = OSRNewSpatialReference(nullptr);
  if (OSRSetFromUserInput(p->chart_, definition.c_str()) != OGRERR_NONE) return nullptr;
  // Longitude first, as x, whatever the authority's axis order.
  OSRSetAxisMappingStrategy(p->chart_, OAMS_TRADITIONAL_GIS_ORDER);
  p->wgs84_ = OSRNewSpatialReference(nullptr);
  OSRSetWellKnownGeogCS(p->wgs84_, "WGS84");
  OSRSetAxisMappingStrategy(p->wgs84_, OAMS_TRADITIONAL_GIS_ORDER);
  p->toChart_ = OCTNewCoordinateTransformation(p->wgs84_, p->chart_);
  p->toGeo_ = OCTNewCoordinateTransformation(p->chart_, p->wgs84_);
  if (p->toChart_ == nullptr || p->toGeo_ == nullptr) return nullptr;
  return p;
}

OsrProjection::~OsrProjection() {
  if (toChart_ != nullptr) OCTDestroyCoordinateTransformation(toChart_);
  if (toGeo_ != nullptr) OCTDestroyCoordinateTransformation(toGeo_);
  if (wgs84_ != nullptr) OSRRelease(wgs84_);
  if (chart_ != nullptr) OSRRelease(chart_);
}

std::optional<std::complex<double>> OsrProjection::project(double latitude,
                                                           double longitude) const {
  double x = longitude;
  double y = latitude;
  if (!OCTTransform(toChart_, 1, &x, &y, nullptr) || !std::isfinite(x) || !std::isfinite(y))
    return std::nullopt;
  return std::complex<double>(x, y);
}

std::optional<GeoPosition> OsrProjection::unproject(std::complex<double> w) const {
  double x = w.real();
  double y = w.imag();
  if (!OCTTransform(toGeo_, 1, &x, &y, nullptr) || !std::isfinite(x) || !std::isfinite(y))
    return std::nullopt;
  return GeoPosition{y, x};
}

std::string OsrProjection::wkt() const {
  char* text = nullptr;
  std::string result;
  if (OSRExportToWkt(chart_, &text) == OGRERR_NONE && text != nullptr) result = text;
  CPLFree(text);
  return result;
}

}  // namespace tern
