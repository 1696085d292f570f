// The receiver's message channels and how a record's transmitter code selects its table.
#pragma once

#include <array>
#include <cstdint>

#include "config/schedule_table.h"

namespace tern {

// Schedule tables are indexed like the schedules (config/schedule_table.h): the DWD
// bulletins in German and English, then the fax stations.
inline constexpr int kTableCount = kScheduleCount;
inline constexpr int kFirstFaxTable = kFirstFaxSchedule;

// The changed flags: one per schedule table, at its index, then one per NAVTEX list.
inline constexpr int tableChannel(int table) { return table; }
enum Channel : int {
  kChannelDwdGerman = tableChannel(0),
  kChannelDwdEnglish = tableChannel(1),
  kChannelFaxDwd = tableChannel(kFirstFaxTable),
  kChannelNavtex518 = kTableCount,
  kChannelNavtex490,
  kChannelCount
};

// The NAVTEX frequencies, indexed by the NAVTEX list (kNavtex518, kNavtex490). A frequency
// is one row here; the code loops over the rows.
struct NavtexFrequency {
  int khz;
  std::uint8_t code;     // the receiver's transmitter code
  Channel channel;       // its changed flag
  const char* name;      // in the NAVTEX filter file and `tern-cli dump`
  const char* dataFile;  // in the data folder
  const char* caption;   // the tree's root, the filter page's tab
  const char* exportFolder;
  int nrxIndex;  // the frequency field of the NRX sentence
};
inline constexpr std::array<NavtexFrequency, 2> kNavtexFrequencies{{
    {518, 10, kChannelNavtex518, "518", "navtex_518_data.bin", "International (518 kHz)",
     "INTERNAT", 2},
    {490, 9, kChannelNavtex490, "490", "navtex_490_data.bin", "National (490 kHz)", "NATIONAL", 1},
}};
inline constexpr int kNavtexCount = static_cast<int>(kNavtexFrequencies.size());
inline constexpr int kNavtex518 = 0;
inline constexpr int kNavtex490 = 1;

// The changed flags of the NAVTEX lists, in their order.
inline constexpr std::array<int, kNavtexCount> kNavtexChannels = [] {
  std::array<int, kNavtexCount> channels{};
  for (std::size_t which = 0; which < channels.size(); ++which)
    channels[which] = kNavtexFrequencies[which].channel;
  return channels;
}();

// The NAVTEX list of a frequency in kHz; -1 for none.
inline constexpr int navtexOfKhz(int khz) {
  for (int which = 0; which < kNavtexCount; ++which)
    if (kNavtexFrequencies[static_cast<std::size_t>(which)].khz == khz) return which;
  return -1;
}
// The row of NAVTEX list `which` (0..kNavtexCount-1).
inline constexpr const NavtexFrequency& navtexFrequency(int which) {
  return kNavtexFrequencies[static_cast<std::size_t>(which)];
}

// The changed flag of each schedule table.
inline constexpr std::array<int, kTableCount> kTableChannel = [] {
  std::array<int, kTableCount> channels{};
  for (int table = 0; table < kTableCount; ++table)
    channels[static_cast<std::size_t>(table)] = tableChannel(table);
  return channels;
}();

// The schedule table a transmitter code belongs to; -1 for NAVTEX codes and unknown codes.
inline constexpr int tableOfCode(std::uint8_t code) {
  for (int table = 0; table < kTableCount; ++table) {
    const ScheduleInfo& s = kSchedules[static_cast<std::size_t>(table)];
    if (code >= s.firstTransmitter && code <= s.lastTransmitter) return table;
  }
  return -1;
}

// The NAVTEX list of a code: kNavtex518, kNavtex490, or -1.
inline int navtexOfCode(std::uint8_t code) {
  for (int which = 0; which < kNavtexCount; ++which)
    if (navtexFrequency(which).code == code) return which;
  return -1;
}

}  // namespace tern
