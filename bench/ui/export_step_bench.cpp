// How long the automatic export keeps the window thread busy, on the full demo set: every
// row of both DWD schedules with a bulletin, 116 NAVTEX messages, and every fax schedule row
// with a full 2400-line chart. "Whole export" is what the window thread did when it ran the
// export inside the hand-over; "window part" is what it does now (the barograph picture and
// the slant values), while the polling thread runs "writing" and keeps the tables still.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>

#include "common/clock.h"
#include "config/schedule_table.h"
#include "fakes/fax_encoder.h"
#include "fakes/recording_sink.h"
#include "fax/fax_decode.h"
#include "messages/message_store.h"
#include "ui/main_form.h"
#include "ui/polling_display.h"

namespace {

using namespace tern;

struct Fixture {
  Fixture() {
    root = std::filesystem::temp_directory_path() /
           ("tern_export_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "export");
    context.dataFolderOverride = (root / "data").string();
    context.programFolder = std::string(TERN_ASSETS_DIR) + "/";
    context.messages = &sink;
    context.clock = &clock;
    context.simulate = true;
    context.startPolling = false;
    form =
        std::make_unique<TMainForm>(std::make_unique<ApplicationSession>(context, clock), context);
    fill(form->Session().Store());
  }
  ~Fixture() {
    form.reset();
    std::filesystem::remove_all(root);
  }
  void fill(MessageStore& store) {
    const CivilTime t{2026, 12, 8, 12, 0, 0, 0};
    std::string bulletin;
    for (int line = 0; line < 60; ++line)
      bulletin += "SEEWETTERBERICHT FUER NORD- UND OSTSEE 1200 UTC\r\r\n";
    const Bytes chart = testing::encodeBuffer(testing::chartBuffer(kFaxSize));
    std::lock_guard lock(store.mutex());
    for (int table = 0; table < kTableCount; ++table) {
      const bool fax = table >= kFirstFaxTable;
      const int rows = kSchedules[static_cast<std::size_t>(table)].identifierCount;
      for (int row = 0; row < rows; ++row) {
        MessageRecord& r = store.table(table).slot(row, 0);
        const Bytes data = fax ? chart : Bytes(bulletin.begin(), bulletin.end());
        const std::string key =
            (fax ? "QYAA" : "FQEN") + std::to_string(10 + row) + std::to_string(table);
        r.header = makeHeader(fax ? 0 : 3, static_cast<std::uint32_t>(data.size()), key, t);
        r.data = data;
        r.serial = store.nextSerial();
      }
    }
    for (int i = 0; i < 116; ++i) {
      const std::string text =
          "ZCZC SA" + std::to_string(i) + "\nGALE WARNING GERMAN BIGHT\nNNNN\n";
      store.navtex(i % 2).append(
          makeHeader(i % 2 ? 9 : 10, static_cast<std::uint32_t>(text.size()),
                     "SA" + std::to_string(i), t),
          ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
          store.nextSerial());
    }
  }
  std::string folder() const { return (root / "export").string(); }

  std::filesystem::path root;
  SystemClock clock;
  testing::RecordingSink sink;
  AppContext context;
  std::unique_ptr<TMainForm> form;
};

// Made at the first use and gone before the application object.
std::unique_ptr<Fixture> theFixture;

Fixture& fixture() {
  if (!theFixture) theFixture = std::make_unique<Fixture>();
  return *theFixture;
}

void WholeExportOnTheWindowThread(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(fixture().form->Display().PrepareExport(fixture().folder())());
}
BENCHMARK(WholeExportOnTheWindowThread)->Unit(benchmark::kMillisecond)->Iterations(2);

void WindowPartOfTheExportStep(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(fixture().form->Display().PrepareExport(fixture().folder()));
}
BENCHMARK(WindowPartOfTheExportStep)->Unit(benchmark::kMillisecond)->Iterations(10);

void WritingOnThePollingThread(benchmark::State& state) {
  auto work = fixture().form->Display().PrepareExport(fixture().folder());
  for (auto _ : state) benchmark::DoNotOptimize(work());
}
BENCHMARK(WritingOnThePollingThread)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  theFixture.reset();
  return 0;
}
