// Feeds arbitrary bytes to the schedule file reader and runs the selection model over what it
// reads: every operation must stay inside the minute map, the records and the tree.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "config/schedule_file.h"
#include "config/tree_control.h"
#include "fuzz_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tern;
  const ScheduleFile file = parseScheduleText(ByteView(data, size));
  const auto ids = scheduleIdentifiers(file);
  const auto entries = scheduleEntryTexts(file);
  if (entries.size() != file.blocks.size() || ids.size() < file.blocks.size()) std::abort();
  for (const auto& b : file.blocks) {
    timeTextMinutes(b.durationText);
    for (const auto& s : b.startTimes) timeTextMinutes(s);
  }
  for (const auto& f : file.faults) describeScheduleFault(f);

  fuzz::NullSink sink;
  fuzz::CheckingTree trees[2];
  TTreeControl control(sink, "/nonexistent/");
  control.AddSchedule(file, "A", "RTTY DWD DEUTSCH", 3, 0, &trees[0]);
  control.AddSchedule(file, "B", "FAX DWD", 11, 8, &trees[1]);
  const int count = control.Schedule(1).EntryCount();
  if (trees[1].nodeCount() != count) std::abort();

  // Clicks on at most kClicks entries spread over the schedule: every click settles the
  // whole schedule again, and a click on every third entry of a long one made most inputs
  // spend their time repeating the same settling.
  constexpr int kClicks = 24;
  const int step = std::max(3, count / kClicks);
  control.SelectAll();
  control.SelectSchedule(0);
  for (int i = 0; i < count; i += step) {
    trees[0].select(i);
    control.ToggleEntry();
    control.SetFreqCode(1 + i % 3);
  }
  control.SetStartOffset(size % 61 - 30);
  control.SelectSchedule(1);
  control.SetStartOffset(-static_cast<int>(size % 31));
  for (int i = 0; i < count; i += step / 3) control.ShowConflict(1, i);
  control.RebuildAllCells();
  control.BuildPayload();
  for (int k = 0; k < kPayloadSlots; ++k)
    if (getU16(control.Payload(), static_cast<std::size_t>(k) * 10) >= kMinutesPerDay) std::abort();
  const Bytes saved = control.SettingsBytes();
  if (control.LoadSettings(saved) != SettingsLoad::Valid) std::abort();
  // Loading settles overlapping or foreign choices once; what it leaves reads back unchanged.
  const Bytes settled = control.SettingsBytes();
  if (control.LoadSettings(settled) != SettingsLoad::Valid) std::abort();
  if (control.SettingsBytes() != settled) std::abort();
  control.DeselectAll();
  return 0;
}
