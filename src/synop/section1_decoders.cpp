// Decoders of the identification groups and section 1 of a ship report: call sign, date
// and wind unit, position, indicators and visibility, wind, temperatures, pressure, weather,
// clouds and observation time. These set the report's position and wind for the map.
#include <algorithm>
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

// Horizontal visibility VV; 51..55, which the code table does not use, add no line.
void addVisibility(int vv, GroupTarget& t) {
  static constexpr std::array<std::string_view, 8> k81to88 = {
      "35 km.", "40 km.", "45 km.", "50 km.", "55 km.", "60 km.", "65 km.", "70 km."};
  static constexpr std::array<std::string_view, 10> k90to99 = {
      "< 0.05 km.", "0.05 km.", "0.2 km.", "0.5 km.", "1 km.",
      "2 km.",      "4 km.",    "10 km.",  "20 km.",  "> 50 km."};
  constexpr std::string_view prefix = "Horizontale Sichtweite: ";
  if (vv == 0) return t.add(prefix, "< 0.1 km.");
  if (vv >= 1 && vv <= 50) return t.add(prefix, Tenths{vv}, " km.");
  if (vv >= 56 && vv <= 80) return t.add(prefix, Decimal{vv - 50}, " km.");
  if (vv >= 81 && vv <= 88) return t.add(prefix, k81to88[static_cast<std::size_t>(vv - 81)]);
  if (vv == 89) return t.add(prefix, "> 70 km.");
  if (vv >= 90 && vv <= 99) return t.add(prefix, k90to99[static_cast<std::size_t>(vv - 90)]);
}

constexpr CodeTexts kPastWeather = {
    "Wolkendecke stets weniger als oder genau die Hälfte bedeckend (0-4/8).",
    "Wolkendecke stets weniger als oder genau die Hälfte bedeckend (0-4/8).",
    "Wolkendecke stets mehr als die Hälfte bedeckend (5-8/8).",
    "Staubsturm, Sandsturm oder Schneetreiben.",
    "Nebel oder starker Dunst.",
    "Sprühregen.",
    "Regen.",
    "Schnee oder Schneeregen.",
    "Schauer.",
    "Gewitter.",
    ""};

void addPastWeather(char w, GroupTarget& t, std::string_view prefix) {
  if (w == '/') return;
  addCodeLine(kPastWeather, w, t, prefix);
}

constexpr CodeTexts kLowClouds = {
    "Keine tiefen Wolken.",
    "Cumulus humilis oder fractus (keine vertikale Entwicklung).",
    "Cumulus mediocris oder congestus (mäßige vertikale Entwicklung).",
    "Cumulonimbus calvus (keine Umrisse und kein Amboß).",
    "Stratocumulus cumulogenitus (entstanden durch Ausbreitung von Cumulus).",
    "Stratocumulus",
    "Stratus nebulosus oder fractus (durchgehende Wolkenfläche).",
    "Stratus fractus oder Cumulus fractus (Fetzenwolken bei Schlechtwetter).",
    "Cumulus und Stratocumulus (in verschiedenen Höhen).",
    "Cumulonimbus capillatus (mit Amboß).",
    "Tiefe Wolken nicht erkennbar wegen Nebel, Dunkel- oder Verborgenheit."};

constexpr CodeTexts kMiddleClouds = {
    "Keine mittelhohen Wolken.",
    "Altostratus translucidus (meist durchsichtig).",
    "Altostratus opacus oder Nimbostratus.",
    "Altocumulus translucidus (meist durchsichtig).",
    "Bänke von Altocumulus (unregelmäßig, lentikular).",
    "Bänder von Altocumulus (den Himmel fortschreitend überziehend).",
    "Altocumulus cumulogenitus (entstanden durch Ausbreitung von Cumulus).",
    "Altocumulus (mehrschichtig oder zusammen mit Altostratus/Nimbostratus).",
    "Altocumulus castellanus oder floccus (cumuliforme Büschel aufweisend).",
    "Altocumulus eines chaotisch aussehenden Himmels.",
    "Mittelhohe Wolken nicht erkennbar wegen Nebel, Dunkel- oder Verborgenheit."};

