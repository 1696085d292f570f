#include "readout/readouts.h"

#include <algorithm>
#include <optional>
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

// Receiving damaged records one after the other means the receiver is out of step rather than
// holding that many broken messages: the pass then ends as interrupted.
constexpr int kMaxDamagedInARow = 8;
// How often one pass selects its channel again because "no more records" came right behind
// a damaged record; a receiver that keeps losing its place leaves the pass interrupted.
constexpr int kMaxSelectAgain = 3;

// One pass over a receiver channel's record stream, with the mark of an interrupted earlier
// pass: until the pass has met the marked record (its target), a known record does not end
// it. Should the receiver have dropped that record meanwhile, the pass reads to the end of its
// log, which finishes it: one long pass, and nothing lost. A channel marked to be read to the
// end has no target at all.
//
// A reply cut inside a record's data leaves the receiver unsure where it stood; some answer
// the next request with "no more records". Such an end does not finish the channel: the
// pass selects it again and goes past what it got, down to the last whole record, before a
// known record may end it. When the end comes again right behind the same damaged record,
// the log really ends there.
class MarkedPass {
 public:
  MarkedPass(MessageStore& store, std::uint8_t channel) : store_(store), channel_(channel) {
    std::lock_guard lock(store_.mutex());
    target_ = store_.marks().stoodAt[channel_];
    readAll_ = store_.marks().readAll[channel_];
    pastTarget_ = !target_ && !readAll_;
    goingPast_ = !pastTarget_;
  }

  // Records the store holds are looked for in every slot, not only where the next one goes.
  bool goingPast() const { return goingPast_; }

  // Fetches records until the stream ends, `onRecord` ends the pass (returns true), the link
  // fails or a stop is requested. `onRecord(header, mayEnd)`: mayEnd tells whether a known
  // record may end the pass here.
  template <class OnRecord>
  void walk(TTERN& link, std::stop_token stop, ReadoutReport& report, OnRecord onRecord) {
    report.readAll = readAll_;
    int damagedInARow = 0;
    int selectedAgain = 0;
    MessageRecord::Header damaged{};                   // the damaged record met last
    std::optional<MessageRecord::Header> endedBehind;  // the one an end came behind
    while (!stop.stop_requested()) {
      const TTERN::RecordResult r = link.FetchRecord(false, stop);
      if (r == TTERN::RecordResult::End) {
        if (damagedInARow == 0) {
          finished_ = true;
          return;
        }
        if (endedBehind == damaged) {
          // The same record twice before the end: the log ends there, nothing was lost.
          --report.placeLost;
          finished_ = true;
          return;
        }
        if (selectedAgain == kMaxSelectAgain) return;
        ++selectedAgain;
        ++report.placeLost;
        endedBehind = damaged;
        if (!link.SelectChannel(channel_, false)) return;
        startAgain();
        damagedInARow = 0;
        continue;
      }
      if (r == TTERN::RecordResult::Failed) return;
      if (r == TTERN::RecordResult::Damaged) {
        ++report.skipped;
        damaged = headerOf(link);
        if (++damagedInARow >= kMaxDamagedInARow) return;
        continue;
      }
      damagedInARow = 0;
      const MessageRecord::Header header = headerOf(link);
      const bool mayEnd = pastTarget_;
      if (!pastTarget_ && !readAll_ && header == *target_) pastTarget_ = true;
      last_ = header;
      if (onRecord(header, mayEnd)) {
        finished_ = true;
        return;
      }
    }
  }

