// Arbitrary bytes as "navtex_alerts.txt", the memory of which NAVTEX messages alerted. No
// time in the file, however far off, may mute a message for longer than the clock's slack
// allows, or make the arithmetic on times overflow (the sanitizer watches).
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_check.h"
#include "messages/navtex_alert_memory.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tern;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const CivilTime now{2026, 12, 8, 14, 0, 0, 0};
  NavtexAlertMemory memory = NavtexAlertMemory::FromText(text);
  // The ids that real files hold, and the first bytes of the input as one.
  const std::string_view ids[] = {"SA01", "SB02", "ZZ99", text.substr(0, 4)};
  for (std::string_view id : ids) {
    memory.FirstAlert(518, id, now);
    check(!memory.FirstAlert(518, id, now));  // once alerted, muted
    // 72 hours on, every message alerts again, whatever the file said.
    NavtexAlertMemory later = NavtexAlertMemory::FromText(text);
    later.FirstAlert(518, id, now);
    check(later.FirstAlert(518, id, civilFromSeconds(secondsSinceEpoch(now) + 72 * 3600 + 601)));
  }
  memory.takeFutureNotice();
  return 0;
}
