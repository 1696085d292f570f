// Arbitrary bytes as "seegebiete_alarme.txt", the memory of which sea areas' warnings
// alerted. No line, however damaged, may mute a warning beyond its period or a higher step,
// or make the arithmetic on times overflow (the sanitizer watches).
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "alerts/sea_warning_memory.h"
#include "fuzz_check.h"
#include "seaweather/sea_areas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tern;
  using seaweather::WarningLevel;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  constexpr std::int64_t kIssued = 1796738400;  // 2026-12-08 14:00 UTC
  SeaWarningMemory memory = SeaWarningMemory::FromText(text);
  memory.Age(kIssued);
  for (const seaweather::SeaArea& area : seaweather::seaAreas()) {
    memory.FirstAlert(area.id, WarningLevel::Gale, kIssued);
    check(!memory.FirstAlert(area.id, WarningLevel::Gale, kIssued));  // the same warning
    memory.FirstAlert(area.id, WarningLevel::Hurricane, kIssued);
    check(!memory.FirstAlert(area.id, WarningLevel::Hurricane, kIssued));
  }
  // A whole period on, every warning is news again.
  const std::int64_t later = kIssued + kSeaWarningPeriodSeconds + kSeaWarningFutureSlackSeconds;
  memory.Age(later);
  for (const seaweather::SeaArea& area : seaweather::seaAreas())
    check(memory.FirstAlert(area.id, WarningLevel::StrongWind, later));
  memory.FirstAlert(text.substr(0, 40), WarningLevel::Storm, later);
  memory.Save();  // in this process only: nothing written
  memory.takeFutureNotice();
  return 0;
}
