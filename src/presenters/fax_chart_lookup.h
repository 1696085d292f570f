// A recorded chart found by the names a user reads off the fax tree, for tern-cli, which has
// no tree to click: the station as the map folders name it ("DWD", "NEW_ORLEANS"), the
// schedule row as the chart's key begins ("ASXX69") and the recording by its slot, 0 the
// newest of the row, as tern-cli dump numbers them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "messages/message_table.h"

namespace tern {

// The station number (0..kFaxStationCount-1) of `name` as FaxStationName spells it or as the
// tree's caption does ("FAX DWD"); letter case and a blank for the underscore do not matter.
// Nothing when no station has that name.
std::optional<int> FaxStationOf(std::string_view name);

struct FaxChartLookup {
  std::optional<MessageRecord> chart;  // a copy of the record, data included
  int slot = 0;                        // where it was found
  std::string error;                   // German, when there is no chart: what there is instead
};

// The recording `slot` (the newest one without) of `row` in `table`, the schedule table of
// fax station `station`. The row is the first whose recordings carry that name (letter case
// does not matter). The caller holds the lock that guards `table`, if any.
FaxChartLookup FindFaxChart(const MessageTable& table, int station, std::string_view row,
                            std::optional<int> slot);

}  // namespace tern