constexpr CodeTexts kHighClouds = {
    "Keine hohen Wolken.",
    // Cirrus fibratus, sometimes uncinus, not progressively invading the sky.
    "Cirrus fibratus, manchmal uncinus (den Himmel nicht fortschreitend überziehend).",
    "Cirrus spissatus, castellanus oder floccus (dicht, in Schwaden).",
    "Cirrus spissatus cumulogenitus (aus einem Amboß entstanden).",
    "Cirrus uncinus oder fibratus (den Himmel zunehmend oder fortschreitend überziehend).",
    "Bänder von zunehmendem Cirrus oder Cirrostratus (nicht höher als 45 Grad über dem "
    "Horizont).",
    "Bänder von zunehmendem Cirrus oder Cirrostratus (mehr als 45 Grad über dem Horizont, den "
    "Himmel nicht ganz bedeckend).",
    "Cirrostratus (den Himmel stets ganz bedeckend).",
    "Cirrostratus (den Himmel nicht ganz bedeckend, aber auch nicht zunehmend).", "Cirrocumulus.",
    "Hohe Wolken nicht erkennbar wegen Nebel, Dunkel- oder Verborgenheit."};

// The wind unit indicator iw; other figures keep the unit text of the report before.
struct WindUnit {
  char figure;
  std::string_view text;
  double factor;  // to m/s
};
constexpr std::array<WindUnit, 4> kWindUnits = {{
    {'0', " Meter pro Sekunde geschätzt.", 1.0},
    {'1', " Meter pro Sekunde mit Anemometer gemessen.", 1.0},
    {'3', " Knoten geschätzt.", kKnot},
    {'4', " Knoten mit Anemometer gemessen.", kKnot},
}};

// The quadrant Qc of the globe and the signs it gives the coordinates.
struct Quadrant {
  char figure;
  std::string_view text;
  bool southern;
  bool western;
};
constexpr std::array<Quadrant, 4> kQuadrants = {{
    {'1', "Nördliche Breite / Östliche Länge.", false, false},
    {'3', "Südliche Breite / Östliche Länge.", true, false},
    {'5', "Südliche Breite / Westliche Länge.", true, true},
    {'7', "Nördliche Breite / Westliche Länge.", false, true},
}};

constexpr CodeTexts kPrecipitationIndicator = {
    "Niederschlag wird in den Abschnitten 1 und 3 gemeldet.",
    "Niederschlag wird nur in Abschnitt 1 gemeldet.",
    "Niederschlag wird nur in Abschnitt 3 gemeldet.",
    "Niederschlag nicht gemeldet. Kein Niederschlag vorhanden.",
    "Niederschlag nicht gemeldet. Niederschlagsmessung nicht durchgeführt oder nicht "
    "vorgesehen.",
    "",
    "",
    "",
    "",
    "",
    ""};

constexpr CodeTexts kStationIndicator = {
    "",
    "Bemannte Station, Wettergruppe wird gemeldet.",
    "Bemannte Station, Wettergruppe nicht gemeldet. Kein signifikantes Wetter.",
    "Bemannte Station, Wettergruppe nicht gemeldet. Wetterbeobachtung nicht durchgeführt.",
    "Automatische Station, Wettergruppe gemeldet.",
    "Automatische Station, Wettergruppe nicht gemeldet. Kein signifikantes Wetter.",
    "Automatische Station, Wettergruppe nicht gemeldet. Wetter nicht feststellbar.",
    "Automatische Station, Wettergruppe wird gemeldet.",
    "",
    "",
    ""};

constexpr CodeTexts kLowestCloudBase = {"0 bis 49 m (0 - 166 ft).",
                                        "50 bis 99 m (167 - 333 ft).",
                                        "100 bis 199 m (334 - 666 ft).",
                                        "200 bis 299 m (667 - 999 ft).",
                                        "300 bis 599 m (1000 - 1999 ft).",
                                        "600 bis 999 m (2000 - 3333 ft).",
                                        "1000 bis 1499 m (3334 - 4999 ft).",
                                        "1500 bis 1999 m (5000 - 6666 ft).",
                                        "2000 bis 2499 m (6667 - 8333 ft).",
                                        "2500 m oder höher (> 8334 ft) oder wolkenlos.",
                                        "unbekannt."};

