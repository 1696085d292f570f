#include "sim/demo_bulletins.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "common/clock.h"
#include "sim/demo_random.h"
#include "sim/demo_synop.h"

namespace tern::sim {

namespace {

struct AreaNames {
  std::vector<const char*> german, english;
};

const AreaNames& namesOf(AreaSet set) {
  static const AreaNames kNorthSeaBaltic{
      {"DEUTSCHE BUCHT", "SUEDWESTLICHE NORDSEE", "FISHER", "DOGGER", "SKAGERRAK", "KATTEGAT",
       "BELTE UND SUND", "WESTLICHE OSTSEE", "SUEDLICHE OSTSEE", "SUEDOESTLICHE OSTSEE"},
      {"GERMAN BIGHT", "SOUTHWESTERN NORTH SEA", "FISHER", "DOGGER", "SKAGERRAK", "KATTEGAT",
       "BELTS AND SOUND", "WESTERN BALTIC", "SOUTHERN BALTIC", "SOUTHEASTERN BALTIC"}};
  static const AreaNames kGermanCoast{
      {"OSTFRIESISCHE KUESTE", "ELBMUENDUNG", "HELGOLAND", "NORDFRIESISCHE KUESTE",
       "ELBE VON HAMBURG BIS CUXHAVEN", "FLENSBURG BIS FEHMARN", "FEHMARN BIS RUEGEN",
       "OESTLICH RUEGEN"},
      {"EAST FRISIAN COAST", "ELBE ESTUARY", "HELGOLAND", "NORTH FRISIAN COAST",
       "ELBE FROM HAMBURG TO CUXHAVEN", "FLENSBURG TO FEHMARN", "FEHMARN TO RUEGEN",
       "EAST OF RUEGEN"}};
  static const AreaNames kMediterranean{
      {"GOLFE DU LION", "BALEAREN", "LIGURISCHES MEER", "TYRRHENISCHES MEER", "ADRIA",
       "IONISCHES MEER", "AEGAEIS"},
      {"GULF OF LIONS", "BALEARIC ISLANDS", "LIGURIAN SEA", "TYRRHENIAN SEA", "ADRIATIC SEA",
       "IONIAN SEA", "AEGEAN SEA"}};
  static const AreaNames kAtlantic{
      {"BISKAYA", "IRISCHE SEE", "SHANNON", "ROCKALL", "HEBRIDEN", "FAEROER"},
      {"BISCAY", "IRISH SEA", "SHANNON", "ROCKALL", "HEBRIDES", "FAEROES"}};
  static const AreaNames kNorwegian{{"NORWEGISCHE SEE SUED", "NORWEGISCHE SEE NORD", "BARENTSSEE"},
                                    {"NORWEGIAN SEA SOUTH", "NORWEGIAN SEA NORTH", "BARENTS SEA"}};
  static const AreaNames kBiscay{
      {"WESTLICHER KANAL", "OESTLICHER KANAL", "NOERDLICHE BISKAYA", "SUEDLICHE BISKAYA"},
      {"WESTERN ENGLISH CHANNEL", "EASTERN ENGLISH CHANNEL", "NORTHERN BISCAY", "SOUTHERN BISCAY"}};
  static const AreaNames kBaltic{
      {"WESTLICHE OSTSEE", "SUEDLICHE OSTSEE", "SUEDOESTLICHE OSTSEE", "ZENTRALE OSTSEE",
       "NOERDLICHE OSTSEE", "RIGAER BUCHT", "FINNISCHER MEERBUSEN"},
      {"WESTERN BALTIC", "SOUTHERN BALTIC", "SOUTHEASTERN BALTIC", "CENTRAL BALTIC",
       "NORTHERN BALTIC", "GULF OF RIGA", "GULF OF FINLAND"}};
  static const AreaNames kGermanBight{{"DEUTSCHE BUCHT"}, {"GERMAN BIGHT"}};
  static const AreaNames kSeaAreas{{"DEUTSCHE BUCHT",
                                    "IJSSELMEER",
                                    "SUEDWESTLICHE NORDSEE",
                                    "ENGLISCHER KANAL OST",
                                    "ENGLISCHER KANAL WEST",
                                    "DOGGER",
                                    "FISCHER",
                                    "FORTIES",
                                    "UTSIRA",
                                    "VIKING",
                                    "SKAGERRAK",
                                    "KATTEGAT",
                                    "BELTE UND SUND",
                                    "WESTLICHE OSTSEE",
                                    "BODDENGEWAESSER OST",
                                    "SUEDLICHE OSTSEE",
                                    "SUEDOESTLICHE OSTSEE",
                                    "ZENTRALE OSTSEE",
                                    "NOERDLICHE OSTSEE",
                                    "RIGAISCHER MEERBUSEN",
                                    "FINNISCHER MEERBUSEN",
                                    "AALANDSEE UND SCHAERENGEBIET",
                                    "BOTTENSEE",
                                    "BOTTENWIEK"},
                                   {"GERMAN BIGHT",
                                    "IJSSEL LAKE",
                                    "SOUTHWESTERN NORTH SEA",
                                    "ENGLISH CHANNEL EAST",
                                    "ENGLISH CHANNEL WEST",
                                    "DOGGER",
                                    "FISHER",
                                    "FORTIES",
                                    "UTSIRA",
                                    "VIKING",
                                    "SKAGERRAK",
                                    "KATTEGAT",
                                    "BELTS AND SOUND",
                                    "WESTERN BALTIC",
                                    "EASTERN BODDEN WATERS",
                                    "SOUTHERN BALTIC",
                                    "SOUTHEASTERN BALTIC",
                                    "CENTRAL BALTIC",
                                    "NORTHERN BALTIC",
                                    "GULF OF RIGA",
                                    "GULF OF FINLAND",
                                    "AALAND SEA AND ARCHIPELAGO SEA",
                                    "SEA OF BOTHNIA",
                                    "BAY OF BOTHNIA"}};
  switch (set) {
    case AreaSet::NorthSeaBaltic:
      return kNorthSeaBaltic;
    case AreaSet::GermanCoast:
      return kGermanCoast;
    case AreaSet::Mediterranean:
      return kMediterranean;
    case AreaSet::Atlantic:
      return kAtlantic;
    case AreaSet::Norwegian:
      return kNorwegian;
    case AreaSet::Biscay:
      return kBiscay;
    case AreaSet::Baltic:
      return kBaltic;
    case AreaSet::GermanBight:
      return kGermanBight;
    case AreaSet::SeaAreas:
      return kSeaAreas;
  }
  return kNorthSeaBaltic;
}

// Areas of different sets get different wind timing.
int areaIndex(AreaSet set, std::size_t i) {
  return static_cast<int>(set) * 2 + static_cast<int>(i);
}

// The wind of area `i` of `set`; the sea weather report's areas have their own, with the
// squall line's gale.
DemoWind areaWind(const DemoWeather& w, AreaSet set, std::int64_t t, std::size_t i) {
  if (set == AreaSet::SeaAreas) return w.seaAreaWind(t, static_cast<int>(i));
  return w.wind(t, areaIndex(set, i));
}

std::string decimal(double v, bool german) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  std::string s = buf;
  if (german) std::replace(s.begin(), s.end(), '.', ',');
  if (s.size() > 2 && s.substr(s.size() - 2) == (german ? ",0" : ".0")) s.resize(s.size() - 2);
  return s;
}

double seaMetres(int beaufort) {
  return std::max(0.5, std::round(0.18 * std::pow(beaufort, 1.6) * 2) / 2);
}

std::string windText(DemoWind w, bool german) {
  return std::string(german ? germanDirection(w.direction) : englishDirection(w.direction)) + " " +
         std::to_string(w.beaufort);
}

std::string issued(std::int64_t t, bool german) {
  CivilTime c = civilFromSeconds(t);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s %02d.%02d.%04d, %02d.%02d UTC", german ? "AM" : "AT", c.day,
                c.month, c.year, c.hour, c.minute);
  return buf;
}

