// tern-cli synop: the decoded ship and coastal reports as JSON, either of one bulletin file
// (placed as the newest copy of a heading) or of a data folder's stored bulletins; with --map
// the wind map drawn from them instead: one object per drawn map cell with its column, row,
// pixel position, icon number and kind mask (1 ship, 2 coastal), in drawing order; with
// --gpx FILE the data folder's reports go to a GPX file for chart plotters.
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "common/clock.h"
#include "common/file_io.h"
#include "synop/bulletin_source.h"
#include "synop/store_bulletin_source.h"
#include "synop/synop_decoder.h"
#include "synop/synop_gpx.h"
#include "synop/wind_map.h"

namespace tern::cli {

namespace {

// The receiver keeps no larger message; a bulletin file is no larger.
constexpr std::size_t kMaxBulletinBytes = MessageRecord::kMaxDataLength;

bool isShipHeading(std::string_view h, DwdStore store) {
  if (h.size() != 6 || h[5] < '1' || h[5] > '8') return false;
  if (h.substr(0, 5) == "SMVX4") return true;
  return store == DwdStore::English && h.substr(0, 5) == "SIVX4";
}

nlohmann::ordered_json intOrNull(std::int32_t v) {
  return v == TSynopType::kUnknown ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(v);
}

nlohmann::ordered_json toJson(const std::vector<TSynopType>& reports) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (const auto& r : reports) {
    out.push_back({{"name", r.name},
                   {"latitude", intOrNull(r.latitude)},
                   {"longitude", intOrNull(r.longitude)},
                   {"direction", intOrNull(r.direction)},
                   {"speed", r.speedKnown() ? nlohmann::ordered_json(r.speed)
                                            : nlohmann::ordered_json(nullptr)},
                   {"kind", r.ReportKind},
                   {"time", r.timeText},
                   {"day", r.dayText},
                   {"age_key", r.AgeKey},
                   {"lines", r.lines}});
  }
  return out;
}

// The drawn map: one object per drawn coarse cell, in drawing order.
nlohmann::ordered_json mapJson(const std::vector<TSynopType>& reports) {
  windmap::WindGrid grid;
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (const auto& icon : grid.Draw(reports)) {
    out.push_back({{"column", icon.cell.column},
                   {"row", icon.cell.row},
                   {"x", icon.x},
                   {"y", icon.y},
                   {"icon", icon.icon},
                   {"kind", icon.kind}});
  }
  return out;
}

void print(const nlohmann::ordered_json& json) {
  std::cout << json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

void printReports(const std::vector<TSynopType>& reports, bool map) {
  print(map ? mapJson(reports) : toJson(reports));
}

}  // namespace

int cmdSynop(const Words& words) {
  Args args(words,
            {"--bulletin", "--store", "--heading", "--data-folder", "--program-folder", "--gpx"});
  if (int status = refuseOptions(args, {"--no-filter", "--map"}, "synop")) return status;
  const bool map = args.flag("--map");
  if (int status = refuseArguments(args)) return status;

  if (args.value("--data-folder")) {
    // The two sources exclude each other: a bulletin option beside a folder would be ignored.
    for (const char* option : {"--bulletin", "--store", "--heading"})
      if (args.value(option)) return fail(std::string(option) + " passt nicht zu --data-folder");
    if (args.flag("--no-filter")) return fail("--no-filter passt nicht zu --data-folder");
    ReadOnlySession session(sessionOptionsOf(args), nullptr);
    if (int status = requireDataFolder(session, 2)) return status;
    // The rows of the data files are keyed by the schedule files the read-out used.
    const MessageStore& stored = session.Store();
    if (auto gpxPath = args.value("--gpx")) {
      const std::string gpx = synopGpxOfStore(stored, SystemClock().utcNow());
      FileStatus written = replaceFileAtomically(
          *gpxPath, ByteView(reinterpret_cast<const std::uint8_t*>(gpx.data()), gpx.size()));
      if (!written) return fail(written.message, 1);
      return reportLoadProblems(stored.loadProblems());
    }
    TSynopDecoder decoder;
    decoder.RebuildReports(StoreBulletinSource(stored));
    printReports(decoder.ReportList(), map);
    return reportLoadProblems(stored.loadProblems());
  }
  if (args.value("--program-folder")) return fail("--program-folder gehört zu --data-folder");
  auto file = args.value("--bulletin");
  auto storeName = args.value("--store");
  auto heading = args.value("--heading");
  if (!file || !storeName || !heading) {
    return fail(
        "synop braucht --data-folder ORDNER oder --bulletin DATEI --store german|english "
        "--heading H (siehe tern-cli synop --help)");
  }
  DwdStore store;
  if (*storeName == "german") {
    store = DwdStore::German;
  } else if (*storeName == "english") {
    store = DwdStore::English;
  } else {
    return fail("--store ist german oder english, nicht '" + *storeName + "'");
  }
  bool coastal = *heading == kNorthSeaHeading || *heading == kMediterraneanHeading;
  if (coastal && store != DwdStore::German) {
    return fail("Das Küstenbulletin " + *heading + " steht nur im Speicher german");
  }
  if (!coastal && !isShipHeading(*heading, store)) {
    return fail("Die Überschrift " + *heading + " wird nicht aus dem Speicher " + *storeName +
                " gelesen");
  }

  FileData data = readWholeFile(*file, kMaxBulletinBytes);
  if (!data.status) return fail(data.status.message);

  SystemClock clock;
  MemoryBulletinSource source;
  source.put(store, *heading, 0, std::string(data.bytes.begin(), data.bytes.end()), clock.utcNow());
  TSynopDecoder decoder;
  if (args.flag("--no-filter")) {
    decoder.ReadBulletins(source);
  } else {
    decoder.RebuildReports(source);
  }
  printReports(decoder.ReportList(), map);
  return 0;
}

}  // namespace tern::cli
