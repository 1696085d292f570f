#include "messages/navtex_list.h"

#include <algorithm>
#include <utility>

namespace tern {

bool NavtexList::knownOrReplace(const MessageRecord::Header& header) {
  bool known = false;
  ByteView key = ByteView(header).subspan(5, 12);
  for (std::size_t i = records_.size(); i-- > 0;) {
    const MessageRecord& stored = records_[i];
    if (stored.header == header) {
      known = true;
    } else if (std::equal(key.begin(), key.end(), stored.keyBytes().begin())) {
      records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  return known;
}

void NavtexList::append(const MessageRecord::Header& header, ByteView data, std::uint64_t serial) {
  MessageRecord r;
  r.header = header;
  r.newFlag = 1;
  r.data.assign(data.begin(), data.end());
  r.serial = serial;
  records_.push_back(std::move(r));
}

bool NavtexList::age(const CivilTime& utcNow, int days) {
  auto old = std::remove_if(records_.begin(), records_.end(),
                            [&](const MessageRecord& r) { return isOlderThan(r, utcNow, days); });
  bool removed = old != records_.end();
  records_.erase(old, records_.end());
  return removed;
}

const MessageRecord* NavtexList::find(std::uint64_t serial) const {
  return findBySerial(records_, serial);
}

MessageRecord* NavtexList::find(std::uint64_t serial) { return findBySerial(records_, serial); }

}  // namespace tern
