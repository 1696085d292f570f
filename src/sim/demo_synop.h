// Observation bulletins of the demo receiver: ship reports in the WMO ship code (FM 13,
// "BBXX") under the headings SMVX41..48 and SIVX41..48, and the coastal station bulletins
// SXEN40, SXEN42 and SXMM41 in DWD's plain station-line form, so the SYNOP page has ships and
// stations to draw.
#pragma once

#include <cstdint>
#include <string>

#include "sim/demo_weather.h"

namespace tern::sim {

// Ship bulletin `heading` ("SMVX43", "SIVX41", ...) broadcast at `broadcastSeconds` (UTC):
// the reports of the last synoptic hour before it. `german` selects the German programme's
// copy, which closes its reports with "=" attached to the last group.
std::string shipBulletin(const std::string& heading, std::int64_t broadcastSeconds,
                         const DemoWeather& weather, bool german);

// Coastal station bulletin SXEN40 or SXMM41 (German) or SXEN42 (English).
std::string coastalBulletin(const std::string& heading, std::int64_t broadcastSeconds,
                            const DemoWeather& weather);

// Land station reports (AAXX) for the SM.... headings that the SYNOP page does not read.
std::string landSynopBulletin(const std::string& heading, std::int64_t broadcastSeconds,
                              const DemoWeather& weather);

// Helpers shared by the bulletin makers.
std::string dwdLineEnd();                     // CR CR LF, as DWD's teleprinter
std::string ddhhmm(std::int64_t utcSeconds);  // "051200"
std::string twoDigits(int v);
std::int64_t synopticHourBefore(std::int64_t utcSeconds, int stepHours);  // observation time

}  // namespace tern::sim