// The standard isobaric surface a3 of a 4a3hhh group.
constexpr CodeTexts kStandardSurface = {"",
                                        "Hauptdruckfläche: 1000 hPa.",
                                        "Hauptdruckfläche: 925 hPa.",
                                        "",
                                        "",
                                        "Hauptdruckfläche: 500 hPa.",
                                        "",
                                        "Hauptdruckfläche: 700 hPa.",
                                        "Hauptdruckfläche: 850 hPa.",
                                        "",
                                        ""};

constexpr CodeTexts kTendency = {
    "Erst steigend, dann fallend. Resultierender Druck gleich oder höher als zuvor.",
    "Erst steigend, dann gleichbleibend. Resultierender Druck höher als zuvor.",
    "Konstant steigend. Resultierender Druck höher als zuvor.",
    "Erst fallend oder gleichbleibend, dann steigend. Resultierender Druck höher als zuvor.",
    "Gleichbleibend. Resultierender Druck unverändert.",
    "Erst fallend, dann steigend. Resultierender Druck gleich oder tiefer als zuvor.",
    "Erst fallend, dann gleichbleibend. Resultierender Druck tiefer als zuvor.",
    "Konstant fallend. Resultierender Druck tiefer als zuvor.",
    "Erst steigend oder gleichbleibend, dann fallend. Resultierender Druck tiefer als zuvor.",
    "",
    ""};

// Reference periods of tR in section 1; 0 and "/" have lines of their own.
constexpr CodeTexts kPrecipitationPeriod = {
    "Bezugszeitraum: Nicht aufgeführter oder vor dem Termin endender Zeitraum.",
    "Bezugszeitraum 6  Stunden.",
    "Bezugszeitraum 12  Stunden.",
    "Bezugszeitraum 18  Stunden.",
    "Bezugszeitraum 24  Stunden.",
    "Bezugszeitraum 1  Stunden.",
    "Bezugszeitraum 2  Stunden.",
    "Bezugszeitraum 3  Stunden.",
    "Bezugszeitraum 9  Stunden.",
    "Bezugszeitraum 15  Stunden.",
    "Bezugszeitraum: Sondermessung."};

}  // namespace

void decodeCallSign(std::string_view w, GroupTarget& t) {
  t.add("");
  t.add("Funkrufzeichen: ", w);
  t.report.name.assign(w);
}

void decodeDateTime(std::string_view w, GroupTarget& t) {
  assignParts(t.report.dayText, "Tag: ", Number{chars(w, 1, 2)});
  assignParts(t.report.timeText, "Zeit: ", Number{chars(w, 3, 4)}, "h");
  t.add(t.report.dayText, " ", t.report.timeText);
  t.windFactor = 1.0;
  const char iw = charAt(w, 5);
  for (const WindUnit& unit : kWindUnits) {
    if (unit.figure != iw) continue;
    t.windUnitText = unit.text;
    t.windFactor = unit.factor;
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
  t.add("Geographische Breite des Beobachtungsortes: ", Tenths{la.value_or(0)}, " Grad.");
}

void decodeLongitude(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  const char qc = charAt(w, 1);
  const auto quadrant = std::find_if(kQuadrants.begin(), kQuadrants.end(),
                                     [qc](const Quadrant& q) { return q.figure == qc; });
  if (quadrant == kQuadrants.end()) return t.bad();
  t.add(quadrant->text);
  auto lo = toInt(chars(w, 2, 5));
  if (!lo) return forgetPosition(t.report);
  t.report.longitude = *lo;
  if (quadrant->southern) negate(t.report.latitude);
  if (quadrant->western) negate(t.report.longitude);
  t.add("Geographische Länge des Beobachtungsortes: ", Tenths{*lo}, " Grad.");
}

void decodeIndicators(std::string_view w, GroupTarget& t) {
  addCodeLine(kPrecipitationIndicator, charAt(w, 1), t);
  addCodeLine(kStationIndicator, charAt(w, 2), t);
  addCodeLine(kLowestCloudBase, charAt(w, 3), t, "Untergrenze der tiefsten beobachteten Wolken: ");
  std::string_view vvText = chars(w, 4, 5);
  if (vvText == "//") return t.add("Horizontale Sichtweite: Nicht beobachtet.");
  auto vv = toInt(vvText);
  if (!vv) return t.bad();
  addVisibility(*vv, t);
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
    t.add("Windgeschwindigkeit: ", Decimal{*ff}, t.windUnitText);
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
    t.add("Windrichtung: ", Decimal{*dd * 10}, " °.");
  }
}

