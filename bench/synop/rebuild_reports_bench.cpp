// Activating the SYNOP page over a full store: the 24 ship headings, each with two copies of
// 40 reports, and both coastal bulletins. RebuildReports decodes them; DrawWindMap fills the
// grids, copies the background and paints the icons. Both run each time the page comes to
// the front, so together they must stay well below one screen frame.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/file_io.h"
#include "synop/synop_decoder.h"
#include "synop/wind_map.h"

namespace {

std::string readSample(const char* name) {
  auto data = tern::readWholeFile(std::string(TERN_TEST_DATA_DIR "/synop/") + name, 1 << 20);
  return std::string(data.bytes.begin(), data.bytes.end());
}

// 40 full reports with all sections the decoder knows, one call sign per report.
std::string shipBulletin(const char* heading, int copy) {
  std::string text = "ZCZC 412\r\n" + std::string(heading) + " EDZW 05" +
                     (copy == 0 ? "12" : "06") + "00\r\nBBXX\r\n";
  for (int i = 0; i < 40; ++i) {
    char report[512];
    std::snprintf(report, sizeof report,
                  "D%c%c%02d 05%s4 995%02d 10%03d 41496 82715 10052 20031 30125 40132 52015 "
                  "69931 70222\r\n86500 91150 22253 00081 10805 20402 31912 40603 50902 "
                  "70025 80048 333 10123 21012 31003 55043 20512 30023 553// 20030 "
                  "69901 83620 555 10013 22058 24110 25761 911// PIC 37 80000 6050203 "
                  "BOT 20052 666 10123 70850 80000 00012=\r\n",
                  'A' + (i % 26), 'A' + copy, i, copy == 0 ? "12" : "06", 30 + i, 50 + 3 * i);
    text += report;
  }
  return text + "NNNN\r\n";
}

tern::MemoryBulletinSource fullStore() {
  tern::MemoryBulletinSource source;
  const char* sm[] = {"SMVX41", "SMVX42", "SMVX43", "SMVX44",
                      "SMVX45", "SMVX46", "SMVX47", "SMVX48"};
  const char* si[] = {"SIVX41", "SIVX42", "SIVX43", "SIVX44",
                      "SIVX45", "SIVX46", "SIVX47", "SIVX48"};
  for (int copy = 0; copy < 2; ++copy) {
    for (const char* h : sm) {
      source.put(tern::DwdStore::German, h, copy, shipBulletin(h, copy));
      source.put(tern::DwdStore::English, h, copy, shipBulletin(h, copy));
    }
    for (const char* h : si) source.put(tern::DwdStore::English, h, copy, shipBulletin(h, copy));
  }
  source.put(tern::DwdStore::German, "SXEN40", 0, readSample("sxen40.txt"));
  source.put(tern::DwdStore::German, "SXMM41", 0, readSample("sxmm41.txt"));
  return source;
}

void BM_RebuildReports(benchmark::State& state) {
  const tern::MemoryBulletinSource source = fullStore();
  tern::TSynopDecoder decoder;
  for (auto _ : state) {
    decoder.RebuildReports(source);
    benchmark::DoNotOptimize(decoder.ReportList().data());
  }
  state.counters["reports"] = static_cast<double>(decoder.ReportList().size());
}
BENCHMARK(BM_RebuildReports)->Unit(benchmark::kMillisecond);

// What the map view does with the list: grids, a fresh copy of the background, the icons.
struct MapDrawing {
  MapDrawing() : background(pixelCount(), 0xFF96BADAu), map(pixelCount()) {
    for (auto& icon : icons) {
      icon.fill(0xFFFFFFFFu);
      for (int i = 3; i < 11; ++i) icon[static_cast<std::size_t>(i * 16 + 7)] = 0xFFA01C1Cu;
    }
  }
  static std::size_t pixelCount() {
    return static_cast<std::size_t>(tern::windmap::kMapWidth * tern::windmap::kMapHeight);
  }
  std::size_t draw(const std::vector<tern::TSynopType>& reports) {
    std::copy(background.begin(), background.end(), map.begin());
    const auto drawn = grid.Draw(reports);
    tern::windmap::PaintWindIcons(
        {map.data(), tern::windmap::kMapWidth, tern::windmap::kMapHeight, tern::windmap::kMapWidth},
        icons, drawn);
    return drawn.size();
  }

  tern::windmap::WindGrid grid;
  tern::windmap::IconSet icons{};
  std::vector<std::uint32_t> background;
  std::vector<std::uint32_t> map;
};

void BM_DrawWindMap(benchmark::State& state) {
  const tern::MemoryBulletinSource source = fullStore();
  tern::TSynopDecoder decoder;
  decoder.RebuildReports(source);
  MapDrawing drawing;
  std::size_t icons = 0;
  for (auto _ : state) {
    icons = drawing.draw(decoder.ReportList());
    benchmark::DoNotOptimize(drawing.map.data());
  }
  state.counters["icons"] = static_cast<double>(icons);
}
BENCHMARK(BM_DrawWindMap)->Unit(benchmark::kMillisecond);

void BM_PageActivation(benchmark::State& state) {
  const tern::MemoryBulletinSource source = fullStore();
  tern::TSynopDecoder decoder;
  MapDrawing drawing;
  for (auto _ : state) {
    decoder.RebuildReports(source);
    drawing.draw(decoder.ReportList());
    benchmark::DoNotOptimize(drawing.map.data());
  }
}
BENCHMARK(BM_PageActivation)->Unit(benchmark::kMillisecond);

}  // namespace
