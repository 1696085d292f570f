// Throughput of the local data files (100 MB of fax records written and read back) and the
// cost of a read-out of 200 records through the simulated receiver.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "../../tests/fakes/fake_clock.h"
#include "messages/data_files.h"
#include "messages/message_store.h"
#include "readout/readouts.h"
#include "sim/sim_port.h"
#include "support/ratio.h"

namespace tern {
namespace {

std::filesystem::path scratch() {
  auto dir = std::filesystem::temp_directory_path() / ("tern_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  return dir;
}

// Five fax tables of 34 rows x 3 slots with about 200 KB per chart: 100 MB in all.
std::vector<MessageTable> hundredMegabytes() {
  std::vector<MessageTable> tables(kFaxStationCount, MessageTable(34));
  Bytes chart(200 * 1024);
  for (std::size_t i = 0; i < chart.size(); ++i) chart[i] = static_cast<std::uint8_t>(i * 31);
  std::uint64_t serial = 0;
  for (auto& table : tables) {
    MessageTable::Counters counters{};
    for (int row = 0; row < 34; ++row)
      for (int slot = 0; slot < 3; ++slot)
        table.store(row, counters,
                    makeHeader(0, static_cast<std::uint32_t>(chart.size()), "ASXX40",
                               {2026, 3, 5, 12, slot, 0, 0}),
                    chart, ++serial);
  }
  return tables;
}

std::size_t totalBytes(const std::vector<MessageTable>& tables) {
  std::size_t n = 0;
  for (const auto& t : tables) n += serializeTable(t).size();
  return n;
}

// The store's five fax tables full (34 + 19 + 18 + 25 + 18 rows x 3 charts of 300 KB): about
// 100 MB, saved as a read-out of the fax group saves them, beside a plain write and fsync of
// the same bytes into one file (counter x_write_fsync), both by the wall clock.
void BM_SaveFaxTables(benchmark::State& state) {
  const auto root = scratch();
  const auto dir = root / "save";
  std::filesystem::create_directories(dir);
  MessageStore store(dir.string() + "/", std::string(TERN_ASSETS_DIR) + "/", nullptr);
  Bytes chart(300 * 1024);
  for (std::size_t i = 0; i < chart.size(); ++i) chart[i] = static_cast<std::uint8_t>(i * 31);
  const int faxTables[] = {2, 3, 4, 5, 6};
  std::vector<Bytes> files;
  std::size_t total = 0;
  for (int t : faxTables) {
    MessageTable& table = store.table(t);
    MessageTable::Counters counters{};
    for (int row = 0; row < table.rowCount(); ++row)
      for (int slot = 0; slot < 3; ++slot)
        table.store(row, counters,
                    makeHeader(0, static_cast<std::uint32_t>(chart.size()), "ASXX40",
                               {2026, 3, 5, 12, slot, 0, 0}),
                    chart, store.nextSerial());
    files.push_back(serializeTable(table));
    total += files.back().size();
  }
  const std::string plain = (dir / "plain.bin").string();
  {
    bench::Interleaved timing(state, bench::Interleaved::Time::Wall);
    for (auto _ : state) {
      timing.work([&] {
        if (!store.writeTables(faxTables)) state.SkipWithError(store.takeWriteFailure().c_str());
      });
      timing.reference("write_fsync", [&] {
        const int fd = ::open(plain.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        for (const Bytes& f : files)
          if (::write(fd, f.data(), f.size()) != static_cast<ssize_t>(f.size()))
            state.SkipWithError("plain write failed");
        ::fsync(fd);
        ::close(fd);
      });
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * total));
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_SaveFaxTables)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);

void BM_LoadDataFiles(benchmark::State& state) {
  auto tables = hundredMegabytes();
  auto dir = scratch();
  for (std::size_t i = 0; i < tables.size(); ++i)
    writeDataFile((dir / faxStation(static_cast<int>(i)).dataFile).string(),
                  serializeTable(tables[i]));
  std::uint64_t serial = 0;
  SerialSource next = [&serial] { return ++serial; };
  for (auto _ : state) {
    for (std::size_t i = 0; i < tables.size(); ++i) {
      MessageTable back(34);
      if (loadTableFile((dir / faxStation(static_cast<int>(i)).dataFile).string(), back, next) !=
          LoadResult::Loaded)
        state.SkipWithError("load failed");
      benchmark::DoNotOptimize(back);
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * totalBytes(tables)));
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LoadDataFiles)->Unit(benchmark::kMillisecond)->Iterations(3);

// 200 DWD bulletins of 2 KB, read into the tables and written, per iteration on a fresh
// receiver and store. The fake clock makes the simulated receiver answer without waiting,
// so this is the program's own cost.
void BM_ReadOut200Records(benchmark::State& state) {
  auto dir = scratch() / "readout";
  testing::FakeClock clock;
  sim::Scenario scenario;
  const char* ids[] = {"WODL45", "FQEN50", "FQEN51", "SXEN40", "SMVX41"};
  for (int i = 0; i < 200; ++i) {
    sim::SimRecord r;
    r.code = 3;
    r.key = ids[i % 5];
    r.received = civilFromSeconds(secondsSinceEpoch(clock.utcNow()) - 3600 * 48 + i * 600);
    r.data.assign(2048, static_cast<std::uint8_t>('A' + i % 26));
    scenario.logs[1].push_back(r);
  }
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    MessageStore store(dir.string() + "/", std::string(TERN_ASSETS_DIR) + "/", nullptr);
    auto receiver = std::make_shared<sim::SimReceiver>(scenario, clock);
    TTERN link(std::make_unique<sim::SimPort>(receiver), clock);
    state.ResumeTiming();
    ReadDwd(link, store, clock, true);
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_ReadOut200Records)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tern
