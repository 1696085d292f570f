#include "sim/demo_scenario.h"

#include <cmath>
#include <set>
#include <string_view>

#include "sim/demo_programme.h"
#include "sim/demo_synop.h"

namespace tern::sim {

namespace {

Bytes text(std::string_view s) { return Bytes(s.begin(), s.end()); }

}  // namespace

std::int16_t demoBaroValue(const DemoWeather& weather, std::int64_t utcSeconds) {
  return static_cast<std::int16_t>(std::lround(weather.pressureHpa(utcSeconds) * 100 - 100000));
}

Scenario demoScenario(const CivilTime& utcNow) {
  namespace p = protocol;
  const std::int64_t now = secondsSinceEpoch(utcNow);
  const DemoWeather weather(now);
  Scenario s;
  s.statusWord = p::kStatusNewDwd | p::kStatusNewFax | p::kStatusNewNavtex;

  const std::vector<DemoItem> items = demoItemsBetween(now - kDemoTextHistorySeconds, now);
  // Only the newest charts: rendering is the one slow part of the demo, and it waits until
  // the polling thread reads a chart out, so the window shows first. Every station's
  // newest chart comes first, though: a station that sends twice a day would otherwise
  // show an empty page for most of the day.
  int chartsLeft = kDemoStartCharts;
  std::vector<bool> keep(items.size(), true);
  std::set<int> stationsShown;
  for (std::size_t i = items.size(); i-- > 0;) {
    if (items[i].source != DemoItem::Source::Fax) continue;
    keep[i] = stationsShown.insert(demoChartStation(items[i])).second;
    if (keep[i]) --chartsLeft;
  }
  for (std::size_t i = items.size(); i-- > 0;) {
    if (items[i].source != DemoItem::Source::Fax || keep[i]) continue;
    keep[i] = chartsLeft > 0 && items[i].due > now - kDemoChartHistorySeconds;
    if (keep[i]) --chartsLeft;
  }
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!keep[i]) continue;
    for (auto& [channel, record] : demoRecords(items[i], weather, true))
      s.logs[channel].push_back(std::move(record));
  }

  // One sample a minute, the newest for the current minute.
  const std::int64_t lastMinute = now / 60;
  const std::int64_t samples = kDemoBaroDays * 24 * 60;
  s.baroPressures.reserve(static_cast<std::size_t>(samples));
  for (std::int64_t m = lastMinute - samples + 1; m <= lastMinute; ++m)
    s.baroPressures.push_back(demoBaroValue(weather, m * 60));
  s.pressure = s.baroPressures.back();
  s.temperature = static_cast<std::int16_t>(std::lround(weather.temperatureC(now) * 10));

  s.receiveTestText =
      text("RYRYRYRYRYRY {CALL} {CALL} {CALL}\r\nZCZC 512\r\nFQEN50 EDZW " + ddhhmm(now) +
           "\r\nSEEWETTERBERICHT FUER NORD- UND OSTSEE\r\n"
           "DEUTSCHE BUCHT: SUEDWEST 5 BIS 6, SPAETER WEST 7, SEE 2,5 METER.\r\n=\r\n");
  return s;
}

}  // namespace tern::sim
