// The final pass over the decoded reports: drop what cannot be placed or dated, keep only
// the last 24 hours of ship reports, and keep one report per name, newest first, in the
// order the map draws and the message window lists them.
#pragma once

#include <vector>

#include "synop/synop_type.h"

namespace tern {

// Day of month from the day text ("Tag: 7" -> 7); -1 when it is not a number.
int ReportDay(const TSynopType& report);
// Hour from the time text ("Zeit: 6h" -> 6); 0 when it is not a number.
int ReportHour(const TSynopType& report);

// Sets AgeKey, drops invalid and outdated reports, sorts by name descending (byte order),
// equal names newest first, and keeps the first report of each name.
void FilterReportList(std::vector<TSynopType>& reports);

}  // namespace tern
