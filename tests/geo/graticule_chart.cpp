#include "geo/graticule_chart.h"

#include <ogr_srs_api.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "fakes/fax_encoder.h"

namespace tern::testing {

namespace {

constexpr double kStep = 10;
constexpr int kMargin = 20;

struct Layout {
  std::string proj;
  std::array<double, 6> transform;  // pixel corner coordinates to the projected plane
  double south, north;              // graticule extent drawn
};

// Projects longitude/latitude pairs in place into the chart's plane.
void project(const std::string& proj, std::vector<double>& x, std::vector<double>& y,
             std::vector<int>& ok) {
  OGRSpatialReferenceH wgs84 = OSRNewSpatialReference(nullptr);
  OSRSetWellKnownGeogCS(wgs84, "WGS84");
  OSRSetAxisMappingStrategy(wgs84, OAMS_TRADITIONAL_GIS_ORDER);
  OGRSpatialReferenceH chart = OSRNewSpatialReference(nullptr);
  if (OSRImportFromProj4(chart, proj.c_str()) != OGRERR_NONE) throw std::runtime_error(proj);
  OSRSetAxisMappingStrategy(chart, OAMS_TRADITIONAL_GIS_ORDER);
  OGRCoordinateTransformationH t = OCTNewCoordinateTransformation(wgs84, chart);
  ok.assign(x.size(), 0);
  OCTTransformEx(t, static_cast<int>(x.size()), x.data(), y.data(), nullptr, ok.data());
  OCTDestroyCoordinateTransformation(t);
  OSRRelease(chart);
  OSRRelease(wgs84);
}

GraticuleChart draw(const std::string& name, ChartProjection projection, int width, int height,
                    const Layout& layout) {
  GraticuleChart chart;
  chart.name = name;
  chart.projection = projection;
  chart.width = width;
  chart.height = height;
  chart.black.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  const auto& t = layout.transform;
  const double det = t[1] * t[5] - t[2] * t[4];
  auto toPixel = [&](double x, double y, double& column, double& row) {
    const double dx = x - t[0];
    const double dy = y - t[3];
    column = (t[5] * dx - t[2] * dy) / det - 0.5;
    row = (t[1] * dy - t[4] * dx) / det - 0.5;
  };

  // Dense points along every parallel and meridian, each drawn as a 3 x 3 dot.
  std::vector<double> lon;
  std::vector<double> lat;
  constexpr double kDense = 0.01;
  for (double phi = std::ceil(layout.south / kStep) * kStep; phi <= layout.north; phi += kStep)
    for (double lambda = -180; lambda < 180; lambda += kDense) {
      lon.push_back(lambda);
      lat.push_back(phi);
    }
  for (double lambda = -180; lambda < 180; lambda += kStep)
    for (double phi = layout.south; phi <= layout.north; phi += kDense) {
      lon.push_back(lambda);
      lat.push_back(phi);
    }
  std::vector<int> ok;
  project(layout.proj, lon, lat, ok);
  for (std::size_t k = 0; k < lon.size(); ++k) {
    if (!ok[k]) continue;
    double column = 0;
    double row = 0;
    toPixel(lon[k], lat[k], column, row);
    const long c = std::lround(column);
    const long r = std::lround(row);
    for (long dr = -1; dr <= 1; ++dr)
      for (long dc = -1; dc <= 1; ++dc)
        if (c + dc >= 0 && c + dc < width && r + dr >= 0 && r + dr < height)
          chart.black[static_cast<std::size_t>((r + dr) * width + c + dc)] = 1;
  }

  std::vector<double> cx;
  std::vector<double> cy;
  for (double phi = std::ceil(layout.south / kStep) * kStep; phi < 90; phi += kStep)
    for (double lambda = -180; lambda < 180; lambda += kStep) {
      cx.push_back(lambda);
      cy.push_back(phi);
    }
  std::vector<double> px = cx;
  std::vector<double> py = cy;
  project(layout.proj, px, py, ok);
  for (std::size_t k = 0; k < cx.size(); ++k) {
    double column = 0;
    double row = 0;
    toPixel(px[k], py[k], column, row);
    if (ok[k] && column >= kMargin && column <= width - 1 - kMargin && row >= kMargin &&
        row <= height - 1 - kMargin)
      chart.crossings.push_back({cy[k], cx[k], column, row});
  }
  return chart;
}

}  // namespace

const GraticuleCrossing& GraticuleChart::crossing(double latitude, double longitude) const {
  for (const GraticuleCrossing& c : crossings)
    if (c.latitude == latitude && c.longitude == longitude) return c;
  throw std::out_of_range(name + ": no crossing there");
}

Calibration GraticuleChart::calibrate(const std::vector<std::array<double, 2>>& latLon) const {
  Calibration c;
  c.projection = projection;
  for (const auto& [latitude, longitude] : latLon) {
    const GraticuleCrossing& x = crossing(latitude, longitude);
    c.points.push_back({std::round(x.column), std::round(x.row), latitude, longitude});
  }
  return c;
}

ChartRaster GraticuleChart::raster() const {
  ChartRaster r{width, height, {}};
  r.grey.reserve(black.size());
  for (std::uint8_t b : black) r.grey.push_back(b ? 0 : 255);
  return r;
}

Bytes GraticuleChart::faxData() const {
  // One line more than the chart: the decoder lays out a line only when data follow it.
  constexpr std::size_t kLineBits = 1800;
  Bytes buffer(static_cast<std::size_t>(height + 1) * kLineBits / 8, 0);
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width && c < static_cast<int>(kLineBits); ++c)
      if (black[static_cast<std::size_t>(r * width + c)])
        setBit(buffer, static_cast<std::size_t>(r) * kLineBits + static_cast<std::size_t>(c));
  return encodeBuffer(buffer);
}

const GraticuleChart& PolarChart() {
  constexpr double kPixel = 5000;
  static const GraticuleChart chart =
      draw("polar", ChartProjection::PolarNorth, 1800, 2400,
           {"+proj=stere +lat_0=90 +lat_ts=60 +lon_0=-10 +datum=WGS84 +units=m +no_defs",
            {-1000.5 * kPixel, kPixel, 0, 350.5 * kPixel, 0, -kPixel},
            20,
            89.9});
  return chart;
}

const GraticuleChart& MercatorChart() {
  constexpr double kPixel = 6200;
  static const GraticuleChart chart = draw("mercator", ChartProjection::Mercator, 1800, 2400,
                                           {"+proj=merc +lon_0=0 +datum=WGS84 +units=m +no_defs",
                                            {-8950000, kPixel, 0, 11700000, 0, -kPixel},
                                            -30,
                                            75});
  return chart;
}

const GraticuleChart& LatLonChart() {
  constexpr double kPixel = 0.05;
  static const GraticuleChart chart =
      draw("latlon", ChartProjection::LatLon, 1800, 2000,
           {"+proj=longlat +datum=WGS84 +no_defs", {-75, kPixel, 0, 75, 0, -kPixel}, -30, 80});
  return chart;
}

double ArcDegrees(double lat1, double lon1, double lat2, double lon2) {
  constexpr double d = std::numbers::pi / 180;
  const double s = std::sin((lat2 - lat1) * d / 2);
  const double t = std::sin((lon2 - lon1) * d / 2);
  const double h = s * s + std::cos(lat1 * d) * std::cos(lat2 * d) * t * t;
  return 2 * std::asin(std::min(1.0, std::sqrt(h))) / d;
}

}  // namespace tern::testing