const char* weekday(std::int64_t t, bool german) {
  static const char* kGerman[7] = {"DONNERSTAG", "FREITAG",  "SONNABEND", "SONNTAG",
                                   "MONTAG",     "DIENSTAG", "MITTWOCH"};
  static const char* kEnglish[7] = {"THURSDAY", "FRIDAY",  "SATURDAY", "SUNDAY",
                                    "MONDAY",   "TUESDAY", "WEDNESDAY"};
  auto day = static_cast<int>(((t / 86400) % 7 + 7) % 7);  // 1 Jan 1970 was a Thursday
  return german ? kGerman[day] : kEnglish[day];
}

std::string synopsis(std::int64_t t, const DemoWeather& w, bool german) {
  double dt = w.hoursFromLow(t);
  int low = static_cast<int>(std::lround(w.pressureHpa(t) - 12));
  std::string nl = dwdLineEnd();
  if (dt < -6)
    return german ? "WETTERLAGE: TIEF " + std::to_string(low) + " SUEDLICH ISLAND, ZIEHT UNTER" +
                        nl + "VERTIEFUNG OSTWAERTS. HOCH 1031 AZOREN." + nl
                  : "SYNOPSIS: LOW " + std::to_string(low) + " SOUTH OF ICELAND, DEEPENING," + nl +
                        "MOVING EAST. HIGH 1031 AZORES." + nl;
  if (dt < 8)
    return german
               ? "WETTERLAGE: TIEF " + std::to_string(low) + " NORDSEE, ZIEHT NACH SUEDSCHWEDEN." +
                     nl + "KALTFRONT UEBERQUERT DIE DEUTSCHE BUCHT." + nl
               : "SYNOPSIS: LOW " + std::to_string(low) + " NORTH SEA, MOVING TO SOUTHERN SWEDEN." +
                     nl + "COLD FRONT CROSSING THE GERMAN BIGHT." + nl;
  return german
             ? "WETTERLAGE: TIEF " + std::to_string(low) +
                   " BALTIKUM, ABSCHWAECHEND. ZWISCHENHOCH" + nl +
                   "UEBER DER NORDSEE, ZIEHT OSTWAERTS." + nl
             : "SYNOPSIS: LOW " + std::to_string(low) + " BALTIC STATES, FILLING. RIDGE OVER THE" +
                   nl + "NORTH SEA, MOVING EAST." + nl;
}

