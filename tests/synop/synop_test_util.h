// Runs words through a fresh decoder, so group tests go the real way through the dispatcher.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "synop/synop_decoder.h"

namespace tern::testing {

// The identification and Nddff of a report with wind in knots (iw 4): after these the
// dispatcher is in section 1.
inline const std::vector<std::string> kReportStart = {"ZCZC",  "BBXX",  "DBBH",  "05124",
                                                      "99543", "10067", "41496", "82715"};

struct GroupOutcome {
  std::vector<std::string> lines;  // the lines the last word added
  bool bad = false;
  std::uint8_t state = 0;
  TSynopType report;
};

// Feeds `before` (after kReportStart when `withStart`), then `group`.
inline GroupOutcome decodeAfter(const std::vector<std::string>& before, const std::string& group,
                                bool withStart = true) {
  TSynopDecoder d;
  if (withStart)
    for (const auto& w : kReportStart) d.DecodeGroup(w);
  for (const auto& w : before) d.DecodeGroup(w);
  GroupOutcome out;
  std::size_t n = d.CurrentReport() ? d.CurrentReport()->lines.size() : 0;
  d.DecodeGroup(group);
  out.state = d.GroupState();
  out.bad = d.CurrentReportState() == ReportState::Bad;
  if (d.CurrentReport()) {
    out.report = *d.CurrentReport();
    out.lines.assign(out.report.lines.begin() + static_cast<std::ptrdiff_t>(n),
                     out.report.lines.end());
  }
  return out;
}

// One group decoded after some words, with the lines it must add and whether it makes the
// report bad; the group tests are tables of these.
struct GroupCase {
  std::vector<std::string> before;  // after the report start
  std::string group;
  std::vector<std::string> lines;
  bool bad = false;
};

inline void checkCases(const std::vector<GroupCase>& cases) {
  for (const auto& c : cases) {
    auto out = decodeAfter(c.before, c.group);
    EXPECT_EQ(out.lines, c.lines) << c.group;
    EXPECT_EQ(out.bad, c.bad) << c.group;
  }
}

}  // namespace tern::testing
