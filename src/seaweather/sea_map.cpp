#include "seaweather/sea_map.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace tern::seaweather {

namespace {

constexpr double kMiddleLatitude = 57.0;
constexpr int kLightWindBft = 2;

double lonScale() { return std::cos(kMiddleLatitude * std::numbers::pi / 180.0); }

double unitsPerDegree() { return kSeaMapWidth / ((kOutlineEast - kOutlineWest) * lonScale()); }

constexpr std::array<std::uint32_t, 13> kBeaufortColours{
    0xE4F3FA, 0xCFE9F5, 0xB7DDEF, 0x9FD3DF,  // 0-3: calm to gentle, pale blue
    0xA6DB8E, 0xCDE26A,                      // 4-5: green
    0xFFE14D, 0xFFB733,                      // 6-7: strong wind, yellow to orange
    0xFF8526, 0xF2541F, 0xD42424,            // 8-10: gale to storm, orange-red to red
    0xA0123A, 0x6B1466,                      // 11: dark red, 12: purple
};

constexpr std::array<std::uint32_t, 6> kWarningColours{
    kWarningEdgeColour, 0xF5D000, 0xFF7F00, 0xE01010, 0x9C0F2E, 0x8A2BE2,
};

}  // namespace

double seaMapHeight() { return (kOutlineNorth - kOutlineSouth) * unitsPerDegree(); }

MapPoint projectToMap(LatLon at) {
  return {(at.lon - kOutlineWest) * lonScale() * unitsPerDegree(),
          (kOutlineNorth - at.lat) * unitsPerDegree()};
}

std::uint32_t beaufortColour(int bft) {
  if (bft < 0 || bft >= static_cast<int>(kBeaufortColours.size())) return kNoForecastColour;
  return kBeaufortColours[static_cast<std::size_t>(bft)];
}

std::uint32_t warningColour(WarningLevel level) {
  const auto i = static_cast<std::size_t>(level);
  return i < kWarningColours.size() ? kWarningColours[i] : kWarningEdgeColour;
}

std::string colourHex(std::uint32_t rgb) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFFu));
  return buf;
}

SeaMap buildSeaMap(const SeaWeather& weather) {
  SeaMap map;
  map.height = seaMapHeight();
  if (weather.report) map.issued = issuedText(*weather.report);
  for (const AreaOutline& o : areaOutlines()) {
    const AreaForecast f = forecastOf(weather, o.id);
    if (f.area == nullptr) continue;
    SeaMapArea a;
    a.id = o.id;
    a.name = f.area->name;
    for (const LatLon& corner : o.ring) a.outline.push_back(projectToMap(corner));
    a.label = projectToMap(o.label);
    a.bftMax = f.bftMax();
    // "Schwachwindig" names no force but is no missing forecast: up to 3 Beaufort.
    const bool light = f.forecast != nullptr && f.forecast->wind.light && a.bftMax < 0;
    a.fill = beaufortColour(light ? kLightWindBft : a.bftMax);
    a.warning = f.level();
    // The warning's direction where it speaks, as it comes first on the pages.
    const AreaEntry* said = f.warning ? f.warning : f.forecast;
    if (said != nullptr && !said->wind.points.empty() && !said->wind.variable)
      a.arrowDegrees = std::fmod(said->wind.points.front() * 22.5 + 180.0, 360.0);
    a.line = areaLine(f);
    map.areas.push_back(std::move(a));
  }
  return map;
}

bool insideRing(const std::vector<MapPoint>& ring, MapPoint p) {
  bool inside = false;
  for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
    const MapPoint& a = ring[i];
    const MapPoint& b = ring[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
      inside = !inside;
  }
  return inside;
}

int areaAt(const SeaMap& map, MapPoint at) {
  for (std::size_t i = map.areas.size(); i-- > 0;)
    if (insideRing(map.areas[i].outline, at)) return static_cast<int>(i);
  return -1;
}

}  // namespace tern::seaweather
