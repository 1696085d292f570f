// What the demo receiver records and when: the DWD RTTY programmes row by row as in the
// schedule files, a choice of fax charts of the five stations and the NAVTEX stations. The
// programme is a function of the time alone, so the start-up history and DemoLife's later
// arrivals come from one list and never disagree.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "sim/demo_weather.h"
#include "sim/scenario.h"

namespace tern::sim {

struct DemoItem {
  enum class Source { Dwd, Fax, Navtex };
  Source source = Source::Dwd;
  std::int64_t start = 0;  // broadcast start (UTC seconds); the records' reception time
  std::int64_t due = 0;    // when the recording is complete and lands in the receiver's log
  int index = 0;           // DWD product, fax row or NAVTEX station
  int part = 0;            // ship bulletin number 0..7 for the SMVX/SIVX rows
};

// Items whose recording completes in (from, to], in the order they complete.
std::vector<DemoItem> demoItemsBetween(std::int64_t from, std::int64_t to);

// The same number for every chart of one fax station, different for each station.
int demoChartStation(const DemoItem& item);

// The records an item leaves in the receiver: (channel, record) pairs. Fax items render
// their chart here, which is the expensive part; call it only for items actually kept.
// With `drawChartsLater` a chart is rendered only when the receiver first sends it.
std::vector<std::pair<std::uint8_t, SimRecord>> demoRecords(const DemoItem& item,
                                                            const DemoWeather& weather,
                                                            bool drawChartsLater = false);

}  // namespace tern::sim
