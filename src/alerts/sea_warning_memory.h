// The DWD repeats its strong wind and gale warnings every few hours while they are in force,
// in German and in English; the crew wants one alert per warning and sea area. This memory
// holds, per area, the highest step that alerted and the issue time of the last warnings
// bulletin that still named the area, kept in the data folder so a restart does not forget
// it either.
//
// The same warning: a warning for the same area, of the same or a lower step, in a bulletin
// issued less than kSeaWarningPeriodSeconds after the last bulletin that named the area (the
// same bulletin read again, its other language, or the next issue continuing it). A higher
// step than the one that alerted is news and alerts again; a warning after a gap of a whole
// period is a new warning.
//
// Issue times come from the bulletins (dated by the receiver's clock where the text names
// only day, hour and minute). An entry more than kSeaWarningFutureSlackSeconds after the
// bulletin being judged stems from a clock that ran ahead or a garbled date: it is not
// trusted, so the warning alerts once more instead of being muted.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "seaweather/area_text.h"

namespace tern {

inline constexpr std::string_view kSeaWarningMemoryFile = "seegebiete_alarme.txt";
inline constexpr std::int64_t kSeaWarningPeriodSeconds = 12 * 3600;
inline constexpr std::int64_t kSeaWarningFutureSlackSeconds = 10 * 60;

// Thread: one owner.
class SeaWarningMemory {
 public:
  // `dataFolder` ends with '/'; an empty one keeps the memory in this process only.
  explicit SeaWarningMemory(std::string dataFolder = {});
  // In this process only, holding the entries of a file's text: what the data folder's file
  // would hold.
  static SeaWarningMemory FromText(std::string_view text);

  // Forgets the entries no longer in reach of a bulletin issued at `issued` (seconds since
  // the epoch): a period old, or from the future. Call once per bulletin before FirstAlert.
  void Age(std::int64_t issued);
  // True when the warning is not one that alerted already (see above); either way the area
  // now counts as warned at `level` in the bulletin of `issued`.
  bool FirstAlert(std::string_view areaId, seaweather::WarningLevel level, std::int64_t issued);
  // Writes the file when anything changed since the last call.
  void Save();

  // The description of a failed write since the last call, "" when none failed.
  std::string takeWriteFailure();
  // German, once per memory: entries from the future were found and not trusted; "" else.
  std::string takeFutureNotice();

 private:
  void read(std::string_view text);

  struct Entry {
    int level = 0;            // WarningLevel as a number
    std::int64_t issued = 0;  // the last bulletin that named the area
  };
  std::string path_;
  std::map<std::string, Entry, std::less<>> warned_;
  bool changed_ = false;
  std::string writeFailure_;
  std::string futureNotice_;
  bool futureTold_ = false;
};

}  // namespace tern
