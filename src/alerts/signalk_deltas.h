// Signal K delta messages, the JSON a Signal K server takes on its UDP input: one update
// from the source labelled "tern", with the values in SI units.
//
//   environment.outside.pressure     Pa, reduced to sea level
//   environment.outside.temperature  K
//   notifications.environment.outside.pressure  {state warn|alarm, method, message} or null
//   notifications.navtex.<B1B2B3B4>             {state alarm|warn|alert, method, message}
//                                                or null
//   notifications.environment.seaArea.<id>      {state warn|alarm, method, message} or null
#pragma once

#include <string>

#include "alerts/weather_alerts.h"
#include "common/clock.h"

namespace tern {

inline constexpr const char* kSignalKSource = "tern";

std::string signalKReadingDelta(const BarometerReading& reading, const CivilTime& utcNow);
// A Calm alarm clears the notification (its value null).
std::string signalKPressureDelta(const WeatherWatch::PressureAlarm& alarm, const CivilTime& utcNow);
// The element of a NAVTEX message's notification path, of its key: the id "SD05", letters and
// digits only, so a damaged id cannot open another branch.
std::string signalKNavtexId(const std::string& key);
// A message of the list `which` as a notification that says what happened: "NAVTEX Seenot
// (D), Niton: OVERDUE SAILING YACHT, ...". Distress (D) and navigational warnings (A) are
// alarms, gale warnings (B) warnings, the rest alerts.
std::string signalKNavtexDelta(const MessageRecord& record, int which, const CivilTime& utcNow);
// The notification of `id` taken back (its value null).
std::string signalKNavtexCleared(const std::string& id, const CivilTime& utcNow);
// A warning for one of the user's sea areas: Starkwind a warning, Sturm and above an alarm;
// the message is the alert's text ("Sturmwarnung Westliche Ostsee: WNW 8 Bft").
std::string signalKSeaAreaDelta(const SeaAreaWarning& warning, const CivilTime& utcNow);
// The notification of the area `id` taken back (its value null).
std::string signalKSeaAreaCleared(const std::string& id, const CivilTime& utcNow);

}  // namespace tern
