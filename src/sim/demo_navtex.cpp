#include "sim/demo_navtex.h"

#include <cstdio>

#include "common/clock.h"
#include "sim/demo_random.h"
#include "sim/demo_synop.h"

namespace tern::sim {

namespace {

const char* kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                           "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

std::string dateLine(std::int64_t t) {
  CivilTime c = civilFromSeconds(t);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%02d%02d%02d UTC %s %02d", c.day, c.hour, c.minute,
                kMonths[c.month - 1], c.year % 100);
  return buf;
}

std::string position(DemoRandom& rnd, bool german) {
  const int latDegrees = rnd.between(53, 57);
  const int latMinutes = rnd.between(0, 59);
  const int latTenths = rnd.below(10);
  const int lonDegrees = rnd.between(3, 14);
  const int lonMinutes = rnd.between(0, 59);
  const int lonTenths = rnd.below(10);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d-%02d.%dN %03d-%02d.%dE", latDegrees, latMinutes, latTenths,
                lonDegrees, lonMinutes, lonTenths);
  std::string s = buf;
  if (german)
    for (char& c : s)
      if (c == '.') c = ',';
  return s;
}

std::string body(const NavtexStation& st, char subject, int number, std::int64_t t,
                 const DemoWeather& weather, DemoRandom& rnd) {
  const bool de = st.german;
  const std::string nl = "\r\n";
  DemoWind w = weather.wind(t + 3 * 3600, 0);
  std::string area = de ? "DEUTSCHE BUCHT" : (rnd.chance(50) ? "GERMAN BIGHT" : "HUMBER THAMES");
  switch (subject) {
    case 'A':
    case 'L': {
      static const char* kDe[] = {"WRACK", "TONNE ERLOSCHEN", "TREIBENDER CONTAINER"};
      static const char* kEn[] = {"WRECK", "LIGHT BUOY UNLIT", "DRIFTING CONTAINER"};
      int k = rnd.below(3);
      return (de ? "NAV WARN NR. " : "NAV WARNING NR. ") + std::to_string(100 + number * 3) + nl +
             area + nl + (de ? kDe[k] : kEn[k]) + " " + position(rnd, de) + nl +
             (de ? "SCHIFFFAHRT WIRD UM VORSICHT GEBETEN."
                 : "MARINERS ARE ADVISED TO NAVIGATE WITH CAUTION.") +
             nl;
    }
    case 'B':
      if (w.beaufort < 6)
        return (de ? "KEINE STARKWIND- ODER STURMWARNUNGEN." : "NO GALE WARNINGS IN FORCE.") + nl;
      return (de ? "STURMWARNUNG " : "GALE WARNING ") + area + nl +
             (de ? germanDirection(w.direction) : englishDirection(w.direction)) + " " +
             std::to_string(w.beaufort) + (de ? ", SPAETER " : ", LATER ") +
             std::to_string(w.beaufort + 1) + nl;
    case 'C':
      return (de ? "EISBERICHT: WESTLICHE OSTSEE EISFREI."
                 : "ICE REPORT: WESTERN BALTIC ICE-FREE.") +
             nl;
    case 'D':
      return (de ? "SEENOTLEITUNG BREMEN" : "MRCC BREMEN") + nl +
             (de ? "VERMISST: SEGELYACHT, WEISSER RUMPF, 2 PERSONEN AN BORD"
                 : "OVERDUE SAILING YACHT, WHITE HULL, 2 PERSONS ON BOARD") +
             nl + (de ? "LETZTE POSITION " : "LAST KNOWN POSITION ") + position(rnd, de) + nl +
             (de ? "SCHIFFE IM GEBIET WERDEN GEBETEN, AUSGUCK ZU HALTEN."
                 : "VESSELS IN THE AREA ARE REQUESTED TO KEEP A SHARP LOOKOUT.") +
             nl;
    case 'E': {
      DemoWind later = weather.wind(t + 12 * 3600, 0);
      return (de ? "WETTERVORHERSAGE " : "WEATHER FORECAST ") + area + nl +
             (de ? germanDirection(w.direction) : englishDirection(w.direction)) + " " +
             std::to_string(w.beaufort) + (de ? ", SPAETER " : ", LATER ") +
             (de ? germanDirection(later.direction) : englishDirection(later.direction)) + " " +
             std::to_string(later.beaufort) + nl +
             (de ? "SEEGANG 2 BIS 3 METER. GUTE SICHT." : "SEA 2 TO 3 METRES. GOOD VISIBILITY.") +
             nl;
    }
    case 'J':
      return (de ? "GPS-STOERUNGEN IM GEBIET " : "GNSS INTERFERENCE IN AREA ") + position(rnd, de) +
             nl;
    default:
      return (de ? "KEINE MELDUNG." : "NO MESSAGE ON HAND.") + nl;
  }
}

}  // namespace

const std::vector<NavtexStation>& navtexStations() {
  static const std::vector<NavtexStation> kStations = {
      {'S', 10, 3 * 60, "AABDE", "PINNEBERG", false},
      {'E', 10, 40, "ABEED", "NITON", false},
      {'O', 10, 2 * 60 + 20, "ABEJ", "PORTPATRICK", false},
      {'P', 10, 2 * 60 + 30, "ABEL", "NETHERLANDS COASTGUARD", false},
      {'L', 9, 2 * 60 + 50, "AABEC", "PINNEBERG", true},
      {'I', 9, 1 * 60 + 20, "ABE", "NITON", false},
      {'C', 9, 8 * 60 + 20, "AE", "PORTPATRICK", false},
  };
  return kStations;
}

std::vector<NavtexMessage> navtexBroadcast(const NavtexStation& st, std::int64_t t,
                                           const DemoWeather& weather) {
  const std::int64_t broadcastIndex = t / (4 * 3600);
  DemoRandom rnd(
      demoSeed({static_cast<std::uint64_t>(t), static_cast<std::uint64_t>(st.letter), st.code}));
  std::vector<NavtexMessage> out;
  const int count = rnd.between(1, 3);
  const std::string subjects = st.subjects;
  for (int j = 0; j < count; ++j) {
    const char subject =
        subjects[static_cast<std::size_t>(rnd.below(static_cast<int>(subjects.size())))];
    const int number = static_cast<int>((broadcastIndex * 3 + j) % 99) + 1;
    NavtexMessage m;
    m.id = std::string{st.letter, subject} + twoDigits(number);
    bool duplicate = false;
    for (const auto& other : out) duplicate = duplicate || other.id == m.id;
    if (duplicate) continue;
    const std::string nl = "\r\n";
    m.text = "ZCZC " + m.id + nl + st.name + (st.german ? " NAVTEX" : " NAVTEX") + nl +
             dateLine(t) + nl + body(st, subject, number, t, weather, rnd) + "NNNN" + nl;
    out.push_back(std::move(m));
  }
  return out;
}

}  // namespace tern::sim
