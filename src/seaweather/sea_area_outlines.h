// The outlines of the forecast areas of the sea weather report as data: one polygon of
// latitude and longitude per area and a point in open water for the area's label, drawn from
// the published descriptions of the areas to a few nautical miles. Neighbours share their
// corners at sea, so no water between two areas is left out. Along a coast a polygon runs a
// few miles over the land: the map draws the real land (sea_map.h) over the fills, so the
// coast bounds an area, not the polygon. Lagoons and fjords no area names stay outside.
#pragma once

#include <span>
#include <string_view>

namespace tern::seaweather {

struct LatLon {
  double lat = 0;  // degrees north
  double lon = 0;  // degrees east
};

struct AreaOutline {
  std::string_view id;           // an id of seaAreas()
  LatLon label;                  // inside the polygon, where the area's force is written
  std::span<const LatLon> ring;  // the corners in order; the last joins the first
};

// The box every outline lies in; the map shows it.
inline constexpr double kOutlineWest = -6.5;
inline constexpr double kOutlineEast = 31.0;
inline constexpr double kOutlineSouth = 48.0;
inline constexpr double kOutlineNorth = 66.5;

// One outline per area, in the order of seaAreas().
std::span<const AreaOutline> areaOutlines();

// The outline of an area id; null for an unknown id.
const AreaOutline* outlineOf(std::string_view id);

}  // namespace tern::seaweather
