// The fax page's calibration mode ("Georeferenzieren"): the user clicks grid crossings or
// coast points on a chart, types their latitude and longitude and chooses the projection;
// the calibration is kept for the chart's station and schedule row and places every later
// chart of that row. Points are held in pixels of the unturned full-size chart, so zoom and
// quarter turns of the shown picture do not change them.
//
// From the third point with a place on, each point's residual is shown (two points always
// fit exactly), and one above kResidualLimitPixels is flagged.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "geo/calibration_store.h"
#include "geo/chart_fit.h"

namespace tern {

// A typed latitude or longitude in decimal degrees: a decimal point or comma, a sign or a
// hemisphere letter after the number (N/S, E/O/W; S and W are negative). Nothing when it
// cannot be read or lies beyond 90 (latitude) or 180 degrees (longitude).
std::optional<double> ParseDegrees(const std::string& text, bool latitude);
// The other way, for the window: "54,500° N", "3,250° W".
std::string FormatDegrees(double value, bool latitude);
// One point's residual line as tern-cli prints it: "Punkt 3: Abweichung 0,84 px", with a
// warning when it is above the limit.
std::string ResidualLine(std::size_t index, double residual);

struct CalibrationPointView {
  PixelPosition pixel;
  std::optional<GeoPosition> place;  // none until the user typed it
  std::optional<double> residual;    // pixels; from the third placed point on
  bool flagged = false;              // residual above the limit
};

// Thread: window thread only.
class FaxCalibration {
 public:
  explicit FaxCalibration(CalibrationStore store);

  // Starts the mode on the chart of fax station `station` (0..4) with key text `keyText`:
  // its row's saved calibration, when there is one, is taken up. Returns why a saved file
  // could not be used (the mode then starts without points), else empty.
  std::string Begin(int station, const std::string& keyText);
  void End();
  bool Active() const { return active_; }
  const std::string& StationName() const { return station_; }
  const std::string& RowName() const { return row_; }
  // The row had a saved calibration when the mode began, or one was saved since.
  bool Saved() const { return saved_; }

  ChartProjection Projection() const { return projection_; }
  double TrueScaleLatitude() const { return trueScale_; }
  void SetProjection(ChartProjection projection);
  // German refusal when it is no latitude above 0 up to 90; the value stays then.
  std::string SetTrueScaleLatitude(double latitude);

  // A click on the chart, in pixels of the unturned full-size chart; returns the point's
  // index.
  std::size_t AddPoint(PixelPosition pixel);
  void RemovePoint(std::size_t index);
  // The typed latitude and longitude of a point. A German refusal when either cannot be
  // read; the point keeps its earlier place then.
  std::string SetPlace(std::size_t index, const std::string& latitude,
                       const std::string& longitude);

  const std::vector<CalibrationPointView>& Points() const { return points_; }
  // One line about the fit: what is still missing, why the points are refused, or how well
  // they agree.
  const std::string& Summary() const { return summary_; }
  // Two or more placed points that FitChart accepts.
  bool CanSave() const { return fitOk_; }

  // Writes the calibration of the placed points; empty when saved, else the German reason
  // (nothing is written then).
  std::string Save();
  // Removes the row's saved calibration; the points stay in the mode. Empty when done.
  std::string Forget();
  // The calibration of the points that have a place, in their order.
  Calibration Current() const;

 private:
  void refit();

  CalibrationStore store_;
  bool active_ = false;
  bool saved_ = false;
  std::string station_;
  std::string row_;
  ChartProjection projection_ = ChartProjection::Mercator;
  double trueScale_ = kDefaultTrueScaleLatitude;
  std::vector<CalibrationPointView> points_;
  std::string summary_;
  bool fitOk_ = false;
};

}  // namespace tern
