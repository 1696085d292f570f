// Decoders of section 2 (sea state, after "222") and the patterns that the later sections
// share: signed temperatures, cloud base height, cloud genus, reference period, cover.
#include <array>

#include "synop/group_decoders.h"
#include "synop/synop_text.h"

namespace tern::synop {

std::string_view codeText(const CodeTexts& texts, char figure) {
  if (figure >= '0' && figure <= '9') return texts[static_cast<std::size_t>(figure - '0')];
  if (figure == '/') return texts.back();
  return {};
}

void addCodeLine(const CodeTexts& texts, char figure, GroupTarget& t, std::string_view prefix) {
  std::string_view text = codeText(texts, figure);
  if (text.empty()) return t.bad();
  t.add(prefix, text);
}

std::optional<std::string_view> signText(char figure) {
  if (figure == '0') return "";
  if (figure == '1') return "-";
  return std::nullopt;
}

void addSignedTemperature(std::string_view w, GroupTarget& t, std::string_view prefix) {
  const auto sign = signText(charAt(w, 2));
  if (!sign) return t.bad();
  t.add(prefix, *sign, Number{chars(w, 3, 4)}, ".", charText(w, 5), " °C.");
}

void addTemperatureGroup(std::string_view w, GroupTarget& t, std::string_view prefix) {
  if (contains(w, "///")) return;
  addSignedTemperature(w, t, prefix);
}

void addCloudHeight(std::string_view w, GroupTarget& t, int from) {
  static constexpr std::array<const char*, 10> k90to99 = {
      "0 bis 49 m.",      "50 bis 99 m.",      "100 bis 199 m.",   "200 bis 299 m.",
      "300 bis 599 m.",   "600 bis 999 m.",    "1000 bis 1499 m.", "1500 bis 1999 m.",
      "2000 bis 2499 m.", "2500 m oder höher."};
  const std::string_view prefix = "Höhe der Wolkenuntergrenze: ";
  auto code = toInt(chars(w, from, from + 1));
  if (!code) return t.bad();
  int h = *code;
  if (h == 0) return t.add(prefix, "< 30m.");
  if (h <= 50) return t.add(prefix, Decimal{h * 30}, " m.");
  if (h >= 56 && h <= 80) return t.add(prefix, Decimal{(h - 56) * 300 + 1800}, " m.");
  if (h >= 81 && h <= 88) return t.add(prefix, Decimal{(h - 81) * 1500 + 10500}, " m.");
  if (h == 89) return t.add(prefix, "höher als 21000 m");
  if (h >= 90 && h <= 99) return t.add(prefix, k90to99[static_cast<std::size_t>(h - 90)]);
  t.bad();  // 51..55 are not used by the code table
}

void addCloudGenus(char figure, GroupTarget& t) {
  static constexpr std::array<const char*, 10> kGenus = {
      "Cirrus (Ci).",      "Cirrocumulus (Cc).", "Cirrostratus (Cs).",  "Altocumulus (Ac).",
      "Altostratus (As).", "Nimbostratus (Ns).", "Stratocumulus (Sc).", "Stratus (St).",
      "Cumulus (Cu).",     "Cumulonimbus (Cb)."};
  if (figure >= '0' && figure <= '9') {
    return t.add("Wolkengattung: ", kGenus[static_cast<std::size_t>(figure - '0')]);
  }
  if (figure == '/') return t.add("Wolkengattung nicht erkennbar.");
  t.bad();
}

void addPeriod(char figure, GroupTarget& t, bool capitalZero) {
  static constexpr std::array<const char*, 10> kPeriod = {
      "Bezugszeitraum: nicht aufgeführter oder vor dem Termin endender Zeitraum.",
      "Bezugszeitraum: 6 Stunden.",
      "Bezugszeitraum: 12 Stunden.",
      "Bezugszeitraum: 18 Stunden.",
      "Bezugszeitraum: 24 Stunden.",
      "Bezugszeitraum: 1 Stunde.",
      "Bezugszeitraum: 2 Stunden.",
      "Bezugszeitraum: 3 Stunden.",
      "Bezugszeitraum: 9 Stunden.",
      "Bezugszeitraum: 15 Stunden."};
  if (figure == '0' && capitalZero) {
    return t.add("Bezugszeitraum: Nicht aufgeführter oder vor dem Termin endender Zeitraum.");
  }
  if (figure >= '0' && figure <= '9') return t.add(kPeriod[static_cast<std::size_t>(figure - '0')]);
  if (figure == '/') return t.add("Bezugszeitraum: Sondermessung.");
  t.bad();
}

std::string_view coverText(char figure) {
  static constexpr CodeTexts kCover = {
      "0/8 (wolkenlos).",      "1/8 oder weniger (fast wolkenlos).",
      "2/8 (leicht bewölkt).", "3/8.",
      "4/8 (wolkig).",         "5/8.",
      "6/8 (stark bewölkt).",  "7/8 oder mehr (fast bedeckt).",
      "8/8 (bedeckt).",        "Himmel nicht erkennbar.",
      "nicht beobachtet."};
  return codeText(kCover, figure);
}

namespace {

// Wave heights come in half metres; chars 4-5 count them.
std::optional<int> halfMetres(std::string_view w) {
  auto h = toInt(chars(w, 4, 5));
  if (!h) return std::nullopt;
  return *h * 5;
}

}  // namespace

void decodeShipMovement(std::string_view w, GroupTarget& t) {
  if (contains(w, "//")) return;
  static constexpr std::array<const char*, 10> kDirection = {
      "Still.", "NE.", "E.", "SE.", "S.", "SW.", "W.", "NW.", "N.", "Unbekannt."};
  static constexpr std::array<const char*, 10> kSpeed = {
      "0 Knoten.",         "1 bis 5 Knoten.",    "6 bis 10 Knoten.",  "11 bis 15 Knoten.",
      "16 bis 20 Knoten.", "21 bis 25 Knoten.",  "26 bis 30 Knoten.", "31 bis 35 Knoten.",
      "36 bis 40 Knoten.", "mehr als 40 Knoten."};
  char ds = charAt(w, 4);
  if (ds >= '0' && ds <= '9') {
    t.add("Richtung der Schiffsverlagerung: ", kDirection[static_cast<std::size_t>(ds - '0')]);
  } else {
    t.bad();
  }
  char vs = charAt(w, 5);
  if (vs >= '0' && vs <= '9') {
    t.add("Mittlere Schiffsgeschwindigkeit: ", kSpeed[static_cast<std::size_t>(vs - '0')]);
  } else {
    t.bad();
  }
}

// The indicator ss follows WMO code table 3850: 0..7 name how the temperature was measured
// (intake, bucket, hull contact, other), even figures a positive or zero value, odd figures
// a negative one. A missing indicator or value is no fault of the report.
void decodeSeaTemperature(std::string_view w, GroupTarget& t) {
  char ss = charAt(w, 2);
  if (ss == '/' || contains(chars(w, 3, 5), "/")) return;
  if (ss < '0' || ss > '7') return t.bad();
  bool negative = (ss - '0') % 2 == 1;
  t.add("Meeresoberflächentemperatur: ", (negative ? "-" : ""), Number{chars(w, 3, 4)}, ".",
        charText(w, 5), " °C.");
}

void decodeWindWaves(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  t.add("Wellenperiode der Windsee: ", Number{chars(w, 2, 3)}, " s.");
  auto height = halfMetres(w);
  if (!height) return t.bad();
  t.add("Wellenhöhe der Windsee: ", Tenths{*height}, " m.");
}

void decodeSwellDirections(std::string_view w, GroupTarget& t) {
  if (contains(w, "/")) return;
  t.add("Wellenrichtung der Dünungen: ", Number{chars(w, 4, 5)}, ".");
}

namespace {

void addSwell(std::string_view w, GroupTarget& t, std::string_view swell) {
  if (contains(w, "////")) return;
  t.add("Wellenperiode der ", swell, chars(w, 2, 3), " s.");
  auto height = halfMetres(w);
  if (!height) return t.bad();
  t.add("Wellenhöhe der ", swell, Tenths{*height}, " m.");
}

}  // namespace

void decodeFirstSwell(std::string_view w, GroupTarget& t) { addSwell(w, t, "1. Dünung: "); }
void decodeSecondSwell(std::string_view w, GroupTarget& t) { addSwell(w, t, "2. Dünung: "); }

void decodeIceAccretion(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  t.add("6ieer nicht dekodiert.");
}

void decodeWaveHeightTenths(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  auto h = toInt(chars(w, 3, 5));
  if (!h) return t.bad();
  t.add("Instrumentell ermittelte Wellenhöhe der Windsee: ", Tenths{*h}, " m.");
}

// The indicator sw: 0 to 2 measured, 5 to 7 computed; 0 and 5 a value of zero or above,
// the others a negative value over water or over ice.
void decodeWetBulb(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  static constexpr CodeTexts kSigns = {"", "-", "-", "", "", "", "-", "-", "", "", ""};
  static constexpr CodeTexts kUnits = {
      " °C.", " °C bezogen auf Wasser.", " °C bezogen auf Eis.", "", "",
      " °C.", " °C bezogen auf Wasser.", " °C bezogen auf Eis.", "", "",
      ""};
  const char sw = charAt(w, 2);
  const std::string_view unit = codeText(kUnits, sw);
  if (unit.empty()) return t.bad();
  t.add("Feuchttemperatur: ", codeText(kSigns, sw), Number{chars(w, 3, 4)}, ".", charText(w, 5),
        unit);
}

}  // namespace tern::synop
