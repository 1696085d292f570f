// Present weather ww (WMO code table 4677) in German. One table, so every line of the
// decoded reports uses the same terminology.
#include <array>

#include "synop/group_decoders.h"

namespace tern::synop {

namespace {

constexpr std::array<const char*, 100> kPresentWeather = {
    // 00-09: no precipitation, fog, duststorm, sandstorm, drifting or blowing snow at the
    // station at the time of observation or during the preceding hour (except 09).
    "Bewölkungsentwicklung nicht beobachtet.",
    "Bewölkung abnehmend.",
    "Bewölkung unverändert.",
    "Bewölkung zunehmend.",
    "Sicht durch Rauch oder Vulkanasche vermindert.",
    "Trockener Dunst (relative Feuchte < 80 %).",
    "Verbreiteter Schwebstaub, nicht vom Wind an oder nahe der Station aufgewirbelt.",
    "Staub oder Sand, vom Wind an oder nahe der Station aufgewirbelt, aber keine Staub- oder "
    "Sandwirbel und kein Staub- oder Sandsturm.",
    "Gut entwickelte Staub- oder Sandwirbel, aber kein Staub- oder Sandsturm.",
    "Staub- oder Sandsturm im Gesichtskreis oder in der letzten Stunde an der Station.",
    // 10-19
    "Feuchter Dunst (relative Feuchte > 80 %).",
    "Schwaden von Bodennebel (unter Augenhöhe).",
    "Durchgehender Bodennebel (unter Augenhöhe).",
    "Wetterleuchten sichtbar, kein Donner hörbar.",
    "Niederschlag im Gesichtskreis, den Boden nicht erreichend.",
    "Niederschlag in der Ferne (> 5 km), den Boden erreichend, aber nicht an der Station.",
    "Niederschlag in der Nähe (< 5 km), den Boden erreichend, aber nicht an der Station.",
    "Gewitter (Donner hörbar), aber kein Niederschlag an der Station.",
    "Markante Böen im Gesichtskreis, aber kein Niederschlag an der Station.",
    "Tromben (Wasser- oder Windhosen) im Gesichtskreis.",
    // 20-29: during the preceding hour but not at the time of observation.
    "Nach Sprühregen oder Schneegriesel.",
    "Nach Regen.",
    "Nach Schneefall.",
    "Nach Schneeregen oder Eiskörnern.",
    "Nach gefrierendem Sprühregen oder gefrierendem Regen.",
    "Nach Regenschauer.",
    "Nach Schneeschauer oder Schneeregenschauer.",
    "Nach Graupel- oder Hagelschauer.",
    "Nach Nebel.",
    "Nach Gewitter.",
    // 30-39
    "Leichter oder mäßiger Staub- oder Sandsturm, in der letzten Stunde abnehmend.",
    "Leichter oder mäßiger Staub- oder Sandsturm, unverändert.",
    "Leichter oder mäßiger Staub- oder Sandsturm, in der letzten Stunde zunehmend.",
    "Schwerer Staub- oder Sandsturm, in der letzten Stunde abnehmend.",
    "Schwerer Staub- oder Sandsturm, unverändert.",
    "Schwerer Staub- oder Sandsturm, in der letzten Stunde zunehmend.",
    "Leichtes oder mäßiges Schneefegen (unter Augenhöhe).",
    "Starkes Schneefegen (unter Augenhöhe).",
    "Leichtes oder mäßiges Schneetreiben (über Augenhöhe).",
    "Starkes Schneetreiben (über Augenhöhe).",
    // 40-49
    "Nebel in einiger Entfernung, aber nicht an der Station.",
    "Nebelschwaden.",
    "Nebel, Himmel erkennbar, dünner werdend.",
    "Nebel, Himmel nicht erkennbar, dünner werdend.",
    "Nebel, Himmel erkennbar, unverändert.",
    "Nebel, Himmel nicht erkennbar, unverändert.",
    "Nebel, Himmel erkennbar, dichter werdend.",
    "Nebel, Himmel nicht erkennbar, dichter werdend.",
    "Nebel mit Reifansatz, Himmel erkennbar.",
    "Nebel mit Reifansatz, Himmel nicht erkennbar.",
    // 50-59
    "Unterbrochener leichter Sprühregen.",
    "Durchgehend leichter Sprühregen.",
    "Unterbrochener mäßiger Sprühregen.",
    "Durchgehend mäßiger Sprühregen.",
    "Unterbrochener starker Sprühregen.",
    "Durchgehend starker Sprühregen.",
    "Leichter gefrierender Sprühregen.",
    "Mäßiger oder starker gefrierender Sprühregen.",
    "Leichter Sprühregen mit Regen.",
    "Mäßiger oder starker Sprühregen mit Regen.",
    // 60-69
    "Unterbrochener leichter Regen.",
    "Durchgehend leichter Regen.",
    "Unterbrochener mäßiger Regen.",
    "Durchgehend mäßiger Regen.",
    "Unterbrochener starker Regen.",
    "Durchgehend starker Regen.",
    "Leichter gefrierender Regen.",
    "Mäßiger oder starker gefrierender Regen.",
    "Leichter Schneeregen.",
    "Mäßiger oder starker Schneeregen.",
    // 70-79
    "Unterbrochener leichter Schneefall.",
    "Durchgehend leichter Schneefall.",
    "Unterbrochener mäßiger Schneefall.",
    "Durchgehend mäßiger Schneefall.",
    "Unterbrochener starker Schneefall.",
    "Durchgehend starker Schneefall.",
    "Eisnadeln (Polarschnee).",
    "Schneegriesel.",
    "Einzelne sternförmige Schneekristalle.",
    "Eiskörner.",
    // 80-89
    "Leichter Regenschauer.",
    "Mäßiger oder starker Regenschauer.",
    "Äußerst heftiger Regenschauer.",
    "Leichter Schneeregenschauer.",
    "Mäßiger oder starker Schneeregenschauer.",
    "Leichter Schneeschauer.",
    "Mäßiger oder starker Schneeschauer.",
    "Leichter Graupelschauer, mit oder ohne Regen oder Schneeregen.",
    "Mäßiger oder starker Graupelschauer, mit oder ohne Regen oder Schneeregen.",
    "Leichter Hagelschauer ohne Donner, mit oder ohne Regen oder Schneeregen.",
    // 90-99
    "Mäßiger oder starker Hagelschauer ohne Donner, mit oder ohne Regen oder Schneeregen.",
    "Gewitter in der letzten Stunde, zurzeit leichter Regen.",
    "Gewitter in der letzten Stunde, zurzeit mäßiger oder starker Regen.",
    "Gewitter in der letzten Stunde, zurzeit leichter Schneefall/Schneeregen/Graupel/Hagel.",
    "Gewitter in der letzten Stunde, zurzeit mäßiger oder starker "
    "Schneefall/Schneeregen/Graupel/Hagel.",
    "Leichtes oder mäßiges Gewitter mit Regen oder Schnee, ohne Hagel.",
    "Leichtes oder mäßiges Gewitter mit Graupel oder Hagel.",
    "Starkes Gewitter mit Regen oder Schnee, ohne Hagel.",
    "Gewitter mit Staub- oder Sandsturm.",
    "Starkes Gewitter mit Graupel oder Hagel.",
};

}  // namespace

std::string_view presentWeatherText(int ww) {
  if (ww < 0 || ww > 99) return {};
  return kPresentWeather[static_cast<std::size_t>(ww)];
}

}  // namespace tern::synop
