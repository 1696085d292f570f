// Decoders of the national groups of the German weather service: section 5 (after "555"),
// the mountain cloud and soil temperature groups (after "PIC" and "BOT"), the previous-day
// block that follows them after "80000", the hourly block (after "666") and its 10-minute
// precipitation block.
#include <array>

#include "synop/group_decoders.h"
#include "synop/synop_text.h"

namespace tern::synop {

namespace {

// Additional weather phenomena wzwz of the group 25wzwz; other pairs add nothing.
struct Phenomenon {
  std::string_view code;
  std::string_view text;
};
constexpr std::array<Phenomenon, 26> kAdditionalPhenomena = {{
    {"01", "Sich schnell auflösende Kondensstreifen (Lebensdauer < 1 Minute)."},
    {"02", "Sich langsam auflösende Kondensstreifen (Lebensdauer 1 bis 14 Minuten)."},
    {"03", "Beständige Kondensstreifen (Lebensdauer > 15 Minuten)."},
    {"04", "Aufgelöste, vollständig in Cirrusbewölkung übergegangene Kondensstreifen."},
    {"05", "Strahlungsreif."},
    {"06", "Advektionsreif."},
    {"07", "Rauhreif."},
    {"08", "Rauheis."},
    {"09", "Klareis."},
    {"15", "Grieseldecke."},
    {"16", "Eiskörnerdecke."},
    {"17", "Graupeldecke."},
    {"18", "Hageldecke."},
    {"23", "Eiskörner in der letzten Stunde."},
    {"24", "Glatteisbildung in der letzten Stunde."},
    {"31", "Sandfegen (unter Augenhöhe)."},
    {"32", "Sandtreiben (über Augenhöhe)."},
    {"33", "Sandverwehungen > 5 cm."},
    {"36", "Schneeverwehungen > 20 cm."},
    {"45", "Nässender Nebel."},
    {"71", "Reifglätte."},
    {"75", "Schneeglätte."},
    {"76", "Eisglätte (überfrierende Nässe)."},
    {"77", "Glatteis (gefrierender Regen/Sprühregen)."},
    {"81", "Gefrierender Schauerniederschlag."},
    {"99", "Böenwalze."},
}};

// Kind of precipitation W of the group 24WRtR.
constexpr CodeTexts kPrecipitationKind = {"Kein Niederschlag.",
                                          "Nur abgesetzte Niederschläge.",
                                          "Nur flüssige abgesetzte Niederschläge.",
                                          "Nur feste abgesetzte Niederschläge.",
                                          "",
                                          "",
                                          "Niederschlag in flüssiger Form.",
                                          "Niederschlag in fester Form.",
                                          "Niederschlag in flüssiger und fester Form.",
                                          "Niederschlagsmessung ausgefallen.",
                                          ""};

// Form of the precipitation of the previous day's group 1RRRRW; other figures add nothing.
constexpr CodeTexts kPrecipitationForm = {"Kein Niederschlag.",
                                          "Nur abgesetzte Niederschläge (flüssig und fest).",
                                          "Nur flüssige abgesetzte Niederschläge.",
                                          "Nur feste abgesetzte Niederschläge.",
                                          "",
                                          "",
                                          "Gefallener Niederschlag in flüssiger Form.",
                                          "Gefallener Niederschlag in fester Form.",
                                          "Gefallener Niederschlag in flüssiger und fester Form.",
                                          "Niederschlagsmessung ausgefallen.",
                                          ""};

// Whether snow or ice covered the sensor 5 cm above the ground; other figures add nothing.
constexpr CodeTexts kSensorCovered = {
    "Nein.", "Ja.", "", "", "", "", "", "", "", "", "Angabe nicht möglich."};

// Depth of the soil temperature measurement; other figures add nothing.
constexpr CodeTexts kSoilDepth = {"Meßtiefe 0 cm.",
                                  "Meßtiefe 5 cm.",
                                  "Meßtiefe 10 cm.",
                                  "Meßtiefe 20 cm.",
                                  "Meßtiefe 50 cm.",
                                  "Meßtiefe 100 cm.",
                                  "Meßtiefe 200 cm.",
                                  "",
                                  "",
                                  "",
                                  ""};

// The minutes of the hour that a 10-minute precipitation group covers.
constexpr CodeTexts kTenMinutes = {"In Minute 0 - 9 der letzten Stunde.",
                                   "In Minute 10 - 19 der letzten Stunde.",
                                   "In Minute 20 - 29 der letzten Stunde.",
                                   "In Minute 30 - 39 der letzten Stunde.",
                                   "In Minute 40 - 49 der letzten Stunde.",
                                   "In Minute 50 - 59 der letzten Stunde.",
                                   "",
                                   "",
                                   "",
                                   "",
                                   ""};

void addCover(char figure, GroupTarget& t, std::string_view prefix) {
  std::string_view cover = coverText(figure);
  if (cover.empty()) return t.bad();
  t.add(prefix, cover);
}

// The wind groups of section 5: m/s in tenths from chars 3-4 and 5.
void addWindTenths(std::string_view w, GroupTarget& t, std::string_view prefix) {
  if (contains(w, "///")) return;
  t.add(prefix, Number{chars(w, 3, 4)}, ".", charText(w, 5), " m/s.");
}

// The gust groups 91xff of section 5.
void addGust(std::string_view w, GroupTarget& t, std::string_view prefix) {
  if (contains(w, "//")) return;
  t.add(prefix, Number{chars(w, 4, 5)}, ".");
}

// The wind groups of the previous-day block: m/s in tenths from chars 2-3 and 4.
void addDailyWind(std::string_view w, GroupTarget& t, std::string_view prefix) {
  if (contains(w, "///")) return;
  t.add(prefix, Number{chars(w, 2, 3)}, ".", charText(w, 4), " m/s.");
}

// One list of the previous-day group 6: a heading, then one line per set bit of the mask.
struct MaskList {
  std::string_view heading;
  std::string_view none;
  std::array<std::string_view, 6> items;  // bit 0 first; empty where the bit means nothing
};

constexpr std::array<MaskList, 3> kPreviousDayLists = {{
    {"Gefallener Niederschlag des Vortags (00 - 24 UTC):",
     "Kein gefallener Niederschlag.",
     {"Regen (Sprüh-/Nieselregen, Regen, Regentropfen).",
      "Gefrierender Regen (gefrierender Sprüh-/Nieselregen, gefrierender Regen).",
      "Schnee (Schnee, Schneekristalle, Schneeflocken).",
      "Graupel (Schneegriesel, Reifgraupel, Frostgraupel, Eiskörner).", "Hagel.", ""}},
    {"Abgesetzter oder abgelagerter Niederschlag des Vortags (00 - 24 UTC):",
     "Kein abgesetzter oder abgelagerter Niederschlag.",
     {"Tau (Strahlungstau, Advektionstau, weißer Tau).", "Reif (Strahlungsreif, Advektionsreif).",
      "Rauhreif/Rauhfrost.", "Rauheis/Klareis.", "Glatteis/Eisglätte.",
      "Decke aus festen Niederschlägen (mindestens 50 % des Bodens bedeckend)."}},
    {"Sonstige Wettererscheinungen des Vortags (00 - 24 UTC):",
     "Keine weiteren Wettererscheinungen.",
     {"Nebel (Nebel, Nebeltreiben).", "Gewitter (Nahgewitter, Ferngewitter).",
      "Starker Wind (Windstärke 6 und 7 im 10-Min.-Mittel).",
      "Stürmischer Wind (Windstärke > 8 im 10-Min.-Mittel).", "", ""}},
}};

}  // namespace

// Section 5.

void decodeGroundTemperature5cm(std::string_view w, GroupTarget& t) {
  addTemperatureGroup(w, t, "Temperatur in 5 cm Höhe über dem Erdboden: ");
}

void decodeHourlyAmount(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  auto rrr = toInt(chars(w, 2, 4));
  if (!rrr) return t.bad();
  const std::string_view prefix = "Niederschlagsmenge in der letzten Stunde: ";
  if (*rrr == 0) {
    t.add(prefix, "Kein Niederschlag (<0.1 mm).");
  } else if (*rrr == 999) {
    t.add(prefix, "Spuren von Niederschlag, nicht meßbar (< 0.05 mm).");
  } else {
    // 001 (0.1 mm) is an amount like any other.
    t.add(prefix, Tenths{*rrr}, " mm.");
  }
  t.add("Niederschlagsdauer: ", charText(w, 5), "/10h.");
}

void decodeDailyMeanTemperature(std::string_view w, GroupTarget& t) {
  addTemperatureGroup(w, t, "Tagesmittel der Lufttemperatur des Vortages: ");
}

void decodeTenMinuteWind(std::string_view w, GroupTarget& t) {
  addWindTenths(w, t, "10-Minuten-Mittel der Windgeschwindigkeit: ");
}

void decodeHourlySunshineMinutes(std::string_view w, GroupTarget& t) {
  if (contains(w, "//")) return;
  t.add("Stundensumme der Sonnenscheindauer: ", Number{chars(w, 3, 4)}, " min.");
}

void decodePrecipitationKind(std::string_view w, GroupTarget& t) {
  addCodeLine(kPrecipitationKind, charAt(w, 3), t, "Niederschlagsart: ");
  addPeriod(charAt(w, 4), t);
}

void decodeAdditionalPhenomenon(std::string_view w, GroupTarget& t) {
  const std::string_view code = chars(w, 3, 4);
  for (const Phenomenon& p : kAdditionalPhenomena) {
    if (p.code == code) return t.add("Zusätzliche Wettererscheinung: ", p.text);
  }
}

void decodeHourlyMeanWind(std::string_view w, GroupTarget& t) {
  addWindTenths(w, t, "Mittlere Windgeschwindigkeit der letzten Stunde: ");
}

void decodeLightning(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  t.add("Anzahl der registrierten Blitze in den letzten 30 Minuten: ", Number{chars(w, 2, 3)},
        " Blitze mit starker Intensität: ", chars(w, 4, 5), ".");
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
    t.add("Neuschneehöhe: ", Number{depth}, " cm.");
  }
  addPeriod(charAt(w, 5), t, true);
}

