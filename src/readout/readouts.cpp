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

// One pass over a receiver channel's record stream, with the mark of an interrupted earlier
// pass: until the pass has met the marked record, a known record does not end it. Should the
// receiver have dropped that record meanwhile, the pass reads to the end of its log, which
// finishes it: one long pass, and nothing lost.
class MarkedPass {
 public:
  MarkedPass(MessageStore& store, std::uint8_t channel) : store_(store), channel_(channel) {
    std::lock_guard lock(store_.mutex());
    mark_ = store_.marks().stoodAt[channel_];
    pastMark_ = !mark_;
  }

  // A mark was set when the pass began: records it holds are looked for in every slot.
  bool goingPast() const { return mark_.has_value(); }

  // Fetches records until the stream ends, `onRecord` ends the pass (returns true), the link
  // fails or a stop is requested. `onRecord(header, mayEnd)`: mayEnd tells whether a known
  // record may end the pass here.
  template <class OnRecord>
  void walk(TTERN& link, std::stop_token stop, ReadoutReport& report, OnRecord onRecord) {
    int damagedInARow = 0;
    while (!stop.stop_requested()) {
      const TTERN::RecordResult r = link.FetchRecord(false, stop);
      if (r == TTERN::RecordResult::End) {
        finished_ = true;
        return;
      }
      if (r == TTERN::RecordResult::Failed) return;
      if (r == TTERN::RecordResult::Damaged) {
        ++report.skipped;
        if (++damagedInARow >= kMaxDamagedInARow) return;
        continue;
      }
      damagedInARow = 0;
      const MessageRecord::Header header = headerOf(link);
      const bool mayEnd = pastMark_;
      if (!pastMark_ && header == *mark_) pastMark_ = true;
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
    std::optional<MessageRecord::Header> mark;
    // A pass that never got to the old mark still needs it; otherwise it stood at its last
    // record. A pass that read nothing after a finished one left no gap.
    if (!finished_) mark = pastMark_ ? last_ : mark_;
    bool changed = false;
    {
      std::lock_guard lock(store_.mutex());
      changed = store_.marks().stoodAt[channel_] != mark;
    }
    bool ok = true;
    auto writeMark = [&] {
      {
        std::lock_guard lock(store_.mutex());
        store_.marks().stoodAt[channel_] = mark;
      }
      ok = store_.writeMarks().ok && ok;
    };
    if (changed && mark) writeMark();
    ok = writeFiles() && ok;
    if (changed && !mark) writeMark();
    return ok;
  }

 private:
  MessageStore& store_;
  std::uint8_t channel_;
  std::optional<MessageRecord::Header> mark_;
  bool pastMark_ = true;
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
  return pass.commit(out, [&] {
    bool written = true;
    for (int t : tables) written = store.writeTable(t).ok && written;
    return written;
  });
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
  std::array<std::set<std::string>, 2> seenKeys;
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
    store.navtex(which).append(header, link.RecordData(), store.nextSerial());
    store.ChangedFlags[which == kNavtex518 ? kChannelNavtex518 : kChannelNavtex490] = 1;
    return false;
  });
  if (autoOpen) link.CloseLink();

  for (int which : {kNavtex518, kNavtex490}) {
    std::lock_guard lock(store.mutex());
    store.navtex(which).age(now, kNavtexAgeDays);
  }
  return pass.commit(out, [&] {
    bool written = true;
    for (int which : {kNavtex518, kNavtex490}) written = store.writeNavtex(which).ok && written;
    return written;
  });
}

bool ReadBarometer(TTERN& link, MessageStore& store, const Clock& clock, std::stop_token stop) {
  std::array<std::uint8_t, BaroStore::kBlockSize> block{};
  if (!link.ReadBaroPage(block, true)) return false;
  BaroReadPlan plan = planBaroRead(block);
  putU16(&block[6], plan.count);

  // Read the older pages first, without the lock; then put everything in at once, so the
  // window never sees half a ring.
  std::vector<std::array<std::uint8_t, BaroStore::kBlockSize>> pages(plan.pages.size());
  std::vector<bool> pageRead(plan.pages.size(), false);
  bool complete = true;
  for (std::size_t i = 0; i < plan.pages.size() && !stop.stop_requested(); ++i) {
    pageRead[i] = link.ReadPage(static_cast<std::uint32_t>(plan.pages[i]), pages[i], true);
    // A receiver that stopped answering would otherwise cost a timeout for each of up to
    // 503 pages; the samples of the pages not read stay as they were.
    if (!pageRead[i]) {
      complete = false;
      break;
    }
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
  return complete && !stop.stop_requested();
}

}  // namespace tern
