// Writing a placed chart for other programs, through GDAL in the map module: a GeoTIFF in the
// chart's own projection (for QGIS and any GIS) and an MBTiles file warped to Web Mercator
// (EPSG:3857), the raster chart format that chart plotters and Signal K chart servers read.
//
// Each file is written under a temporary name beside its place and renamed into it, so a
// plotter watching the folder never opens half a chart; a failed write leaves the old file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/file_io.h"
#include "geo/chart_fit.h"

namespace tern {

// The unturned chart as grey levels, row by row: 0 black, 255 white.
struct ChartRaster {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> grey;
};

struct ChartLabel {
  std::string title;  // the chart's name in both files
  // Says which chart and calibration made the files; ReadChartStamp returns it, so a
  // writer can leave files alone that already hold the same chart.
  std::string stamp;
};

FileStatus WriteGeoTiff(const ChartRaster& raster, const ChartGeoreference& georeference,
                        const ChartLabel& label, const std::string& path);
// The chart warped to Web Mercator at the zoom level nearest its own resolution, with two
// coarser levels below it; outside the chart the tiles are transparent. Parts beyond the
// Web Mercator limit (85.05 degrees) are cut off.
FileStatus WriteMbtiles(const ChartRaster& raster, const ChartGeoreference& georeference,
                        const ChartLabel& label, const std::string& path);
// Both: `base` + ".mbtiles", then `base` + ".tif" with the stamp. The GeoTIFF goes last, so
// a GeoTIFF whose stamp matches stands for a whole pair: a write cut between the two (a
// kill, a power cut) leaves the old stamp, and the next writer draws both again. When either
// fails, neither is left of this write: the new MBTiles is removed again.
FileStatus WriteChartFiles(const ChartRaster& raster, const ChartGeoreference& georeference,
                           const ChartLabel& label, const std::string& base);

// The stamp of a GeoTIFF written by WriteGeoTiff; empty when there is none or no such file.
std::string ReadChartStamp(const std::string& path);

}  // namespace tern
