#include "geo/chart_fit.h"

#include <cmath>
#include <complex>
#include <numbers>

#include "geo/projection.h"

namespace tern {

namespace {

using Complex = std::complex<double>;

constexpr double kDegree = std::numbers::pi / 180;

std::string number(double value) {
  // Shortest round trip, no locale: PROJ reads C numbers.
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.12g", value);
  return buffer;
}

std::string projDefinition(const Calibration& c, double centralMeridian) {
  const std::string tail = " +lon_0=" + number(centralMeridian) + " +datum=WGS84 +units=m +no_defs";
  switch (c.projection) {
    case ChartProjection::PolarNorth:
      return "+proj=stere +lat_0=90 +lat_ts=" + number(c.trueScaleLatitude) + tail;
    case ChartProjection::Mercator:
      return "+proj=merc" + tail;
    case ChartProjection::LatLon:
      return "+proj=eqc +lat_ts=0 +lat_0=0" + tail;
  }
  return {};
}

// The picture position in GDAL's pixel corner coordinates as a complex number with the row
// going down, so that a chart drawn north up fits without a mirror.
Complex pixelOf(double column, double row) { return {column + 0.5, -(row + 0.5)}; }

// w = alpha * z + beta
struct Similarity {
  Complex alpha;
  Complex beta;
};

Similarity leastSquares(const std::vector<Complex>& z, const std::vector<Complex>& w) {
  Complex zMean;
  Complex wMean;
  for (std::size_t k = 0; k < z.size(); ++k) {
    zMean += z[k];
    wMean += w[k];
  }
  zMean /= static_cast<double>(z.size());
  wMean /= static_cast<double>(z.size());
  Complex cross;
  double spread = 0;
  for (std::size_t k = 0; k < z.size(); ++k) {
    cross += std::conj(z[k] - zMean) * (w[k] - wMean);
    spread += std::norm(z[k] - zMean);
  }
  const Complex alpha = cross / spread;
  return {alpha, wMean - alpha * zMean};
}

// The middle of the points' longitudes, in whole degrees.
double centreLongitude(const std::vector<CalibrationPoint>& points) {
  double s = 0;
  double c = 0;
  for (const CalibrationPoint& p : points) {
    s += std::sin(p.longitude * kDegree);
    c += std::cos(p.longitude * kDegree);
  }
  return std::round(std::atan2(s, c) / kDegree);
}

double normalisedLongitude(double degrees) {
  double d = std::remainder(degrees, 360.0);
  return d == -180 ? 180 : d;
}

std::string pair(std::size_t i, std::size_t j) {
  return "Punkt " + std::to_string(i + 1) + " und Punkt " + std::to_string(j + 1);
}

struct Projected {
  std::vector<Complex> w;
  std::string error;
};

// PROJ answers even for the poles of a Mercator chart (with a clamped, absurd value), so
// the latitudes a chart of each projection can sensibly show are limited here.
bool shows(ChartProjection projection, double latitude) {
  switch (projection) {
    case ChartProjection::Mercator:
      return std::fabs(latitude) <= 85;
    case ChartProjection::PolarNorth:
      return latitude >= -30;
    case ChartProjection::LatLon:
      return true;
  }
  return false;
}

Projected projectPoints(const Projection& projection, const Calibration& c) {
  Projected result;
  for (std::size_t k = 0; k < c.points.size(); ++k) {
    const CalibrationPoint& p = c.points[k];
    auto w = shows(c.projection, p.latitude) ? projection.project(p.latitude, p.longitude)
                                             : std::nullopt;
    if (!w) {
      result.error =
          "Punkt " + std::to_string(k + 1) + " lässt sich in dieser Projektion nicht darstellen.";
      return result;
    }
    result.w.push_back(*w);
  }
  return result;
}

// What makes the points unusable before anything is projected; empty when nothing does.
std::string pointProblem(const Calibration& c) {
  if (std::string error = CalibrationRangeError(c); !error.empty()) return error;
  if (c.points.size() < 2) return "Mindestens zwei Punkte sind nötig.";
  for (std::size_t i = 0; i < c.points.size(); ++i) {
    for (std::size_t j = i + 1; j < c.points.size(); ++j) {
      const CalibrationPoint& a = c.points[i];
      const CalibrationPoint& b = c.points[j];
      if (std::hypot(a.column - b.column, a.row - b.row) < 1)
        return pair(i, j) + " liegen auf demselben Bildpunkt.";
    }
  }
  if (c.projection == ChartProjection::PolarNorth) {
    bool oneLatitude = true;
    for (const CalibrationPoint& p : c.points)
      oneLatitude = oneLatitude && p.latitude == c.points.front().latitude;
    if (oneLatitude)
      return "Alle Punkte liegen auf demselben Breitenkreis; eine Polarkarte braucht Punkte auf "
             "verschiedenen Breiten.";
  }
  return {};
}

// The same place of the earth twice (also the pole under two longitudes).
std::string samePlace(const std::vector<Complex>& w) {
  for (std::size_t i = 0; i < w.size(); ++i)
    for (std::size_t j = i + 1; j < w.size(); ++j)
      if (std::abs(w[i] - w[j]) < 1) return pair(i, j) + " bezeichnen dieselbe Stelle der Erde.";
  return {};
}

}  // namespace

ChartFit FitChart(const Calibration& c) {
  ChartFit fit;
  if (fit.error = pointProblem(c); !fit.error.empty()) return fit;

  std::vector<Complex> z;
  for (const CalibrationPoint& p : c.points) z.push_back(pixelOf(p.column, p.row));

  double centralMeridian =
      c.projection == ChartProjection::PolarNorth ? 0 : centreLongitude(c.points);
  std::optional<Projection> projection;
  Similarity s{};
  // A polar chart is fitted twice: the turn found first becomes the central meridian, and the
  // second fit then has (almost) no turn left.
  const int rounds = c.projection == ChartProjection::PolarNorth ? 2 : 1;
  for (int round = 0; round < rounds; ++round) {
    if (round > 0) centralMeridian = normalisedLongitude(std::arg(s.alpha) / kDegree);
    projection = Projection::from(projDefinition(c, centralMeridian));
    if (!projection->valid()) {
      fit.error = projection->error();
      return fit;
    }
    Projected w = projectPoints(*projection, c);
    if (!w.error.empty()) {
      fit.error = w.error;
      return fit;
    }
    if (fit.error = samePlace(w.w); !fit.error.empty()) return fit;
    s = leastSquares(z, w.w);
  }
  // Rounding leaves a turn of the order of 1e-16 after the central meridian took it; a
  // rotated pixel grid for nothing would only confuse other programs.
  double a = s.alpha.real();
  double b = s.alpha.imag();
  if (c.projection == ChartProjection::PolarNorth && std::fabs(b) < 1e-9 * std::fabs(a)) {
    a = std::abs(s.alpha);
    b = 0;
  }

  ChartGeoreference g;
  g.proj = projDefinition(c, centralMeridian);
  g.wkt = projection->wkt();
  g.geoTransform = {s.beta.real(), a, b, s.beta.imag(), b, -a};

  ChartPlacement placement(g);
  for (const CalibrationPoint& p : c.points) {
    auto pixel = placement.ToPixel({p.latitude, p.longitude});
    fit.residuals.push_back(pixel ? std::hypot(pixel->column - p.column, pixel->row - p.row)
                                  : INFINITY);
  }
  fit.georeference = std::move(g);
  return fit;
}

struct ChartPlacement::Transforms {
  Projection projection;
};

ChartPlacement::ChartPlacement(const ChartGeoreference& g)
    : transforms_(new Transforms{Projection::from(g.wkt)}), geoTransform_(g.geoTransform) {}

ChartPlacement::~ChartPlacement() = default;

bool ChartPlacement::valid() const {
  const auto& t = geoTransform_;
  return transforms_->projection.valid() && t[1] * t[5] - t[2] * t[4] != 0;
}

std::optional<GeoPosition> ChartPlacement::ToGeo(PixelPosition pixel) const {
  const auto& t = geoTransform_;
  const double column = pixel.column + 0.5;
  const double row = pixel.row + 0.5;
  return transforms_->projection.unproject(
      {t[0] + column * t[1] + row * t[2], t[3] + column * t[4] + row * t[5]});
}

std::optional<PixelPosition> ChartPlacement::ToPixel(GeoPosition position) const {
  if (!valid()) return std::nullopt;
  auto w = transforms_->projection.project(position.latitude, position.longitude);
  if (!w) return std::nullopt;
  const auto& t = geoTransform_;
  const double dx = w->real() - t[0];
  const double dy = w->imag() - t[3];
  const double det = t[1] * t[5] - t[2] * t[4];
  const double column = (t[5] * dx - t[2] * dy) / det;
  const double row = (t[1] * dy - t[4] * dx) / det;
  return PixelPosition{column - 0.5, row - 0.5};
}

}  // namespace tern
