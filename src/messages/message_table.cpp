#include "messages/message_table.h"

#include <algorithm>
#include <utility>

namespace tern {

MessageTable::MessageTable(int rows) : rows_(std::clamp(rows, 0, kMaxRows)) { clear(); }

void MessageTable::clear() { slots_.fill(MessageRecord::empty()); }

MessageTable::StoreResult MessageTable::store(int row, Counters& counters,
                                              const MessageRecord::Header& header, ByteView data,
                                              std::uint64_t serial) {
  if (row < 0 || row >= kMaxRows) return StoreResult::Ignored;
  int& k = counters[static_cast<std::size_t>(row)];
  if (k >= kSlots) return StoreResult::Ignored;
  if (slot(row, k).header == header) return StoreResult::Duplicate;
  for (int s = kSlots - 1; s > k; --s) slot(row, s) = std::move(slot(row, s - 1));
  MessageRecord& target = slot(row, k);
  target.header = header;
  target.newFlag = 1;
  target.data.assign(data.begin(), data.end());
  target.serial = serial;
  ++k;
  return StoreResult::Stored;
}

MessageTable::StoreResult MessageTable::storeGoingPast(int row, Counters& counters,
                                                       const MessageRecord::Header& header,
                                                       ByteView data, std::uint64_t serial) {
  if (row < 0 || row >= kMaxRows) return StoreResult::Ignored;
  int& k = counters[static_cast<std::size_t>(row)];
  for (int s = 0; s < kSlots; ++s) {
    if (slot(row, s).header != header) continue;
    k = std::max(k, s + 1);
    return StoreResult::Duplicate;
  }
  return store(row, counters, header, data, serial);
}

bool MessageTable::age(const CivilTime& utcNow, int days) {
  bool dropped = false;
  for (int row = 0; row < kMaxRows; ++row) {
    for (int s = kSlots - 1; s >= 0; --s) {
      MessageRecord& r = slot(row, s);
      if (r.isEmpty()) continue;
      if (!isOlderThan(r, utcNow, days)) break;
      r = MessageRecord::empty();
      dropped = true;
    }
  }
  return dropped;
}

const MessageRecord* MessageTable::find(std::uint64_t serial) const {
  return findBySerial(slots_, serial);
}

MessageRecord* MessageTable::find(std::uint64_t serial) { return findBySerial(slots_, serial); }

}  // namespace tern
