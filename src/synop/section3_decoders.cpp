// Decoders of section 3 (regional groups, after "333") with its daily and hourly radiation
// blocks, and of section 4 (clouds below the station, after "444").
#include <array>

#include "synop/group_decoders.h"
#include "synop/synop_text.h"

namespace tern::synop {

namespace {

// State of the ground without snow, E.
constexpr CodeTexts kGround = {"Trocken.",
                               "Feucht.",
                               "Naß.",
                               "Überflutet.",
                               "Gefroren.",
                               "Glatteis oder Eisglätte (mindestens 50 % des Erdbodens bedeckend).",
                               "Loser, trockener Sand, den Boden nicht vollständig bedeckend.",
                               "Geschlossene dünne Sandschicht, den Boden vollständig bedeckend.",
                               "Geschlossene dicke Sandschicht -- den Boden vollständig bedeckend.",
                               "Extrem trockener Boden mit Rissen.",
                               ""};

// State of the ground with snow or ice, E'.
constexpr CodeTexts kSnowGround = {
    "Vorwiegend (> 50 %) mit Eis bedeckt (Hagel-/Graupel-/Grieseldecke).",
    "Kompakter oder nasser Schnee. Weniger als die Hälfte des Bodens bedeckend.",
    "Kompakter oder nasser Schnee. Mehr als die Hälfte, aber den Boden nicht vollständig "
    "bedeckend.",
    "Ebene Schicht kompakten oder nassen Schnees. Den gesamten Boden bedeckend.",
    "Unebene Schicht kompakten oder nassen Schnees. Den gesamten Boden bedeckend.",
    "Loser, trockener Schnee. Weniger als die Hälfte des Bodens bedeckend.",
    "Loser, trockener Schnee. Mehr als die Hälfte, aber den Boden nicht vollständig "
    "bedeckend.",
    "Ebene Schicht losen, trockenen Schnees. Den gesamten Boden bedeckend.",
    "Unebene Schicht losen, trockenen Schnees. Den gesamten Boden bedeckend.",
    "Vollständig geschlossene Schneedecke mit hohen Verwehungen (> 50 cm).",
    "Reste (< 10 %) von Schnee oder Eis (Hagel/Graupel/Griesel)."};

}  // namespace

void decodeSection3Zero(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  t.add("00000 nicht dekodiert.");
}

void decodeMaxTemperature12h(std::string_view w, GroupTarget& t) {
  addTemperatureGroup(w, t, "12-stündige Maximumtemperatur: ");
}

void decodeMinTemperature12h(std::string_view w, GroupTarget& t) {
  addTemperatureGroup(w, t, "12-stündige Minimumtemperatur: ");
}

void decodeGroundMinimum(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  if (const auto sign = signText(charAt(w, 3))) {
    t.add("12 stündige Minimumtemperatur 5 cm über dem Erdboden bzw. der Schneedecke: ", *sign,
          Number{chars(w, 4, 5)}, " °C.");
  } else {
    t.bad();
  }
  addCodeLine(kGround, charAt(w, 2), t, "Zustand des Erdbodens ohne Schnee/Eis: ");
}

void decodeSnowState(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  addCodeLine(kSnowGround, charAt(w, 2), t, "Zustand des Erdbodens mit Schnee/Eis: ");
  std::string_view sss = chars(w, 3, 5);
  if (sss == "997") return t.add("Schneehöhe: < 0.5cm.");
  if (sss == "998") return t.add("Schneehöhe: Flecken oder Reste.");
  if (sss == "999") return t.add("Schneehöhe: Angabe nicht möglich.");
  t.add("Schneehöhe: ", Number{sss}, " cm.");
}

void decodeDailyRadiation(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  static constexpr CodeTexts kDaily = {"",
                                       "",
                                       "Summe der Globalstrahlung des Vortags: ",
                                       "Summe der diffusen Himmelsstrahlung des Vortags: ",
                                       "Summe der atmosphärischen Wärmestrahlung des Vortags: ",
                                       "",
                                       "",
                                       "",
                                       "",
                                       "",
                                       ""};
  const std::string_view prefix = codeText(kDaily, charAt(w, 1));
  if (!prefix.empty()) t.add(prefix, Number{chars(w, 2, 5)}, " J/cm².");
}

void decodeHourlySunshine(std::string_view w, GroupTarget& t) {
  if (contains(w, "//")) return;
  t.add("Sonnenscheindauer der letzten Stunde :", charText(w, 4), ".", charText(w, 5), " h.");
}

void decodeHourlyRadiation(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  static constexpr CodeTexts kHourly = {"",
                                        "",
                                        "Globalstrahlung der letzten Stunde: ",
                                        "Diffuse Himmelsstrahlung der letzten Stunde: ",
                                        "Atmosphärische Wärmestrahlung der letzten Stunde: ",
                                        "",
                                        "",
                                        "",
                                        "",
                                        "",
                                        ""};
  const std::string_view prefix = codeText(kHourly, charAt(w, 1));
  if (!prefix.empty()) t.add(prefix, Number{chars(w, 2, 5)}, " kJ/m².");
}

void decodeHourlyPrecipitation(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  auto rrr = toInt(chars(w, 2, 4));
  if (!rrr) return t.bad();
  if (*rrr <= 989) {
    t.add("Niederschlag (geschmolzen): ", Decimal{*rrr}, " mm.");
  } else if (*rrr == 990) {
    t.add("Spuren von Niederschlag, nicht meßbar (< 0.05 mm).");
  } else {
    t.add("Niederschlag (geschmolzen): 0.", Decimal{*rrr - 990}, " mm.");
  }
  addPeriod(charAt(w, 5), t);
}

void decodePrecipitation24h(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  std::string_view amount = chars(w, 2, 5);
  if (amount == "0000") return t.add("24-stündiger Niederschlag: Trocken.");
  if (amount == "9999") return t.add("24-stündiger Niederschlag: < 0.05 mm.");
  t.add("24-stündiger Niederschlag: ", Number{chars(w, 2, 4)}, ".", charText(w, 5), " mm.");
}

void decodeCloudLayer(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  t.add("Bedeckungsgrad der Wolkenschicht: ", charText(w, 2), "/8.");
  addCloudGenus(charAt(w, 3), t);
  addCloudHeight(w, t, 4);
}

void decodeSection3Nine(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  t.add("9ssss nicht dekodiert.");
}

void decodeSection4Cloud(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  static constexpr CodeTexts kTops = {"Vereinzelte Wolken.",
                                      "Flache, geschlossene Wolkendecke.",
                                      "Flache Wolkendecke mit kleinen Durchbrüchen.",
                                      "Flache Wolkendecke mit großen Durchbrüchen.",
                                      "Gewellte, geschlossene Wolkendecke.",
                                      "Gewellte Wolkendecke mit kleinen Durchbrüchen.",
                                      "Gewellte Wolkendecke mit großen Durchbrüchen.",
                                      "Geschlossene Wogenwolkendecke.",
                                      "Gruppen von Wogenwolken.",
                                      "Mehrere Wolkenschichten in verschiedenen Höhen.",
                                      ""};
  t.add("Bedeckungsgrad der Wolkenschicht: ", charText(w, 1), "/8.");
  addCloudGenus(charAt(w, 2), t);
  addCloudHeight(w, t, 3);
  addCodeLine(kTops, charAt(w, 5), t, "Merkmale der Wolkenschicht: ");
}

}  // namespace tern::synop
