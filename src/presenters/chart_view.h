// The chart seam of the barograph: one line series over a time axis and a pressure axis.
// Times are local wall-clock times as seconds since 1970-01-01 00:00 of the local zone
// (secondsSinceEpoch of a local CivilTime); the view maps them to its own time type.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tern {

// Thread: window thread only.
class ChartView {
 public:
  using Point = std::pair<double, double>;  // local seconds, hPa
  virtual ~ChartView() = default;
  virtual void setPoints(const std::vector<Point>& points) = 0;  // replaces the series
  virtual void setTimeRange(double startSeconds, double endSeconds) = 0;
  virtual void setPressureRange(double minimum, double maximum) = 0;
  // Undoes a zoom rectangle the user dragged.
  virtual void undoZoom() = 0;
  // The second line of the foot text (the first stays empty).
  virtual void setFootText(const std::string& text) = 0;
};

}  // namespace tern
