// A schedule table: one row per schedule entry of a channel, three slots per row, slot 0
// the newest recording. The fixed 40 x 3 layout means a read-out allocates nothing but the
// message data.
#pragma once

#include <array>
#include <cstdint>

#include "messages/message_record.h"

namespace tern {

// Thread: guarded by the link's data lock.
class MessageTable {
 public:
  static constexpr int kMaxRows = 40;
  static constexpr int kSlots = 3;
  using Counters = std::array<int, kMaxRows>;

  enum class StoreResult { Stored, Ignored, Duplicate };

  explicit MessageTable(int rows = 0);

  int rowCount() const { return rows_; }
  MessageRecord& slot(int row, int slot) { return slots_.at(index(row, slot)); }
  const MessageRecord& slot(int row, int slot) const { return slots_.at(index(row, slot)); }
  // Empties every slot of every row.
  void clear();

  // Puts a record delivered by the receiver into `row`. `counters[row]` counts the records
  // stored into the row during the current read-out: a row takes at most three, each one
  // slot further down, pushing older recordings towards slot 2 (whose record is dropped).
  // A record whose header equals the one already at that slot is a duplicate: from there
  // on everything is known.
  StoreResult store(int row, Counters& counters, const MessageRecord::Header& header, ByteView data,
                    std::uint64_t serial);

  // The same for a read-out that goes past records it already holds (after an interrupted
  // one): a record found in any slot of the row is a duplicate and moves the row's counter
  // behind that slot, so the records that follow it land below it in arrival order and
  // nothing is ever stored twice.
  StoreResult storeGoingPast(int row, Counters& counters, const MessageRecord::Header& header,
                             ByteView data, std::uint64_t serial);

  // Drops recordings older than `days` days, per row from slot 2 up to the first one that
  // is young enough. True when anything was dropped.
  bool age(const CivilTime& utcNow, int days);

  // Finds the record with the given serial; nullptr when it is gone.
  const MessageRecord* find(std::uint64_t serial) const;
  MessageRecord* find(std::uint64_t serial);

 private:
  static std::size_t index(int row, int slot) {
    return static_cast<std::size_t>(row) * kSlots + static_cast<std::size_t>(slot);
  }
  int rows_;
  std::array<MessageRecord, kMaxRows * kSlots> slots_;
};

}  // namespace tern
