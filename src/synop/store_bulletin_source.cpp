#include "synop/store_bulletin_source.h"

#include <mutex>

namespace tern {

BulletinRow StoreBulletinSource::bulletins(DwdStore which, std::string_view heading) const {
  std::lock_guard lock(store_.mutex());
  const MessageTable& table = store_.table(which == DwdStore::German ? 0 : 1);
  for (int row = 0; row < table.rowCount(); ++row) {
    BulletinRow copy;
    for (int s = 0; s < MessageTable::kSlots; ++s) {
      const MessageRecord& r = table.slot(row, s);
      if (!r.isEmpty())
        copy[static_cast<std::size_t>(s)] = BulletinCopyFromRecord(r.header, r.data);
    }
    if (RowCarriesHeading(copy, heading)) return copy;
  }
  return {};
}

}  // namespace tern
