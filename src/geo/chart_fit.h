// Placing a calibrated chart on the earth. The projection arithmetic is PROJ's (in the map
// module, geo/geo_engine.h, opened by the first fit); what is fitted here is only how the picture
// lies in the chart's projected plane: one scale, one turn and one shift (square pixels), by least
// squares over every calibration point. Each point's residual, the distance in pixels
// between where it was clicked and where the fitted chart puts its latitude and longitude,
// shows how well the points agree.
//
// A polar stereographic chart looks the same turned about the pole as with another central
// meridian, so its turn is taken into the central meridian: its GeoTIFF needs no rotated
// pixel grid. Mercator and plain latitude/longitude charts are centred on the middle of
// their points' longitudes, so a chart across the 180th meridian stays in one piece.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "geo/calibration.h"

namespace tern {

// A residual above this many pixels is flagged: the point (or its latitude and longitude)
// is probably wrong, or the chart is not in the chosen projection.
inline constexpr double kResidualLimitPixels = 5;

struct ChartGeoreference {
  std::string proj;  // the chart's coordinate system as a PROJ definition
  std::string wkt;   // the same as WKT, for GDAL
  // GDAL's affine transform from pixel corner coordinates to the projected plane:
  // x = t[0] + column * t[1] + row * t[2], y = t[3] + column * t[4] + row * t[5].
  std::array<double, 6> geoTransform{};
};

struct ChartFit {
  std::optional<ChartGeoreference> georeference;
  std::vector<double> residuals;  // pixels, one per calibration point, in their order
  std::string error;              // German; empty when the chart could be placed
  bool ok() const { return georeference.has_value(); }
};

// Fits the calibration. Refused (error set, no georeference): fewer than two points, two
// points on one pixel or on one place of the earth, every point on one circle of latitude
// of a polar chart, values out of range (CalibrationRangeError), or a point the projection
// cannot sensibly show (beyond 85 degrees in Mercator, south of 30 S in a north polar chart).
ChartFit FitChart(const Calibration& calibration);

struct GeoPosition {
  double latitude = 0;
  double longitude = 0;
};

struct PixelPosition {
  double column = 0;  // pixel indices as in a calibration: the centre of pixel 0 is 0
  double row = 0;
};

// Turns between the pixels of a placed chart and WGS84 latitude and longitude.
// Thread: one thread at a time per object.
class ChartPlacement {
 public:
  explicit ChartPlacement(const ChartGeoreference& georeference);
  ~ChartPlacement();
  ChartPlacement(const ChartPlacement&) = delete;
  ChartPlacement& operator=(const ChartPlacement&) = delete;

  // False when the coordinate system could not be read; every conversion then fails.
  bool valid() const;
  std::optional<GeoPosition> ToGeo(PixelPosition pixel) const;
  std::optional<PixelPosition> ToPixel(GeoPosition position) const;

 private:
  struct Transforms;
  std::unique_ptr<Transforms> transforms_;
  std::array<double, 6> geoTransform_;
};

}  // namespace tern
