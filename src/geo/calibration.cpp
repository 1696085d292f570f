#include "geo/calibration.h"

#include <array>
#include <charconv>
#include <cmath>

namespace tern {

namespace {

struct ProjectionName {
  ChartProjection projection;
  const char* keyword;
  const char* caption;
};

constexpr std::array<ProjectionName, 3> kProjectionNames = {{
    {ChartProjection::Mercator, "mercator", "Mercator"},
    {ChartProjection::PolarNorth, "polar-north", "Polarstereographisch (Nord)"},
    {ChartProjection::LatLon, "latlon", "Geographisch (Breite/Länge)"},
}};

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

std::optional<double> number(std::string_view s) {
  s = trimmed(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  double value = 0;
  const char* end = s.data() + s.size();
  auto [ptr, ec] = std::from_chars(s.data(), end, value);
  if (s.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

// "a,b,c,d": exactly four numbers.
std::optional<std::array<double, 4>> fourNumbers(std::string_view s) {
  std::array<double, 4> v{};
  for (std::size_t i = 0; i < v.size(); ++i) {
    const std::size_t comma = s.find(',');
    if ((comma == std::string_view::npos) != (i + 1 == v.size())) return std::nullopt;
    auto n = number(s.substr(0, comma));
    if (!n) return std::nullopt;
    v[i] = *n;
    if (comma != std::string_view::npos) s.remove_prefix(comma + 1);
  }
  return v;
}

std::string formatNumber(double value) {
  std::array<char, 32> buffer{};
  auto [ptr, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return ec == std::errc() ? std::string(buffer.data(), ptr) : std::string("0");
}

std::string lineError(int line, const std::string& what) {
  return "Zeile " + std::to_string(line) + ": " + what;
}

}  // namespace

const char* ProjectionKeyword(ChartProjection projection) {
  for (const ProjectionName& n : kProjectionNames)
    if (n.projection == projection) return n.keyword;
  return "";
}

const char* ProjectionCaption(ChartProjection projection) {
  for (const ProjectionName& n : kProjectionNames)
    if (n.projection == projection) return n.caption;
  return "";
}

std::string CalibrationRangeError(const Calibration& c) {
  if (c.projection == ChartProjection::PolarNorth &&
      !(c.trueScaleLatitude > 0 && c.trueScaleLatitude <= 90))
    return "Die Breite wahren Maßstabs muss über 0° und höchstens 90° sein.";
  for (std::size_t i = 0; i < c.points.size(); ++i) {
    const CalibrationPoint& p = c.points[i];
    const std::string name = "Punkt " + std::to_string(i + 1) + ": ";
    if (!std::isfinite(p.column) || !std::isfinite(p.row) || p.column < 0 || p.row < 0)
      return name + "Spalte und Zeile dürfen nicht negativ sein.";
    // A fax chart is a few thousand pixels wide; a point far beyond it is a typing slip, and
    // huge numbers would only make the fit's arithmetic overflow.
    if (p.column >= kMaxCalibrationPixel || p.row >= kMaxCalibrationPixel)
      return name + "Spalte und Zeile müssen unter " + std::to_string(kMaxCalibrationPixel) +
             " liegen.";
    if (!std::isfinite(p.latitude) || std::fabs(p.latitude) > 90)
      return name + "die Breite " + formatNumber(p.latitude) + " liegt jenseits von 90°.";
    if (!std::isfinite(p.longitude) || std::fabs(p.longitude) > 180)
      return name + "die Länge " + formatNumber(p.longitude) + " liegt jenseits von 180°.";
  }
  return {};
}

std::string CalibrationOutsideError(const Calibration& c, int width, int height) {
  for (std::size_t i = 0; i < c.points.size(); ++i) {
    const CalibrationPoint& p = c.points[i];
    if (p.column < -width || p.column > 2.0 * width - 1 || p.row < -height ||
        p.row > 2.0 * height - 1)
      return "Punkt " + std::to_string(i + 1) + " (Spalte " + formatNumber(p.column) + ", Zeile " +
             formatNumber(p.row) + ") liegt weit außerhalb der Karte (" + std::to_string(width) +
             " x " + std::to_string(height) + " Pixel): bitte die Kalibrierung prüfen.";
  }
  return {};
}

CalibrationParse ParseCalibration(std::string_view text) {
  Calibration c;
  bool projectionSeen = false;
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++lineNumber;
    if (line.empty() || line.front() == '#') continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
      return {std::nullopt, lineError(lineNumber, "'Name=Wert' erwartet.")};
    const std::string_view key = trimmed(line.substr(0, eq));
    const std::string_view value = trimmed(line.substr(eq + 1));
    if (key == "projection") {
      bool known = false;
      for (const ProjectionName& n : kProjectionNames) {
        if (value == n.keyword) {
          c.projection = n.projection;
          known = true;
        }
      }
      if (!known)
        return {std::nullopt, lineError(lineNumber, "unbekannte Projektion '" + std::string(value) +
                                                        "' (mercator, polar-north oder latlon).")};
      projectionSeen = true;
    } else if (key == "true_scale_latitude") {
      auto v = number(value);
      if (!v) return {std::nullopt, lineError(lineNumber, "keine Zahl: " + std::string(value))};
      c.trueScaleLatitude = *v;
    } else if (key == "point") {
      auto v = fourNumbers(value);
      if (!v)
        return {std::nullopt,
                lineError(lineNumber, "point= braucht Spalte, Zeile, Breite und Länge.")};
      c.points.push_back({(*v)[0], (*v)[1], (*v)[2], (*v)[3]});
    } else {
      return {std::nullopt,
              lineError(lineNumber, "unbekannter Eintrag '" + std::string(key) + "'.")};
    }
  }
  if (!projectionSeen)
    return {std::nullopt,
            "Keine Projektion angegeben (projection=mercator, polar-north oder latlon)."};
  if (std::string error = CalibrationRangeError(c); !error.empty()) return {std::nullopt, error};
  return {c, {}};
}

std::string FormatCalibration(const Calibration& c) {
  std::string text = "projection=" + std::string(ProjectionKeyword(c.projection)) + "\n";
  if (c.projection == ChartProjection::PolarNorth)
    text += "true_scale_latitude=" + formatNumber(c.trueScaleLatitude) + "\n";
  for (const CalibrationPoint& p : c.points)
    text += "point=" + formatNumber(p.column) + "," + formatNumber(p.row) + "," +
            formatNumber(p.latitude) + "," + formatNumber(p.longitude) + "\n";
  return text;
}

}  // namespace tern
