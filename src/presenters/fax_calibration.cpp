#include "presenters/fax_calibration.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "presenters/fax_map.h"

namespace tern {

namespace {

// The German decimal comma in shown numbers.
std::string withComma(std::string text) {
  for (char& c : text)
    if (c == '.') c = ',';
  return text;
}

std::string fixed(double value, int decimals) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return withComma(buffer);
}

}  // namespace

std::optional<double> ParseDegrees(const std::string& text, bool latitude) {
  std::string s;
  for (char c : text)
    if (c != ' ' && c != '\t') s += c == ',' ? '.' : c;
  if (!s.empty() && static_cast<unsigned char>(s.back()) < 0x80 && std::isalpha(s.back())) {
    const char letter = static_cast<char>(std::toupper(s.back()));
    const std::string allowed = latitude ? "NS" : "EOW";
    if (allowed.find(letter) == std::string::npos) return std::nullopt;
    s.pop_back();
    // "°" before the letter is UTF-8 C2 B0.
    if (s.size() >= 2 && s.compare(s.size() - 2, 2, "\xC2\xB0") == 0) s.resize(s.size() - 2);
    if (s.empty() || s.front() == '-' || s.front() == '+') return std::nullopt;
    s.insert(0, (letter == 'S' || letter == 'W') ? "-" : "");
  } else if (s.size() >= 2 && s.compare(s.size() - 2, 2, "\xC2\xB0") == 0) {
    s.resize(s.size() - 2);
  }
  if (!s.empty() && s.front() == '+') s.erase(0, 1);
  double value = 0;
  const char* end = s.data() + s.size();
  auto [ptr, ec] = std::from_chars(s.data(), end, value);
  if (s.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  if (std::fabs(value) > (latitude ? 90 : 180)) return std::nullopt;
  return value;
}

std::string FormatDegrees(double value, bool latitude) {
  const char* hemisphere = latitude ? (value < 0 ? "S" : "N") : (value < 0 ? "W" : "O");
  return fixed(std::fabs(value), 3) + "\xC2\xB0 " + hemisphere;
}

std::string ResidualLine(std::size_t index, double residual) {
  std::string line =
      "Punkt " + std::to_string(index + 1) + ": Abweichung " + fixed(residual, 2) + " px";
  if (residual > kResidualLimitPixels) line += " (mehr als 5 px: bitte prüfen)";
  return line;
}

FaxCalibration::FaxCalibration(CalibrationStore store) : store_(std::move(store)) {}

std::string FaxCalibration::Begin(int station, const std::string& keyText) {
  active_ = true;
  station_ = FaxStationName(station);
  row_ = FaxRowName(keyText);
  points_.clear();
  projection_ = ChartProjection::Mercator;
  trueScale_ = kDefaultTrueScaleLatitude;
  const CalibrationLoad load = store_.Load(station_, row_);
  saved_ = load.calibration.has_value();
  if (load.calibration) {
    projection_ = load.calibration->projection;
    trueScale_ = load.calibration->trueScaleLatitude;
    for (const CalibrationPoint& p : load.calibration->points)
      points_.push_back({{p.column, p.row}, GeoPosition{p.latitude, p.longitude}, {}, false});
  }
  refit();
  return load.error;
}

void FaxCalibration::End() {
  active_ = false;
  points_.clear();
}

void FaxCalibration::SetProjection(ChartProjection projection) {
  projection_ = projection;
  refit();
}

std::string FaxCalibration::SetTrueScaleLatitude(double latitude) {
  if (!(latitude > 0 && latitude <= 90))
    return "Die Breite wahrer Länge muss über 0° und höchstens 90° liegen.";
  trueScale_ = latitude;
  refit();
  return {};
}

std::size_t FaxCalibration::AddPoint(PixelPosition pixel) {
  points_.push_back({pixel, std::nullopt, std::nullopt, false});
  refit();
  return points_.size() - 1;
}

void FaxCalibration::RemovePoint(std::size_t index) {
  if (index >= points_.size()) return;
  points_.erase(points_.begin() + static_cast<std::ptrdiff_t>(index));
  refit();
}

std::string FaxCalibration::SetPlace(std::size_t index, const std::string& latitude,
                                     const std::string& longitude) {
  if (index >= points_.size()) return {};
  const std::optional<double> lat = ParseDegrees(latitude, true);
  if (!lat)
    return "Punkt " + std::to_string(index + 1) + ": \"" + latitude +
           "\" ist keine Breite (Grad mit Komma, -90 bis 90, Süden negativ oder mit S).";
  const std::optional<double> lon = ParseDegrees(longitude, false);
  if (!lon)
    return "Punkt " + std::to_string(index + 1) + ": \"" + longitude +
           "\" ist keine Länge (Grad mit Komma, -180 bis 180, Westen negativ oder mit W).";
  points_[index].place = GeoPosition{*lat, *lon};
  refit();
  return {};
}

Calibration FaxCalibration::Current() const {
  Calibration c;
  c.projection = projection_;
  c.trueScaleLatitude = trueScale_;
  for (const CalibrationPointView& p : points_)
    if (p.place)
      c.points.push_back({p.pixel.column, p.pixel.row, p.place->latitude, p.place->longitude});
  return c;
}

std::string FaxCalibration::Save() {
  if (!active_) return {};
  std::string error = store_.Save(station_, row_, Current());
  if (error.empty()) saved_ = true;
  return error;
}

std::string FaxCalibration::Forget() {
  if (!active_) return {};
  std::string error = store_.Remove(station_, row_);
  if (error.empty()) saved_ = false;
  return error;
}

void FaxCalibration::refit() {
  fitOk_ = false;
  for (CalibrationPointView& p : points_) {
    p.residual.reset();
    p.flagged = false;
  }
  const Calibration c = Current();
  if (c.points.size() < 2) {
    summary_ =
        "Bitte mindestens zwei Gitterkreuzungen anklicken und ihre Breite und Länge "
        "eintragen.";
    return;
  }
  const ChartFit fit = FitChart(c);
  if (!fit.ok()) {
    summary_ = fit.error;
    return;
  }
  fitOk_ = true;
  if (c.points.size() < 3) {
    summary_ = "Zwei Punkte passen immer: ein dritter und vierter Punkt prüfen die Lage.";
    return;
  }
  double largest = 0;
  std::size_t worst = 0;
  std::size_t k = 0;
  for (std::size_t i = 0; i < points_.size(); ++i) {
    if (!points_[i].place || k >= fit.residuals.size()) continue;
    const double r = fit.residuals[k++];
    points_[i].residual = r;
    points_[i].flagged = r > kResidualLimitPixels;
    if (r >= largest) {
      largest = r;
      worst = i;
    }
  }
  summary_ = largest > kResidualLimitPixels
                 ? ResidualLine(worst, largest)
                 : "Die Punkte passen zusammen: größte Abweichung " + fixed(largest, 2) + " px.";
}

}  // namespace tern
