#include "sim/demo_synop.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "common/clock.h"
#include "sim/demo_random.h"

namespace tern::sim {

namespace {

struct SeaPoint {
  int lat, lon;  // tenths of a degree, east positive
};

// Open-sea positions of the eight ship bulletins' areas, at least a few tens of miles off
// any coast, so that a ship drawn on the wind map is never on land even after its jitter.
const std::vector<SeaPoint> kShipAreas[8] = {
    {{555, 30}, {560, 20}, {545, 40}, {575, 25}, {540, 30}, {570, 60}},        // 41 North Sea
    {{555, 175}, {565, 195}, {575, 200}, {590, 200}, {610, 195}, {620, 195}},  // 42 Baltic
    {{650, 0}, {670, 50}, {690, 100}, {700, -50}, {720, 150}, {640, -50}},     // 43 Norwegian Sea
    {{500, -170}, {520, -150}, {550, -250}, {570, -150}, {590, -100}, {480, -120}},  // 44
    {{460, -50}, {450, -30}, {440, -60}, {495, -30}, {500, 0}, {485, -70}},          // 45 Biscay
    {{380, 50}, {400, 60}, {360, 150}, {345, 200}, {340, 250}, {420, 70}},  // 46 Mediterranean
    {{300, -250}, {350, -170}, {400, -300}, {420, -170}, {270, -350}},      // 47 Atlantic
    {{400, -600}, {450, -500}, {380, -680}, {420, -650}, {470, -470}},      // 48 west Atlantic
};
// How far a report lies from its sea point, in tenths of a degree.
constexpr int kJitter = 3;

const char* kCallSigns[] = {"DBBH",  "DHDL",  "DBLK",  "PBAD",  "9HJT9", "ELXD4", "DCAN",  "DIDU",
                            "DGVK",  "PDGS",  "C6FM9", "OXTS2", "LAHB5", "SMLQ",  "OZWA2", "V2OD7",
                            "A8KT3", "5BMF2", "MKHB6", "GBTT",  "DBFH",  "DFDJ",  "OUMB2", "LATU4",
                            "SFRZ",  "9VBK8", "D5BM7", "PHAN",  "FNCM",  "EIVM",  "ONBQ",  "DAKE"};

std::string fiveDigits(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%05d", std::clamp(v, 0, 99999));
  return buf;
}

// 1snTTT and similar: sign figure and three digits of tenths.
std::string signedGroup(char lead, double value) {
  int tenths = static_cast<int>(std::lround(std::fabs(value) * 10));
  char buf[16];
  std::snprintf(buf, sizeof buf, "%c%c%03d", lead, value < 0 ? '1' : '0', std::min(tenths, 999));
  return buf;
}

std::string pressureGroup(char lead, double hpa) {
  int tenths = static_cast<int>(std::lround(hpa * 10)) % 10000;
  char buf[8];
  std::snprintf(buf, sizeof buf, "%c%04d", lead, tenths);
  return buf;
}

int knotsOf(int beaufort) {
  static const int kKnots[13] = {0, 2, 5, 9, 13, 19, 24, 30, 37, 44, 52, 60, 68};
  return kKnots[std::clamp(beaufort, 0, 12)];
}

// One report in the ship code, groups separated by blanks, "=" at its end.
std::string shipReport(const char* call, std::int64_t obs, int area, DemoRandom& rnd,
                       const DemoWeather& weather) {
  const std::vector<SeaPoint>& points = kShipAreas[area];
  const SeaPoint& p = points[rnd.below(static_cast<int>(points.size()))];
  const int lat = p.lat + rnd.between(-kJitter, kJitter);
  const int lon = p.lon + rnd.between(-kJitter, kJitter);
  CivilTime t = civilFromSeconds(obs);
  DemoWind w = weather.wind(obs, area + 1);
  w.direction = (w.direction + rnd.between(-30, 30) + 360) % 360;
  w.beaufort = std::clamp(w.beaufort + rnd.between(-2, 2) + (area >= 6 ? -1 : 0), 0, 11);
  const bool knots = rnd.chance(80);
  int ff = knots ? knotsOf(w.beaufort) + rnd.between(-1, 2) : (knotsOf(w.beaufort) + 1) / 2;
  ff = std::max(ff, 0);
  int dd = ff == 0 ? 0 : std::max(1, (w.direction + 5) / 10 % 36);
  if (dd == 0 && ff > 0) dd = 36;
  const double southness = (600 - lat) / 10.0;
  double air = weather.temperatureC(obs) + southness * 0.6 + rnd.uniform(-1.5, 1.5);
  double dew = air - rnd.uniform(0.8, 4.0);
  double sea = air + rnd.uniform(-1.0, 2.0);
  double slp = weather.pressureHpa(obs) + rnd.uniform(-9, 9) + (area >= 5 ? 6 : 0);
  double change = weather.pressureHpa(obs) - weather.pressureHpa(obs - 3 * 3600);
  int tendency = change > 0.3    ? (rnd.chance(70) ? 2 : 3)
                 : change < -0.3 ? (rnd.chance(70) ? 7 : 6)
                                 : 4;
  int cover = std::clamp(3 + w.beaufort / 2 + rnd.between(-2, 2), 0, 8);
  static const int kWeather[] = {2, 3, 10, 21, 25, 51, 61, 63, 80, 81};
  int ww = kWeather[std::clamp(cover - 2 + rnd.between(-1, 2), 0, 9)];
  int past1 = ww >= 60 ? 6 : ww >= 50 ? 5 : ww >= 20 ? 8 : 2, past2 = past1 > 2 ? 2 : 1;
  int waveHalfMetres = std::clamp(w.beaufort - 1 + rnd.between(0, 2), 0, 20);

  std::vector<std::string> g;
  g.push_back(call);
  g.push_back(twoDigits(t.day) + twoDigits(t.hour) + (knots ? "4" : "1"));
  g.push_back("99" + fiveDigits(lat).substr(2));
  g.push_back((lon < 0 ? "7" : "1") + fiveDigits(std::abs(lon)).substr(1));
  static const char kCloudBase[] = "456789/";
  static const char* kVisibility[] = {"96", "97", "97", "98", "95", "94"};
  const char cloudBase = kCloudBase[rnd.below(7)];
  const char* visibility = kVisibility[rnd.below(6)];
  g.push_back(std::string("41") + cloudBase + visibility);
  g.push_back(std::to_string(cover) + twoDigits(dd) + twoDigits(std::min(ff, 99)));
  g.push_back(signedGroup('1', air));
  g.push_back(signedGroup('2', dew));
  g.push_back(pressureGroup('4', slp));
  g.push_back("5" + std::to_string(tendency) +
              fiveDigits(static_cast<int>(std::lround(std::fabs(change) * 10))).substr(2));
  g.push_back("7" + twoDigits(ww) + std::to_string(past1) + std::to_string(past2));
  if (cover > 0) {
    const int lowCloud = rnd.between(5, 8);
    const int middleCloud = rnd.between(0, 7);
    const int highCloud = rnd.between(0, 2);
    g.push_back("8" + std::to_string(std::min(cover, 7)) + std::to_string(lowCloud) +
                std::to_string(middleCloud) + std::to_string(highCloud));
  }
  const int shipCourse = rnd.between(1, 8);
  const int shipSpeed = rnd.between(1, 4);
  g.push_back("222" + std::to_string(shipCourse) + std::to_string(shipSpeed));
  g.push_back(signedGroup('0', sea));
  g.push_back("2" + twoDigits(std::clamp(3 + waveHalfMetres / 2, 2, 12)) +
              twoDigits(waveHalfMetres));
  const int swellDir = (w.direction / 10 + 36 - rnd.between(0, 4)) % 36 + 1;
  const int secondSwellDir = std::min(36, swellDir + rnd.between(0, 3));
  g.push_back("3" + twoDigits(swellDir) + twoDigits(secondSwellDir));
  const int swellPeriod = rnd.between(6, 12);
  g.push_back("4" + twoDigits(swellPeriod) + twoDigits(std::clamp(waveHalfMetres + 1, 1, 20)));
  std::string line;
  for (std::size_t i = 0; i < g.size(); ++i) {
    if (i > 0) line += i % 10 == 0 ? dwdLineEnd() : " ";
    line += g[i];
  }
  return line;
}

struct Station {
  const char* shown;  // as printed in the bulletin
  int area;
};

const Station kNorthSea[] = {
    {"SVINOY", 3},    {"STAVANGER", 3},     {"ABERDEEN", 4},    {"TYNEMOUTH", 4},
    {"HARWICH", 4},   {"DEN HELDER", 1},    {"NORDERNEY", 1},   {"HELGOLAND", 0},
    {"LIST/SYLT", 0}, {"THYBOROEN", 2},     {"SKAGEN", 2},      {"ROESNAES", 1},
    {"KEGNAES", 1},   {"KIEL-HOLTENAU", 1}, {"LEUCHT.KIEL", 1}, {"FEHMARN", 1},
    {"ARKONA", 2},    {"BORNHOLM", 2},      {"VISBY", 3},       {"UTOE", 4},
    {"RIGA", 4},      {"HEL", 3},           {"SOESTERBERG", 1}, {"MANSTON", 3},
    {"JERSEY", 4},    {"CULDROSE", 5},      {"BELMULLET", 5},   {"STORNOWAY", 5}};

const Station kMediterranean[] = {
    {"BREST", 5},   {"LA CORUNA", 6}, {"GIBRALTAR", 8},  {"PALMA/MALL.", 8}, {"MARSEILLE", 7},
    {"GENOVA", 7},  {"GROSSETO", 7},  {"AJACCIO", 7},    {"PONZA", 8},       {"CAGLIARI", 8},
    {"MESSINA", 9}, {"MALTA", 9},     {"BRINDISI", 9},   {"ANCONA", 8},      {"VENEZIA", 8},
    {"PULA", 8},    {"TRIEST", 8},    {"SPLIT", 9},      {"DUBROVNIK", 9},   {"KYTHIRA", 10},
    {"ATHEN", 10},  {"LIMNOS", 10},   {"HERAKLION", 10}, {"RHODOS", 11}};

const char* const kGermanSky[] = {"WOLKENLOS", "HEITER", "WOLKIG", "STARK BEWOELKT",
                                  "BEDECKT",   "DUNST",  "REGEN",  "SCHAUER"};
const char* const kEnglishSky[] = {"CLEAR",    "FAIR", "CLOUDY", "MAINLY CLOUDY",
                                   "OVERCAST", "HAZE", "RAIN",   "SHOWERS"};

std::string zczc(std::int64_t seconds) {
  return "ZCZC " + fiveDigits(static_cast<int>((seconds / 60) % 1000)).substr(2) + dwdLineEnd();
}

}  // namespace

std::string dwdLineEnd() { return "\r\r\n"; }

std::string twoDigits(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", std::clamp(v, 0, 99));
  return buf;
}

std::string ddhhmm(std::int64_t utcSeconds) {
  CivilTime t = civilFromSeconds(utcSeconds);
  return twoDigits(t.day) + twoDigits(t.hour) + twoDigits(t.minute);
}

std::int64_t synopticHourBefore(std::int64_t utcSeconds, int stepHours) {
  std::int64_t step = static_cast<std::int64_t>(stepHours) * 3600;
  std::int64_t t = utcSeconds - 3600;
  return t - ((t % step) + step) % step;
}

std::string shipBulletin(const std::string& heading, std::int64_t broadcastSeconds,
                         const DemoWeather& weather, bool german) {
  const bool main = heading.rfind("SMVX", 0) == 0;
  const int area = std::clamp(heading.size() > 5 ? heading[5] - '1' : 0, 0, 7);
  const std::int64_t obs = synopticHourBefore(broadcastSeconds, main ? 6 : 3);
  DemoRandom rnd(demoSeed({static_cast<std::uint64_t>(obs), demoTextSeed(heading.c_str())}));
  const std::string nl = dwdLineEnd();
  std::string text = zczc(broadcastSeconds) + heading + " EDZW " + ddhhmm(obs) + nl + "BBXX" + nl;
  const int count = rnd.between(3, 7);
  const int callCount = static_cast<int>(std::size(kCallSigns));
  const int firstCall = (area * 4 + rnd.below(3)) % callCount;
  for (int i = 0; i < count; ++i) {
    const char* call = kCallSigns[(firstCall + i) % callCount];
    if (i == count - 1 && rnd.chance(25)) {
      text += std::string(call) + " NIL=" + nl;
      continue;
    }
    text += shipReport(call, obs, area, rnd, weather) + (german ? "=" : " =") + nl;
  }
  return text;
}

std::string coastalBulletin(const std::string& heading, std::int64_t broadcastSeconds,
                            const DemoWeather& weather) {
  const bool med = heading == "SXMM41";
  const bool english = heading == "SXEN42";
  const std::int64_t obs = synopticHourBefore(broadcastSeconds, 3);
  const CivilTime t = civilFromSeconds(obs);
  DemoRandom rnd(demoSeed({static_cast<std::uint64_t>(obs), demoTextSeed(heading.c_str())}));
  const std::string nl = dwdLineEnd();
  char date[16];
  std::snprintf(date, sizeof date, "%02d.%02d.%04d", t.day, t.month, t.year);
  std::string text = zczc(broadcastSeconds) + heading + " DWAV " + ddhhmm(obs) + nl;
  if (english) {
    text += "REPORTS OF COASTAL STATIONS" + nl + "OBSERVATIONS OF " + date + " " +
            twoDigits(t.hour) + " UTC" + nl + "STATION WIND BFT VIS WEATHER PRESSURE" + nl + nl;
  } else {
    text += std::string("WETTERBEOBACHTUNGEN VON KUESTENSTATIONEN") + (med ? " MITTELMEER" : "") +
            nl + "BEOBACHTUNGEN VOM " + date + " " + twoDigits(t.hour) + " UTC" + nl +
            "STATION WIND BFT SICHT WETTER LUFTDRUCK" + nl + nl;
  }
  auto emit = [&](const Station& s) {
    if (rnd.chance(8)) return;  // a station that did not report
    DemoWind w = weather.wind(obs, s.area);
    w.direction = (w.direction + rnd.between(-25, 25) + 360) % 360;
    w.beaufort = std::clamp(w.beaufort + rnd.between(-2, 1) - (med ? 1 : 0), 0, 10);
    int sky = std::clamp(w.beaufort - 2 + rnd.between(-2, 3), 0, 7);
    int pressure = static_cast<int>(
        std::lround(weather.pressureHpa(obs) + s.area * 1.5 + rnd.uniform(-2, 2) - (med ? -4 : 3)));
    const int visibilityKm = rnd.between(8, 40);
    text += std::string(s.shown) + " " +
            (english ? englishDirection(w.direction) : germanDirection(w.direction)) + " " +
            std::to_string(w.beaufort) + " " + std::to_string(visibilityKm) + " KM " +
            (english ? kEnglishSky[sky] : kGermanSky[sky]) + " " + std::to_string(pressure) + nl;
  };
  if (med) {
    for (const Station& s : kMediterranean) emit(s);
  } else {
    for (const Station& s : kNorthSea) emit(s);
  }
  return text + "=" + nl;
}

std::string landSynopBulletin(const std::string& heading, std::int64_t broadcastSeconds,
                              const DemoWeather& weather) {
  const std::int64_t obs = synopticHourBefore(broadcastSeconds, 3);
  const CivilTime t = civilFromSeconds(obs);
  DemoRandom rnd(demoSeed({static_cast<std::uint64_t>(obs), demoTextSeed(heading.c_str())}));
  const std::string nl = dwdLineEnd();
  std::string text = zczc(broadcastSeconds) + heading + " EDZW " + ddhhmm(obs) + nl + "AAXX " +
                     twoDigits(t.day) + twoDigits(t.hour) + "1" + nl;
  // Station numbers of the block the heading stands for.
  int block = heading == "SMNA72"   ? 71
              : heading == "SMAF73" ? 60
              : heading == "SMEU78" ? 16
              : heading == "SMEU71" ? 6
                                    : 10;
  int count = rnd.between(6, 12);
  int station = rnd.between(10, 200);
  for (int i = 0; i < count; ++i, station += rnd.between(5, 60)) {
    DemoWind w = weather.wind(obs, i % 5);
    const double temp = weather.temperatureC(obs) + rnd.uniform(-3, 3) + (block == 60 ? 10 : 0);
    const int precipitation = rnd.between(1, 4);
    const int cloudBase = rnd.between(4, 9);
    const int visibility = rnd.between(60, 80);
    const int cover = rnd.between(0, 8);
    const double dewPoint = temp - rnd.uniform(1, 5);
    const double stationPressure = weather.pressureHpa(obs) - rnd.uniform(1, 12);
    const double seaLevelPressure = weather.pressureHpa(obs) + rnd.uniform(-4, 4);
    text += twoDigits(block) + fiveDigits(station % 1000).substr(2) + " " + "1" +
            std::to_string(precipitation) + std::to_string(cloudBase) + std::to_string(visibility) +
            " " + std::to_string(cover) + twoDigits((w.direction + 5) / 10 % 36) +
            twoDigits(std::max(0, w.beaufort * 2 - 2)) + " " + signedGroup('1', temp) + " " +
            signedGroup('2', dewPoint) + " " + pressureGroup('3', stationPressure) + " " +
            pressureGroup('4', seaLevelPressure) + "=" + nl;
  }
  return text;
}

}  // namespace tern::sim
