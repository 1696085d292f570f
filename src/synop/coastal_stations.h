// The fixed knowledge behind the coastal station bulletins "SXEN40" (North Sea and Baltic)
// and "SXMM41" (Mediterranean): which words name a station and where it lies, the German
// compass words of the wind direction, and the wind speed that a Beaufort force stands for.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace tern {

struct CoastalStation {
  std::string_view word;  // as it appears in the bulletin
  std::string_view name;  // the report's name
  int latitude;           // tenths of a degree, north positive
  int longitude;          // tenths of a degree, east positive
};

inline constexpr std::string_view kNorthSeaHeading = "SXEN40";
inline constexpr std::string_view kMediterraneanHeading = "SXMM41";

// The stations of a coastal heading, in the order they are tested; empty for any other
// heading.
std::span<const CoastalStation> StationsOfHeading(std::string_view heading);

bool IsNorthSeaStation(std::string_view name);
bool IsMediterraneanStation(std::string_view name);

// Degrees the wind comes from for a German compass word ("SUEDWEST" -> 225); any other word
// gives 0, like "NORD".
int DirectionWordToDegrees(std::string_view word);

// Wind speed in m/s of Beaufort force 0..12; nothing for other forces.
std::optional<double> BeaufortToSpeed(int force);

}  // namespace tern