void decodeSection5Seven(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  t.add("7ffzd nicht dekodiert.");
}

void decodeCloudBase(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  addCloudHeight(w, t, 4);
  addCover(charAt(w, 2), t, "Gesamtbedeckung des Himmels mit Wolken: ");
}

void decodeGustTenMinutes(std::string_view w, GroupTarget& t) {
  addGust(w, t, "Höchste Windspitze in den letzten 10 Minuten: ");
}

void decodeGustHour(std::string_view w, GroupTarget& t) {
  addGust(w, t, "Höchste Windspitze in der letzten Stunde: ");
}

void decodeMeanWindHour(std::string_view w, GroupTarget& t) {
  addGust(w, t, "Höchstes 10-Minuten-Mittel der Windgeschwindigkeit in der letzten Stunde: ");
}

// After "PIC" and "BOT".

void decodeMountainCloud(std::string_view w, GroupTarget& t) {
  t.add("Wolkenbedeckung von Bergen: ", charText(w, 1));
  addCover(charAt(w, 2), t, "Bedeckungsgard des Berges mit Wolken: ");
}

void decodeSoilTemperature(std::string_view w, GroupTarget& t) {
  addSignedTemperature(w, t, "Temperaturen im Erdboden: ");
  const std::string_view depth = codeText(kSoilDepth, charAt(w, 1));
  if (!depth.empty()) t.add(depth);
}

