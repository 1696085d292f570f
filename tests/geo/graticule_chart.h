// Synthetic fax charts with a known answer: a graticule every 10 degrees drawn in a known
// projection and pixel grid, and where each crossing of the graticule lies in the picture.
// The projection arithmetic is PROJ's, with a projection and pixel grid of the chart's
// own (another central meridian, scale and origin than any fit would start from).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "geo/calibration.h"
#include "geo/chart_writer.h"

namespace tern::testing {

struct GraticuleCrossing {
  double latitude = 0;
  double longitude = 0;
  double column = 0;  // exact position in pixels, the centre of pixel 0 at 0
  double row = 0;
};

struct GraticuleChart {
  std::string name;
  ChartProjection projection = ChartProjection::Mercator;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> black;           // 1 black, 0 white, row by row
  std::vector<GraticuleCrossing> crossings;  // those at least 20 pixels inside the picture

  const GraticuleCrossing& crossing(double latitude, double longitude) const;
  // A calibration from the crossings given, clicked at their nearest whole pixels.
  Calibration calibrate(const std::vector<std::array<double, 2>>& latLon) const;
  ChartRaster raster() const;
  // The chart as the receiver's fax data (no phasing band: it starts at byte 0).
  Bytes faxData() const;
};

// A north polar stereographic chart (true scale at 60 degrees, central meridian 10 W, 5 km
// a pixel, the pole near the top): the North Atlantic and Europe, 1800 x 2400.
const GraticuleChart& PolarChart();
// A Mercator chart of the North Atlantic, 80 W to 20 E and 28 S to 72 N, 1800 x 2400.
const GraticuleChart& MercatorChart();
// A plain latitude/longitude chart, 0.05 degrees a pixel, 1800 x 2000.
const GraticuleChart& LatLonChart();

// The great-circle distance between two places, in degrees of arc.
double ArcDegrees(double lat1, double lon1, double lat2, double lon2);

}  // namespace tern::testing
