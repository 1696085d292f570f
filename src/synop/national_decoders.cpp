// Decoders of the national groups of the German weather service: section 5 (after "555"),
// the mountain cloud and soil temperature groups (after "PIC" and "BOT"), the previous-day
// block that follows them after "80000", the hourly block (after "666") and its 10-minute
// precipitation block.
#include <array>

#include "synop/group_decoders.h"
#include "synop/synop_text.h"

namespace tern::synop {

namespace {

const char* additionalPhenomenon(int z) {
  switch (z) {
    case 1:
      return "Sich schnell auflösende Kondensstreifen (Lebensdauer < 1 Minute).";
    case 2:
      return "Sich langsam auflösende Kondensstreifen (Lebensdauer 1 bis 14 Minuten).";
    case 3:
      return "Beständige Kondensstreifen (Lebensdauer > 15 Minuten).";
    case 4:
      return "Aufgelöste, vollständig in Cirrusbewölkung übergegangene Kondensstreifen.";
    case 5:
      return "Strahlungsreif.";
    case 6:
      return "Advektionsreif.";
    case 7:
      return "Rauhreif.";
    case 8:
      return "Rauheis.";
    case 9:
      return "Klareis.";
    case 15:
      return "Grieseldecke.";
    case 16:
      return "Eiskörnerdecke.";
    case 17:
      return "Graupeldecke.";
    case 18:
      return "Hageldecke.";
    case 23:
      return "Eiskörner in der letzten Stunde.";
    case 24:
      return "Glatteisbildung in der letzten Stunde.";
    case 31:
      return "Sandfegen (unter Augenhöhe).";
    case 32:
      return "Sandtreiben (über Augenhöhe).";
    case 33:
      return "Sandverwehungen > 5 cm.";
    case 36:
      return "Schneeverwehungen > 20 cm.";
    case 45:
      return "Nässender Nebel.";
    case 71:
      return "Reifglätte.";
    case 75:
      return "Schneeglätte.";
    case 76:
      return "Eisglätte (überfrierende Nässe).";
    case 77:
      return "Glatteis (gefrierender Regen/Sprühregen).";
    case 81:
      return "Gefrierender Schauerniederschlag.";
    case 99:
      return "Böenwalze.";
    default:
      return nullptr;
  }
}

void addCover(char figure, GroupTarget& t, std::string_view prefix) {
  std::string_view cover = coverText(figure);
  if (cover.empty()) return t.bad();
  t.add(prefix, cover);
}

// "Bezeichnung: 12.3 m/s." from chars 3-4 and 5 (section 5 wind groups).
std::string windTenths(std::string_view w) {
  return NumberText(chars(w, 3, 4)) + "." + charText(w, 5) + " m/s.";
}

void decodeHourlyAmount(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  auto rrr = toInt(chars(w, 2, 4));
  if (!rrr) return t.bad();
  const std::string prefix = "Niederschlagsmenge in der letzten Stunde: ";
  if (*rrr == 0) {
    t.add(prefix, "Kein Niederschlag (<0.1 mm).");
  } else if (*rrr == 999) {
    t.add(prefix, "Spuren von Niederschlag, nicht meßbar (< 0.05 mm).");
  } else {
    // 001 (0.1 mm) is an amount like any other.
    t.add(prefix, tenths(*rrr), " mm.");
  }
  t.add("Niederschlagsdauer: ", charText(w, 5), "/10h.");
}

void decodePrecipitationKind(std::string_view w, GroupTarget& t) {
  const char* kind = nullptr;
  switch (charAt(w, 3)) {
    case '0':
      kind = "Kein Niederschlag.";
      break;
    case '1':
      kind = "Nur abgesetzte Niederschläge.";
      break;
    case '2':
      kind = "Nur flüssige abgesetzte Niederschläge.";
      break;
    case '3':
      kind = "Nur feste abgesetzte Niederschläge.";
      break;
    case '6':
      kind = "Niederschlag in flüssiger Form.";
      break;
    case '7':
      kind = "Niederschlag in fester Form.";
      break;
    case '8':
      kind = "Niederschlag in flüssiger und fester Form.";
      break;
    case '9':
      kind = "Niederschlagsmessung ausgefallen.";
      break;
    default:
      break;
  }
  if (kind == nullptr) {
    t.bad();
  } else {
    t.add("Niederschlagsart: ", kind);
  }
  addPeriod(charAt(w, 4), t);
}

void decodeFreshSnow(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  std::string_view depth = chars(w, 2, 4);
  if (depth == "997") {
    t.add("Neuschneehöhe: < 0.5 cm.");
  } else if (depth == "998") {
    t.add("Neuschneehöhe:  Flecken oder Reste.");
  } else if (depth == "999") {
    t.add("Neuschneehöhe:  Angabe nicht möglich.");
  } else {
    t.add("Neuschneehöhe: ", NumberText(depth), " cm.");
  }
  addPeriod(charAt(w, 5), t, true);
}

// One list of the previous-day group 6: a heading, then one line per set bit of the mask.
struct MaskList {
  const char* heading;
  const char* none;
  std::array<const char*, 6> items;  // bit 0 first; nullptr where the bit means nothing
};

constexpr std::array<MaskList, 3> kPreviousDayLists = {{
    {"Gefallener Niederschlag des Vortags (00 - 24 UTC):",
     "Kein gefallener Niederschlag.",
     {"Regen (Sprüh-/Nieselregen, Regen, Regentropfen).",
      "Gefrierender Regen (gefrierender Sprüh-/Nieselregen, gefrierender Regen).",
      "Schnee (Schnee, Schneekristalle, Schneeflocken).",
      "Graupel (Schneegriesel, Reifgraupel, Frostgraupel, Eiskörner).", "Hagel.", nullptr}},
    {"Abgesetzter oder abgelagerter Niederschlag des Vortags (00 - 24 UTC):",
     "Kein abgesetzter oder abgelagerter Niederschlag.",
     {"Tau (Strahlungstau, Advektionstau, weißer Tau).", "Reif (Strahlungsreif, Advektionsreif).",
      "Rauhreif/Rauhfrost.", "Rauheis/Klareis.", "Glatteis/Eisglätte.",
      "Decke aus festen Niederschlägen (mindestens 50 % des Bodens bedeckend)."}},
    {"Sonstige Wettererscheinungen des Vortags (00 - 24 UTC):",
     "Keine weiteren Wettererscheinungen.",
     {"Nebel (Nebel, Nebeltreiben).", "Gewitter (Nahgewitter, Ferngewitter).",
      "Starker Wind (Windstärke 6 und 7 im 10-Min.-Mittel).",
      "Stürmischer Wind (Windstärke > 8 im 10-Min.-Mittel).", nullptr, nullptr}},
}};

// All three lists read the same mask, figures 2-3; the group's further figures carry
// nothing. Bits without a meaning in a list add nothing to it.
void decodeWeatherLists(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  auto mask = toInt(chars(w, 2, 3));
  if (!mask) return t.bad();
  for (const MaskList& l : kPreviousDayLists) {
    t.add(l.heading);
    if (*mask == 0) t.add(l.none);
    for (std::size_t bit = 0; bit < l.items.size(); ++bit) {
      if (((*mask >> bit) & 1) != 0 && l.items[bit] != nullptr) t.add(l.items[bit]);
    }
  }
}

void decodeSixHourPrecipitation(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  std::string_view amount = chars(w, 2, 5);
  if (amount == "0000") {
    t.add("6-stündiger Niederschlag: trocken.");
  } else if (amount == "9999") {
    t.add("6-stündiger Niederschlag: < 0.05 mm.");
  } else {
    t.add("6-stündiger Niederschlag: ", NumberText(chars(w, 2, 4)), ".", charText(w, 5), " mm.");
  }
  const char* form = nullptr;
  switch (charAt(w, 6)) {
    case '0':
      form = "Kein Niederschlag.";
      break;
    case '1':
      form = "Nur abgesetzte Niederschläge (flüssig und fest).";
      break;
    case '2':
      form = "Nur flüssige abgesetzte Niederschläge.";
      break;
    case '3':
      form = "Nur feste abgesetzte Niederschläge.";
      break;
    case '6':
      form = "Gefallener Niederschlag in flüssiger Form.";
      break;
    case '7':
      form = "Gefallener Niederschlag in fester Form.";
      break;
    case '8':
      form = "Gefallener Niederschlag in flüssiger und fester Form.";
      break;
    case '9':
      form = "Niederschlagsmessung ausgefallen.";
      break;
    default:
      return;
  }
  t.add("Niederschlagsform: ", form);
}

void decodeGroundMinimumPreviousDay(std::string_view w, GroupTarget& t) {
  addSignedTemperature(w, t,
                       "Minimumtemperatur des Vortags (00 - 24 UTC) 5 cm über dem Erdboden bzw. "
                       "der Schneedecke: ");
  const std::string prefix =
      "Bedeckung des Temperaturmeßfühlers 5 cm über dem Erdboden mit Schnee oder Eis: ";
  switch (charAt(w, 6)) {
    case '0':
      return t.add(prefix, "Nein.");
    case '1':
      return t.add(prefix, "Ja.");
    case '/':
      return t.add(prefix, "Angabe nicht möglich.");
    default:
      return;
  }
}

}  // namespace

void decodeSection5(std::string_view w, GroupTarget& t, int state) {
  switch (state) {
    case 51:
      if (contains(w, "///")) return;
      return addSignedTemperature(w, t, "Temperatur in 5 cm Höhe über dem Erdboden: ");
    case 52:
      return decodeHourlyAmount(w, t);
    case 53:
      if (contains(w, "///")) return;
      return addSignedTemperature(w, t, "Tagesmittel der Lufttemperatur des Vortages: ");
    case 54:
      if (contains(w, "///")) return;
      return t.add("10-Minuten-Mittel der Windgeschwindigkeit: ", windTenths(w));
    case 55:
      if (contains(w, "//")) return;
      return t.add("Stundensumme der Sonnenscheindauer: ", NumberText(chars(w, 3, 4)), " min.");
    case 56:
      return decodePrecipitationKind(w, t);
    case 57: {
      auto z = toInt(chars(w, 3, 4));
      const char* text = z && chars(w, 3, 4).size() == 2 ? additionalPhenomenon(*z) : nullptr;
      if (text != nullptr) t.add("Zusätzliche Wettererscheinung: ", text);
      return;
    }
    case 58:
      if (contains(w, "///")) return;
      return t.add("Mittlere Windgeschwindigkeit der letzten Stunde: ", windTenths(w));
    case 59:
      if (contains(w, "////")) return;
      return t.add(
          "Anzahl der registrierten Blitze in den letzten 30 Minuten: ", NumberText(chars(w, 2, 3)),
          " Blitze mit starker Intensität: ", chars(w, 4, 5), ".");
    case 60:
      return decodeFreshSnow(w, t);
    case 61:
      if (contains(w, "///")) return;
      return t.add("7ffzd nicht dekodiert.");
    case 62:
      if (contains(w, "///")) return;
      addCloudHeight(w, t, 4);
      return addCover(charAt(w, 2), t, "Gesamtbedeckung des Himmels mit Wolken: ");
    case 63:
    case 64:
    case 65: {
      if (contains(w, "//")) return;
      static constexpr std::array<const char*, 3> kGusts = {
          "Höchste Windspitze in den letzten 10 Minuten: ",
          "Höchste Windspitze in der letzten Stunde: ",
          "Höchstes 10-Minuten-Mittel der Windgeschwindigkeit in der letzten Stunde: "};
      return t.add(kGusts[static_cast<std::size_t>(state - 63)], NumberText(chars(w, 4, 5)), ".");
    }
    default:
      return;
  }
}

void decodeMountainCloud(std::string_view w, GroupTarget& t) {
  t.add("Wolkenbedeckung von Bergen: ", charText(w, 1));
  addCover(charAt(w, 2), t, "Bedeckungsgard des Berges mit Wolken: ");
}

void decodeSoilTemperature(std::string_view w, GroupTarget& t) {
  addSignedTemperature(w, t, "Temperaturen im Erdboden: ");
  static constexpr std::array<const char*, 7> kDepth = {
      "Meßtiefe 0 cm.",  "Meßtiefe 5 cm.",   "Meßtiefe 10 cm.", "Meßtiefe 20 cm.",
      "Meßtiefe 50 cm.", "Meßtiefe 100 cm.", "Meßtiefe 200 cm."};
  char depth = charAt(w, 1);
  if (depth >= '0' && depth <= '6') t.add(kDepth[static_cast<std::size_t>(depth - '0')]);
}

void decodePreviousDay(std::string_view w, GroupTarget& t, int group) {
  switch (group) {
    case 1:
      return decodeSixHourPrecipitation(w, t);
    case 2:
      if (contains(w, "////")) return;
      return t.add("Tagessumme der Sonnenscheindauer des Vortags: ", NumberText(chars(w, 2, 5)),
                   " min.");
    case 3:
    case 4: {
      if (contains(w, "///")) return;
      std::string value = NumberText(chars(w, 2, 3)) + "." + charText(w, 4) + " m/s.";
      return t.add(group == 3 ? "Höchste Windspitze des Vortags: " + value
                              : "Höchstes 10-Minuten-Mittel der Windgeschwindigkeit des "
                                "Vortags: " +
                                    value);
    }
    case 5:
      if (contains(w, "//")) return;
      return t.add("Spezifisches Wasseräquivalent der Schneedecke in 1/10 mm/cm: ",
                   NumberText(chars(w, 2, 3)), ".");
    case 6:
      return decodeWeatherLists(w, t);
    case 7:
      if (contains(w, "///")) return;
      return addSignedTemperature(w, t, "Maximumtemperatur des Vortags (00 - 24 UTC): ");
    case 8:
      if (contains(w, "///")) return;
      return addSignedTemperature(w, t, "Minimumtemperatur des Vortags (00 - 24 UTC): ");
    case 9:
      if (contains(w, "///")) return;
      return decodeGroundMinimumPreviousDay(w, t);
    default:
      return;
  }
}

void decodeHourlyBlock(std::string_view w, GroupTarget& t, int group) {
  if (contains(w, "///")) return;
  switch (group) {
    case 1:
      return addSignedTemperature(w, t, "Maximumtemperatur der letzten Stunde: ");
    case 2:
      return addSignedTemperature(w, t, "Minimumtemperatur der letzten Stunde: ");
    case 3:
      return addSignedTemperature(
          w, t,
          "Minimumtemperatur 5 cm über dem Erdboden bzw. der Schneedecke in der letzten "
          "Stunde: ");
    case 6:
      return t.add("6vvvv nicht dekodiert.");
    case 7:
      return t.add("Automatisch gemessene meteorologische Sichtweite (MOR) in m: ",
                   NumberText(chars(w, 2, 5)), ".");
    default:
      return;
  }
}

void decodeTenMinutePrecipitation(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  static constexpr std::array<const char*, 6> kMinutes = {
      "In Minute 0 - 9 der letzten Stunde.",   "In Minute 10 - 19 der letzten Stunde.",
      "In Minute 20 - 29 der letzten Stunde.", "In Minute 30 - 39 der letzten Stunde.",
      "In Minute 40 - 49 der letzten Stunde.", "In Minute 50 - 59 der letzten Stunde."};
  char m = charAt(w, 1);
  if (m < '0' || m > '5') return;
  t.add("10-minütige Niederschlagshöhe: ", NumberText(chars(w, 2, 4)),
        kMinutes[static_cast<std::size_t>(m - '0')]);
}

}  // namespace tern::synop
