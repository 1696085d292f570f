// Groups of the identification, section 1, section 2, section 3 and section 4, each taken
// the real way through the dispatcher.
#include "synop/group_decoders.h"

#include <gtest/gtest.h>

#include "synop_test_util.h"

namespace tern {
namespace {

using testing::checkCases;
using testing::decodeAfter;
using testing::GroupCase;
using Lines = std::vector<std::string>;

const std::vector<std::string> kIdent = {"ZCZC", "BBXX", "DBBH", "05124", "99543", "10067"};

TEST(SynopIdentification, WindGroupWithKnotsFromTheDateGroup) {
  auto out =
      decodeAfter({"ZCZC", "BBXX", "DBBH", "05124", "99543", "10067", "41496"}, "82715", false);
  EXPECT_EQ(out.lines, (Lines{"Gesamtbedeckung des Himmels mit Wolken: 8/8 (bedeckt).",
                              "Windgeschwindigkeit: 15 Knoten mit Anemometer gemessen.",
                              "Windrichtung: 270 °."}));
  EXPECT_NEAR(out.report.speed, 7.7166, 1e-9);
  EXPECT_EQ(out.report.direction, 270);
  EXPECT_EQ(out.report.dayText, "Tag: 5");
  EXPECT_EQ(out.report.timeText, "Zeit: 12h");
}

TEST(SynopIdentification, WindNotMeasuredVariableAndGarbled) {
  Lines prefix = {"ZCZC", "BBXX", "DBBH", "07060", "99543", "10067", "41496"};
  auto notMeasured = decodeAfter(prefix, "/////=", false);
  EXPECT_EQ(notMeasured.lines,
            (Lines{"Gesamtbedeckung des Himmels mit Wolken: nicht beobachtet.",
                   "Windgeschwindigkeit nicht gemessen", "Windrichtung nicht gemessen"}));
  EXPECT_EQ(notMeasured.report.speed, 0.1);
  EXPECT_EQ(notMeasured.report.direction, 0);
  EXPECT_FALSE(notMeasured.bad);

  auto variable = decodeAfter(prefix, "59904", false);
  EXPECT_EQ(variable.lines.back(), "Windrichtung: umlaufend.");
  EXPECT_EQ(variable.lines[1], "Windgeschwindigkeit: 4 Meter pro Sekunde geschätzt.");
  EXPECT_FALSE(variable.report.directionKnown());
  EXPECT_TRUE(variable.report.positionKnown());

  auto garbled = decodeAfter(prefix, "5A104", false);
  EXPECT_FALSE(garbled.report.positionKnown());
  EXPECT_FALSE(garbled.report.directionKnown());
}

TEST(SynopIdentification, QuadrantSignsApplyOnlyToKnownCoordinates) {
  auto south = decodeAfter({"ZCZC", "BBXX", "X", "05124", "99123"}, "50456", false);
  EXPECT_EQ(south.report.latitude, -123);
  EXPECT_EQ(south.report.longitude, -456);
  EXPECT_EQ(south.lines, (Lines{"Südliche Breite / Westliche Länge.",
                                "Geographische Länge des Beobachtungsortes: 45.6 Grad."}));

  // A garbled latitude stays unknown; the southern sign must not turn it into a position.
  auto unknown = decodeAfter({"ZCZC", "BBXX", "X", "05124", "99A23"}, "30456", false);
  EXPECT_EQ(unknown.report.latitude, TSynopType::kUnknown);
  EXPECT_FALSE(unknown.report.positionKnown());

  auto badQuadrant = decodeAfter({"ZCZC", "BBXX", "X", "05124", "99123"}, "20456", false);
  EXPECT_TRUE(badQuadrant.bad);
  EXPECT_TRUE(badQuadrant.lines.empty());
}

TEST(SynopIdentification, MarkersAreFixedGroupsBeforeSection1) {
  // iRixhVV 44461 and Nddff 33315 are what their state expects, not section markers.
  auto indicators = decodeAfter(kIdent, "44461", false);
  EXPECT_EQ(indicators.state, 8);
  EXPECT_EQ(indicators.lines.back(), "Horizontale Sichtweite: 11 km.");
  auto wind =
      decodeAfter({"ZCZC", "BBXX", "X", "05124", "99543", "10067", "41496"}, "33315", false);
  EXPECT_EQ(wind.state, 9);
  EXPECT_EQ(wind.report.direction, 330);
  // From section 1 on, the same words are markers.
  EXPECT_EQ(decodeAfter({}, "33315").state, 30);
  EXPECT_EQ(decodeAfter({}, "44461").state, 48);
}

TEST(SynopIdentification, IndicatorsAndVisibility) {
  struct Case {
    const char* group;
    const char* last;  // the visibility line, "" for none
    bool bad;
  } cases[] = {
      {"41400", "Horizontale Sichtweite: < 0.1 km.", false},
      {"41405", "Horizontale Sichtweite: 0.5 km.", false},
      {"41450", "Horizontale Sichtweite: 5.0 km.", false},
      {"41456", "Horizontale Sichtweite: 6 km.", false},
      {"41453", "", false},
      {"41488", "Horizontale Sichtweite: 70 km.", false},
      {"41489", "Horizontale Sichtweite: > 70 km.", false},
      {"41490", "Horizontale Sichtweite: < 0.05 km.", false},
      {"41499", "Horizontale Sichtweite: > 50 km.", false},
      {"414//", "Horizontale Sichtweite: Nicht beobachtet.", false},
      {"414X1", "", true},
      {"51496", "Horizontale Sichtweite: 4 km.", true},  // iR 5 is no code figure
  };
  for (const auto& c : cases) {
    auto out = decodeAfter(kIdent, c.group, false);
    std::string last = out.lines.empty() ? "" : out.lines.back();
    if (std::string(c.last).empty()) {
      EXPECT_EQ(last.rfind("Horizontale", 0), std::string::npos) << c.group;
    } else {
      EXPECT_EQ(last, c.last) << c.group;
    }
    EXPECT_EQ(out.bad, c.bad) << c.group;
  }
}

TEST(SynopSection1, Groups) {
  checkCases({
      {{}, "10052", {"Lufttemperatur: 5.2 °C."}},
      {{}, "11052", {"Lufttemperatur: -5.2 °C."}},
      {{}, "1////", {}},
      {{}, "12052", {}, true},
      {{}, "29085", {"Relative Feuchte: 85 %."}},
      {{}, "2/123", {}},
      {{}, "3013/", {"Luftdruck in Barometerhöhe: 1013 hPa."}},
      {{}, "39876", {"Luftdruck in Barometerhöhe: 987.6 hPa."}},
      {{}, "30132", {"Luftdruck in Barometerhöhe: 1013.2 hPa."}},
      {{}, "3////", {}},
      {{}, "4////", {}},
      {{}, "40132", {"Luftdruck auf Meereshöhe (NN) reduziert: 1013.2 hPa."}},
      {{}, "4013/", {"Luftdruck auf Meereshöhe (NN) reduziert: 1013 hPa."}},
      {{},
       "48500",
       {"Luftdruck auf Meereshöhe (NN) reduziert: 850.0 hPa.",
        "Geopotential der nächstgelegenen Hauptdruckfläche: 500 m.", "Hauptdruckfläche: 850 hPa."}},
      {{}, "49A12", {}, true},
      {{}, "4A123", {}},
      {{},
       "52015",
       {"Betrag der 3-stündigen Druckänderung: 1.5 hPa",
        "Tendenz des Stationsluftdrucks über die letzten 3 Stunden: Konstant steigend. "
        "Resultierender Druck höher als zuvor."}},
      {{}, "69931", {"Niederschlag (geschmolzen): 0.3 mm.", "Bezugszeitraum 6  Stunden."}},
      {{},
       "69900",
       {"Spuren von Niederschlag, nicht messbar (< 0.05 mm).",
        "Bezugszeitraum: Nicht aufgeführter oder vor dem Termin endender Zeitraum."}},
      {{},
       "7//22",
       {"Wetterverlauf Typ1: Wolkendecke stets mehr als die Hälfte bedeckend (5-8/8).",
        "Wetterverlauf Typ2: Wolkendecke stets mehr als die Hälfte bedeckend (5-8/8)."}},
      {{}, "75x//", {}, true},
      {{}, "7////", {}},
      {{},
       "86001",
       {"Art der tiefen Wolken: Keine tiefen Wolken.",
        "Art der mittelhohen Wolken: Keine mittelhohen Wolken.",
        "Art der hohen Wolken: Cirrus fibratus, manchmal uncinus (den Himmel nicht "
        "fortschreitend überziehend)."}},
      {{}, "91250", {"Beobachtungszeit: 12:50(UTC)."}},
      {{}, "00105", {"Windgeschwindigkeit: 105  Knoten mit Anemometer gemessen."}},
  });
}

TEST(SynopSection1, PresentWeatherTable) {
  struct Row {
    int ww;
    const char* text;
  } quoted[] = {
      {0, "Bewölkungsentwicklung nicht beobachtet."},
      {5, "Trockener Dunst (relative Feuchte < 80 %)."},
      {17, "Gewitter (Donner hörbar), aber kein Niederschlag an der Station."},
      {21, "Nach Regen."},
      {45, "Nebel, Himmel nicht erkennbar, unverändert."},
      {63, "Durchgehend mäßiger Regen."},
      {76, "Eisnadeln (Polarschnee)."},
      {82, "Äußerst heftiger Regenschauer."},
      {94,
       "Gewitter in der letzten Stunde, zurzeit mäßiger oder starker "
       "Schneefall/Schneeregen/Graupel/Hagel."},
      {99, "Starkes Gewitter mit Graupel oder Hagel."},
  };
  for (const auto& r : quoted) {
    char group[6];
    std::snprintf(group, sizeof group, "7%02d//", r.ww);
    auto out = decodeAfter({}, group);
    EXPECT_EQ(out.lines, (Lines{std::string("Gegenwärtiges Wetter: ") + r.text})) << r.ww;
  }
  for (int ww = 0; ww <= 99; ++ww) {
    auto text = synop::presentWeatherText(ww);
    EXPECT_FALSE(text.empty()) << ww;
    EXPECT_EQ(text.back(), '.') << ww;
    if (ww >= 20 && ww <= 29) {
      EXPECT_EQ(text.substr(0, 5), "Nach ") << ww;
    }
  }
}

TEST(SynopSection2, Groups) {
  const std::vector<std::string> s2 = {"222//"};
  checkCases({
      {{},
       "22253",
       {"Richtung der Schiffsverlagerung: SW.",
        "Mittlere Schiffsgeschwindigkeit: 11 bis 15 Knoten."}},
      {s2, "10805", {"Wellenperiode der Windsee: 8 s.", "Wellenhöhe der Windsee: 2.5 m."}},
      {s2, "20402", {"Wellenperiode der Windsee: 4 s.", "Wellenhöhe der Windsee: 1.0 m."}},
      {s2, "00081", {"Meeresoberflächentemperatur: 8.1 °C."}},
      {s2, "01012", {"Meeresoberflächentemperatur: -1.2 °C."}},
      {s2, "02142", {"Meeresoberflächentemperatur: 14.2 °C."}},  // bucket
      {s2, "05003", {"Meeresoberflächentemperatur: -0.3 °C."}},  // hull sensor
      {s2, "0////", {}},
      {s2, "0/123", {}},
      {s2, "08123", {}, true},
      {s2, "31912", {"Wellenrichtung der Dünungen: 12."}},
      {s2, "310//", {}},
      {s2, "40705", {"Wellenperiode der 1. Dünung: 07 s.", "Wellenhöhe der 1. Dünung: 2.5 m."}},
      {s2, "50903", {"Wellenperiode der 2. Dünung: 09 s.", "Wellenhöhe der 2. Dünung: 1.5 m."}},
      {s2, "61234", {"6ieer nicht dekodiert."}},
      {s2, "70025", {"Instrumentell ermittelte Wellenhöhe der Windsee: 2.5 m."}},
      {s2, "80052", {"Feuchttemperatur: 5.2 °C."}},
      {s2, "87012", {"Feuchttemperatur: -1.2 °C bezogen auf Eis."}},
  });
}

TEST(SynopSection3And4, Groups) {
  const std::vector<std::string> s3 = {"333"};
  checkCases({
      {s3, "10123", {"12-stündige Maximumtemperatur: 12.3 °C."}},
      {s3, "21012", {"12-stündige Minimumtemperatur: -1.2 °C."}},
      {s3,
       "31003",
       {"12 stündige Minimumtemperatur 5 cm über dem Erdboden bzw. der Schneedecke: 3 °C.",
        "Zustand des Erdbodens ohne Schnee/Eis: Feucht."}},
      {s3,
       "4/997",
       {"Zustand des Erdbodens mit Schnee/Eis: Reste (< 10 %) von Schnee oder Eis "
        "(Hagel/Graupel/Griesel).",
        "Schneehöhe: < 0.5cm."}},
      {s3, "55305", {}},
      {s3, "55043", {}},
      {{"333", "55043"}, "20512", {"Summe der Globalstrahlung des Vortags: 512 J/cm²."}},
      {{"333", "55305"}, "55308", {"Sonnenscheindauer der letzten Stunde :0.8 h."}},
      {{"333", "55305"}, "30042", {"Diffuse Himmelsstrahlung der letzten Stunde: 42 kJ/m²."}},
      {{"333", "55305"},
       "69901",
       {"Spuren von Niederschlag, nicht meßbar (< 0.05 mm).", "Bezugszeitraum: 6 Stunden."}},
      {{"333", "55305"}, "70000", {"24-stündiger Niederschlag: Trocken."}},
      {{"333", "55305"},
       "83620",
       {"Bedeckungsgrad der Wolkenschicht: 3/8.", "Wolkengattung: Stratocumulus (Sc).",
        "Höhe der Wolkenuntergrenze: 600 m."}},
      {{"333", "55305"},
       "83653",
       {"Bedeckungsgrad der Wolkenschicht: 3/8.", "Wolkengattung: Stratocumulus (Sc)."},
       true},
      {{"444"},
       "38151",
       {"Bedeckungsgrad der Wolkenschicht: 3/8.", "Wolkengattung: Cumulus (Cu).",
        "Höhe der Wolkenuntergrenze: 450 m.",
        "Merkmale der Wolkenschicht: Flache, geschlossene "
        "Wolkendecke."}},
  });
}

TEST(SynopSection3, RadiationBlocksOpenWithoutALine) {
  EXPECT_EQ(decodeAfter({"333"}, "55305").state, 40);  // hourly block
  EXPECT_EQ(decodeAfter({"333"}, "55043").state, 36);  // daily block
  // 553 after the daily groups opens the hourly block too.
  auto out = decodeAfter({"333", "55043", "20512"}, "55307");
  EXPECT_EQ(out.state, 40);
  EXPECT_TRUE(out.lines.empty());
  EXPECT_EQ(decodeAfter({"333", "55043", "20512", "55307"}, "20030").lines,
            (Lines{"Globalstrahlung der letzten Stunde: 30 kJ/m²."}));
}

}  // namespace
}  // namespace tern