std::string seaReport(const BulletinSpec& s, std::int64_t t, const DemoWeather& w,
                      DemoRandom& rnd) {
  const bool de = s.german;
  const std::string nl = dwdLineEnd();
  std::string text = synopsis(t, w, de) + nl;
  CivilTime until = civilFromSeconds(t + 12 * 3600);
  text += (de ? "VORHERSAGEN GUELTIG BIS " : "FORECASTS VALID UNTIL ") + twoDigits(until.day) +
          "." + twoDigits(until.month) + ". " + twoDigits(until.hour) + " UTC:" + nl;
  const AreaNames& names = namesOf(s.areas);
  const auto& list = de ? names.german : names.english;
  for (std::size_t i = 0; i < list.size(); ++i) {
    // The North Sea and Baltic report begins with the wind of the hours ahead, as the
    // warnings do, so a squall line's gale is in the report issued before it.
    const std::int64_t ahead = s.areas == AreaSet::SeaAreas ? 3 * 3600 : 0;
    DemoWind now = areaWind(w, s.areas, t + ahead, i),
             later = areaWind(w, s.areas, t + 9 * 3600, i);
    text += std::string(list[i]) + ":" + nl + windText(now, de);
    if (later.beaufort != now.beaufort || later.direction / 45 != now.direction / 45)
      text += (de ? ", SPAETER " : ", LATER ") + windText(later, de);
    text += (de ? ", SEE " : ", SEA ") +
            decimal(seaMetres(std::max(now.beaufort, later.beaufort)), de) +
            (de ? " METER" : " METRES");
    static const char* kVisDe[] = {"GUTE SICHT", "GUTE SICHT", "STRICHWEISE DIESIG",
                                   "IN SCHAUERN MAESSIGE SICHT"};
    static const char* kVisEn[] = {"GOOD VISIBILITY", "GOOD VISIBILITY", "LOCALLY HAZY",
                                   "MODERATE VISIBILITY IN SHOWERS"};
    int v = rnd.below(4);
    text += std::string(", ") + (de ? kVisDe[v] : kVisEn[v]) + "." + nl;
  }
  text +=
      nl +
      (de ? "AUSSICHTEN FUER DIE FOLGENDEN 12 STUNDEN:" : "OUTLOOK FOR THE FOLLOWING 12 HOURS:") +
      nl;
  DemoWind out = w.wind(t + 18 * 3600, areaIndex(s.areas, 0));
  text += windText(out, de) + (de ? ", ABNEHMEND." : ", DECREASING.") + nl;
  return text;
}

