// The final pass over the decoded reports: drop what cannot be placed or dated, keep only
// the last 24 hours of ship reports, and keep one report per name, newest first, in the
// order the map draws and the message window lists them.
#pragma once

#include <cstdint>
#include <string>
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

// FilterReportList with working storage that stays from one call to the next, for the
// decoder, which filters a list of the same size on every rebuild.
// Thread: one thread at a time.
class ReportFilter {
 public:
  void Apply(std::vector<TSynopType>& reports);

 private:
  // A report that stays, as the sort sees it: its name's first eight bytes as a number and
  // its length decide the comparisons of names up to eight bytes without touching the report.
  struct Key {
    std::uint64_t namePrefix;
    const std::string* name;
    std::size_t nameLength;
    std::uint32_t index;
    std::uint16_t age;
  };
  std::vector<int> days_;
  std::vector<Key> keys_;
  std::vector<TSynopType> kept_;
};

}  // namespace tern
