#include "readout/navtex_appended.h"

#include <mutex>
#include <unordered_map>
#include <utility>

namespace tern {

void keepStillStored(const MessageStore& store, std::vector<NavtexAppended>& appended) {
  if (appended.empty()) return;
  // Serials are unique within the process, so the serial alone finds an entry.
  std::unordered_map<std::uint64_t, std::size_t> bySerial;
  for (std::size_t i = 0; i < appended.size(); ++i) bySerial.emplace(appended[i].record.serial, i);
  std::vector<NavtexAppended> kept;
  kept.reserve(appended.size());
  {
    std::lock_guard lock(store.mutex());
    for (int which = 0; which < kNavtexCount; ++which) {
      for (const MessageRecord& stored : store.navtex(which).records()) {
        const auto found = bySerial.find(stored.serial);
        if (found == bySerial.end() || appended[found->second].which != which) continue;
        kept.push_back(std::move(appended[found->second]));
        bySerial.erase(found);
      }
    }
  }
  appended = std::move(kept);
}

}  // namespace tern
