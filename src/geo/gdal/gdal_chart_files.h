// The chart files through GDAL: the map module's writers and the stamp reader. Each fills
// (the MBTiles writer replaces) a file that exists already, the caller's temporary name, and
// returns GDAL's reason when it fails, empty on success.
#pragma once

#include <string>

#include "geo/geo_engine.h"

namespace tern {

std::string GdalWriteGeoTiff(const ChartRaster& raster, const ChartGeoreference& georeference,
                             const ChartLabel& label, const std::string& file);
std::string GdalWriteMbtiles(const ChartRaster& raster, const ChartGeoreference& georeference,
                             const TileGrid& grid, const TileMetadata& metadata,
                             const std::string& file);
std::string GdalReadStamp(const std::string& path);

}  // namespace tern
