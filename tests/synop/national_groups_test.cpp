// The national groups of the German weather service: section 5, PIC and BOT with the
// previous-day block, and the hourly block with its 10-minute precipitation.
#include <gtest/gtest.h>

#include <algorithm>

#include "synop_test_util.h"

namespace tern {
namespace {

using testing::checkCases;
using testing::decodeAfter;
using testing::GroupCase;
using Lines = std::vector<std::string>;

TEST(SynopSection5, Groups) {
  const std::vector<std::string> s5 = {"555"};
  checkCases({
      {s5, "01012", {"Temperatur in 5 cm Höhe über dem Erdboden: -1.2 °C."}},
      // RRR 001 is 0.1 mm like any other amount.
      {s5,
       "10013",
       {"Niederschlagsmenge in der letzten Stunde: 0.1 mm.", "Niederschlagsdauer: 3/10h."}},
      {s5,
       "10000",
       {"Niederschlagsmenge in der letzten Stunde: Kein Niederschlag (<0.1 mm).",
        "Niederschlagsdauer: 0/10h."}},
      {s5,
       "10125",
       {"Niederschlagsmenge in der letzten Stunde: 1.2 mm.", "Niederschlagsdauer: 5/10h."}},
      {s5, "21043", {"Tagesmittel der Lufttemperatur des Vortages: -4.3 °C."}},
      {s5, "22058", {"10-Minuten-Mittel der Windgeschwindigkeit: 5.8 m/s."}},
      {s5, "23045", {"Stundensumme der Sonnenscheindauer: 4 min."}},
      {s5,
       "24110",
       {"Niederschlagsart: Nur abgesetzte Niederschläge.", "Bezugszeitraum: 6 Stunden."}},
      {s5, "24410", {"Bezugszeitraum: 6 Stunden."}, true},
      {s5, "25761", {"Zusätzliche Wettererscheinung: Eisglätte (überfrierende Nässe)."}},
      {s5, "25100", {}},
      {s5, "26123", {"Mittlere Windgeschwindigkeit der letzten Stunde: 12.3 m/s."}},
      {s5,
       "30302",
       {"Anzahl der registrierten Blitze in den letzten 30 Minuten: 3 Blitze mit starker "
        "Intensität: 02."}},
      {s5, "59981", {"Neuschneehöhe:  Flecken oder Reste.", "Bezugszeitraum: 6 Stunden."}},
      {s5,
       "50020",
       {"Neuschneehöhe: 2 cm.",
        "Bezugszeitraum: Nicht aufgeführter oder vor dem Termin endender Zeitraum."}},
      {s5, "70123", {"7ffzd nicht dekodiert."}},
      {s5,
       "86/20",
       {"Höhe der Wolkenuntergrenze: 600 m.",
        "Gesamtbedeckung des Himmels mit Wolken: 6/8 (stark bewölkt)."}},
      {s5, "91012", {"Höchste Windspitze in den letzten 10 Minuten: 12."}},
      {s5, "91115", {"Höchste Windspitze in der letzten Stunde: 15."}},
      {s5,
       "91209",
       {"Höchstes 10-Minuten-Mittel der Windgeschwindigkeit in der letzten Stunde: 9."}},
      {s5, "911//", {}},
  });
}

TEST(SynopNationalBlocks, PicAndBotWithThePreviousDayBlock) {
  checkCases({
      {{"PIC"},
       "37",
       {"Wolkenbedeckung von Bergen: 3",
        "Bedeckungsgard des Berges mit Wolken: 7/8 oder mehr (fast bedeckt)."}},
      {{"BOT"}, "20052", {"Temperaturen im Erdboden: 5.2 °C.", "Meßtiefe 10 cm."}},
      {{"PIC"}, "80000", {}},
      {{"BOT"}, "80000", {}},
      {{"BOT", "80000"},
       "100000",
       {"6-stündiger Niederschlag: trocken.", "Niederschlagsform: Kein Niederschlag."}},
      {{"BOT", "80000"},
       "100126",
       {"6-stündiger Niederschlag: 1.2 mm.",
        "Niederschlagsform: Gefallener Niederschlag in flüssiger Form."}},
      {{"BOT", "80000"}, "20432", {"Tagessumme der Sonnenscheindauer des Vortags: 432 min."}},
      {{"BOT", "80000"}, "3154", {"Höchste Windspitze des Vortags: 15.4 m/s."}},
      {{"BOT", "80000"}, "70123", {"Maximumtemperatur des Vortags (00 - 24 UTC): 12.3 °C."}},
      {{"BOT", "80000"},
       "9101211",
       {"Minimumtemperatur des Vortags (00 - 24 UTC) 5 cm über dem Erdboden bzw. der Schneedecke: "
        "-1.2 °C.",
        "Bedeckung des Temperaturmeßfühlers 5 cm über dem Erdboden mit Schnee oder Eis: Ja."}},
  });
  EXPECT_EQ(decodeAfter({"PIC"}, "80000").state, 70);
  EXPECT_EQ(decodeAfter({"BOT"}, "80000").state, 70);
}

TEST(SynopNationalBlocks, PreviousDayWeatherLists) {
  // All three lists read figures 2-3; 05 is bits 1 and 4 in each, what follows is ignored.
  const Lines rainAndSnow = {
      "Gefallener Niederschlag des Vortags (00 - 24 UTC):",
      "Regen (Sprüh-/Nieselregen, Regen, Regentropfen).",
      "Schnee (Schnee, Schneekristalle, Schneeflocken).",
      "Abgesetzter oder abgelagerter Niederschlag des Vortags (00 - 24 UTC):",
      "Tau (Strahlungstau, Advektionstau, weißer Tau).",
      "Rauhreif/Rauhfrost.",
      "Sonstige Wettererscheinungen des Vortags (00 - 24 UTC):",
      "Nebel (Nebel, Nebeltreiben).",
      "Starker Wind (Windstärke 6 und 7 im 10-Min.-Mittel)."};
  EXPECT_EQ(decodeAfter({"PIC", "80000"}, "60500").lines, rainAndSnow);
  EXPECT_EQ(decodeAfter({"BOT", "80000"}, "6050203").lines, rainAndSnow);
  // Bits beyond a list's items (32 in the first and third) add nothing there.
  auto high = decodeAfter({"BOT", "80000"}, "63200").lines;
  EXPECT_EQ(high.size(), 4u);
  EXPECT_EQ(high[2], "Decke aus festen Niederschlägen (mindestens 50 % des Bodens bedeckend).");
  EXPECT_TRUE(decodeAfter({"PIC", "80000"}, "6X100").bad);
  EXPECT_FALSE(decodeAfter({"PIC", "80000"}, "6////").bad);
  EXPECT_TRUE(decodeAfter({"PIC", "80000"}, "6////").lines.empty());
}

TEST(SynopReportEnd, LastGroupWithTheEndMarkKeepsTheReport) {
  auto report = [](const std::string& tail) {
    TSynopDecoder d;
    d.DecodeShipText(
        "ZCZC 412\r\nSMVX41 EDZW 051200\r\nBBXX\r\n"
        "DBBH 05124 99543 10067 41496 82715 " +
            tail + "\r\nNNNN\r\n",
        DwdStore::German);
    return d.ReportList();
  };
  // Each line once in the single report that `tail` ends.
  auto expectLines = [&](const std::string& tail, const Lines& lines) {
    auto reports = report(tail);
    ASSERT_EQ(reports.size(), 1u) << tail;
    for (const auto& line : lines)
      EXPECT_EQ(std::count(reports[0].lines.begin(), reports[0].lines.end(), line), 1) << line;
  };
  expectLines("BOT 80000 60500=",
              {"Gefallener Niederschlag des Vortags (00 - 24 UTC):",
               "Abgesetzter oder abgelagerter Niederschlag des Vortags (00 - 24 UTC):",
               "Sonstige Wettererscheinungen des Vortags (00 - 24 UTC):",
               "Regen (Sprüh-/Nieselregen, Regen, Regentropfen).", "Rauhreif/Rauhfrost.",
               "Starker Wind (Windstärke 6 und 7 im 10-Min.-Mittel)."});
  expectLines("PIC 35 80000 20432 60000 70123=",
              {"Kein gefallener Niederschlag.", "Kein abgesetzter oder abgelagerter Niederschlag.",
               "Keine weiteren Wettererscheinungen.",
               "Maximumtemperatur des Vortags (00 - 24 UTC): 12.3 °C."});

  // Any group of the report may carry the mark, also one that reads its last figures.
  for (const char* tail : {"10052=", "BOT 80000 3154=", "BOT 80000 90120/=", "555 3012=",
                           "666 80000 00012=", "333 31003=="}) {
    EXPECT_EQ(report(tail).size(), 1u) << tail;
  }
}

TEST(SynopNationalBlocks, HourlyBlockAndTenMinutePrecipitation) {
  checkCases({
      {{"666"}, "10123", {"Maximumtemperatur der letzten Stunde: 12.3 °C."}},
      {{"666"},
       "31012",
       {"Minimumtemperatur 5 cm über dem Erdboden bzw. der Schneedecke in der letzten Stunde: -1.2 "
        "°C."}},
      {{"666"}, "61234", {"6vvvv nicht dekodiert."}},
      {{"666"}, "70850", {"Automatisch gemessene meteorologische Sichtweite (MOR) in m: 850."}},
      {{"666"}, "80000", {}},
      {{"666", "80000"},
       "00012",
       {"10-minütige Niederschlagshöhe: 1In Minute 0 - 9 der letzten Stunde."}},
      {{"666", "80000"},
       "50103",
       {"10-minütige Niederschlagshöhe: 10In Minute 50 - 59 der letzten Stunde."}},
      {{"666", "80000"}, "60103", {}},
  });
}

}  // namespace
}  // namespace tern
