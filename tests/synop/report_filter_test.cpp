// The final filter: validity, the 24-hour window, the month change, order and duplicates.
#include "synop/report_filter.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

TSynopType ship(const char* name, int day, int hour) {
  TSynopType r;
  r.name = name;
  r.latitude = 540;
  r.longitude = 70;
  r.ReportKind = kReportShip;
  r.dayText = "Tag: " + std::to_string(day);
  r.timeText = "Zeit: " + std::to_string(hour) + "h";
  return r;
}

struct Kept {
  std::string name;
  int day;
  unsigned key;
  bool operator==(const Kept&) const = default;
};

std::vector<Kept> filter(std::vector<TSynopType> reports) {
  FilterReportList(reports);
  std::vector<Kept> out;
  for (const auto& r : reports) out.push_back({r.name, ReportDay(r), r.AgeKey});
  return out;
}

TEST(SynopFilter, WindowDuplicatesAndOrder) {
  struct Case {
    const char* what;
    std::vector<TSynopType> in;
    std::vector<Kept> out;
  } cases[] = {
      {"duplicate call signs keep the newest",
       {ship("DBBH", 5, 6), ship("DBBH", 5, 12), ship("DBBH", 5, 0)},
       {{"DBBH", 5, 132}}},
      {"names in descending byte order",
       {ship("ALPHA", 5, 12), ship("dbbh", 5, 12), ship("ZULU", 5, 12)},
       {{"dbbh", 5, 132}, {"ZULU", 5, 132}, {"ALPHA", 5, 132}}},
      {"more than 24 hours older than the newest is dropped",
       {ship("OLD", 4, 11), ship("EDGE", 4, 12), ship("NEW", 5, 12)},
       {{"NEW", 5, 132}, {"EDGE", 4, 108}}},
      {"month change: day 1 counts after day 30",
       {ship("A", 30, 18), ship("B", 1, 6)},
       {{"B", 1, 774}}},
      {"month change: day 31 stays beside day 1",
       {ship("A", 31, 18), ship("B", 1, 6)},
       {{"B", 1, 774}, {"A", 31, 762}}},
      {"two days into the new month still count after the old one",
       {ship("A", 31, 12), ship("B", 2, 6), ship("C", 1, 12)},
       {{"C", 1, 780}, {"B", 2, 798}}},
      {"day 0 and unknown positions are invalid",
       {ship("DAY0", 0, 12),
        [] {
          auto r = ship("NOPOS", 5, 12);
          r.latitude = TSynopType::kUnknown;
          return r;
        }()},
       {}},
  };
  for (const auto& c : cases) EXPECT_EQ(filter(c.in), c.out) << c.what;
}

TEST(SynopFilter, CoastalReportsStayWhateverTheirAge) {
  TSynopType coastal = ship("HELGOLAND", 1, 12);
  coastal.ReportKind = kReportCoastal;
  auto out = filter({coastal, ship("NEW", 20, 12)});
  EXPECT_EQ(out, (std::vector<Kept>{{"NEW", 20, 492}, {"HELGOLAND", 1, 0}}));
}

}  // namespace
}  // namespace tern
