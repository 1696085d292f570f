// The decoded ship and coastal reports as GPX 1.1 waypoints, the format every chart plotter
// program opens: one waypoint per report with a known position, named after the call sign or
// station, with the wind and the report's first plain-language lines as its description.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/clock.h"
#include "messages/message_store.h"
#include "synop/synop_type.h"

namespace tern {

// How many of a report's plain-language lines follow the wind line in the description.
inline constexpr std::size_t kGpxDescriptionLines = 3;

// The GPX document of `reports`; `utcNow` dates the file and gives the month and year of the
// reports, which carry only a day of the month and an hour (a day after today's is taken as
// last month's).
std::string synopGpx(const std::vector<TSynopType>& reports, const CivilTime& utcNow);

// The GPX of the reports decoded from a data folder's stored bulletins, as the SYNOP page
// shows them.
std::string synopGpxOfStore(const MessageStore& store, const CivilTime& utcNow);

// "Wind 270° 15 kn, 08.12. 12 UTC" (direction or speed unknown: "Wind unbekannt, ...").
std::string gpxWindLine(const TSynopType& report, const CivilTime& reportTime);

// The UTC date and hour of a report: the latest day with the report's day of the month that
// is not after `utcNow`, at the report's hour. Nothing when the report has no valid day.
std::optional<CivilTime> reportUtcTime(const TSynopType& report, const CivilTime& utcNow);

}  // namespace tern