std::string warnings(const BulletinSpec& s, std::int64_t t, const DemoWeather& w) {
  const bool de = s.german;
  const std::string nl = dwdLineEnd();
  const AreaNames& names = namesOf(s.areas);
  const auto& list = de ? names.german : names.english;
  std::string text;
  bool any = false;
  for (std::size_t i = 0; i < list.size(); ++i) {
    DemoWind wind = areaWind(w, s.areas, t + 3 * 3600, i);
    if (wind.beaufort < 6) continue;
    any = true;
    const char* kind = wind.beaufort >= 10  ? (de ? "SCHWERER STURM" : "STORM WARNING")
                       : wind.beaufort >= 8 ? (de ? "STURM" : "GALE WARNING")
                                            : (de ? "STARKWIND" : "STRONG WIND WARNING");
    text += std::string(list[i]) + ": " + kind + " " + windText(wind, de) + "." + nl;
  }
  if (!any) text += de ? "KEINE WARNUNGEN." + nl : "NO WARNINGS." + nl;
  return text;
}

std::string mediumRange(const BulletinSpec& s, std::int64_t t, const DemoWeather& w) {
  const bool de = s.german;
  const std::string nl = dwdLineEnd();
  std::string text = de ? "MITTELFRISTIGE VORHERSAGE FUER DIE NAECHSTEN 5 TAGE" + nl
                        : "MEDIUM-RANGE FORECAST FOR THE NEXT 5 DAYS" + nl;
  for (int d = 1; d <= 5; ++d) {
    std::int64_t day = t + d * 86400;
    DemoWind wind = w.wind(day, static_cast<int>(s.areas));
    double p = w.pressureHpa(day);
    text += std::string(weekday(day, de)) + ": " + windText(wind, de) + ", " +
            (p < 1005   ? (de ? "UNBESTAENDIG, SCHAUER." : "UNSETTLED, SHOWERS.")
             : p < 1015 ? (de ? "WECHSELHAFT." : "CHANGEABLE.")
                        : (de ? "UEBERWIEGEND FREUNDLICH." : "MAINLY FAIR.")) +
            nl;
  }
  return text;
}

std::string navWarnings(const BulletinSpec& s, std::int64_t t, DemoRandom& rnd) {
  const bool de = s.german;
  const std::string nl = dwdLineEnd();
  static const char* kDe[] = {"WRACK", "TONNE VERTRIEBEN", "LEUCHTFEUER AUSGEFALLEN",
                              "SCHIESSUEBUNGEN", "KABELARBEITEN, ABSTAND 500 METER HALTEN"};
  static const char* kEn[] = {"WRECK", "BUOY ADRIFT", "LIGHT UNLIT", "FIRING EXERCISES",
                              "CABLE OPERATIONS, KEEP CLEAR BY 500 METRES"};
  std::string text;
  int count = rnd.between(2, 4);
  int number = static_cast<int>((t / 86400) % 300) + 100;
  for (int i = 0; i < count; ++i) {
    int kind = rnd.below(5);
    const int latDegrees = rnd.between(53, 55);
    const int latMinutes = rnd.between(0, 59);
    const int latTenths = rnd.below(10);
    const int lonDegrees = rnd.between(6, 14);
    const int lonMinutes = rnd.between(0, 59);
    const int lonTenths = rnd.below(10);
    char pos[40];
    std::snprintf(pos, sizeof pos, "%02d-%02d,%dN %03d-%02d,%dE", latDegrees, latMinutes, latTenths,
                  lonDegrees, lonMinutes, lonTenths);
    std::string where = pos;
    if (!de) std::replace(where.begin(), where.end(), ',', '.');
    text += (de ? "NR. " : "NO. ") + std::to_string(number + i) + ": " +
            (de ? kDe[kind] : kEn[kind]) + (de ? " IN " : " IN ") + where + "." + nl;
  }
  return text;
}

