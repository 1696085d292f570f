// The DWD RTTY bulletins of the demo receiver: forecasts, warnings, medium-range outlooks,
// notices, nautical warnings and ice reports in the German and English programmes, written in
// the service's teleprinter style (ZCZC, heading line, upper-case ASCII with ae/oe/ue, lines
// ending CR CR LF, "=" at the end). The observation bulletins come from demo_synop.
#pragma once

#include <cstdint>
#include <string>

#include "sim/demo_weather.h"

namespace tern::sim {

enum class BulletinKind {
  Warning,
  SeaReport,
  CoastReport,
  MediumRange,
  Notice,
  NavWarning,
  Ice,
  LandSynop,
  ShipSynop,
  CoastalObs
};

// Sea areas a forecast covers.
enum class AreaSet {
  NorthSeaBaltic,
  GermanCoast,
  Mediterranean,
  Atlantic,
  Norwegian,
  Biscay,
  Baltic,
  GermanBight,
  SeaAreas  // the sea weather report's areas (seaweather/sea_areas.h), in its order
};

struct BulletinSpec {
  const char* id;     // six characters; for ship bulletins the full heading "SMVX43"
  const char* title;  // first line of the text
  BulletinKind kind;
  AreaSet areas;
  bool german;
};

// The text of one bulletin broadcast at `utcSeconds`.
std::string dwdBulletin(const BulletinSpec& plan, std::int64_t utcSeconds,
                        const DemoWeather& weather);

}  // namespace tern::sim
