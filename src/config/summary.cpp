#include "config/summary.h"

#include "common/latin1.h"

namespace tern {

namespace {

std::string padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

// The schedule that owns a cell's code; a code that no schedule owns counts as the first.
int ownerOf(const TTreeControl& control, int code) {
  for (int si = 0; si < control.ScheduleCount(); ++si)
    if (control.Schedule(si).inRange(code)) return si;
  return 0;
}

// The line of the first selected entry of `schedule` that starts at `minute`, if any.
bool transmissionLine(const TTreeControl& control, int schedule, int minute, std::string& line) {
  if (schedule >= control.ScheduleCount()) return false;
  const TTreeData& s = control.Schedule(schedule);
  const TTreeNodeData* group = nullptr;
  for (const TTreeNodeData& e : s.Entries) {
    if (e.Kind == NodeKind::Group) group = &e;
    if (e.Kind != NodeKind::Selected || e.StartMinute != minute) continue;
    line = latin1ToUtf8(e.Text) + "   " + padded(s.Caption, 17) +
           padded(FormatFrequency(frequencyHz(e.FreqCode)), 26) +
           latin1ToUtf8(group != nullptr ? group->Text : std::string());
    return true;
  }
  return false;
}

}  // namespace

std::string NavtexSummaryText(std::uint8_t options) {
  if ((options & kOptionNavtex518) != 0) return "NAVTEX 518kHz ";
  if ((options & kOptionNavtex490) != 0) return "NAVTEX 490kHz ";
  return {};
}

std::vector<std::string> BuildSummary(const TTreeControl& control) {
  std::vector<std::string> lines;
  const std::string navtex = NavtexSummaryText(control.Options());
  int runStart = -1;
  auto closeRun = [&](int end) {
    if (runStart >= 0 && !navtex.empty())
      lines.push_back(FormatMinutes(runStart) + " - " + FormatMinutes(end) + "   " + navtex);
    runStart = -1;
  };
  for (int m = 0; m < kMinutesPerDay; ++m) {
    const std::uint8_t code = control.TimeAlloc().cell(m);
    if (code == kFreeCell) {
      if (runStart < 0) runStart = m;
      continue;
    }
    closeRun(m);
    std::string line;
    if (transmissionLine(control, ownerOf(control, code), m, line)) lines.push_back(line);
  }
  closeRun(kMinutesPerDay);
  return lines;
}

bool RecordsNothing(const TTreeControl& control) { return BuildSummary(control).empty(); }

}  // namespace tern