std::string notice(bool de) {
  const std::string nl = dwdLineEnd();
  return de ? "DIE SENDUNGEN DES SEEWETTERDIENSTES HAMBURG DIENEN DER" + nl +
                  "INFORMATION DER SCHIFFFAHRT. AKTUELLE SENDEPLAENE UND" + nl +
                  "AENDERUNGEN WERDEN AN DIESER STELLE BEKANNTGEGEBEN." + nl
            : "THE BROADCASTS OF THE MARITIME WEATHER SERVICE HAMBURG ARE" + nl +
                  "PROVIDED FOR THE INFORMATION OF SHIPPING. CURRENT SCHEDULES" + nl +
                  "AND CHANGES ARE ANNOUNCED HERE." + nl;
}

std::string ice(std::int64_t t, bool de) {
  const std::string nl = dwdLineEnd();
  CivilTime c = civilFromSeconds(t);
  bool winter = c.month <= 4 || c.month == 12;
  if (!winter) return de ? "OSTSEE EISFREI." + nl : "BALTIC SEA ICE-FREE." + nl;
  return de ? "BOTTENWIEK: FESTEIS 30-60 CM, DAVOR PACKEIS." + nl +
                  "FINNISCHER MEERBUSEN OSTTEIL: NEUEIS 5-15 CM." + nl +
                  "WESTLICHE OSTSEE UND DEUTSCHE KUESTEN: EISFREI." + nl
            : "BAY OF BOTHNIA: FAST ICE 30-60 CM, PACK ICE OFFSHORE." + nl +
                  "GULF OF FINLAND EASTERN PART: NEW ICE 5-15 CM." + nl +
                  "WESTERN BALTIC AND GERMAN COASTS: ICE-FREE." + nl;
}

}  // namespace

std::string dwdBulletin(const BulletinSpec& plan, std::int64_t t, const DemoWeather& weather) {
  const std::string id = plan.id;
  switch (plan.kind) {
    case BulletinKind::ShipSynop:
      return shipBulletin(id, t, weather, plan.german);
    case BulletinKind::CoastalObs:
      return coastalBulletin(id, t, weather);
    case BulletinKind::LandSynop:
      return landSynopBulletin(id, t, weather);
    default:
      break;
  }
  DemoRandom rnd(demoSeed({static_cast<std::uint64_t>(t), demoTextSeed(plan.id)}));
  const bool de = plan.german;
  const std::string nl = dwdLineEnd();
  char zczc[16];
  std::snprintf(zczc, sizeof zczc, "ZCZC %03d", static_cast<int>((t / 60) % 1000));
  std::string text = std::string(zczc) + nl + id + " EDZW " + ddhhmm(t) + nl + plan.title + nl;
  if (plan.kind != BulletinKind::Notice)
    text += (de ? "DEUTSCHER WETTERDIENST, SEEWETTERDIENST HAMBURG"
                : "DEUTSCHER WETTERDIENST, MARITIME WEATHER SERVICE HAMBURG") +
            nl + issued(t, de) + nl + nl;
  switch (plan.kind) {
    case BulletinKind::Warning:
      text += warnings(plan, t, weather);
      break;
    case BulletinKind::SeaReport:
    case BulletinKind::CoastReport:
      text += seaReport(plan, t, weather, rnd);
      break;
    case BulletinKind::MediumRange:
      text += mediumRange(plan, t, weather);
      break;
    case BulletinKind::Notice:
      text += notice(de);
      break;
    case BulletinKind::NavWarning:
      text += navWarnings(plan, t, rnd);
      break;
    case BulletinKind::Ice:
      text += ice(t, de);
      break;
    default:
      break;
  }
  return text + "=" + nl;
}

}  // namespace tern::sim
