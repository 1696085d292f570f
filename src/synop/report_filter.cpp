#include "synop/report_filter.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "synop/synop_text.h"

namespace tern {

namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
  return s;
}

// Ship reports carry only the day of month. The stored bulletins reach back at most three
// days, so when the reports hold days 28 or later and days 1 to 3 together, the low days
// belong to the next month and count after the high ones.
constexpr int kLastDaysOfNewMonth = 3;
constexpr int kFirstDayOfOldMonthEnd = 28;

// The first eight bytes of `name` as a big-endian number, zeros after its end: two names
// whose numbers differ compare in byte order as the numbers do.
std::uint64_t namePrefix(const std::string& name) {
  std::uint64_t prefix = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    const auto byte = i < name.size() ? static_cast<unsigned char>(name[i]) : 0u;
    prefix = (prefix << 8) | byte;
  }
  return prefix;
}

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

void FilterReportList(std::vector<TSynopType>& reports) { ReportFilter().Apply(reports); }

void ReportFilter::Apply(std::vector<TSynopType>& reports) {
  // The day of every report, read once.
  days_.resize(reports.size());
  for (std::size_t i = 0; i < reports.size(); ++i) days_[i] = ReportDay(reports[i]);
  auto valid = [&](std::size_t i) {
    return reports[i].positionKnown() && days_[i] >= 1 && days_[i] <= 31;
  };

  int smallest = 31;
  int largest = 0;
  for (std::size_t i = 0; i < reports.size(); ++i) {
    if (reports[i].ReportKind != kReportShip || !valid(i)) continue;
    smallest = std::min(smallest, days_[i]);
    largest = std::max(largest, days_[i]);
  }
  const bool monthChange = smallest <= kLastDaysOfNewMonth && largest >= kFirstDayOfOldMonthEnd;

  int newest = 0;
  for (std::size_t i = 0; i < reports.size(); ++i) {
    TSynopType& r = reports[i];
    r.AgeKey = 0;
    if (r.ReportKind != kReportShip || !valid(i)) continue;
    int day = days_[i];
    if (monthChange && day <= kLastDaysOfNewMonth) day += 31;  // day 1 gives 768 + hour
    r.AgeKey = static_cast<std::uint16_t>(std::min(day * 24 + ReportHour(r), 65535));
    newest = std::max(newest, static_cast<int>(r.AgeKey));
  }

  // The order is worked out on small keys; the reports themselves move once, at the end.
  keys_.clear();
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const TSynopType& r = reports[i];
    if (!valid(i)) continue;
    if (r.ReportKind == kReportShip && static_cast<int>(r.AgeKey) < newest - 24) continue;
    if (r.ReportKind != kReportShip && r.ReportKind != kReportCoastal) continue;
    keys_.push_back(
        {namePrefix(r.name), &r.name, r.name.size(), static_cast<std::uint32_t>(i), r.AgeKey});
  }
  // Names descending in byte order, equal names newest first, then in list order: a total
  // order, so the result is the one of a stable sort.
  std::sort(keys_.begin(), keys_.end(), [](const Key& a, const Key& b) {
    if (a.namePrefix != b.namePrefix) return a.namePrefix > b.namePrefix;
    if (a.nameLength <= 8 && b.nameLength <= 8) {
      // Equal prefixes: the names are equal but for zero bytes at the end of the longer one.
      if (a.nameLength != b.nameLength) return a.nameLength > b.nameLength;
    } else if (*a.name != *b.name) {
      return *a.name > *b.name;  // std::string compares bytes unsigned
    }
    if (a.age != b.age) return a.age > b.age;
    return a.index < b.index;
  });

  kept_.clear();
  for (const Key& key : keys_) {
    if (!kept_.empty() && kept_.back().name == *key.name) continue;
    kept_.push_back(std::move(reports[key.index]));
  }
  // Moved back rather than swapped, so both lists keep their storage for the next call.
  reports.clear();
  std::move(kept_.begin(), kept_.end(), std::back_inserter(reports));
  kept_.clear();
}

}  // namespace tern