// The previous-day block.

void decodeSixHourPrecipitation(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  std::string_view amount = chars(w, 2, 5);
  if (amount == "0000") {
    t.add("6-stündiger Niederschlag: trocken.");
  } else if (amount == "9999") {
    t.add("6-stündiger Niederschlag: < 0.05 mm.");
  } else {
    t.add("6-stündiger Niederschlag: ", Number{chars(w, 2, 4)}, ".", charText(w, 5), " mm.");
  }
  const std::string_view form = codeText(kPrecipitationForm, charAt(w, 6));
  if (!form.empty()) t.add("Niederschlagsform: ", form);
}

void decodeDailySunshine(std::string_view w, GroupTarget& t) {
  if (contains(w, "////")) return;
  t.add("Tagessumme der Sonnenscheindauer des Vortags: ", Number{chars(w, 2, 5)}, " min.");
}

void decodeDailyGust(std::string_view w, GroupTarget& t) {
  addDailyWind(w, t, "Höchste Windspitze des Vortags: ");
}

void decodeDailyMaxMeanWind(std::string_view w, GroupTarget& t) {
  addDailyWind(w, t, "Höchstes 10-Minuten-Mittel der Windgeschwindigkeit des Vortags: ");
}

void decodeSnowWaterEquivalent(std::string_view w, GroupTarget& t) {
  if (contains(w, "//")) return;
  t.add("Spezifisches Wasseräquivalent der Schneedecke in 1/10 mm/cm: ", Number{chars(w, 2, 3)},
        ".");
}

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
      if (((*mask >> bit) & 1) != 0 && !l.items[bit].empty()) t.add(l.items[bit]);
    }
  }
}

