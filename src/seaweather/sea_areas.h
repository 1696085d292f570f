// The forecast areas of the DWD sea weather report for the North Sea and the Baltic: one id
// and one German name each, and every spelling the broadcasts use for it (German, English,
// abbreviated), so that each spelling leads to the one area.
#pragma once

#include <span>
#include <string_view>

namespace tern::seaweather {

struct SeaArea {
  std::string_view id;    // "westliche-ostsee"
  std::string_view name;  // "Westliche Ostsee" (UTF-8)
};

// The areas in the order of the report, from the German Bight round to the Bay of Bothnia.
std::span<const SeaArea> seaAreas();

// The area a name stands for; null when it is none of them. `key` is the name's folded
// words joined by single blanks, dots and hyphens taken as blanks ("ENGL KANAL OST").
const SeaArea* areaByKey(std::string_view key);

// The area of an id; null for an unknown id.
const SeaArea* areaById(std::string_view id);

// The most words any spelling has: longer runs of words need not be tried.
constexpr int kMaxAreaWords = 6;

}  // namespace tern::seaweather
