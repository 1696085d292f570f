#include "sim/demo_weather.h"

#include <algorithm>
#include <cmath>

#include "sim/demo_random.h"

namespace tern::sim {

namespace {

constexpr double kPi = 3.14159265358979;
constexpr double kPeriodHours = 62;
constexpr double kFirstLowHours = -18;
// The squall line: its trough passes this long after the start and every day after that.
constexpr double kSquallHours = 1;
constexpr double kSquallDepth = 6;
constexpr double kSquallWidthHours = 2.5;
// Of the squall's depth, this share falls in the three hours before its trough.
constexpr double kSquallFallShare = 0.76;

double hoursOf(std::int64_t seconds) { return static_cast<double>(seconds) / 3600.0; }

// Depth of low number k (k = 0 is the one just before the start), in hPa.
double depthOf(std::int64_t k) {
  if (k == 0) return 23;
  DemoRandom r(demoSeed({static_cast<std::uint64_t>(k), 17}));
  return r.uniform(9, 26);
}

// Pressure change caused by a low whose centre passes at hour 0: a long fall, a sharp
// trough at the cold front two hours after the centre, and a quicker rise behind it.
double lowShape(double dt, double depth) {
  double w = dt < 0 ? 15 : 10;
  double p = -depth * std::exp(-(dt / w) * (dt / w));
  if (dt > 2) p += 0.08 * depth * (1 - std::exp(-(dt - 2) / 1.5)) * std::exp(-(dt - 2) / 30);
  return p;
}

int sector16(int degrees) { return ((degrees % 360 + 360) % 360 * 2 + 22) / 45 % 16; }

}  // namespace

double DemoWeather::hoursFromLow(std::int64_t utcSeconds) const {
  double rel = hoursOf(utcSeconds - start_) - kFirstLowHours;
  double k = std::round(rel / kPeriodHours);
  return rel - k * kPeriodHours;
}

// The air pressure without the squall line.
double DemoWeather::synopticHpa(std::int64_t utcSeconds) const {
  double rel = hoursOf(utcSeconds - start_) - kFirstLowHours;
  auto k0 = static_cast<std::int64_t>(std::floor(rel / kPeriodHours));
  double p = 1016 + 3 * std::sin(2 * kPi * hoursOf(utcSeconds) / 130);
  for (std::int64_t k = k0 - 1; k <= k0 + 2; ++k)
    p += lowShape(rel - static_cast<double>(k) * kPeriodHours, depthOf(k));
  // The semidiurnal tide: highs near 10 and 22 h local solar time.
  double hourOfDay = std::fmod(hoursOf(utcSeconds), 24.0);
  p += 0.45 * std::cos(2 * kPi * (hourOfDay - 9.5) / 12);
  return p;
}

double DemoWeather::squallHpa(std::int64_t utcSeconds) const {
  const double hours = hoursOf(utcSeconds - start_) - kSquallHours;
  const double day = std::round(hours / 24.0);
  const double phase = hours - day * 24.0;
  // A squall meeting the rise behind a low falls deeper, so every day's fall is fast.
  const auto centre = start_ + static_cast<std::int64_t>((day * 24.0 + kSquallHours) * 3600);
  const double rise = synopticHpa(centre) - synopticHpa(centre - 3 * 3600);
  const double depth = kSquallDepth + std::max(0.0, rise) / kSquallFallShare;
  const double x = phase / kSquallWidthHours;
  return -depth * std::exp(-x * x);
}

double DemoWeather::pressureHpa(std::int64_t utcSeconds) const {
  double p = synopticHpa(utcSeconds) + squallHpa(utcSeconds);
  // A touch of sensor noise, the same for the same minute.
  DemoRandom r(demoSeed({static_cast<std::uint64_t>(utcSeconds / 60), 99}));
  p += r.uniform(-0.04, 0.04);
  return p;
}

double DemoWeather::temperatureC(std::int64_t utcSeconds) const {
  double dt = hoursFromLow(utcSeconds);
  double hourOfDay = std::fmod(hoursOf(utcSeconds), 24.0);
  double t = 7.5 + 3.0 * std::sin(2 * kPi * (hourOfDay - 9) / 24);
  if (dt > -12 && dt < 2) t += 2.0;                  // warm sector
  if (dt >= 2) t -= 3.5 * std::exp(-(dt - 2) / 20);  // cold air behind the front
  return t;
}

DemoWind DemoWeather::wind(std::int64_t utcSeconds, int area) const {
  double dt = hoursFromLow(utcSeconds) - area * 1.5;
  // Backing to south ahead of the low, veering west to northwest behind the cold front.
  double veer = 1 / (1 + std::exp(-(dt - 2) / 3));
  int direction = static_cast<int>(170 + 140 * veer + (area * 17) % 30);
  double force = 3.5 + 4.0 * std::exp(-((dt - 3) / 12) * ((dt - 3) / 12)) + (area % 3) * 0.5;
  DemoWind w;
  w.direction = (direction + 360) % 360;
  w.beaufort = static_cast<int>(std::lround(force));
  return w;
}

bool DemoWeather::squallCrosses(int area) { return area == 0 || area == 12 || area == 13; }

DemoWind DemoWeather::seaAreaWind(std::int64_t utcSeconds, int area) const {
  // Neighbours in the report share their timing in groups of three.
  DemoWind w = wind(utcSeconds, area / 3);
  const double hourOfDay = std::fmod(hoursOf(utcSeconds), 24.0);
  // A force below the lows' wind at the coast, so that a low warns some areas, not the sea.
  w.beaufort += static_cast<int>(std::lround(0.8 * std::sin(2 * kPi * (hourOfDay - 9) / 24))) - 1;
  w.beaufort = std::clamp(w.beaufort, 1, 12);
  const double hours = hoursOf(utcSeconds - start_) - kSquallHours;
  const double fromSquall = hours - std::round(hours / 24.0) * 24.0;
  if (squallCrosses(area) && std::fabs(fromSquall) <= kSquallGaleHours) {
    w.beaufort = std::max(w.beaufort, 8);
    w.direction = 292;
  }
  return w;
}

const char* germanDirection(int degrees) {
  static const char* kNames[16] = {"NORD", "NORDNORDOST",  "NORDOST",  "OSTNORDOST",
                                   "OST",  "OSTSUEDOST",   "SUEDOST",  "SUEDSUEDOST",
                                   "SUED", "SUEDSUEDWEST", "SUEDWEST", "WESTSUEDWEST",
                                   "WEST", "WESTNORDWEST", "NORDWEST", "NORDNORDWEST"};
  return kNames[sector16(degrees)];
}

const char* englishDirection(int degrees) {
  static const char* kNames[16] = {"NORTH", "NORTH-NORTHEAST", "NORTHEAST", "EAST-NORTHEAST",
                                   "EAST",  "EAST-SOUTHEAST",  "SOUTHEAST", "SOUTH-SOUTHEAST",
                                   "SOUTH", "SOUTH-SOUTHWEST", "SOUTHWEST", "WEST-SOUTHWEST",
                                   "WEST",  "WEST-NORTHWEST",  "NORTHWEST", "NORTH-NORTHWEST"};
  return kNames[sector16(degrees)];
}

}  // namespace tern::sim
