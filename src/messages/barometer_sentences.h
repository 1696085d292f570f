// The barometer for chart plotters: the pressure reduced to sea level, as the barograph shows
// it, in the two sentences plotters read.
//
//   $WIMDA,<inches of mercury>,I,<bar>,B,<air °C>,C,,C,,,,C,,T,,M,,N,,M*hh
//   $WIXDR,P,<bar>,B,Barometer,C,<air °C>,C,AirTemp*hh
//
// Some plotters take the pressure from the inches, others from the bar field (and show it
// only between 0.8 and 1.1 bar), so MDA carries both.
#pragma once

#include <string>

namespace tern {

struct BarometerReading {
  double seaLevelHpa = 0;
  double temperatureC = 0;
};

std::string mdaSentence(const BarometerReading& reading);
std::string xdrSentence(const BarometerReading& reading);

}  // namespace tern
