// Signal K delta messages, the JSON a Signal K server takes on its UDP input: one update
// from the source labelled "tern", with the values in SI units.
//
//   environment.outside.pressure     Pa, reduced to sea level
//   environment.outside.temperature  K
//   notifications.environment.outside.pressure  {state warn|alarm, method, message} or null
//   notifications.navtex.<B1B2B3B4>             {state alert, method, message}
#pragma once

#include <string>

#include "alerts/weather_alerts.h"
#include "common/clock.h"

namespace tern {

inline constexpr const char* kSignalKSource = "tern";

std::string signalKReadingDelta(const BarometerReading& reading, const CivilTime& utcNow);
// A Calm alarm clears the notification (its value null).
std::string signalKPressureDelta(const WeatherWatch::PressureAlarm& alarm, const CivilTime& utcNow);
// The message's first line after the "ZCZC B1B2B3B4" preamble, which only repeats the id
// that the path already carries.
std::string signalKNavtexDelta(const MessageRecord& record, const CivilTime& utcNow);

}  // namespace tern
