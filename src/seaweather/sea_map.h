// The sea weather map without the toolkit: the area outlines projected onto a picture, each
// area filled by the strongest Beaufort force of its forecast, outlined in its warning's
// colour, with an arrow for the first wind direction named and the force as a number. The
// window paints this model with its painter, the web page gets it as SVG (sea_map_svg.h).
//
// Projection: the outline box (sea_area_outlines.h) as a plate carrée with the longitudes
// shortened by the cosine of 57 degrees north, the middle of the box, so the shapes keep
// their proportions there; kSeaMapWidth units wide, north up.
//
// Drawing order: the water colour, the fills, the warning outlines, then the land picture
// "pictures/sea_map_land.png" (the box in this projection, drawn from real coastlines by
// scripts/make-sea-map.sh, transparent on the water) stretched over the whole map, then the
// arrows and forces. The land hides what the outlines draw beyond the coast.
//
// Colour scale, one step per Beaufort force: pale blue for calm to force 3, green at 4 and 5,
// yellow to orange for the strong wind of 6 and 7, orange-red to red for gale and storm (8 to
// 10), dark red at 11 and purple for hurricane force 12; grey where no forecast names the
// area. The warning outlines run from yellow (Starkwind) over orange and red to purple
// (Orkan), drawn on a dark edge so they show on any fill.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "seaweather/area_forecast.h"
#include "seaweather/sea_area_outlines.h"
#include "seaweather/sea_weather.h"

namespace tern::seaweather {

inline constexpr double kSeaMapWidth = 1000;
// The height that keeps the projection's proportions.
double seaMapHeight();

struct MapPoint {
  double x = 0;  // map units from the west edge
  double y = 0;  // map units from the north edge
};
MapPoint projectToMap(LatLon at);

inline constexpr std::uint32_t kNoForecastColour = 0xD4D4D4;  // 0xRRGGBB
// Water that no area covers: lagoons, fjords, the sea beyond the areas.
inline constexpr std::uint32_t kOpenWaterColour = 0xDCE6EE;
inline constexpr std::uint32_t kWarningEdgeColour = 0x202020;

// The fill of a forecast's strongest force 0..12; kNoForecastColour for -1 and beyond 12.
std::uint32_t beaufortColour(int bft);
// The outline of a warning; kWarningEdgeColour for None.
std::uint32_t warningColour(WarningLevel level);
// "#RRGGBB".
std::string colourHex(std::uint32_t rgb);

struct SeaMapArea {
  std::string_view id;
  std::string_view name;
  std::vector<MapPoint> outline;
  MapPoint label;
  int bftMax = -1;  // -1: no force named
  std::uint32_t fill = kNoForecastColour;
  WarningLevel warning = WarningLevel::None;
  // Where the arrow points, clockwise from north: the way the wind blows, so a westerly
  // points east. None for variable or light winds and where no direction is named.
  std::optional<double> arrowDegrees;
  std::string line;  // the area's line of the lists
};

struct SeaMap {
  double width = kSeaMapWidth;
  double height = 0;
  std::vector<SeaMapArea> areas;  // in the order of seaAreas()
  std::string issued;             // the report's time, "" without a report
};

SeaMap buildSeaMap(const SeaWeather& weather);

// The area whose outline holds `at` (the last drawn when two would); -1 for none.
int areaAt(const SeaMap& map, MapPoint at);

// True when `p` lies inside the polygon `ring` (even-odd rule).
bool insideRing(const std::vector<MapPoint>& ring, MapPoint p);

inline constexpr std::string_view kOutlinesNote = "Umrisse der Seegebiete angenähert";

}  // namespace tern::seaweather
