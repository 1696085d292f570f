// Decoders of section 3 (regional groups, after "333") with its daily and hourly radiation
// blocks, and of section 4 (clouds below the station, after "444").
#include <array>

#include "synop/group_decoders.h"
#include "synop/synop_text.h"

namespace tern::synop {

namespace {

const char* groundText(char e) {
  static constexpr std::array<const char*, 10> kGround = {
      "Trocken.",
      "Feucht.",
      "Naß.",
      "Überflutet.",
      "Gefroren.",
      "Glatteis oder Eisglätte (mindestens 50 % des Erdbodens bedeckend).",
      "Loser, trockener Sand, den Boden nicht vollständig bedeckend.",
      "Geschlossene dünne Sandschicht, den Boden vollständig bedeckend.",
      "Geschlossene dicke Sandschicht -- den Boden vollständig bedeckend.",
      "Extrem trockener Boden mit Rissen."};
  if (e < '0' || e > '9') return nullptr;
  return kGround[static_cast<std::size_t>(e - '0')];
}

const char* snowGroundText(char e) {
  static constexpr std::array<const char*, 10> kSnowGround = {
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
      "Vollständig geschlossene Schneedecke mit hohen Verwehungen (> 50 cm)."};
  if (e == '/') return "Reste (< 10 %) von Schnee oder Eis (Hagel/Graupel/Griesel).";
  if (e < '0' || e > '9') return nullptr;
  return kSnowGround[static_cast<std::size_t>(e - '0')];
}

}  // namespace

void decodeSection3Zero(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  t.add("00000 nicht dekodiert.");
}

void decodeMaxTemperature12h(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  addSignedTemperature(w, t, "12-stündige Maximumtemperatur: ");
}

void decodeMinTemperature12h(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  addSignedTemperature(w, t, "12-stündige Minimumtemperatur: ");
}

void decodeGroundMinimum(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  const std::string prefix =
      "12 stündige Minimumtemperatur 5 cm über dem Erdboden bzw. der Schneedecke: ";
  std::string value = NumberText(chars(w, 4, 5)) + " °C.";
  switch (charAt(w, 3)) {
    case '0':
      t.add(prefix, value);
      break;
    case '1':
      t.add(prefix, "-", value);
      break;
    default:
      t.bad();
      break;
  }
  const char* ground = groundText(charAt(w, 2));
  if (ground == nullptr) return t.bad();
  t.add("Zustand des Erdbodens ohne Schnee/Eis: ", ground);
}

void decodeSnowState(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  const char* ground = snowGroundText(charAt(w, 2));
  if (ground == nullptr) {
    t.bad();
  } else {
    t.add("Zustand des Erdbodens mit Schnee/Eis: ", ground);
  }
  std::string_view sss = chars(w, 3, 5);
  if (sss == "997") return t.add("Schneehöhe: < 0.5cm.");
  if (sss == "998") return t.add("Schneehöhe: Flecken oder Reste.");
  if (sss == "999") return t.add("Schneehöhe: Angabe nicht möglich.");
  t.add("Schneehöhe: ", NumberText(sss), " cm.");
}

void decodeDailyRadiation(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  const char* prefix = nullptr;
  switch (charAt(w, 1)) {
    case '2':
      prefix = "Summe der Globalstrahlung des Vortags: ";
      break;
    case '3':
      prefix = "Summe der diffusen Himmelsstrahlung des Vortags: ";
      break;
    case '4':
      prefix = "Summe der atmosphärischen Wärmestrahlung des Vortags: ";
      break;
    default:
      return;
  }
  t.add(prefix, NumberText(chars(w, 2, 5)), " J/cm².");
}

void decodeHourlySunshine(std::string_view w, GroupTarget& t) {
  if (contains(w, "//")) return;
  t.add("Sonnenscheindauer der letzten Stunde :", charText(w, 4), ".", charText(w, 5), " h.");
}

void decodeHourlyRadiation(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  const char* prefix = nullptr;
  switch (charAt(w, 1)) {
    case '2':
      prefix = "Globalstrahlung der letzten Stunde: ";
      break;
    case '3':
      prefix = "Diffuse Himmelsstrahlung der letzten Stunde: ";
      break;
    case '4':
      prefix = "Atmosphärische Wärmestrahlung der letzten Stunde: ";
      break;
    default:
      return;
  }
  t.add(prefix, NumberText(chars(w, 2, 5)), " kJ/m².");
}

void decodeHourlyPrecipitation(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  auto rrr = toInt(chars(w, 2, 4));
  if (!rrr) return t.bad();
  if (*rrr <= 989) {
    t.add("Niederschlag (geschmolzen): ", std::to_string(*rrr), " mm.");
  } else if (*rrr == 990) {
    t.add("Spuren von Niederschlag, nicht meßbar (< 0.05 mm).");
  } else {
    t.add("Niederschlag (geschmolzen): 0.", std::to_string(*rrr - 990), " mm.");
  }
  addPeriod(charAt(w, 5), t);
}

void decodePrecipitation24h(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  std::string_view amount = chars(w, 2, 5);
  if (amount == "0000") return t.add("24-stündiger Niederschlag: Trocken.");
  if (amount == "9999") return t.add("24-stündiger Niederschlag: < 0.05 mm.");
  t.add("24-stündiger Niederschlag: ", NumberText(chars(w, 2, 4)), ".", charText(w, 5), " mm.");
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
  static constexpr std::array<const char*, 10> kTops = {
      "Vereinzelte Wolken.",
      "Flache, geschlossene Wolkendecke.",
      "Flache Wolkendecke mit kleinen Durchbrüchen.",
      "Flache Wolkendecke mit großen Durchbrüchen.",
      "Gewellte, geschlossene Wolkendecke.",
      "Gewellte Wolkendecke mit kleinen Durchbrüchen.",
      "Gewellte Wolkendecke mit großen Durchbrüchen.",
      "Geschlossene Wogenwolkendecke.",
      "Gruppen von Wogenwolken.",
      "Mehrere Wolkenschichten in verschiedenen Höhen."};
  t.add("Bedeckungsgrad der Wolkenschicht: ", charText(w, 1), "/8.");
  addCloudGenus(charAt(w, 2), t);
  addCloudHeight(w, t, 3);
  char ct = charAt(w, 5);
  if (ct < '0' || ct > '9') return t.bad();
  t.add("Merkmale der Wolkenschicht: ", kTops[static_cast<std::size_t>(ct - '0')]);
}

}  // namespace tern::synop
