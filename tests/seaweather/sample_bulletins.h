// Sea weather reports and warnings in the broadcast's style, as test input: the German
// report as the teleprinter sends it and the same in other hands' mixed case, the English
// report, and the warnings in both languages.
#pragma once

#include <string>

namespace tern::seaweather::samples {

// Upper case with AE, OE, UE, SS; lines end CR CR LF as on the air. Areas on their own line
// and inline, abbreviated and two- or three-word names.
inline const std::string kGermanReport =
    "ZCZC 512\r\r\n"
    "FQEN50 EDZW 100005\r\r\n"
    "SEEWETTERBERICHT FUER NORD- UND OSTSEE\r\r\n"
    "DEUTSCHER WETTERDIENST, SEEWETTERDIENST HAMBURG\r\r\n"
    "AM 10.12.2026, 00.05 UTC\r\r\n"
    "\r\r\n"
    "WETTERLAGE: TIEF 978 SUEDNORWEGEN, ZIEHT UNTER VERTIEFUNG OSTWAERTS.\r\r\n"
    "HOCH 1032 BISKAYA, WENIG AENDERND.\r\r\n"
    "\r\r\n"
    "BIS MORGEN FRUEH IST IN FOLGENDEN VORHERSAGEGEBIETEN MIT STARKWIND,\r\r\n"
    "STURM ODER ORKAN ZU RECHNEN: DEUTSCHE BUCHT FISCHER DOGGER\r\r\n"
    "BELTE UND SUND WESTLICHE OSTSEE ENGL.KANAL-OST.\r\r\n"
    "\r\r\n"
    "VORHERSAGEN GUELTIG BIS 10.12. 12 UTC:\r\r\n"
    "DEUTSCHE BUCHT:\r\r\n"
    "SUEDWEST 6 BIS 7, SPAETER WEST 8, BOEEN 9, SEE 3 METER.\r\r\n"
    "FISCHER: WEST 7, SCHAUERBOEEN, SEE 3,5 METER, DUENUNG 4 METER.\r\r\n"
    "ENGL.KANAL-OST:\r\r\n"
    "WESTSUEDWEST 6, ABNEHMEND 5, SEE 2 METER, DIESIG.\r\r\n"
    "BELTE UND SUND:\r\r\n"
    "SUEDWEST BIS WEST 6 BIS 7, STRICHWEISE 8, SEE 2 METER.\r\r\n"
    "WESTLICHE OSTSEE:\r\r\n"
    "SUEDWEST BIS WEST 6 BIS 7, SPAETER 5, SEE 2,5 METER, DIESIG. SUEDLICHE OSTSEE:\r\r\n"
    "UMLAUFEND 3, SPAETER SUEDWESTDREHEND 5, SEE 1 METER, NEBEL.\r\r\n"
    "BOTTENWIEK: SCHWACHWINDIG, SEE 0,5 METER, GUTE SICHT.\r\r\n"
    "\r\r\n"
    "AUSSICHTEN FUER DIE FOLGENDEN 12 STUNDEN:\r\r\n"
    "DEUTSCHE BUCHT WEST 7, ABNEHMEND 5.\r\r\n"
    "=\r\r\n";

// The same report as a web page or a mail would carry it: mixed case with umlauts (the
// caller turns it into Latin-1 where needed).
inline const std::string kGermanReportMixedCase =
    "Seewetterbericht für Nord- und Ostsee\n"
    "Deutscher Wetterdienst, Seewetterdienst Hamburg\n"
    "am 10.12.2026, 00.05 UTC\n"
    "\n"
    "Wetterlage: Tief 978 Südnorwegen, zieht unter Vertiefung ostwärts.\n"
    "Hoch 1032 Biskaya, wenig ändernd.\n"
    "\n"
    "Bis morgen früh ist in folgenden Vorhersagegebieten mit Starkwind,\n"
    "Sturm oder Orkan zu rechnen: Deutsche Bucht Fischer Dogger\n"
    "Belte und Sund Westliche Ostsee Engl.Kanal-Ost.\n"
    "\n"
    "Vorhersagen gültig bis 10.12. 12 UTC:\n"
    "Deutsche Bucht:\n"
    "Südwest 6 bis 7, später West 8, Böen 9, See 3 Meter.\n"
    "Fischer: West 7, Schauerböen, See 3,5 Meter, Dünung 4 Meter.\n"
    "Engl.Kanal-Ost:\n"
    "Westsüdwest 6, abnehmend 5, See 2 Meter, diesig.\n"
    "Belte und Sund:\n"
    "Südwest bis West 6 bis 7, strichweise 8, See 2 Meter.\n"
    "Westliche Ostsee:\n"
    "Südwest bis West 6 bis 7, später 5, See 2,5 Meter, diesig. Südliche Ostsee:\n"
    "umlaufend 3, später südwestdrehend 5, See 1 Meter, Nebel.\n"
    "Bottenwiek: schwachwindig, See 0,5 Meter, gute Sicht.\n"
    "\n"
    "Aussichten für die folgenden 12 Stunden:\n"
    "Deutsche Bucht West 7, abnehmend 5.\n";

inline const std::string kEnglishReport =
    "ZCZC 514\r\r\n"
    "FQEN70 EDZW 100005\r\r\n"
    "WEATHER REPORT NORTH SEA AND BALTIC\r\r\n"
    "DEUTSCHER WETTERDIENST, MARITIME WEATHER SERVICE HAMBURG\r\r\n"
    "AT 10.12.2026, 00.05 UTC\r\r\n"
    "\r\r\n"
    "SYNOPSIS: LOW 978 SOUTHERN NORWAY, DEEPENING, MOVING EAST.\r\r\n"
    "\r\r\n"
    "UNTIL TOMORROW MORNING STRONG WINDS, GALES OR STORMS ARE EXPECTED IN\r\r\n"
    "THE FOLLOWING FORECAST AREAS: GERMAN BIGHT FISHER BELTS AND SOUND\r\r\n"
    "WESTERN BALTIC.\r\r\n"
    "\r\r\n"
    "FORECASTS VALID UNTIL 10.12. 12 UTC:\r\r\n"
    "GERMAN BIGHT:\r\r\n"
    "SOUTHWEST 6 TO 7, VEERING WEST 8 LATER, GUSTS 9, SEA 3 METRES.\r\r\n"
    "BELTS AND SOUND:\r\r\n"
    "SOUTHWEST TO WEST 6 TO 7, LOCALLY 8, SEA 2 METRES, GOOD VISIBILITY.\r\r\n"
    "WESTERN BALTIC: WEST-SOUTHWEST 6, DECREASING 5, SEA 2.5 METRES,\r\r\n"
    "MODERATE VISIBILITY IN SHOWERS.\r\r\n"
    "SOUTHERN BALTIC: VARIABLE 3, LATER BACKING SOUTH 5, SEA 1 METRE, FOG.\r\r\n"
    "\r\r\n"
    "OUTLOOK FOR THE FOLLOWING 12 HOURS:\r\r\n"
    "WEST 7, DECREASING 5.\r\r\n"
    "=\r\r\n";

inline const std::string kGermanWarnings =
    "ZCZC 511\r\r\n"
    "WODL45 EDZW 100000\r\r\n"
    "STARKWIND- UND STURMWARNUNGEN\r\r\n"
    "DEUTSCHER WETTERDIENST, SEEWETTERDIENST HAMBURG\r\r\n"
    "AM 10.12.2026, 00.00 UTC\r\r\n"
    "\r\r\n"
    "DEUTSCHE BUCHT: STURM SUEDWEST BIS WEST 8.\r\r\n"
    "SUEDLICHE OSTSEE: STURM WESTNORDWEST 8.\r\r\n"
    "WESTLICHE OSTSEE: STARKWIND WEST 7.\r\r\n"
    "BELTE UND SUND: SCHWERER STURM WEST 10.\r\r\n"
    "SKAGERRAK: ORKANARTIGER STURM NORDWEST 11, ORKANARTIGE BOEEN.\r\r\n"
    "UTSIRA: ORKAN NORD 12.\r\r\n"
    "=\r\r\n";

inline const std::string kEnglishWarnings =
    "ZCZC 515\r\r\n"
    "WODL45 EDZW 100000\r\r\n"
    "STRONG WIND, GALE AND STORM WARNINGS\r\r\n"
    "DEUTSCHER WETTERDIENST, MARITIME WEATHER SERVICE HAMBURG\r\r\n"
    "AT 10.12.2026, 00.00 UTC\r\r\n"
    "\r\r\n"
    "GERMAN BIGHT: GALE WARNING SOUTHWEST TO WEST 8.\r\r\n"
    "SOUTHERN BALTIC: GALE WARNING WEST-NORTHWEST 8.\r\r\n"
    "WESTERN BALTIC: STRONG WIND WARNING WEST 7.\r\r\n"
    "BELTS AND SOUND: STORM WARNING WEST 10.\r\r\n"
    "SKAGERRAK: VIOLENT STORM WARNING NORTHWEST 11.\r\r\n"
    "UTSIRA: HURRICANE FORCE WARNING NORTH 12.\r\r\n"
    "=\r\r\n";

}  // namespace tern::seaweather::samples
