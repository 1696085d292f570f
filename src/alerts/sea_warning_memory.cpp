#include "alerts/sea_warning_memory.h"

#include <algorithm>
#include <sstream>
#include <utility>

#include "common/file_io.h"
#include "seaweather/sea_areas.h"

namespace tern {

namespace {

constexpr std::size_t kMaxFileBytes = 64 * 1024;
constexpr int kHighestLevel = static_cast<int>(seaweather::WarningLevel::Hurricane);

}  // namespace

// The file: one line per area, "westliche-ostsee 2 1765432800" (id, step, issue second).
// Lines with an unknown id or a step out of range are left out: the worst they cost is one
// alert more.
SeaWarningMemory::SeaWarningMemory(std::string dataFolder) {
  if (dataFolder.empty()) return;
  path_ = dataFolder + std::string(kSeaWarningMemoryFile);
  FileData data = readWholeFile(path_, kMaxFileBytes);
  if (!data.status.ok) return;
  read(std::string_view(reinterpret_cast<const char*>(data.bytes.data()), data.bytes.size()));
}

SeaWarningMemory SeaWarningMemory::FromText(std::string_view text) {
  SeaWarningMemory memory;
  memory.read(text);
  return memory;
}

void SeaWarningMemory::read(std::string_view text) {
  std::istringstream in{std::string(text)};
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id;
    Entry e;
    if (!(fields >> id >> e.level >> e.issued)) continue;
    if (seaweather::areaById(id) == nullptr || e.level < 1 || e.level > kHighestLevel) continue;
    warned_[id] = e;
  }
}

void SeaWarningMemory::Age(std::int64_t issued) {
  const std::size_t before = warned_.size();
  // Compared with `issued` moved, never by a difference: a file's time may be any 64-bit
  // number, and its distance to `issued` would overflow.
  std::erase_if(warned_, [&](const auto& e) {
    return e.second.issued > issued + kSeaWarningFutureSlackSeconds;
  });
  if (warned_.size() != before && !futureTold_) {
    futureTold_ = true;
    futureNotice_ = "Der Alarmspeicher der Seegebiete" + (path_.empty() ? "" : " " + path_) +
                    " enthielt spätere Zeiten als die neue Warnung (die Uhr ging vor); sie "
                    "gelten nicht, die Warnungen alarmieren wieder.";
  }
  std::erase_if(
      warned_, [&](const auto& e) { return e.second.issued <= issued - kSeaWarningPeriodSeconds; });
  changed_ = changed_ || warned_.size() != before;
}

bool SeaWarningMemory::FirstAlert(std::string_view areaId, seaweather::WarningLevel level,
                                  std::int64_t issued) {
  const int step = static_cast<int>(level);
  auto it = warned_.find(areaId);
  const bool first = it == warned_.end() || step > it->second.level;
  if (it == warned_.end()) it = warned_.emplace(std::string(areaId), Entry{step, issued}).first;
  Entry& e = it->second;
  const Entry was = e;
  e.level = std::max(e.level, step);
  e.issued = std::max(e.issued, issued);
  changed_ = changed_ || first || e.issued != was.issued || e.level != was.level;
  return first;
}

void SeaWarningMemory::Save() {
  if (!changed_ || path_.empty()) return;
  changed_ = false;
  std::string text;
  for (const auto& [id, e] : warned_)
    text += id + " " + std::to_string(e.level) + " " + std::to_string(e.issued) + "\n";
  FileStatus status = replaceFileAtomically(
      path_, ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  // A failed write is tried again with the next bulletin.
  if (!status.ok) {
    writeFailure_ = status.message;
    changed_ = true;
  }
}

std::string SeaWarningMemory::takeWriteFailure() { return std::exchange(writeFailure_, {}); }

std::string SeaWarningMemory::takeFutureNotice() { return std::exchange(futureNotice_, {}); }

}  // namespace tern
