#include "readout/readouts.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "link/protocol.h"

namespace tern {

namespace {

constexpr int kScheduleAgeDays = 3;
constexpr int kNavtexAgeDays = 2;

MessageRecord::Header headerOf(const TTERN& link) {
  MessageRecord::Header h{};
  std::copy(link.RecordHeader.begin(), link.RecordHeader.end(), h.begin());
  return h;
}

std::string keyTextOf(const MessageRecord::Header& h) {
  MessageRecord r;
  r.header = h;
  return r.keyText();
}

// Fax and DWD share one algorithm over their tables.
bool readScheduleTables(TTERN& link, MessageStore& store, const Clock& clock, bool autoOpen,
                        std::stop_token stop, std::uint8_t channel,
                        const std::vector<int>& tables) {
  std::array<MessageTable::Counters, kTableCount> counters{};
  if (autoOpen && !link.OpenLink()) return false;
  if (!link.SelectChannel(channel, false)) {
    if (autoOpen) link.CloseLink();
    return false;
  }
  while (!stop.stop_requested() && link.NextRecord(false)) {
    MessageRecord::Header header = headerOf(link);
    int table = tableOfCode(header[0]);
    if (std::find(tables.begin(), tables.end(), table) == tables.end()) continue;
    int row = store.rowOf(table, keyTextOf(header));
    if (row < 0) continue;
    std::lock_guard lock(store.mutex());
    auto result = store.table(table).store(row, counters[static_cast<std::size_t>(table)], header,
                                           link.RecordData(), store.nextSerial());
    if (result == MessageTable::StoreResult::Duplicate) break;
    if (result == MessageTable::StoreResult::Stored) {
      store.ChangedFlags[static_cast<std::size_t>(kTableChannel[table])] = 1;
    }
  }
  if (autoOpen) link.CloseLink();

  const CivilTime now = clock.utcNow();
  {
    std::lock_guard lock(store.mutex());
    for (int t : tables) store.table(t).age(now, kScheduleAgeDays);
  }
  bool written = true;
  for (int t : tables) written = store.writeTable(t).ok && written;
  return written;
}

}  // namespace

bool ReadFax(TTERN& link, MessageStore& store, const Clock& clock, bool autoOpen,
             std::stop_token stop) {
  return readScheduleTables(link, store, clock, autoOpen, stop, protocol::kGroupFax,
                            {2, 3, 4, 5, 6});
}

bool ReadDwd(TTERN& link, MessageStore& store, const Clock& clock, bool autoOpen,
             std::stop_token stop) {
  return readScheduleTables(link, store, clock, autoOpen, stop, protocol::kGroupDwd, {0, 1});
}

bool ReadNavtex(TTERN& link, MessageStore& store, const Clock& clock, bool autoOpen,
                std::stop_token stop) {
  if (autoOpen && !link.OpenLink()) return false;
  if (!link.SelectChannel(protocol::kGroupNavtex, false)) {
    if (autoOpen) link.CloseLink();
    return false;
  }
  const CivilTime now = clock.utcNow();
  // Keys stored by this read-out, per list. Records come newest first, so a second record
  // with the same key in one read-out is an older broadcast of a message just stored: it
  // must neither replace that newer copy nor be stored beside it.
  std::array<std::set<std::string>, 2> storedKeys;
  while (!stop.stop_requested() && link.NextRecord(false)) {
    MessageRecord::Header header = headerOf(link);
    MessageRecord probe;
    probe.header = header;
    // An old record ends the read-out before it can touch the list: it must not remove a
    // newer stored copy of the same message that it would never replace.
    if (isOlderThan(probe, now, kNavtexAgeDays)) break;
    int which = navtexOfCode(header[0]);
    if (which < 0) continue;
    std::string key(probe.keyBytes().begin(), probe.keyBytes().end());
    if (storedKeys[static_cast<std::size_t>(which)].count(key) != 0) continue;
    std::lock_guard lock(store.mutex());
    if (store.navtex(which).knownOrReplace(header)) break;
    storedKeys[static_cast<std::size_t>(which)].insert(key);
    store.navtex(which).append(header, link.RecordData(), store.nextSerial());
    store.ChangedFlags[which == kNavtex518 ? kChannelNavtex518 : kChannelNavtex490] = 1;
  }
  if (autoOpen) link.CloseLink();

  bool written = true;
  for (int which : {kNavtex518, kNavtex490}) {
    {
      std::lock_guard lock(store.mutex());
      store.navtex(which).age(now, kNavtexAgeDays);
    }
    written = store.writeNavtex(which).ok && written;
  }
  return written;
}

bool ReadBarometer(TTERN& link, MessageStore& store, const Clock& clock) {
  std::array<std::uint8_t, BaroStore::kBlockSize> block{};
  if (!link.ReadBaroPage(block, true)) return false;
  BaroReadPlan plan = planBaroRead(block);
  putU16(&block[6], plan.count);

  // Read the older pages first, without the lock; then put everything in at once, so the
  // window never sees half a ring.
  std::vector<std::array<std::uint8_t, BaroStore::kBlockSize>> pages(plan.pages.size());
  std::vector<bool> pageRead(plan.pages.size(), false);
  for (std::size_t i = 0; i < plan.pages.size(); ++i) {
    pageRead[i] = link.ReadPage(static_cast<std::uint32_t>(plan.pages[i]), pages[i], true);
  }

  std::lock_guard lock(store.mutex());
  BaroStore& baro = store.baro();
  baro.block() = block;
  auto samplesAt = [&](int index) {
    return baro.samples().begin() + static_cast<std::ptrdiff_t>(index) * BaroStore::kSampleSize;
  };
  std::copy(block.begin() + 8, block.end(), samplesAt(plan.currentPageIndex));
  for (std::size_t i = 0; i < pages.size(); ++i) {
    // A failed page read leaves those 64 samples as they were.
    if (pageRead[i]) {
      std::copy(pages[i].begin() + 8, pages[i].end(),
                samplesAt(static_cast<int>(i) * BaroStore::kSamplesPerPage));
    }
  }
  stampBaroTimes(baro, plan.count, clock.localNow());
  return true;
}

}  // namespace tern