void decodeHighWind(std::string_view w, GroupTarget& t) {
  t.add("Windgeschwindigkeit: ", Number{chars(w, 3, 5)}, " ", t.windUnitText);
}

void decodeAirTemperature(std::string_view w, GroupTarget& t) {
  addTemperatureGroup(w, t, "Lufttemperatur: ");
}

void decodeDewPoint(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  switch (charAt(w, 2)) {
    case '0':
    case '1':
      return addSignedTemperature(w, t, "Taupunkttemperatur: ");
    case '9':
      return t.add("Relative Feuchte: ", Number{chars(w, 3, 5)}, " %.");
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
    t.add("Luftdruck in Barometerhöhe: ", Tenths{v}, " hPa.");
  } else {
    auto p = toInt(chars(w, 2, 4));
    if (!p) return t.bad();
    int v = *p < 200 ? *p + 1000 : *p;
    t.add("Luftdruck in Barometerhöhe: ", Decimal{v}, " hPa.");
  }
}

void decodeSeaLevelPressure(std::string_view w, GroupTarget& t) {
  if (allSolidi(chars(w, 2, 5))) return;  // pressure not reported
  const std::string_view prefix = "Luftdruck auf Meereshöhe (NN) reduziert: ";
  if (charAt(w, 5) == '/') {
    auto p = toInt(chars(w, 2, 4));
    if (!p) return t.bad();
    int v = *p < 200 ? *p + 1000 : *p;
    return t.add(prefix, Decimal{v}, " hPa.");
  }
  char a = charAt(w, 2);
  if (a == '8' || a == '9' || a == '0') {
    auto p = toInt(chars(w, 2, 5));
    if (!p) return t.bad();
    int v = *p < 2000 ? *p + 10000 : *p;
    t.add(prefix, Tenths{v}, " hPa.");
  }
  const std::string_view surface = codeText(kStandardSurface, a);
  if (surface.empty()) return;
  auto g = toInt(chars(w, 3, 5));
  if (!g) return t.bad();
  int v = *g < 200 ? *g + 1000 : *g;
  t.add("Geopotential der nächstgelegenen Hauptdruckfläche: ", Decimal{v}, " m.");
  t.add(surface);
}

void decodeTendency(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  t.add("Betrag der 3-stündigen Druckänderung: ", Number{chars(w, 3, 4)}, ".", charText(w, 5),
        " hPa");
  addCodeLine(kTendency, charAt(w, 2), t,
              "Tendenz des Stationsluftdrucks über die letzten 3 Stunden: ");
}

void decodePrecipitation(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  auto rrr = toInt(chars(w, 2, 4));
  if (!rrr) return t.bad();
  if (*rrr <= 989) {
    t.add("Niederschlag (geschmolzen): ", Decimal{*rrr}, " mm.");
  } else if (*rrr == 990) {
    t.add("Spuren von Niederschlag, nicht messbar (< 0.05 mm).");
  } else {
    t.add("Niederschlag (geschmolzen): 0.", Decimal{*rrr - 990}, " mm.");
  }
  addCodeLine(kPrecipitationPeriod, charAt(w, 5), t);
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
  addCodeLine(kLowClouds, charAt(w, 3), t, "Art der tiefen Wolken: ");
  addCodeLine(kMiddleClouds, charAt(w, 4), t, "Art der mittelhohen Wolken: ");
  addCodeLine(kHighClouds, charAt(w, 5), t, "Art der hohen Wolken: ");
}

void decodeObservationTime(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  t.add("Beobachtungszeit: ", Number{chars(w, 2, 3)}, ":", chars(w, 4, 5), "(UTC).");
}

}  // namespace tern::synop
