// Figures for a fax chart written as a map: the fit, the GeoTIFF, the MBTiles file (warped
// to Web Mercator) and both from the decoded buffer, as the automatic export and "Als Karte
// speichern ..." do it, for a full 1800 x 2400 chart in each projection.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "geo/chart_fit.h"
#include "geo/chart_writer.h"
#include "geo/graticule_chart.h"
#include "presenters/fax_map.h"

namespace {

using tern::testing::GraticuleChart;

const GraticuleChart& chartOf(const benchmark::State& state) {
  return state.range(0) == 0 ? tern::testing::PolarChart() : tern::testing::MercatorChart();
}

tern::Calibration calibrationOf(const GraticuleChart& chart) {
  return chart.projection == tern::ChartProjection::PolarNorth
             ? chart.calibrate({{50, -30}, {60, 10}})
             : chart.calibrate({{10, -70}, {60, 10}});
}

// A private folder for the files, removed at the end.
struct Folder {
  std::string path;
  Folder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tern_chart_map_bench_XXXXXX").string();
    path = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

void Fit(benchmark::State& state) {
  const tern::Calibration calibration = calibrationOf(chartOf(state));
  for (auto _ : state) benchmark::DoNotOptimize(tern::FitChart(calibration));
}

// Args: 0 polar, 1 Mercator.
void GeoTiff(benchmark::State& state) {
  const GraticuleChart& chart = chartOf(state);
  const tern::ChartFit fit = tern::FitChart(calibrationOf(chart));
  const tern::ChartRaster raster = chart.raster();
  Folder folder;
  for (auto _ : state) {
    if (!tern::WriteGeoTiff(raster, *fit.georeference, {"bench", {}}, folder.path + "/c.tif"))
      state.SkipWithError("not written");
  }
}

void Mbtiles(benchmark::State& state) {
  const GraticuleChart& chart = chartOf(state);
  const tern::ChartFit fit = tern::FitChart(calibrationOf(chart));
  const tern::ChartRaster raster = chart.raster();
  Folder folder;
  for (auto _ : state) {
    if (!tern::WriteMbtiles(raster, *fit.georeference, {"bench", {}}, folder.path + "/c.mbtiles"))
      state.SkipWithError("not written");
  }
}

// One full chart from the receiver's data to both files.
void DecodeWarpAndWrite(benchmark::State& state) {
  const GraticuleChart& chart = chartOf(state);
  const tern::Calibration calibration = calibrationOf(chart);
  const tern::Bytes data = chart.faxData();
  tern::FaxImage image;
  Folder folder;
  for (auto _ : state) {
    const tern::FaxRect rect = image.Decode(data, false, 0);
    const tern::ChartFit fit = tern::FitChart(calibration);
    if (!tern::WriteChartFiles(tern::FaxChartRaster(image, rect, 0), *fit.georeference,
                               {"bench", {}}, folder.path + "/c"))
      state.SkipWithError("not written");
  }
}

BENCHMARK(Fit)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(GeoTiff)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(Mbtiles)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeWarpAndWrite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
