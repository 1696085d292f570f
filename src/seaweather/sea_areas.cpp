#include "seaweather/sea_areas.h"

#include <algorithm>
#include <array>

namespace tern::seaweather {

namespace {

constexpr std::array<SeaArea, 24> kAreas{{
    {"deutsche-bucht", "Deutsche Bucht"},
    {"ijsselmeer", "IJsselmeer"},
    {"suedwestliche-nordsee", "Südwestliche Nordsee"},
    {"englischer-kanal-ost", "Englischer Kanal Ost"},
    {"englischer-kanal-west", "Englischer Kanal West"},
    {"dogger", "Dogger"},
    {"fischer", "Fischer"},
    {"forties", "Forties"},
    {"utsira", "Utsira"},
    {"viking", "Viking"},
    {"skagerrak", "Skagerrak"},
    {"kattegat", "Kattegat"},
    {"belte-und-sund", "Belte und Sund"},
    {"westliche-ostsee", "Westliche Ostsee"},
    {"boddengewaesser-ost", "Boddengewässer Ost"},
    {"suedliche-ostsee", "Südliche Ostsee"},
    {"suedoestliche-ostsee", "Südöstliche Ostsee"},
    {"zentrale-ostsee", "Zentrale Ostsee"},
    {"noerdliche-ostsee", "Nördliche Ostsee"},
    {"rigaischer-meerbusen", "Rigaischer Meerbusen"},
    {"finnischer-meerbusen", "Finnischer Meerbusen"},
    {"aalandsee-und-schaerengebiet", "Ålandsee und Schärengebiet"},
    {"bottensee", "Bottensee"},
    {"bottenwiek", "Bottenwiek"},
}};

struct Spelling {
  std::string_view key;
  int area;  // index into kAreas
};

// Folded spellings; the German ones first, then the English names of the English report.
constexpr Spelling kSpellings[] = {
    {"DEUTSCHE BUCHT", 0},
    {"GERMAN BIGHT", 0},
    {"IJSSELMEER", 1},
    {"IJSSEL LAKE", 1},
    {"SUEDWESTLICHE NORDSEE", 2},
    {"SUEDWESTL NORDSEE", 2},
    {"SOUTHWESTERN NORTH SEA", 2},
    {"SOUTH WESTERN NORTH SEA", 2},
    {"SOUTHWEST NORTH SEA", 2},
    {"ENGLISCHER KANAL OST", 3},
    {"ENGLISCHER KANAL OSTTEIL", 3},
    {"ENGL KANAL OST", 3},
    {"ENGL KANAL OSTTEIL", 3},
    {"KANAL OST", 3},
    {"OESTLICHER KANAL", 3},
    {"ENGLISH CHANNEL EAST", 3},
    {"ENGLISH CHANNEL EASTERN PART", 3},
    {"EASTERN ENGLISH CHANNEL", 3},
    {"ENGLISCHER KANAL WEST", 4},
    {"ENGLISCHER KANAL WESTTEIL", 4},
    {"ENGL KANAL WEST", 4},
    {"ENGL KANAL WESTTEIL", 4},
    {"KANAL WEST", 4},
    {"WESTLICHER KANAL", 4},
    {"ENGLISH CHANNEL WEST", 4},
    {"ENGLISH CHANNEL WESTERN PART", 4},
    {"WESTERN ENGLISH CHANNEL", 4},
    {"DOGGER", 5},
    {"DOGGERBANK", 5},
    {"FISCHER", 6},
    {"FISHER", 6},
    {"FORTIES", 7},
    {"UTSIRA", 8},
    {"VIKING", 9},
    {"SKAGERRAK", 10},
    {"SKAGERAK", 10},
    {"KATTEGAT", 11},
    {"BELTE UND SUND", 12},
    {"BELTE SUND", 12},
    {"BELTS AND SOUND", 12},
    {"BELTS AND THE SOUND", 12},
    {"WESTLICHE OSTSEE", 13},
    {"WESTL OSTSEE", 13},
    {"WESTERN BALTIC", 13},
    {"WESTERN BALTIC SEA", 13},
    {"BODDENGEWAESSER OST", 14},
    {"BODDENGEWAESSER", 14},
    {"EASTERN BODDEN WATERS", 14},
    {"BODDEN WATERS EAST", 14},
    {"SUEDLICHE OSTSEE", 15},
    {"SUEDL OSTSEE", 15},
    {"SOUTHERN BALTIC", 15},
    {"SOUTHERN BALTIC SEA", 15},
    {"SUEDOESTLICHE OSTSEE", 16},
    {"SUEDOESTL OSTSEE", 16},
    {"SOUTHEASTERN BALTIC", 16},
    {"SOUTH EASTERN BALTIC", 16},
    {"SOUTHEASTERN BALTIC SEA", 16},
    {"ZENTRALE OSTSEE", 17},
    {"MITTLERE OSTSEE", 17},
    {"CENTRAL BALTIC", 17},
    {"CENTRAL BALTIC SEA", 17},
    {"NOERDLICHE OSTSEE", 18},
    {"NOERDL OSTSEE", 18},
    {"NORTHERN BALTIC", 18},
    {"NORTHERN BALTIC SEA", 18},
    {"RIGAISCHER MEERBUSEN", 19},
    {"RIGAER BUCHT", 19},
    {"RIGAER MEERBUSEN", 19},
    {"GULF OF RIGA", 19},
    {"FINNISCHER MEERBUSEN", 20},
    {"GULF OF FINLAND", 20},
    {"AALANDSEE UND SCHAERENGEBIET", 21},
    {"ALANDSEE UND SCHAERENGEBIET", 21},
    {"AALANDSEE UND SCHAERENMEER", 21},
    {"AALANDSEE", 21},
    {"ALANDSEE", 21},
    {"AALAND SEA AND ARCHIPELAGO SEA", 21},
    {"ALAND SEA AND ARCHIPELAGO SEA", 21},
    {"SEA OF AALAND AND ARCHIPELAGO SEA", 21},
    {"SEA OF ALAND AND ARCHIPELAGO SEA", 21},
    {"AALAND SEA", 21},
    {"ALAND SEA", 21},
    {"BOTTENSEE", 22},
    {"SEA OF BOTHNIA", 22},
    {"BOTHNIAN SEA", 22},
    {"BOTTENWIEK", 23},
    {"BAY OF BOTHNIA", 23},
    {"BOTHNIAN BAY", 23},
};

}  // namespace

std::span<const SeaArea> seaAreas() { return kAreas; }

const SeaArea* areaByKey(std::string_view key) {
  // Sorted once (a spelling given twice keeps its first area) and searched by halves: the
  // reader asks for every run of words that might be a name, and going through all
  // spellings each time was a good part of its work.
  static const auto kSorted = [] {
    std::array<Spelling, std::size(kSpellings)> sorted;
    std::copy(std::begin(kSpellings), std::end(kSpellings), sorted.begin());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Spelling& a, const Spelling& b) { return a.key < b.key; });
    return sorted;
  }();
  const auto at = std::lower_bound(kSorted.begin(), kSorted.end(), key,
                                   [](const Spelling& s, std::string_view k) { return s.key < k; });
  if (at == kSorted.end() || at->key != key) return nullptr;
  return &kAreas[static_cast<std::size_t>(at->area)];
}

const SeaArea* areaById(std::string_view id) {
  for (const SeaArea& a : kAreas)
    if (a.id == id) return &a;
  return nullptr;
}

}  // namespace tern::seaweather
