// The sea weather map as an SVG document for the web page: the areas of buildSeaMap with
// their fills and warning outlines, the land picture over them (sea_map.h), then the arrows
// and forces, a title per area with its line, and below the map the legend of the Beaufort
// colours and of the warning outlines. Every text in it is escaped, so received words cannot
// become markup. The land goes into the document itself (a data: address): the page shows the
// map as a picture, and a picture may load nothing else.
#pragma once

#include <span>
#include <string>

#include "seaweather/sea_map.h"

namespace tern::seaweather {

// `landPng`: the land picture's PNG file; empty leaves the land out.
std::string seaMapSvg(const SeaMap& map, std::span<const unsigned char> landPng = {});

}  // namespace tern::seaweather
