// The subject of a NAVTEX message: the second character of its key (the subject indicator)
// names one of ten categories, which the NAVTEX page groups its tree by and the alerts name.
#pragma once

#include <array>

namespace tern {

inline constexpr int kNavtexCategories = 10;

inline constexpr std::array<const char*, kNavtexCategories> kNavtexCategoryCaptions = {
    "Navigational warnings",
    "Meteorological warnings",
    "Ice reports",
    "Search and rescue information",
    "Meteorological forecasts",
    "Pilot service messages",
    "Electronic navaid messages",
    "Other messages",
    "Additional warnings",
    "Remaining messages"};

// The category (0..9) of a subject indicator: A to F each their own, G, H and J the
// electronic navaids, K the others, L the additional warnings, anything else the remainder.
constexpr int NavtexCategoryOf(char indicator) {
  switch (indicator) {
    case 'A':
    case 'B':
    case 'C':
    case 'D':
    case 'E':
    case 'F':
      return indicator - 'A';
    case 'G':
    case 'H':
    case 'J':
      return 6;
    case 'K':
      return 7;
    case 'L':
      return 8;
    default:
      return 9;
  }
}

// The caption of a subject indicator's category.
constexpr const char* NavtexCategoryCaption(char indicator) {
  return kNavtexCategoryCaptions[static_cast<std::size_t>(NavtexCategoryOf(indicator))];
}

}  // namespace tern
