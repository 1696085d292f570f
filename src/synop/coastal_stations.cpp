#include "synop/coastal_stations.h"

#include <array>

namespace tern {

namespace {

constexpr std::array<CoastalStation, 28> kNorthSea = {{
    {"SVINOY", "SVINOY", 623, 52},
    {"STAVANGER", "STAVANGER", 588, 56},
    {"ABERDEEN", "ABERDEEN", 572, -22},
    {"TYNEMOUTH", "TYNEMOUTH", 550, -14},
    {"HARWICH", "HARWICH", 520, 10},
    {"HELDER", "DEN HELDER", 530, 49},
    {"NORDERNEY", "NORDERNEY", 537, 71},
    {"HELGOLAND", "HELGOLAND", 541, 79},
    {"LIST/SYLT", "LIST/SYLT", 550, 84},
    {"THYBOROEN", "THYBOROEN", 568, 84},
    {"SKAGEN", "SKAGEN", 577, 106},
    {"ROESNAES", "ROESNAES", 557, 108},
    {"KEGNAES", "KEGNAES", 548, 99},
    {"KIEL-HOLTENAU", "KIEL-HOLTENAU", 544, 101},
    {"LEUCHT.KIEL", "LEUCHT.KIEL", 545, 102},
    {"FEHMARN", "FEHMARN", 543, 113},
    {"ARKONA", "ARKONA", 546, 134},
    {"BORNHOLM", "BORNHOLM", 552, 152},
    {"VISBY", "VISBY", 576, 183},
    {"UTOE", "UTOE", 599, 213},
    {"RIGA", "RIGA", 569, 240},
    // The trailing blank keeps "HELGOLAND" and "HELDER" lines from matching this name.
    {"HEL", "HEL ", 550, 190},
    {"SOESTERBERG", "SOESTERBERG", 521, 53},
    {"MANSTON", "MANSTON", 513, 13},
    {"JERSEY", "JERSEY", 492, -22},
    {"CULDROSE", "CULDROSE", 500, -52},
    {"BELMULLET", "BELMULLET", 542, -100},
    {"STORNOWAY", "STORNOWAY", 580, -60},
}};

constexpr std::array<CoastalStation, 24> kMediterranean = {{
    {"BREST", "BREST", 484, -45},         {"CORUNA", "LA CORUNA", 432, -85},
    {"GIBRALTAR", "GIBRALTAR", 361, -53}, {"PALMA/MALL.", "PALMA/MALL.", 395, 26},
    {"MARSEILLE", "MARSEILLE", 433, 53},  {"GENOVA", "GENOVA", 444, 89},
    {"GROSSETO", "GROSSETO", 428, 111},   {"AJACCIO", "AJACCIO", 419, 87},
    {"PONZA", "PONZA", 409, 129},         {"CAGLIARI", "CAGLIARI", 392, 91},
    {"MESSINA", "MESSINA", 382, 155},     {"MALTA", "MALTA", 359, 144},
    {"BRINDISI", "BRINDISI", 406, 179},   {"ANCONA", "ANCONA", 436, 135},
    {"VENEZIA", "VENEZIA", 454, 123},     {"PULA", "PULA", 448, 138},
    {"TRIEST", "TRIEST", 456, 137},       {"SPLIT", "SPLIT", 435, 164},
    {"DUBROVNIK", "DUBROVNIK", 426, 181}, {"KYTHIRA", "KYTHIRA", 362, 229},
    {"ATHEN", "ATHEN", 379, 237},         {"LIMNOS", "LIMNOS", 399, 252},
    {"HERAKLION", "HERAKLION", 353, 251}, {"RHODOS", "RHODOS", 362, 279},
}};

struct DirectionWord {
  std::string_view word;
  int degrees;
};

constexpr std::array<DirectionWord, 16> kDirections = {{
    {"NORD", 0},
    {"NORDNORDOST", 22},
    {"NORDOST", 45},
    {"OSTNORDOST", 67},
    {"OST", 90},
    {"OSTSUEDOST", 112},
    {"SUEDOST", 135},
    {"SUEDSUEDOST", 157},
    {"SUED", 180},
    {"SUEDSUEDWEST", 202},
    {"SUEDWEST", 225},
    {"WESTSUEDWEST", 247},
    {"WEST", 270},
    {"WESTNORDWEST", 292},
    {"NORDWEST", 315},
    {"NORDNORDWEST", 337},
}};

constexpr std::array<double, 13> kBeaufort = {0.0,   1.3,  2.85, 4.65,  6.95,  9.75, 12.85,
                                              15.95, 19.3, 22.9, 26.75, 30.85, 35.0};

bool hasName(std::span<const CoastalStation> stations, std::string_view name) {
  for (const auto& s : stations)
    if (s.name == name) return true;
  return false;
}

}  // namespace

std::span<const CoastalStation> StationsOfHeading(std::string_view heading) {
  if (heading == kNorthSeaHeading) return kNorthSea;
  if (heading == kMediterraneanHeading) return kMediterranean;
  return {};
}

bool IsNorthSeaStation(std::string_view name) { return hasName(kNorthSea, name); }
bool IsMediterraneanStation(std::string_view name) { return hasName(kMediterranean, name); }

int DirectionWordToDegrees(std::string_view word) {
  for (const auto& d : kDirections)
    if (d.word == word) return d.degrees;
  return 0;
}

std::optional<double> BeaufortToSpeed(int force) {
  if (force < 0 || force > 12) return std::nullopt;
  return kBeaufort[static_cast<std::size_t>(force)];
}

}  // namespace tern
