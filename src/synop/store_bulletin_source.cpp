#include "synop/store_bulletin_source.h"

#include <mutex>

namespace tern {

namespace {

// The first row of `table` that carries `heading`, found by the record headers alone, so no
// message data is copied on the way; -1 when there is none.
int findRow(const MessageTable& table, std::string_view heading) {
  for (int row = 0; row < table.rowCount(); ++row) {
    BulletinRow headers;
    for (int s = 0; s < MessageTable::kSlots; ++s) {
      const MessageRecord& r = table.slot(row, s);
      if (!r.isEmpty()) headers[static_cast<std::size_t>(s)] = BulletinCopyFromRecord(r.header, {});
    }
    if (RowCarriesHeading(headers, heading)) return row;
  }
  return -1;
}

const MessageTable& tableOf(const MessageStore& store, DwdStore which) {
  return store.table(which == DwdStore::German ? 0 : 1);
}

}  // namespace

BulletinRow StoreBulletinSource::bulletins(DwdStore which, std::string_view heading) const {
  std::lock_guard lock(store_.mutex());
  const MessageTable& table = tableOf(store_, which);
  const int row = findRow(table, heading);
  BulletinRow copy;
  if (row < 0) return copy;
  for (int s = 0; s < MessageTable::kSlots; ++s) {
    const MessageRecord& r = table.slot(row, s);
    if (!r.isEmpty()) copy[static_cast<std::size_t>(s)] = BulletinCopyFromRecord(r.header, r.data);
  }
  return copy;
}

void StoreBulletinSource::copyTexts(DwdStore which, std::string_view heading,
                                    std::span<std::string> texts) const {
  std::lock_guard lock(store_.mutex());
  const MessageTable& table = tableOf(store_, which);
  const int row = findRow(table, heading);
  for (std::size_t s = 0; s < texts.size(); ++s) {
    texts[s].clear();
    if (row < 0 || s >= static_cast<std::size_t>(MessageTable::kSlots)) continue;
    const MessageRecord& r = table.slot(row, static_cast<int>(s));
    if (!r.isEmpty()) texts[s].assign(reinterpret_cast<const char*>(r.data.data()), r.data.size());
  }
}

}  // namespace tern
