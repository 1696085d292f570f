// Feeds arbitrary bytes to the settings reader over two small schedules. Whatever the file,
// the model must stay consistent, and what a valid file reads as must write back and read
// again unchanged.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/tree_control.h"
#include "fuzz_tree.h"

namespace {

tern::ScheduleFile schedule(std::string_view text) {
  return tern::parseScheduleText(
      tern::ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tern;
  fuzz::NullSink sink;
  fuzz::CheckingTree trees[2];
  TTreeControl control(sink, "/nonexistent/");
  control.AddSchedule(schedule("FQEN50\nSeewetter\n-\n-\n00:15\n00:05\n23:55\n#\n"
                               "SMVX4/\nSchiffe\n-\n-\n00:30\n02:00\n#\n"),
                      "D", "RTTY DWD DEUTSCH", 3, 0, &trees[0]);
  control.AddSchedule(schedule("ASXX40\nKarte\n-\n-\n00:12\n00:10\n02:10\n#\n"), "F", "FAX DWD", 11,
                      8, &trees[1]);

  const ByteView input(data, size);
  const SettingsLoad result = control.LoadSettings(input);
  for (int s = 0; s < control.ScheduleCount(); ++s) {
    const TTreeData& d = control.Schedule(s);
    if (d.StartOffset < -30 || d.StartOffset > 30 || d.FaxTurn > kMaxFaxTurn) std::abort();
    for (const auto& e : d.Entries)
      if (e.StartMinute >= kMinutesPerDay || e.FreqCode > kFreeCell) std::abort();
  }
  if (control.BaroHeight() < 0 || control.BaroHeight() > kMaxBaroHeight) std::abort();
  const Bytes written = control.SettingsBytes();
  if (result == SettingsLoad::Valid) {
    if (written.size() != size || !std::equal(written.begin(), written.begin() + 3, data))
      std::abort();
    // What a valid file reads as writes back and reads again unchanged.
    if (control.LoadSettings(written) != SettingsLoad::Valid) std::abort();
    if (control.SettingsBytes() != written) std::abort();
  }
  for (int s = 0; s < control.ScheduleCount(); ++s) {
    control.SelectSchedule(s);
    control.UpdateNodes();
    control.SelectAll();
  }
  control.BuildPayload();
  return 0;
}