void decodeDailyMaxTemperature(std::string_view w, GroupTarget& t) {
  addTemperatureGroup(w, t, "Maximumtemperatur des Vortags (00 - 24 UTC): ");
}

void decodeDailyMinTemperature(std::string_view w, GroupTarget& t) {
  addTemperatureGroup(w, t, "Minimumtemperatur des Vortags (00 - 24 UTC): ");
}

void decodeDailyGroundMinimum(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  addSignedTemperature(w, t,
                       "Minimumtemperatur des Vortags (00 - 24 UTC) 5 cm über dem Erdboden bzw. "
                       "der Schneedecke: ");
  const std::string_view covered = codeText(kSensorCovered, charAt(w, 6));
  if (!covered.empty()) {
    t.add("Bedeckung des Temperaturmeßfühlers 5 cm über dem Erdboden mit Schnee oder Eis: ",
          covered);
  }
}

// The hourly block and its 10-minute precipitation block.

void decodeHourlyMaxTemperature(std::string_view w, GroupTarget& t) {
  addTemperatureGroup(w, t, "Maximumtemperatur der letzten Stunde: ");
}

void decodeHourlyMinTemperature(std::string_view w, GroupTarget& t) {
  addTemperatureGroup(w, t, "Minimumtemperatur der letzten Stunde: ");
}

void decodeHourlyGroundMinimum(std::string_view w, GroupTarget& t) {
  addTemperatureGroup(
      w, t,
      "Minimumtemperatur 5 cm über dem Erdboden bzw. der Schneedecke in der letzten Stunde: ");
}

void decodeHourlyBlockSix(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  t.add("6vvvv nicht dekodiert.");
}

void decodeAutomaticVisibility(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  t.add("Automatisch gemessene meteorologische Sichtweite (MOR) in m: ", Number{chars(w, 2, 5)},
        ".");
}

void decodeTenMinutePrecipitation(std::string_view w, GroupTarget& t) {
  if (contains(w, "///")) return;
  const std::string_view minutes = codeText(kTenMinutes, charAt(w, 1));
  if (!minutes.empty()) t.add("10-minütige Niederschlagshöhe: ", Number{chars(w, 2, 4)}, minutes);
}

}  // namespace tern::synop
