// Decoders of the identification groups and section 1 of a ship report: call sign, date
// and wind unit, position, indicators and visibility, wind, temperatures, pressure, weather,
// clouds and observation time. These set the report's position and wind for the map.
#include <array>

#include "synop/group_decoders.h"
#include "synop/synop_decoder.h"
#include "synop/synop_text.h"

namespace tern::synop {

void GroupTarget::bad() { state = ReportState::Bad; }

namespace {

constexpr double kKnot = 0.51444;

void forgetPosition(TSynopType& r) {
  r.latitude = TSynopType::kUnknown;
  r.longitude = TSynopType::kUnknown;
  r.direction = TSynopType::kUnknown;
}

// Negates a known coordinate; an unknown one stays unknown.
void negate(std::int32_t& v) {
  if (v != TSynopType::kUnknown) v = -v;
}

bool allSolidi(std::string_view s) {
  return !s.empty() && s.find_first_not_of('/') == std::string_view::npos;
}

std::string visibilityText(int vv) {
  static constexpr std::array<const char*, 8> k81to88 = {"35 km.", "40 km.", "45 km.", "50 km.",
                                                         "55 km.", "60 km.", "65 km.", "70 km."};
  static constexpr std::array<const char*, 10> k90to99 = {
      "< 0.05 km.", "0.05 km.", "0.2 km.", "0.5 km.", "1 km.",
      "2 km.",      "4 km.",    "10 km.",  "20 km.",  "> 50 km."};
  if (vv == 0) return "< 0.1 km.";
  if (vv >= 1 && vv <= 50) return tenths(vv) + " km.";
  if (vv >= 56 && vv <= 80) return std::to_string(vv - 50) + " km.";
  if (vv >= 81 && vv <= 88) return k81to88[static_cast<std::size_t>(vv - 81)];
  if (vv == 89) return "> 70 km.";
  if (vv >= 90 && vv <= 99) return k90to99[static_cast<std::size_t>(vv - 90)];
  return {};  // 51..55 are not used by the code table
}

const char* pastWeatherText(char w) {
  switch (w) {
    case '0':
    case '1':
      return "Wolkendecke stets weniger als oder genau die Hälfte bedeckend (0-4/8).";
    case '2':
      return "Wolkendecke stets mehr als die Hälfte bedeckend (5-8/8).";
    case '3':
      return "Staubsturm, Sandsturm oder Schneetreiben.";
    case '4':
      return "Nebel oder starker Dunst.";
    case '5':
      return "Sprühregen.";
    case '6':
      return "Regen.";
    case '7':
      return "Schnee oder Schneeregen.";
    case '8':
      return "Schauer.";
    case '9':
      return "Gewitter.";
    default:
      return nullptr;
  }
}

void addPastWeather(char w, GroupTarget& t, const char* prefix) {
  if (w == '/') return;
  const char* text = pastWeatherText(w);
  if (text == nullptr) return t.bad();
  t.add(prefix, text);
}

const char* lowCloudText(char c) {
  switch (c) {
    case '0':
      return "Keine tiefen Wolken.";
    case '1':
      return "Cumulus humilis oder fractus (keine vertikale Entwicklung).";
    case '2':
      return "Cumulus mediocris oder congestus (mäßige vertikale Entwicklung).";
    case '3':
      return "Cumulonimbus calvus (keine Umrisse und kein Amboß).";
    case '4':
      return "Stratocumulus cumulogenitus (entstanden durch Ausbreitung von Cumulus).";
    case '5':
      return "Stratocumulus";
    case '6':
      return "Stratus nebulosus oder fractus (durchgehende Wolkenfläche).";
    case '7':
      return "Stratus fractus oder Cumulus fractus (Fetzenwolken bei Schlechtwetter).";
    case '8':
      return "Cumulus und Stratocumulus (in verschiedenen Höhen).";
    case '9':
      return "Cumulonimbus capillatus (mit Amboß).";
    case '/':
      return "Tiefe Wolken nicht erkennbar wegen Nebel, Dunkel- oder Verborgenheit.";
    default:
      return nullptr;
  }
}

const char* middleCloudText(char c) {
  switch (c) {
    case '0':
      return "Keine mittelhohen Wolken.";
    case '1':
      return "Altostratus translucidus (meist durchsichtig).";
    case '2':
      return "Altostratus opacus oder Nimbostratus.";
    case '3':
      return "Altocumulus translucidus (meist durchsichtig).";
    case '4':
      return "Bänke von Altocumulus (unregelmäßig, lentikular).";
    case '5':
      return "Bänder von Altocumulus (den Himmel fortschreitend überziehend).";
    case '6':
      return "Altocumulus cumulogenitus (entstanden durch Ausbreitung von Cumulus).";
    case '7':
      return "Altocumulus (mehrschichtig oder zusammen mit Altostratus/Nimbostratus).";
    case '8':
      return "Altocumulus castellanus oder floccus (cumuliforme Büschel aufweisend).";
    case '9':
      return "Altocumulus eines chaotisch aussehenden Himmels.";
    case '/':
      return "Mittelhohe Wolken nicht erkennbar wegen Nebel, Dunkel- oder Verborgenheit.";
    default:
      return nullptr;
  }
}

const char* highCloudText(char c) {
  switch (c) {
    case '0':
      return "Keine hohen Wolken.";
    // Cirrus fibratus, sometimes uncinus, not progressively invading the sky.
    case '1':
      return "Cirrus fibratus, manchmal uncinus (den Himmel nicht fortschreitend "
             "überziehend).";
    case '2':
      return "Cirrus spissatus, castellanus oder floccus (dicht, in Schwaden).";
    case '3':
      return "Cirrus spissatus cumulogenitus (aus einem Amboß entstanden).";
    case '4':
      return "Cirrus uncinus oder fibratus (den Himmel zunehmend oder fortschreitend "
             "überziehend).";
    case '5':
      return "Bänder von zunehmendem Cirrus oder Cirrostratus (nicht höher als 45 Grad über "
             "dem Horizont).";
    case '6':
      return "Bänder von zunehmendem Cirrus oder Cirrostratus (mehr als 45 Grad über dem "
             "Horizont, den Himmel nicht ganz bedeckend).";
    case '7':
      return "Cirrostratus (den Himmel stets ganz bedeckend).";
    case '8':
      return "Cirrostratus (den Himmel nicht ganz bedeckend, aber auch nicht zunehmend).";
    case '9':
      return "Cirrocumulus.";
    case '/':
      return "Hohe Wolken nicht erkennbar wegen Nebel, Dunkel- oder Verborgenheit.";
    default:
      return nullptr;
  }
}

void addCloudLine(const char* text, GroupTarget& t, const char* prefix) {
  if (text == nullptr) return t.bad();
  t.add(prefix, text);
}

}  // namespace

void decodeCallSign(std::string_view w, GroupTarget& t) {
  t.add("");
  t.add("Funkrufzeichen: ", w);
  t.report.name = std::string(w);
}

void decodeDateTime(std::string_view w, GroupTarget& t) {
  t.report.dayText = "Tag: " + NumberText(chars(w, 1, 2));
  t.report.timeText = "Zeit: " + NumberText(chars(w, 3, 4)) + "h";
  t.add(t.report.dayText, " ", t.report.timeText);
  t.windFactor = 1.0;
  switch (charAt(w, 5)) {
    case '0':
      t.windUnitText = " Meter pro Sekunde geschätzt.";
      break;
    case '1':
      t.windUnitText = " Meter pro Sekunde mit Anemometer gemessen.";
      break;
    case '3':
      t.windUnitText = " Knoten geschätzt.";
      t.windFactor = kKnot;
      break;
    case '4':
      t.windUnitText = " Knoten mit Anemometer gemessen.";
      t.windFactor = kKnot;
      break;
    default:
      break;  // the unit text of the report before stays
  }
}

void decodeLatitude(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  auto la = toInt(chars(w, 3, 5));
  if (la) {
    t.report.latitude = *la;
  } else {
    forgetPosition(t.report);
  }
  t.add("Geographische Breite des Beobachtungsortes: ", tenths(la.value_or(0)), " Grad.");
}

void decodeLongitude(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  bool southern = false;
  bool western = false;
  switch (charAt(w, 1)) {
    case '1':
      t.add("Nördliche Breite / Östliche Länge.");
      break;
    case '3':
      t.add("Südliche Breite / Östliche Länge.");
      southern = true;
      break;
    case '5':
      t.add("Südliche Breite / Westliche Länge.");
      southern = western = true;
      break;
    case '7':
      t.add("Nördliche Breite / Westliche Länge.");
      western = true;
      break;
    default:
      return t.bad();
  }
  auto lo = toInt(chars(w, 2, 5));
  if (!lo) return forgetPosition(t.report);
  t.report.longitude = *lo;
  if (southern) negate(t.report.latitude);
  if (western) negate(t.report.longitude);
  t.add("Geographische Länge des Beobachtungsortes: ", tenths(*lo), " Grad.");
}

void decodeIndicators(std::string_view w, GroupTarget& t) {
  switch (charAt(w, 1)) {
    case '0':
      t.add("Niederschlag wird in den Abschnitten 1 und 3 gemeldet.");
      break;
    case '1':
      t.add("Niederschlag wird nur in Abschnitt 1 gemeldet.");
      break;
    case '2':
      t.add("Niederschlag wird nur in Abschnitt 3 gemeldet.");
      break;
    case '3':
      t.add("Niederschlag nicht gemeldet. Kein Niederschlag vorhanden.");
      break;
    case '4':
      t.add(
          "Niederschlag nicht gemeldet. Niederschlagsmessung nicht durchgeführt oder nicht "
          "vorgesehen.");
      break;
    default:
      t.bad();
      break;
  }
  switch (charAt(w, 2)) {
    case '1':
      t.add("Bemannte Station, Wettergruppe wird gemeldet.");
      break;
    case '2':
      t.add("Bemannte Station, Wettergruppe nicht gemeldet. Kein signifikantes Wetter.");
      break;
    case '3':
      t.add(
          "Bemannte Station, Wettergruppe nicht gemeldet. Wetterbeobachtung nicht "
          "durchgeführt.");
      break;
    case '4':
      t.add("Automatische Station, Wettergruppe gemeldet.");
      break;
    case '5':
      t.add("Automatische Station, Wettergruppe nicht gemeldet. Kein signifikantes Wetter.");
      break;
    case '6':
      t.add("Automatische Station, Wettergruppe nicht gemeldet. Wetter nicht feststellbar.");
      break;
    case '7':
      t.add("Automatische Station, Wettergruppe wird gemeldet.");
      break;
    default:
      t.bad();
      break;
  }
  static constexpr std::array<const char*, 10> kBase = {
      "0 bis 49 m (0 - 166 ft).",          "50 bis 99 m (167 - 333 ft).",
      "100 bis 199 m (334 - 666 ft).",     "200 bis 299 m (667 - 999 ft).",
      "300 bis 599 m (1000 - 1999 ft).",   "600 bis 999 m (2000 - 3333 ft).",
      "1000 bis 1499 m (3334 - 4999 ft).", "1500 bis 1999 m (5000 - 6666 ft).",
      "2000 bis 2499 m (6667 - 8333 ft).", "2500 m oder höher (> 8334 ft) oder wolkenlos."};
  const std::string basePrefix = "Untergrenze der tiefsten beobachteten Wolken: ";
  char h = charAt(w, 3);
  if (h >= '0' && h <= '9') {
    t.add(basePrefix, kBase[static_cast<std::size_t>(h - '0')]);
  } else if (h == '/') {
    t.add(basePrefix, "unbekannt.");
  } else {
    t.bad();
  }
  std::string_view vvText = chars(w, 4, 5);
  if (vvText == "//") return t.add("Horizontale Sichtweite: Nicht beobachtet.");
  auto vv = toInt(vvText);
  if (!vv) return t.bad();
  std::string value = visibilityText(*vv);
  if (!value.empty()) t.add("Horizontale Sichtweite: ", value);
}

void decodeCloudAndWind(std::string_view w, GroupTarget& t) {
  std::string_view cover = coverText(charAt(w, 1));
  if (cover.empty()) {
    t.bad();
  } else {
    t.add("Gesamtbedeckung des Himmels mit Wolken: ", cover);
  }
  auto ff = toInt(chars(w, 4, 5));
  if (ff) {
    t.report.speed = *ff * t.windFactor;
    t.add("Windgeschwindigkeit: ", std::to_string(*ff), t.windUnitText);
  } else {
    t.report.speed = TSynopType::kUnknownSpeed;
  }
  // Only fixed positions count, so a closing "=" behind the solidi changes nothing.
  if (chars(w, 1, 5) == "/////") {
    t.report.speed = 0.1;  // with direction 0: the map's "not measured" marker
    t.report.direction = 0;
    t.add("Windgeschwindigkeit nicht gemessen");
    t.add("Windrichtung nicht gemessen");
    return;
  }
  auto dd = toInt(chars(w, 2, 3));
  if (!dd) return forgetPosition(t.report);
  if (*dd == 99) {
    t.report.direction = TSynopType::kUnknown;
    t.add("Windrichtung: umlaufend.");
  } else {
    t.report.direction = *dd * 10;
    t.add("Windrichtung: ", std::to_string(*dd * 10), " °.");
  }
}

void decodeHighWind(std::string_view w, GroupTarget& t) {
  t.add("Windgeschwindigkeit: ", NumberText(chars(w, 3, 5)), " ", t.windUnitText);
}

void decodeAirTemperature(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  addSignedTemperature(w, t, "Lufttemperatur: ");
}

void decodeDewPoint(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  switch (charAt(w, 2)) {
    case '0':
    case '1':
      return addSignedTemperature(w, t, "Taupunkttemperatur: ");
    case '9':
      return t.add("Relative Feuchte: ", NumberText(chars(w, 3, 5)), " %.");
    case '/':
      return;
    default:
      return t.bad();
  }
}

void decodeStationPressure(std::string_view w, GroupTarget& t) {
  if (allSolidi(chars(w, 2, 5))) return;  // pressure not reported
  if (charAt(w, 5) != '/') {
    auto p = toInt(chars(w, 2, 5));
    if (!p) return t.bad();
    int v = *p < 2000 ? *p + 10000 : *p;
    t.add("Luftdruck in Barometerhöhe: ", tenths(v), " hPa.");
  } else {
    auto p = toInt(chars(w, 2, 4));
    if (!p) return t.bad();
    int v = *p < 200 ? *p + 1000 : *p;
    t.add("Luftdruck in Barometerhöhe: ", std::to_string(v), " hPa.");
  }
}

void decodeSeaLevelPressure(std::string_view w, GroupTarget& t) {
  if (allSolidi(chars(w, 2, 5))) return;  // pressure not reported
  const std::string prefix = "Luftdruck auf Meereshöhe (NN) reduziert: ";
  if (charAt(w, 5) == '/') {
    auto p = toInt(chars(w, 2, 4));
    if (!p) return t.bad();
    int v = *p < 200 ? *p + 1000 : *p;
    return t.add(prefix, std::to_string(v), " hPa.");
  }
  char a = charAt(w, 2);
  if (a == '8' || a == '9' || a == '0') {
    auto p = toInt(chars(w, 2, 5));
    if (!p) return t.bad();
    int v = *p < 2000 ? *p + 10000 : *p;
    t.add(prefix, tenths(v), " hPa.");
  }
  const char* surface = nullptr;
  switch (a) {
    case '1':
      surface = "Hauptdruckfläche: 1000 hPa.";
      break;
    case '2':
      surface = "Hauptdruckfläche: 925 hPa.";
      break;
    case '5':
      surface = "Hauptdruckfläche: 500 hPa.";
      break;
    case '7':
      surface = "Hauptdruckfläche: 700 hPa.";
      break;
    case '8':
      surface = "Hauptdruckfläche: 850 hPa.";
      break;
    default:
      return;
  }
  auto g = toInt(chars(w, 3, 5));
  if (!g) return t.bad();
  int v = *g < 200 ? *g + 1000 : *g;
  t.add("Geopotential der nächstgelegenen Hauptdruckfläche: ", std::to_string(v), " m.");
  t.add(surface);
}

void decodeTendency(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  t.add("Betrag der 3-stündigen Druckänderung: ", NumberText(chars(w, 3, 4)), ".", charText(w, 5),
        " hPa");
  static constexpr std::array<const char*, 9> kTendency = {
      "Erst steigend, dann fallend. Resultierender Druck gleich oder höher als zuvor.",
      "Erst steigend, dann gleichbleibend. Resultierender Druck höher als zuvor.",
      "Konstant steigend. Resultierender Druck höher als zuvor.",
      "Erst fallend oder gleichbleibend, dann steigend. Resultierender Druck höher als zuvor.",
      "Gleichbleibend. Resultierender Druck unverändert.",
      "Erst fallend, dann steigend. Resultierender Druck gleich oder tiefer als zuvor.",
      "Erst fallend, dann gleichbleibend. Resultierender Druck tiefer als zuvor.",
      "Konstant fallend. Resultierender Druck tiefer als zuvor.",
      "Erst steigend oder gleichbleibend, dann fallend. Resultierender Druck tiefer als "
      "zuvor."};
  char a = charAt(w, 2);
  if (a < '0' || a > '8') return t.bad();
  t.add("Tendenz des Stationsluftdrucks über die letzten 3 Stunden: ",
        kTendency[static_cast<std::size_t>(a - '0')]);
}

void decodePrecipitation(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  auto rrr = toInt(chars(w, 2, 4));
  if (!rrr) return t.bad();
  if (*rrr <= 989) {
    t.add("Niederschlag (geschmolzen): ", std::to_string(*rrr), " mm.");
  } else if (*rrr == 990) {
    t.add("Spuren von Niederschlag, nicht messbar (< 0.05 mm).");
  } else {
    t.add("Niederschlag (geschmolzen): 0.", std::to_string(*rrr - 990), " mm.");
  }
  static constexpr std::array<const char*, 9> kPeriods = {"6 ", "12 ", "18 ", "24 ", "1 ",
                                                          "2 ", "3 ",  "9 ",  "15 "};
  char tr = charAt(w, 5);
  if (tr == '0') {
    t.add("Bezugszeitraum: Nicht aufgeführter oder vor dem Termin endender Zeitraum.");
  } else if (tr == '/') {
    t.add("Bezugszeitraum: Sondermessung.");
  } else if (tr >= '1' && tr <= '9') {
    t.add("Bezugszeitraum ", kPeriods[static_cast<std::size_t>(tr - '1')], " Stunden.");
  } else {
    t.bad();
  }
}

void decodeWeather(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  std::string_view ww = chars(w, 2, 3);
  if (ww != "//") {
    auto code = ww.size() == 2 ? toInt(ww) : std::nullopt;
    if (code) {
      t.add("Gegenwärtiges Wetter: ", presentWeatherText(*code));
    } else {
      t.bad();
    }
  }
  addPastWeather(charAt(w, 4), t, "Wetterverlauf Typ1: ");
  addPastWeather(charAt(w, 5), t, "Wetterverlauf Typ2: ");
}

void decodeClouds(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  addCloudLine(lowCloudText(charAt(w, 3)), t, "Art der tiefen Wolken: ");
  addCloudLine(middleCloudText(charAt(w, 4)), t, "Art der mittelhohen Wolken: ");
  addCloudLine(highCloudText(charAt(w, 5)), t, "Art der hohen Wolken: ");
}

void decodeObservationTime(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  t.add("Beobachtungszeit: ", NumberText(chars(w, 2, 3)), ":", chars(w, 4, 5), "(UTC).");
}

}  // namespace tern::synop
