#include "messages/navtex_alert_memory.h"

#include <sstream>
#include <utility>

#include "common/file_io.h"

namespace tern {

namespace {

constexpr std::size_t kMaxFileBytes = 1 << 20;

// Blanks and control bytes would break the file's lines; they never occur in real ids.
std::string entryKey(int frequencyKhz, std::string_view id) {
  std::string key = std::to_string(frequencyKhz) + " ";
  for (char c : id.substr(0, 4)) {
    const auto u = static_cast<unsigned char>(c);
    key += u > 0x20 && u < 0x7F ? c : '_';
  }
  return key;
}

}  // namespace

NavtexAlertMemory::NavtexAlertMemory(std::string dataFolder) {
  if (dataFolder.empty()) return;
  path_ = dataFolder + std::string(kNavtexAlertMemoryFile);
  FileData data = readWholeFile(path_, kMaxFileBytes);
  if (!data.status.ok) return;  // none yet; an unreadable one only means a repeated alert
  read(std::string_view(reinterpret_cast<const char*>(data.bytes.data()), data.bytes.size()));
}

NavtexAlertMemory NavtexAlertMemory::FromText(std::string_view text) {
  NavtexAlertMemory memory;
  memory.read(text);
  return memory;
}

void NavtexAlertMemory::read(std::string_view text) {
  std::istringstream in{std::string(text)};
  std::string frequency, id;
  std::int64_t seconds = 0;
  while (in >> frequency >> id >> seconds) alerted_[frequency + " " + id] = seconds;
}

bool NavtexAlertMemory::FirstAlert(int frequencyKhz, std::string_view id, const CivilTime& utcNow) {
  const std::int64_t now = secondsSinceEpoch(utcNow);
  const std::size_t before = alerted_.size();
  // Compared with `now` moved, never by a difference: a file's time may be any 64-bit number,
  // and its distance to now would overflow.
  std::erase_if(alerted_,
                [&](const auto& e) { return e.second > now + kNavtexFutureSlackSeconds; });
  if (alerted_.size() != before && !futureTold_) {
    futureTold_ = true;
    futureNotice_ = "Der NAVTEX-Alarmspeicher" + (path_.empty() ? "" : " " + path_) +
                    " enthielt Zeiten aus der Zukunft (die Uhr ging vor); sie gelten nicht, "
                    "die Meldungen alarmieren wieder.";
  }
  std::erase_if(alerted_, [&](const auto& e) { return e.second <= now - kNavtexRepeatSeconds; });
  const auto [it, first] = alerted_.try_emplace(entryKey(frequencyKhz, id), now);
  if (!first) return false;
  if (path_.empty()) return true;
  std::string text;
  for (const auto& [key, seconds] : alerted_) text += key + " " + std::to_string(seconds) + "\n";
  FileStatus status = replaceFileAtomically(
      path_, ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  if (!status.ok) writeFailure_ = status.message;
  return true;
}

std::string NavtexAlertMemory::takeWriteFailure() { return std::exchange(writeFailure_, {}); }

std::string NavtexAlertMemory::takeFutureNotice() { return std::exchange(futureNotice_, {}); }

}  // namespace tern
