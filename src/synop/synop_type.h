// One decoded report of the wind map: a ship SYNOP report or a coastal station line. The
// decoder builds them from the stored bulletins on every rebuild; nothing of them is kept on
// disk, so the fields are plain values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tern {

// Thread: window thread only, like the decoder that owns it.
struct TSynopType {
  // Marks a position, direction or speed that the report did not give (or gave garbled).
  static constexpr std::int32_t kUnknown = 2147483647;
  static constexpr double kUnknownSpeed = 2147483647.0;

  std::string name;                   // ship call sign or the coastal station's name
  std::int32_t latitude = kUnknown;   // tenths of a degree, north positive
  std::int32_t longitude = kUnknown;  // tenths of a degree, east positive
  std::int32_t direction = kUnknown;  // whole degrees the wind comes from, 0 = north
  double speed = kUnknownSpeed;       // m/s
  std::vector<std::string> lines;     // German plain-language lines (UTF-8)
  std::int32_t ReportKind = 0;        // 0 not yet classified, 1 ship, 2 coastal
  std::string timeText;               // "Zeit: 6h"
  std::string dayText;                // "Tag: 7"
  std::uint16_t AgeKey = 0;           // set by the filter, 0 otherwise
  // While a rebuild is under way: which of the decoder's records holds the words of this
  // report, whose lines are written only if the filter keeps it; -1 once they are written.
  std::int32_t linesPending = -1;

  bool positionKnown() const { return latitude != kUnknown && longitude != kUnknown; }
  bool directionKnown() const { return direction != kUnknown; }
  bool speedKnown() const { return speed != kUnknownSpeed; }
};

inline constexpr std::int32_t kReportShip = 1;
inline constexpr std::int32_t kReportCoastal = 2;

}  // namespace tern
