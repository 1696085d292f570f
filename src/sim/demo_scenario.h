// A receiver with something to show: the content `--simulate` starts with, so the
// program and tern-cli can be tried without hardware. DemoLife (demo_life.h) keeps it going.
#pragma once

#include <cstdint>

#include "common/clock.h"
#include "sim/demo_weather.h"
#include "sim/scenario.h"

namespace tern::sim {

// How far back the start-up history reaches: bulletins and NAVTEX messages of the last 30
// hours, the newest fax chart of every station and further charts of the last 8 hours (at
// most kDemoStartCharts in all, the newest, so the start stays quick), three days of
// barometer samples.
inline constexpr std::int64_t kDemoTextHistorySeconds = 30 * 3600;
inline constexpr std::int64_t kDemoChartHistorySeconds = 8 * 3600;
inline constexpr int kDemoStartCharts = 8;
inline constexpr int kDemoBaroDays = 3;

// Everything the demo programme recorded before `utcNow`, the barometer history, a
// reception-test text and the status bits that ask for a read-out of every channel.
// The same `utcNow` always gives the same receiver.
Scenario demoScenario(const CivilTime& utcNow);

// The barometer's stored value (Pa above 100000) at a time.
std::int16_t demoBaroValue(const DemoWeather& weather, std::int64_t utcSeconds);

}  // namespace tern::sim
