// The decoders of the single SYNOP groups. The dispatcher (TSynopDecoder::DecodeGroup, with
// the rules of group_rules.cpp) decides which one a word reaches; each reads fixed 1-based
// character positions of the word, appends German lines to the report and may set its
// position, wind or the wind unit. Characters beyond a decoder's positions (a trailing "="
// for one) are never looked at.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "synop/line_pool.h"
#include "synop/synop_text.h"
#include "synop/synop_type.h"

namespace tern {

enum class ReportState : std::uint8_t;

namespace synop {

// What a group decoder may touch: the report being built, whether it is still good, and the
// wind unit that the date group sets for the groups after it.
struct GroupTarget {
  TSynopType& report;
  ReportState& state;
  std::string_view& windUnitText;  // one of the texts of the date group's table
  double& windFactor;

  // Where the lines go; null while the decoder only sorts out which reports survive: the
  // lines of a report that the filter drops are never written.
  LinePool* lines = nullptr;

  // Appends one line made of `parts`: texts, and numbers as Decimal, Tenths or Number.
  template <class... Parts>
  void add(const Parts&... parts) {
    if (lines == nullptr) return;
    std::string& line = lines->AddLine(report.lines);
    line.reserve((partSize(parts) + ... + 0));
    (appendPart(line, parts), ...);
  }
  void bad();
};

// Every decoder has this form, so the dispatcher's rules can name them.
using GroupDecoder = void (*)(std::string_view w, GroupTarget& t);

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
void decodeFirstSwell(std::string_view w, GroupTarget& t);        // 4Pw1Pw1Hw1Hw1
void decodeSecondSwell(std::string_view w, GroupTarget& t);       // 5Pw2Pw2Hw2Hw2
void decodeIceAccretion(std::string_view w, GroupTarget& t);      // 6IsEsEsRs
void decodeWaveHeightTenths(std::string_view w, GroupTarget& t);  // 70HwaHwaHwa
void decodeWetBulb(std::string_view w, GroupTarget& t);           // 8swTbTbTb

// Section 3 and its radiation blocks; section 4.
void decodeSection3Zero(std::string_view w, GroupTarget& t);
void decodeMaxTemperature12h(std::string_view w, GroupTarget& t);    // 1snTxTxTx
void decodeMinTemperature12h(std::string_view w, GroupTarget& t);    // 2snTnTnTn
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

// Section 5: the national groups of the German weather service.
void decodeGroundTemperature5cm(std::string_view w, GroupTarget& t);   // 0snTTT
void decodeHourlyAmount(std::string_view w, GroupTarget& t);           // 1RRRr
void decodeDailyMeanTemperature(std::string_view w, GroupTarget& t);   // 20TTT, 21TTT
void decodeTenMinuteWind(std::string_view w, GroupTarget& t);          // 22fff
void decodeHourlySunshineMinutes(std::string_view w, GroupTarget& t);  // 23SS
void decodePrecipitationKind(std::string_view w, GroupTarget& t);      // 24WRtR
void decodeAdditionalPhenomenon(std::string_view w, GroupTarget& t);   // 25wzwz
void decodeHourlyMeanWind(std::string_view w, GroupTarget& t);         // 26fff
void decodeLightning(std::string_view w, GroupTarget& t);              // 3LLLL
void decodeFreshSnow(std::string_view w, GroupTarget& t);              // 5snsnsnts
void decodeSection5Seven(std::string_view w, GroupTarget& t);          // 7ffzd
void decodeCloudBase(std::string_view w, GroupTarget& t);              // 8NChh
void decodeGustTenMinutes(std::string_view w, GroupTarget& t);         // 910ff
void decodeGustHour(std::string_view w, GroupTarget& t);               // 911ff
void decodeMeanWindHour(std::string_view w, GroupTarget& t);           // 912ff

// After "PIC" and "BOT".
void decodeMountainCloud(std::string_view w, GroupTarget& t);
void decodeSoilTemperature(std::string_view w, GroupTarget& t);

// The previous-day block, after "80000" behind "PIC" or "BOT".
void decodeSixHourPrecipitation(std::string_view w, GroupTarget& t);  // 1RRRRW
void decodeDailySunshine(std::string_view w, GroupTarget& t);         // 2SSSS
void decodeDailyGust(std::string_view w, GroupTarget& t);             // 3fff
void decodeDailyMaxMeanWind(std::string_view w, GroupTarget& t);      // 4fff
void decodeSnowWaterEquivalent(std::string_view w, GroupTarget& t);   // 5ss
void decodeWeatherLists(std::string_view w, GroupTarget& t);          // 6mm..
void decodeDailyMaxTemperature(std::string_view w, GroupTarget& t);   // 7snTTT
void decodeDailyMinTemperature(std::string_view w, GroupTarget& t);   // 8snTTT
void decodeDailyGroundMinimum(std::string_view w, GroupTarget& t);    // 9snTTTi

// The hourly block, after "666", and its 10-minute precipitation block.
void decodeHourlyMaxTemperature(std::string_view w, GroupTarget& t);    // 1snTTT
void decodeHourlyMinTemperature(std::string_view w, GroupTarget& t);    // 2snTTT
void decodeHourlyGroundMinimum(std::string_view w, GroupTarget& t);     // 3snTTT
void decodeHourlyBlockSix(std::string_view w, GroupTarget& t);          // 6vvvv
void decodeAutomaticVisibility(std::string_view w, GroupTarget& t);     // 7VVVV
void decodeTenMinutePrecipitation(std::string_view w, GroupTarget& t);  // 0..5 after 80000

// Texts of a one-figure code: one for each figure '0'..'9' and a last one for '/'; empty
// where the figure means nothing.
using CodeTexts = std::array<std::string_view, 11>;
// The text of `figure`; empty for a figure the table does not know.
std::string_view codeText(const CodeTexts& texts, char figure);
// Adds `prefix` + the text of `figure`; a figure the table does not know makes the report bad.
void addCodeLine(const CodeTexts& texts, char figure, GroupTarget& t, std::string_view prefix = {});

// Shared patterns of the later sections.
// The sign figure sn: "0" plus (no sign), "1" minus; nothing for any other figure.
std::optional<std::string_view> signText(char figure);
// Sign at char 2 ("0" plus, "1" minus, else bad), value chars 3-4 "." char 5.
void addSignedTemperature(std::string_view w, GroupTarget& t, std::string_view prefix);
// The same after "skip if ///", the form of most temperature groups.
void addTemperatureGroup(std::string_view w, GroupTarget& t, std::string_view prefix);
// Cloud base height code (WMO code table 1677) of chars `from`..`from+1`.
void addCloudHeight(std::string_view w, GroupTarget& t, int from);
void addCloudGenus(char figure, GroupTarget& t);
// Reference period (full lines); `capitalZero` for the fresh-snow group's 0 line.
void addPeriod(char figure, GroupTarget& t, bool capitalZero = false);
// Total cloud cover text of figure N, or "" for an unknown figure.
std::string_view coverText(char figure);

}  // namespace synop
}  // namespace tern
