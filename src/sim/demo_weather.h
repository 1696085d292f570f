// The weather the demo receiver lives in: one story that the barometer, the bulletins and the
// NAVTEX warnings all tell alike. Lows pass the German Bight every two and a half days or so,
// the first of them just before the demo starts, so the barograph shows a front going through;
// the air pressure has the small twice-daily tide on top. Once a day a squall line crosses
// the receiver, with a sharp fall of the barometer (more than 3 hPa in three hours, steepest
// about an hour after the demo starts and then every 24 hours), so the pressure-fall alert
// can be seen soon after a start; it brings a gale to three sea areas, which the warnings
// name from up to three hours ahead, so a gale warning is among the first bulletins too. Everything
// is a function of the time, so the start-up history and the data arriving later agree.
#pragma once

#include <cstdint>

namespace tern::sim {

struct DemoWind {
  int direction = 0;  // degrees the wind comes from, 0 = north
  int beaufort = 0;
};

class DemoWeather {
 public:
  // `startSeconds`: the demo's start (UTC, seconds since the epoch); the first low's centre
  // passes 18 hours before it.
  explicit DemoWeather(std::int64_t startSeconds) : start_(startSeconds) {}

  double pressureHpa(std::int64_t utcSeconds) const;   // at the receiver, near sea level
  double temperatureC(std::int64_t utcSeconds) const;  // air temperature at the receiver
  // Wind of a sea area; `area` shifts the timing and strength a little so areas differ.
  DemoWind wind(std::int64_t utcSeconds, int area) const;
  // Wind of one of the sea weather report's areas (`area`: its place in the report, as in
  // seaweather/sea_areas.h): the lows' wind a force weaker, a force more in the afternoon's
  // sea breeze and one less at night, and a gale (west-northwest 8 at least) in the areas the daily
  // squall line crosses, for kSquallGaleHours either side of its passage.
  DemoWind seaAreaWind(std::int64_t utcSeconds, int area) const;
  // The areas of the report the squall line crosses: Deutsche Bucht, Belte und Sund and
  // Westliche Ostsee.
  static bool squallCrosses(int area);
  static constexpr double kSquallGaleHours = 3;
  // The daily squall line's share of the pressure (0 away from it, negative near it).
  double squallHpa(std::int64_t utcSeconds) const;
  // Hours since the centre of the nearest low passed (negative: still to come).
  double hoursFromLow(std::int64_t utcSeconds) const;

 private:
  double synopticHpa(std::int64_t utcSeconds) const;
  std::int64_t start_;
};

// German and English compass words of a direction.
const char* germanDirection(int degrees);   // "SUEDWEST"
const char* englishDirection(int degrees);  // "SOUTHWEST"

}  // namespace tern::sim
