// Activating the SYNOP page. RebuildReports decodes every stored ship and coastal bulletin;
// it runs on the polling thread after a read-out and on the page's own thread when the page
// comes to the front, never on the window thread. There the page takes the list decoded last
// and DrawWindMap fills the grids, copies the background and paints the icons: that must
// stay within one screen frame (16 ms), with new bulletins as with the same ones.
//
// The store is the one the simulated receiver starts with (`--simulate`), and the same store
// with every ship bulletin holding 10 and 100 times its reports, each copy of a report under a
// call sign of its own so that the filter keeps them all. One run prints all three sizes:
//   build/bench/bench/synop_bench
// The counters say how many ship reports were decoded and how many the page shows.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <deque>
#include <map>
#include <span>
#include <string>
#include <utility>

#include "messages/channels.h"
#include "sim/demo_scenario.h"
#include "support/ratio.h"
#include "synop/synop_decoder.h"
#include "synop/synop_reports.h"
#include "synop/wind_map.h"

namespace {

// A fixed start, so every run measures the same bulletins.
const tern::CivilTime kDemoStart{2026, 3, 5, 14, 20, 0, 0};

bool isShipHeading(std::string_view key) {
  return key.substr(0, 4) == "SMVX" || key.substr(0, 4) == "SIVX";
}

// The reports of a ship bulletin `factor` times over: the part after the "BBXX" line is
// repeated, the call sign of every report in the n-th repetition followed by "-n".
std::string multiplyReports(const std::string& text, int factor) {
  const std::size_t bbxx = text.find("BBXX");
  if (factor <= 1 || bbxx == std::string::npos) return text;
  const std::size_t bodyBegin = text.find('\n', bbxx) + 1;
  std::size_t bodyEnd = text.find("NNNN", bodyBegin);
  if (bodyEnd == std::string::npos) bodyEnd = text.size();
  const std::string_view body = std::string_view(text).substr(bodyBegin, bodyEnd - bodyBegin);

  std::string out = text.substr(0, bodyEnd);
  for (int n = 1; n < factor; ++n) {
    std::string suffix = "-";
    suffix += std::to_string(n);
    bool callSignNext = true;
    bool inWord = false;
    bool endMark = false;
    for (char c : body) {
      const bool blank = static_cast<unsigned char>(c) <= 0x20;
      if (blank && inWord) {
        if (callSignNext) out += suffix;
        callSignNext = endMark;
        inWord = false;
      } else if (!blank && !inWord) {
        inWord = true;
        endMark = false;
      }
      if (c == '=') endMark = true;
      out += c;
    }
  }
  out += text.substr(bodyEnd);
  return out;
}

// The stored DWD bulletins of the demo receiver as the read-out keeps them: per schedule row
// the three newest copies, slot 0 the newest; ship bulletins multiplied by `factor`.
tern::MemoryBulletinSource demoStore(int factor) {
  const tern::sim::Scenario scenario = tern::sim::demoScenario(kDemoStart);
  std::map<std::pair<int, std::string>, std::deque<std::string>> rows;
  for (const tern::sim::SimRecord& r : scenario.logs[tern::protocol::kGroupDwd]) {
    const int table = tern::tableOfCode(r.code);
    if (table != 0 && table != 1) continue;
    std::string text(r.data.begin(), r.data.end());
    if (isShipHeading(r.key)) text = multiplyReports(text, factor);
    auto& slots = rows[{table, r.key}];
    slots.push_front(std::move(text));  // the log is in time order: newest last
    if (slots.size() > 3) slots.pop_back();
  }
  tern::MemoryBulletinSource source;
  for (auto& [row, slots] : rows) {
    const auto store = row.first == 0 ? tern::DwdStore::German : tern::DwdStore::English;
    for (std::size_t s = 0; s < slots.size(); ++s)
      source.put(store, row.second, static_cast<int>(s), std::move(slots[s]));
  }
  return source;
}

// The demo store and the same with one blank more at the end of one bulletin: the same
// reports from texts that differ, so a decoder that alternates between them decodes each time.
std::pair<tern::MemoryBulletinSource, tern::MemoryBulletinSource> demoStores(int factor) {
  tern::MemoryBulletinSource source = demoStore(factor);
  tern::MemoryBulletinSource changed = source;
  std::string text;
  source.copyTexts(tern::DwdStore::German, "SMVX41", std::span(&text, 1));
  changed.put(tern::DwdStore::German, "SMVX41", 0, text + " ");
  return {std::move(source), std::move(changed)};
}

std::size_t decodedShipReports(const tern::MemoryBulletinSource& source) {
  tern::TSynopDecoder decoder;
  decoder.ReadBulletins(source);
  const auto& list = decoder.ReportList();
  return static_cast<std::size_t>(std::count_if(
      list.begin(), list.end(), [](const auto& r) { return r.ReportKind == tern::kReportShip; }));
}

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

void setCounters(benchmark::State& state, const tern::MemoryBulletinSource& source,
                 const tern::TSynopDecoder& decoder) {
  state.counters["decoded"] = static_cast<double>(decodedShipReports(source));
  state.counters["shown"] = static_cast<double>(decoder.ReportList().size());
}

// Every rebuild decodes: the bulletins alternate between two texts.
void BM_RebuildReports(benchmark::State& state) {
  const auto [source, changed] = demoStores(static_cast<int>(state.range(0)));
  tern::TSynopDecoder decoder;
  bool flip = false;
  for (auto _ : state) {
    decoder.RebuildReports((flip = !flip) ? changed : source);
    benchmark::DoNotOptimize(decoder.ReportList().data());
  }
  setCounters(state, source, decoder);
}

void BM_DrawWindMap(benchmark::State& state) {
  const tern::MemoryBulletinSource source = demoStore(static_cast<int>(state.range(0)));
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

// The page comes to the front after new bulletins each time (the stores alternate), or
// with the bulletins of the time before. The iteration time is the window thread's part:
// the list decoded last and the map drawn from it. The refresh that decodes the new
// bulletins runs before, off the window thread in the program, and is the counter
// "refresh_ms" (the median; with the same bulletins it only compares their texts).
void pageActivation(benchmark::State& state, bool newBulletins) {
  const auto [source, changed] = demoStores(static_cast<int>(state.range(0)));
  tern::SynopReports reports;
  MapDrawing drawing;
  bool flip = false;
  std::vector<double> refreshes;
  for (auto _ : state) {
    flip = newBulletins && !flip;
    double start = tern::bench::threadCpuSeconds();
    reports.Refresh(flip ? changed : source);
    refreshes.push_back(tern::bench::threadCpuSeconds() - start);
    start = tern::bench::threadCpuSeconds();
    const tern::SynopReportList list = reports.Current();
    drawing.draw(*list);
    benchmark::DoNotOptimize(drawing.map.data());
    state.SetIterationTime(tern::bench::threadCpuSeconds() - start);
  }
  tern::TSynopDecoder decoder;
  decoder.RebuildReports(source);
  setCounters(state, source, decoder);
  state.counters["refresh_ms"] = tern::bench::medianOf(std::move(refreshes)) * 1e3;
}
void BM_PageActivation(benchmark::State& state) { pageActivation(state, true); }
void BM_PageActivationSameBulletins(benchmark::State& state) { pageActivation(state, false); }

// The argument is the factor of the demo's ship reports.
BENCHMARK(BM_RebuildReports)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawWindMap)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageActivation)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageActivationSameBulletins)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