  // Writes the data files through `writeFiles` with the mark written on the safe side of
  // them: a new mark before (a crash in between makes the next pass read more, never less),
  // a cleared one after.
  template <class WriteFiles>
  bool commit(ReadoutReport& report, WriteFiles writeFiles) {
    report.finished = finished_;
    // A pass that never got to its target still needs it; otherwise it stood at its last
    // record. A pass that read nothing after a finished one left no gap.
    std::optional<MessageRecord::Header> mark;
    const bool readAll = !finished_ && readAll_;
    if (!finished_ && !readAll_) mark = pastTarget_ ? last_ : target_;
    bool changed = false;
    {
      std::lock_guard lock(store_.mutex());
      changed =
          store_.marks().stoodAt[channel_] != mark || store_.marks().readAll[channel_] != readAll;
    }
    bool ok = true;
    auto writeMark = [&] {
      {
        std::lock_guard lock(store_.mutex());
        store_.marks().stoodAt[channel_] = mark;
        store_.marks().readAll[channel_] = readAll;
      }
      ok = store_.writeMarks().ok && ok;
    };
    const bool moreToRead = mark || readAll;
    if (changed && moreToRead) writeMark();
    ok = writeFiles() && ok;
    if (changed && !moreToRead) writeMark();
    return ok;
  }

 private:
  // After the channel was selected again: the stream starts at the newest record once more,
  // and everything down to the last whole record is known now.
  void startAgain() {
    if (pastTarget_ && last_) {
      target_ = last_;
      pastTarget_ = false;
    }
    goingPast_ = true;
  }

  MessageStore& store_;
  std::uint8_t channel_;
  std::optional<MessageRecord::Header> target_;
  bool readAll_ = false;
  bool pastTarget_ = true;
  bool goingPast_ = false;
  bool finished_ = false;
  std::optional<MessageRecord::Header> last_;
};

// Fax and DWD share one algorithm over their tables.
bool readScheduleTables(TTERN& link, MessageStore& store, const Clock& clock, bool autoOpen,
                        std::stop_token stop, ReadoutReport* report, std::uint8_t channel,
                        const std::vector<int>& tables) {
  ReadoutReport own;
  ReadoutReport& out = report != nullptr ? *report : own;
  out = {};
  std::array<MessageTable::Counters, kTableCount> counters{};
  if (autoOpen && !link.OpenLink()) return false;
  if (!link.SelectChannel(channel, false)) {
    if (autoOpen) link.CloseLink();
    return false;
  }
  MarkedPass pass(store, channel);
  pass.walk(link, stop, out, [&](const MessageRecord::Header& header, bool mayEnd) {
    int table = tableOfCode(header[0]);
    if (std::find(tables.begin(), tables.end(), table) == tables.end()) return false;
    int row = store.rowOf(table, keyTextOf(header));
    if (row < 0) return false;
    auto& rowCounters = counters[static_cast<std::size_t>(table)];
    std::lock_guard lock(store.mutex());
    MessageTable& t = store.table(table);
    auto result =
        pass.goingPast()
            ? t.storeGoingPast(row, rowCounters, header, link.RecordData(), store.nextSerial())
            : t.store(row, rowCounters, header, link.RecordData(), store.nextSerial());
    if (result == MessageTable::StoreResult::Duplicate) return mayEnd;
    if (result == MessageTable::StoreResult::Stored) {
      store.ChangedFlags[static_cast<std::size_t>(kTableChannel[table])] = 1;
    }
    return false;
  });
  if (autoOpen) link.CloseLink();

  const CivilTime now = clock.utcNow();
  {
    std::lock_guard lock(store.mutex());
    for (int t : tables) store.table(t).age(now, kScheduleAgeDays);
  }
  return pass.commit(out, [&] { return store.writeTables(tables); });
}

}  // namespace

bool ReadFax(TTERN& link, MessageStore& store, const Clock& clock, bool autoOpen,
             std::stop_token stop, ReadoutReport* report) {
  return readScheduleTables(link, store, clock, autoOpen, stop, report, protocol::kGroupFax,
                            {2, 3, 4, 5, 6});
}

bool ReadDwd(TTERN& link, MessageStore& store, const Clock& clock, bool autoOpen,
             std::stop_token stop, ReadoutReport* report) {
  return readScheduleTables(link, store, clock, autoOpen, stop, report, protocol::kGroupDwd,
                            {0, 1});
}

