// The decoders of the single SYNOP groups. The dispatcher (TSynopDecoder::DecodeGroup)
// decides which one a word reaches; each reads fixed 1-based character positions of the
// word, appends German lines to the report and may set its position, wind or the wind unit.
// Characters beyond a decoder's positions (a trailing "=" for one) are never looked at.
#pragma once

#include <string>
#include <string_view>

#include "synop/synop_type.h"

namespace tern {

enum class ReportState : std::uint8_t;

namespace synop {

// What a group decoder may touch: the report being built, whether it is still good, and the
// wind unit that the date group sets for the groups after it.
struct GroupTarget {
  TSynopType& report;
  ReportState& state;
  std::string& windUnitText;
  double& windFactor;

  // False while the decoder only sorts out which reports survive: the lines of a report
  // that the filter drops are never written.
  bool collectLines = true;

  // Appends one line made of `parts` (texts of any kind), built with a single allocation.
  template <class... Parts>
  void add(const Parts&... parts) {
    if (!collectLines) return;
    std::string line;
    line.reserve((std::string_view(parts).size() + ... + 0));
    (line.append(std::string_view(parts)), ...);
    report.lines.push_back(std::move(line));
  }
  void bad();
};

// Identification and section 1.
void decodeCallSign(std::string_view w, GroupTarget& t);
void decodeDateTime(std::string_view w, GroupTarget& t);          // YYGGiw
void decodeLatitude(std::string_view w, GroupTarget& t);          // 99LaLaLa
void decodeLongitude(std::string_view w, GroupTarget& t);         // QcLoLoLoLo
void decodeIndicators(std::string_view w, GroupTarget& t);        // iRixhVV
void decodeCloudAndWind(std::string_view w, GroupTarget& t);      // Nddff
void decodeHighWind(std::string_view w, GroupTarget& t);          // 00fff
void decodeAirTemperature(std::string_view w, GroupTarget& t);    // 1snTTT
void decodeDewPoint(std::string_view w, GroupTarget& t);          // 2snTdTdTd / 29UUU
void decodeStationPressure(std::string_view w, GroupTarget& t);   // 3PoPoPoPo
void decodeSeaLevelPressure(std::string_view w, GroupTarget& t);  // 4PPPP / 4a3hhh
void decodeTendency(std::string_view w, GroupTarget& t);          // 5appp
void decodePrecipitation(std::string_view w, GroupTarget& t);     // 6RRRtR
void decodeWeather(std::string_view w, GroupTarget& t);           // 7wwW1W2
void decodeClouds(std::string_view w, GroupTarget& t);            // 8NhCLCMCH
void decodeObservationTime(std::string_view w, GroupTarget& t);   // 9GGgg

// The German description of present weather ww 00..99 (WMO code table 4677), without the
// line's prefix; empty for any other index.
std::string_view presentWeatherText(int ww);

// Section 2 (sea).
void decodeShipMovement(std::string_view w, GroupTarget& t);      // 222Dsvs
void decodeSeaTemperature(std::string_view w, GroupTarget& t);    // 0ssTwTwTw
void decodeWindWaves(std::string_view w, GroupTarget& t);         // 1PwaPwaHwaHwa, 2PwPwHwHw
void decodeSwellDirections(std::string_view w, GroupTarget& t);   // 3dw1dw1dw2dw2
void decodeSwell(std::string_view w, GroupTarget& t, int which);  // 4.../5...
void decodeIceAccretion(std::string_view w, GroupTarget& t);      // 6IsEsEsRs
void decodeWaveHeightTenths(std::string_view w, GroupTarget& t);  // 70HwaHwaHwa
void decodeWetBulb(std::string_view w, GroupTarget& t);           // 8swTbTbTb

// Section 3 and its radiation blocks; section 4.
void decodeSection3Zero(std::string_view w, GroupTarget& t);
void decodeMaxTemperature12h(std::string_view w, GroupTarget& t);
void decodeMinTemperature12h(std::string_view w, GroupTarget& t);
void decodeGroundMinimum(std::string_view w, GroupTarget& t);        // 3EsnTgTg
void decodeSnowState(std::string_view w, GroupTarget& t);            // 4E'sss
void decodeDailyRadiation(std::string_view w, GroupTarget& t);       // 2/3/4FFFF
void decodeHourlySunshine(std::string_view w, GroupTarget& t);       // 553SS
void decodeHourlyRadiation(std::string_view w, GroupTarget& t);      // 2/3/4FFFF
void decodeHourlyPrecipitation(std::string_view w, GroupTarget& t);  // 6RRRtR
void decodePrecipitation24h(std::string_view w, GroupTarget& t);     // 7R24R24R24R24
void decodeCloudLayer(std::string_view w, GroupTarget& t);           // 8NsChshs
void decodeSection3Nine(std::string_view w, GroupTarget& t);         // 9SpSpspsp
void decodeSection4Cloud(std::string_view w, GroupTarget& t);        // N'C'H'H'Ct

// National groups of the German weather service.
void decodeSection5(std::string_view w, GroupTarget& t, int state);     // states 51..65
void decodeMountainCloud(std::string_view w, GroupTarget& t);           // after PIC
void decodeSoilTemperature(std::string_view w, GroupTarget& t);         // after BOT
void decodePreviousDay(std::string_view w, GroupTarget& t, int group);  // 1..9 after 80000
void decodeHourlyBlock(std::string_view w, GroupTarget& t, int group);  // 1,2,3,6,7 after 666
void decodeTenMinutePrecipitation(std::string_view w, GroupTarget& t);  // 0..5 after 80000

// Shared patterns of the later sections.
// Sign at `signPos` ("0" plus, "1" minus, else bad), value chars 3-4 "." char 5.
void addSignedTemperature(std::string_view w, GroupTarget& t, std::string_view prefix);
// Cloud base height code (WMO code table 1677) of chars `from`..`from+1`.
void addCloudHeight(std::string_view w, GroupTarget& t, int from);
void addCloudGenus(char figure, GroupTarget& t);
// Reference period (full lines); `capitalZero` for the fresh-snow group's 0 line.
void addPeriod(char figure, GroupTarget& t, bool capitalZero = false);
// Total cloud cover text of figure N, or "" for an unknown figure.
std::string_view coverText(char figure);

}  // namespace synop
}  // namespace tern
