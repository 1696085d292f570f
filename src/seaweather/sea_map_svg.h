// The sea weather map as an SVG document for the web page: the areas of buildSeaMap with
// their fills, warning outlines, arrows and forces, a title per area with its line, and
// below the map the legend of the Beaufort colours and of the warning outlines. Every text
// in it is escaped, so received words cannot become markup.
#pragma once

#include <string>

#include "seaweather/sea_map.h"

namespace tern::seaweather {

std::string seaMapSvg(const SeaMap& map);

}  // namespace tern::seaweather
