// What a message store holds, as key texts: every filled slot of the seven tables and every
// record of both NAVTEX lists. Tests compare it to what a receiver held.
#pragma once

#include <set>
#include <string>

#include "messages/message_store.h"

namespace tern::testing {

inline std::multiset<std::string> storedKeys(const MessageStore& store) {
  std::multiset<std::string> out;
  for (int t = 0; t < kTableCount; ++t)
    for (int row = 0; row < store.table(t).rowCount(); ++row)
      for (int slot = 0; slot < MessageTable::kSlots; ++slot)
        if (!store.table(t).slot(row, slot).isEmpty())
          out.insert(store.table(t).slot(row, slot).keyText());
  for (int which : {kNavtex518, kNavtex490})
    for (const MessageRecord& r : store.navtex(which).records()) out.insert(r.keyText());
  return out;
}

}  // namespace tern::testing
