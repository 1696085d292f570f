#!/bin/bash
# Figures for one chart written as MBTiles: TERN's writer (`tern-cli fax --geo`) against GDAL's
# own tools on the same GeoTIFF (gdalwarp to EPSG:3857, gdal_translate to MBTiles, gdaladdo),
# processor time and peak memory of each step from /usr/bin/time -v, and the zoom levels each
# file holds. Measures only; nothing here is a check.
#
#   scripts/bench-chart.sh [polar|mercator] [BUILD]   (default: polar, build/release)
#
# Needs a release build (tern-cli, the map module, the test libraries), and for the
# comparison GDAL's programs (Debian's gdal-bin) and python3; without gdal-bin only TERN's
# figures are printed. gdal-bin is for this measurement alone, not something TERN uses.
set -euo pipefail

chart=${1:-polar}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build/release}
work=$(mktemp -d /tmp/tern-bench-chart.XXXXXX)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT

# The synthetic graticule chart of the tests as the receiver's data, and its calibration.
cat >"$work/make_chart.cpp" <<'EOF'
#include <cstdio>
#include <fstream>
#include <string>

#include "geo/graticule_chart.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string which = argv[1];
  const auto& chart =
      which == "polar" ? tern::testing::PolarChart() : tern::testing::MercatorChart();
  const tern::Calibration calibration = which == "polar"
                                            ? chart.calibrate({{50, -30}, {60, 10}})
                                            : chart.calibrate({{10, -70}, {60, 10}});
  const tern::Bytes data = chart.faxData();
  const std::string base = argv[2];
  std::ofstream(base + ".bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  std::ofstream(base + ".txt") << tern::FormatCalibration(calibration);
  return 0;
}
EOF
c++ -std=c++20 -O2 -I"$root/src" -I"$root/tests" -I/usr/include/gdal "$work/make_chart.cpp" \
  "$root/tests/geo/graticule_chart.cpp" "$build/src/geo/libtern_geo.a" \
  "$build/src/common/libtern_common.a" -lgdal -ldl -o "$work/make_chart"
"$work/make_chart" "$chart" "$work/$chart"

# One step under /usr/bin/time -v: "seconds of processor time, peak MB".
measure() {
  local label=$1
  shift
  /usr/bin/time -v "$@" >"$work/out.txt" 2>"$work/time.txt" || {
    cat "$work/out.txt" "$work/time.txt" >&2
    return 1
  }
  awk -v label="$label" -F': ' '
    /User time/ { user = $2 } /System time/ { sys = $2 }
    /Maximum resident set size/ { kb = $2 }
    END { printf "%-28s %6.2f s CPU  %6.0f MB peak\n", label, user + sys, kb / 1024 }' \
    "$work/time.txt"
}

zooms() {
  python3 - "$1" <<'EOF'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
levels = db.execute("SELECT zoom_level, COUNT(*) FROM tiles GROUP BY zoom_level").fetchall()
meta = dict(db.execute("SELECT name, value FROM metadata").fetchall())
print("  levels (zoom: tiles):", ", ".join(f"{z}: {n}" for z, n in levels),
      "| minzoom", meta.get("minzoom"), "maxzoom", meta.get("maxzoom"))
EOF
}

echo "chart: $chart (1800 x 2400)"
measure "TERN fax --geo (both files)" "$build/bin/tern-cli" fax "$work/$chart.bin" \
  "$work/tern" --geo "$work/$chart.txt"
zooms "$work/tern.mbtiles"

if ! command -v gdalwarp >/dev/null; then
  echo "gdal-bin is not installed: no comparison"
  exit 0
fi
measure "gdalwarp -t_srs EPSG:3857" gdalwarp -q -t_srs EPSG:3857 -r bilinear -dstalpha \
  "$work/tern.tif" "$work/warped.tif"
measure "gdal_translate -of MBTILES" gdal_translate -q -of MBTILES -co TILE_FORMAT=PNG \
  "$work/warped.tif" "$work/gdal.mbtiles"
measure "gdaladdo (to ~256 px)" gdaladdo -q -r average "$work/gdal.mbtiles"
zooms "$work/gdal.mbtiles"
