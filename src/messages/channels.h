// The receiver's message channels and how a record's transmitter code selects its table.
#pragma once

#include <cstdint>

namespace tern {

// Order of the changed flags.
enum Channel : int {
  kChannelDwdGerman,
  kChannelDwdEnglish,
  kChannelNavtex518,
  kChannelNavtex490,
  kChannelFaxDwd,
  kChannelFaxNorthwood,
  kChannelFaxHalifax,
  kChannelFaxBoston,
  kChannelFaxNewOrleans,
  kChannelCount
};

// Schedule tables are indexed like the schedules: 0 DWD German, 1 DWD English, 2 FAX DWD,
// 3 Northwood, 4 Halifax, 5 Boston, 6 New Orleans.
inline constexpr int kTableCount = 7;
inline constexpr int kFirstFaxTable = 2;
inline constexpr int kNavtex518 = 0;
inline constexpr int kNavtex490 = 1;

// The changed flag of a schedule table.
inline constexpr int kTableChannel[kTableCount] = {
    kChannelDwdGerman,  kChannelDwdEnglish, kChannelFaxDwd,       kChannelFaxNorthwood,
    kChannelFaxHalifax, kChannelFaxBoston,  kChannelFaxNewOrleans};

// The schedule table a transmitter code belongs to; -1 for NAVTEX codes and unknown codes.
inline int tableOfCode(std::uint8_t code) {
  if (code <= 2) return 2;
  if (code <= 5) return 0;
  if (code <= 8) return 1;
  if (code <= 10) return -1;  // NAVTEX 490 (9) and 518 (10)
  if (code <= 13) return 3;
  if (code <= 17) return 4;
  if (code <= 20) return 6;
  if (code <= 24) return 5;
  return -1;
}

// The NAVTEX list of a code: kNavtex518, kNavtex490, or -1.
inline int navtexOfCode(std::uint8_t code) {
  return code == 10 ? kNavtex518 : code == 9 ? kNavtex490 : -1;
}

}  // namespace tern
