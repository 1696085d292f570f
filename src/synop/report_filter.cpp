#include "synop/report_filter.h"

#include <algorithm>
#include <string_view>

#include "synop/synop_text.h"

namespace tern {

namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
  return s;
}

bool isValid(const TSynopType& r) {
  int day = ReportDay(r);
  return r.positionKnown() && day >= 1 && day <= 31;
}

// Ship reports carry only the day of month. The stored bulletins reach back at most three
// days, so when the reports hold days 28 or later and days 1 to 3 together, the low days
// belong to the next month and count after the high ones.
constexpr int kLastDaysOfNewMonth = 3;
constexpr int kFirstDayOfOldMonthEnd = 28;

}  // namespace

int ReportDay(const TSynopType& report) {
  std::string_view text = report.dayText;
  if (!synop::startsWith(text, "Tag: ")) return -1;
  return DigitsToInt(trimmed(text.substr(5)));
}

int ReportHour(const TSynopType& report) {
  std::string_view text = report.timeText;
  if (!synop::startsWith(text, "Zeit: ")) return 0;
  text.remove_prefix(6);
  if (!text.empty() && text.back() == 'h') text.remove_suffix(1);
  int hour = DigitsToInt(text);
  return hour < 0 ? 0 : hour;
}

void FilterReportList(std::vector<TSynopType>& reports) {
  int smallest = 31;
  int largest = 0;
  for (const auto& r : reports) {
    if (r.ReportKind != kReportShip || !isValid(r)) continue;
    smallest = std::min(smallest, ReportDay(r));
    largest = std::max(largest, ReportDay(r));
  }
  const bool monthChange = smallest <= kLastDaysOfNewMonth && largest >= kFirstDayOfOldMonthEnd;

  int newest = 0;
  for (auto& r : reports) {
    r.AgeKey = 0;
    if (r.ReportKind != kReportShip || !isValid(r)) continue;
    int day = ReportDay(r);
    if (monthChange && day <= kLastDaysOfNewMonth) day += 31;  // day 1 gives 768 + hour
    r.AgeKey = static_cast<std::uint16_t>(std::min(day * 24 + ReportHour(r), 65535));
    newest = std::max(newest, static_cast<int>(r.AgeKey));
  }

  std::vector<TSynopType> kept;
  kept.reserve(reports.size());
  for (auto& r : reports) {
    if (!isValid(r)) continue;
    if (r.ReportKind == kReportShip && static_cast<int>(r.AgeKey) < newest - 24) continue;
    if (r.ReportKind != kReportShip && r.ReportKind != kReportCoastal) continue;
    kept.push_back(std::move(r));
  }

  std::stable_sort(kept.begin(), kept.end(), [](const TSynopType& a, const TSynopType& b) {
    if (a.name != b.name) return a.name > b.name;  // std::string compares bytes unsigned
    return a.AgeKey > b.AgeKey;
  });

  reports.clear();
  for (auto& r : kept) {
    if (!reports.empty() && reports.back().name == r.name) continue;
    reports.push_back(std::move(r));
  }
}

}  // namespace tern
