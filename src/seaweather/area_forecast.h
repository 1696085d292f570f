// What the pages say about one area: its entries in the newest report and warnings, one
// line for the lists ("Westliche Ostsee: SW bis W 6-7, später 5, See 2,5 m, Sturmwarnung")
// and the text of its panel, which puts a warning ahead of the report, as received.
#pragma once

#include <string>
#include <string_view>

#include "seaweather/sea_areas.h"
#include "seaweather/sea_weather.h"

namespace tern::seaweather {

struct AreaForecast {
  const SeaArea* area = nullptr;
  const AreaEntry* forecast = nullptr;  // the report's entry; null when it has none
  const AreaEntry* warning = nullptr;   // the warnings' entry that names a step; else null

  WarningLevel level() const { return warning ? warning->level() : WarningLevel::None; }
  // The strongest force named: the warning's when it is stronger than the forecast's.
  int bftMax() const;
};

// The entries of `id` in `weather`, which must outlive the result; area null for an unknown id.
AreaForecast forecastOf(const SeaWeather& weather, std::string_view id);

// "Sturmwarnung", "Starkwindwarnung", ... "Orkanwarnung"; "" for None.
std::string_view warningTitle(WarningLevel level);

// "Name: summary, Sturmwarnung" (the entry as received where it was not read whole);
// "Name: keine Vorhersage" when neither names the area.
std::string areaLine(const AreaForecast& f);

// The panel of an area: the warning (its title and own text), then the forecast's own text,
// each with its bulletin's time; lines joined by '\n'.
std::string areaDetail(const AreaForecast& f, const SeaWeather& weather);

// "10.12.2026, 00:05 UTC"; "ohne Zeit" when the bulletin gave none.
std::string issuedText(const SeaBulletin& bulletin);

}  // namespace tern::seaweather