bool ReadNavtex(TTERN& link, MessageStore& store, const Clock& clock, bool autoOpen,
                std::stop_token stop, ReadoutReport* report) {
  ReadoutReport own;
  ReadoutReport& out = report != nullptr ? *report : own;
  out = {};
  if (autoOpen && !link.OpenLink()) return false;
  if (!link.SelectChannel(protocol::kGroupNavtex, false)) {
    if (autoOpen) link.CloseLink();
    return false;
  }
  const CivilTime now = clock.utcNow();
  // Keys met in this read-out, per list. Records come newest first, so a second record with
  // the same key in one read-out is an older broadcast of a message just stored or found
  // stored: it must neither replace that newer copy nor be stored beside it.
  std::array<std::set<std::string>, kNavtexCount> seenKeys;
  MarkedPass pass(store, protocol::kGroupNavtex);
  pass.walk(link, stop, out, [&](const MessageRecord::Header& header, bool mayEnd) {
    MessageRecord probe;
    probe.header = header;
    // An old record ends the read-out before it can touch the list: it must not remove a
    // newer stored copy of the same message that it would never replace.
    if (isOlderThan(probe, now, kNavtexAgeDays)) return true;
    int which = navtexOfCode(header[0]);
    if (which < 0) return false;
    std::string key(probe.keyBytes().begin(), probe.keyBytes().end());
    auto& seen = seenKeys[static_cast<std::size_t>(which)];
    if (seen.count(key) != 0) return false;
    seen.insert(key);
    std::lock_guard lock(store.mutex());
    if (store.navtex(which).knownOrReplace(header)) return mayEnd;
    NavtexList& list = store.navtex(which);
    list.append(header, link.RecordData(), store.nextSerial());
    out.appended.push_back({which, list.records().back()});
    store.ChangedFlags[navtexFrequency(which).channel] = 1;
    return false;
  });
  if (autoOpen) link.CloseLink();

  for (int which = 0; which < kNavtexCount; ++which) {
    std::lock_guard lock(store.mutex());
    store.navtex(which).age(now, kNavtexAgeDays);
  }
  // Ageing cannot take what this pass appended (an old record ends the pass before it is
  // stored), but the report follows the store, not that reasoning.
  keepStillStored(store, out.appended);
  return pass.commit(out, [&] { return store.writeNavtexLists(); });
}

bool ReadBarometer(TTERN& link, MessageStore& store, const Clock& clock, std::stop_token stop) {
  std::array<std::uint8_t, BaroStore::kBlockSize> block{};
  if (!link.ReadBaroPage(block, true)) return false;
  BaroReadPlan plan = planBaroRead(block);
  putU16(&block[6], plan.count);

  // Read the older pages first, without the lock; then put everything in at once, so the
  // window never sees half a ring.
  std::vector<std::array<std::uint8_t, BaroStore::kBlockSize>> pages(plan.pages.size());
  for (std::size_t i = 0; i < plan.pages.size(); ++i) {
    // A receiver that stopped answering would otherwise cost a timeout for each of up to
    // 503 pages. The ring's samples sit at positions counted from the newest, so a ring
    // with a page missing would show samples the receiver never sent: the previous ring
    // stays as it was until a read gets every page.
    if (stop.stop_requested() ||
        !link.ReadPage(static_cast<std::uint32_t>(plan.pages[i]), pages[i], true))
      return false;
  }

  {
    std::lock_guard lock(store.mutex());
    BaroStore& baro = store.baro();
    baro.block() = block;
    auto samplesAt = [&](int index) {
      return baro.samples().begin() + static_cast<std::ptrdiff_t>(index) * BaroStore::kSampleSize;
    };
    std::copy(block.begin() + 8, block.end(), samplesAt(plan.currentPageIndex));
    for (std::size_t i = 0; i < pages.size(); ++i) {
      std::copy(pages[i].begin() + 8, pages[i].end(),
                samplesAt(static_cast<int>(i) * BaroStore::kSamplesPerPage));
    }
    stampBaroTimes(baro, plan.count, clock.localNow());
  }
  // Kept as it arrives, as the messages are: the receiver overwrites its oldest samples, so
  // a power cut must not take the history read since the start with it. A failed write
  // keeps the ring in memory and is told like the other data files'.
  store.writeBaro();
  return true;
}

}  // namespace tern
