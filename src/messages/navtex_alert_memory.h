// NAVTEX stations broadcast a warning again and again while it is in force, every four hours
// or so. The receiver keeps the newest copy, which reaches the program as a new message; the
// crew wants the alert once. This memory holds which messages (frequency and B1B2B3B4)
// alerted in the last 72 hours, kept beside the settings file, so a restart of the program
// does not forget it either.
//
// A boat computer's clock may run ahead for a while (no real-time clock, a GPS or network
// time that corrects it later). An entry written meanwhile lies in the future and would mute
// its message for that offset plus 72 hours, a gale warning included. An entry more than
// kNavtexFutureSlackSeconds ahead of the clock is therefore not trusted: the message alerts
// as if it were not there and the entry takes the current time. A repeat after the clock was
// put back may alert once more; a warning is never muted.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "common/clock.h"

namespace tern {

inline constexpr std::string_view kNavtexAlertMemoryFile = "navtex_alerts.txt";
inline constexpr std::int64_t kNavtexRepeatSeconds = 72 * 3600;
inline constexpr std::int64_t kNavtexFutureSlackSeconds = 10 * 60;

// Thread: one owner.
class NavtexAlertMemory {
 public:
  // `dataFolder` ends with '/'; an empty one keeps the memory in this process only.
  explicit NavtexAlertMemory(std::string dataFolder = {});
  // In this process only, holding the entries of a file's text ("518 SA01 1765432800" per
  // line): what the data folder's file would hold.
  static NavtexAlertMemory FromText(std::string_view text);

  // True when the message has not alerted in the 72 hours before `utcNow`; it then counts
  // as alerted at `utcNow` (and the file is rewritten).
  bool FirstAlert(int frequencyKhz, std::string_view id, const CivilTime& utcNow);

  // The description of a failed write since the last call, "" when none failed.
  std::string takeWriteFailure();
  // German, once per memory: entries from the future were found and not trusted; "" else.
  std::string takeFutureNotice();

 private:
  void read(std::string_view text);

  std::string path_;
  std::map<std::string, std::int64_t> alerted_;  // "518 SA01" -> seconds since the epoch
  std::string writeFailure_;
  std::string futureNotice_;
  bool futureTold_ = false;
};

}  // namespace tern
