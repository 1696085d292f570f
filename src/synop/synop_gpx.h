// The decoded ship and coastal reports as GPX 1.1 waypoints, the format every chart plotter
// program opens: one waypoint per report with a known position, named after the call sign or
// station. Its description is short enough for a plotter's info box: the wind and time,
// then the pressure, visibility, sea state and air temperature the report gives, one line
// each; a coastal station adds its own line of the bulletin (never the bulletin's header).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/clock.h"
#include "messages/message_store.h"
#include "synop/synop_type.h"

namespace tern {

// The GPX document of `reports`; `utcNow` dates the file and gives the month and year of the
// reports, which carry only a day of the month and an hour (a day after today's is taken as
// last month's).
std::string synopGpx(const std::vector<TSynopType>& reports, const CivilTime& utcNow);

// The GPX of the reports decoded from a data folder's stored bulletins, as the SYNOP page
// shows them.
std::string synopGpxOfStore(const MessageStore& store, const CivilTime& utcNow);

// "Wind 270° 15 kn, 08.12. 12 UTC" (direction or speed unknown: "Wind unbekannt, ...").
std::string gpxWindLine(const TSynopType& report, const CivilTime& reportTime);

// The lines after the wind line: "Luftdruck 1012.4 hPa", "Sicht 10 km", "Seegang 1.5 m",
// "Lufttemperatur 8.2 °C", each only where the report gives it.
std::vector<std::string> gpxWeatherLines(const TSynopType& report);

// The UTC date and hour of a report: the latest day with the report's day of the month that
// is not after `utcNow`, at the report's hour. Nothing when the report has no valid day.
std::optional<CivilTime> reportUtcTime(const TSynopType& report, const CivilTime& utcNow);

}  // namespace tern
