// A NAVTEX list: the messages of one frequency in arrival order, each identifier once.
#pragma once

#include <cstdint>
#include <vector>

#include "messages/message_record.h"

namespace tern {

// Thread: guarded by the link's data lock.
class NavtexList {
 public:
  std::vector<MessageRecord>& records() { return records_; }
  const std::vector<MessageRecord>& records() const { return records_; }

  // Looks at a record the receiver delivered, from the newest stored one back: a stored
  // record with exactly the same header means everything from here on is known (true); a
  // stored record with the same 12 key bytes but another header is a repeat of the message
  // and is removed, so the new one replaces it.
  bool knownOrReplace(const MessageRecord::Header& header);
  void append(const MessageRecord::Header& header, ByteView data, std::uint64_t serial);
  // Removes records older than `days` days. True when anything was removed.
  bool age(const CivilTime& utcNow, int days);

  const MessageRecord* find(std::uint64_t serial) const;
  MessageRecord* find(std::uint64_t serial);

 private:
  std::vector<MessageRecord> records_;
};

}  // namespace tern
