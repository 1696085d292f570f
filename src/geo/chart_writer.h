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
  std::string name;         // short, as the file is named: "DWD_ASXX69"
  std::string description;  // what the chart is: station, row, reception time
  std::string attribution;  // who made the chart: the station
  // Says which chart and calibration made the files; ReadChartStamp returns it, so a
  // writer can leave files alone that already hold the same chart.
  std::string stamp;
};

FileStatus WriteGeoTiff(const ChartRaster& raster, const ChartGeoreference& georeference,
                        const ChartLabel& label, const std::string& path);
// The chart warped to Web Mercator. The finest zoom level is the one nearest the chart's own
// resolution, chosen as GDAL chooses it: the distance between the chart's top-left and
// bottom-right corners in Web Mercator over its pixel diagonal, rounded to the level whose
// resolution is nearest in ratio. The coarsest is the first at which the chart is still at
// least 128 pixels on its longer side: a plotter at a zoom between two levels draws the
// coarser one, so the chart shows wherever it would be 256 pixels or more on screen. Outside
// the chart the tiles are transparent and left out. Parts beyond the Web Mercator limit
// (85.05 degrees) are cut off. Any tile or metadata row that cannot be written (a full disk)
// fails the whole file.
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
