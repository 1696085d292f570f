// tern-cli dump: every record of a data folder's data files as JSON, with a SHA-256 of each
// message's data instead of the data itself, and the barometer store.
#include <iomanip>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "common/folders.h"
#include "common/latin1.h"
#include "common/sha256.h"
#include "config/schedule_table.h"
#include "link/transmitter_names.h"
#include "messages/message_store.h"

namespace tern::cli {

namespace {

using Json = nlohmann::ordered_json;

std::string timeText(const CivilTime& t) { return formatIsoLike(t); }

// Adds the record's fields to `j` (which may hold others before them).
void addRecord(Json& j, const MessageRecord& r) {
  j["code"] = r.transmitterCode();
  j["transmitter"] = latin1ToUtf8(TransmitterName(r.transmitterCode()));
  j["length"] = r.dataLength();
  j["key"] = latin1ToUtf8(r.keyText());
  j["received"] = timeText(r.receptionTime());
  j["flag_byte"] = r.flagByte();
  j["new"] = r.newFlag;
  j["sha256"] = sha256Hex(r.data);
}

}  // namespace

int cmdDump(const Words& words) {
  Args args(words, {"--data-folder", "--program-folder"});
  if (int status = refuseOptions(args, {}, "dump")) return status;
  if (int status = refuseArguments(args)) return status;
  auto dataFolder = args.value("--data-folder");
  if (!dataFolder) return fail("dump braucht --data-folder ORDNER");
  const std::string data = withTrailingSlash(*dataFolder);
  if (!isDirectory(data)) return fail("Den Datenordner " + data + " gibt es nicht");
  const std::string program = programFolderOption(args);

  // Only looking: nothing in the folder is renamed, removed or written, and no lock is
  // taken, so a folder in use by the window can be dumped.
  MessageStore store(data, program, nullptr, MessageStore::Access::ReadOnly);
  std::lock_guard lock(store.mutex());
  Json out;
  Json tables = Json::array();
  for (int t = 0; t < kTableCount; ++t) {
    Json table;
    table["name"] = kSchedules[static_cast<std::size_t>(t)].caption;
    Json records = Json::array();
    for (int row = 0; row < store.table(t).rowCount(); ++row) {
      for (int slot = 0; slot < MessageTable::kSlots; ++slot) {
        const MessageRecord& r = store.table(t).slot(row, slot);
        if (r.isEmpty()) continue;
        Json j;
        j["row"] = row;
        j["slot"] = slot;
        addRecord(j, r);
        records.push_back(std::move(j));
      }
    }
    table["records"] = std::move(records);
    tables.push_back(std::move(table));
  }
  out["tables"] = std::move(tables);
  for (auto [which, name] : {std::pair{kNavtex518, "navtex_518"}, {kNavtex490, "navtex_490"}}) {
    Json list = Json::array();
    for (const MessageRecord& r : store.navtex(which).records()) addRecord(list.emplace_back(), r);
    out[name] = std::move(list);
  }
  const BaroStore& baro = store.baro();
  Json samples = Json::array();
  for (int i = 0; i < std::min<int>(baro.count(), BaroStore::kSampleCount); ++i) {
    samples.push_back(
        {{"time", timeText(baro.sampleTime(i))}, {"pa_above_100000", baro.pressure(i)}});
  }
  out["barometer"] = {
      {"head", baro.head()}, {"count", baro.count()}, {"samples", std::move(samples)}};
  // Written as it is serialised, without a copy of the whole text in between.
  std::cout << std::setw(2) << out << '\n';
  return reportLoadProblems(store);
}

}  // namespace tern::cli
