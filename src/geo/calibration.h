// The georeference of one kind of fax chart. A chart of one schedule row has the same layout
// on every broadcast, so the user places it on the earth once: two or more points of the
// unturned full-size picture with their latitude and longitude, and the projection the
// chart is drawn in. The calibration is a plain text file, so it can be written by hand too:
//
//   projection=polar-north
//   true_scale_latitude=60
//   point=412,1630,50,-30
//   point=1288,1187,60,10
//
// `projection` is `mercator`, `polar-north` (with `true_scale_latitude`, 60 when left out) or
// `latlon`; each `point` is column, row (pixels), latitude, longitude (decimal degrees,
// south and west negative). Empty lines and lines starting with '#' are ignored.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tern {

enum class ChartProjection { Mercator, PolarNorth, LatLon };

struct CalibrationPoint {
  double column = 0;
  double row = 0;
  double latitude = 0;
  double longitude = 0;

  bool operator==(const CalibrationPoint&) const = default;
};

inline constexpr double kDefaultTrueScaleLatitude = 60;

struct Calibration {
  ChartProjection projection = ChartProjection::Mercator;
  double trueScaleLatitude = kDefaultTrueScaleLatitude;  // polar-north only
  std::vector<CalibrationPoint> points;

  bool operator==(const Calibration&) const = default;
};

// The file's word for a projection, and its German name for the window.
const char* ProjectionKeyword(ChartProjection projection);
const char* ProjectionCaption(ChartProjection projection);

struct CalibrationParse {
  std::optional<Calibration> calibration;
  std::string error;  // German, naming the line; empty when parsed
};

// Reads the text form. Only the form is checked here (keys, numbers, ranges of latitude and
// longitude); whether the points make a usable georeference is FitChart's question.
CalibrationParse ParseCalibration(std::string_view text);

// What is wrong with the values on their own, in German (a true-scale latitude outside 0..90,
// a point with a negative pixel position or one at kMaxCalibrationPixel or beyond, a latitude
// beyond 90 degrees or a longitude beyond 180); empty when nothing is.
inline constexpr int kMaxCalibrationPixel = 100000;
std::string CalibrationRangeError(const Calibration& calibration);

// What is wrong with the points for a chart of `width` x `height` pixels, in German; empty
// when nothing is. A point may lie beyond the chart's border (a place clicked on the chart's
// own grid where it runs off the picture), but not by more than the chart's own width or
// height: that far out it is a typing slip, and a fit on it would place the whole chart
// somewhere else without a large residual to show it.
std::string CalibrationOutsideError(const Calibration& calibration, int width, int height);

// The text form; ParseCalibration reads it back to an equal calibration.
std::string FormatCalibration(const Calibration& calibration);

}  // namespace tern
