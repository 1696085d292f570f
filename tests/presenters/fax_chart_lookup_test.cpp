// Charts found by the names the fax tree gives them, as tern-cli asks for them.
#include "presenters/fax_chart_lookup.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

MessageRecord chart(const std::string& key, int day, std::uint8_t fill) {
  MessageRecord r;
  r.header = makeHeader(0, 4, key, CivilTime{2026, 12, day, 12, 30, 0, 0});
  r.data = Bytes(4, fill);
  return r;
}

TEST(FaxChartLookup, StationsAreNamedAsTheMapFoldersOrTheTreeNameThem) {
  EXPECT_EQ(FaxStationOf("DWD"), 0);
  EXPECT_EQ(FaxStationOf("new_orleans"), 4);
  EXPECT_EQ(FaxStationOf("New Orleans"), 4);
  EXPECT_EQ(FaxStationOf("FAX DWD"), 0);
  EXPECT_EQ(FaxStationOf("FAX_NORTHWOOD"), 1);
  EXPECT_EQ(FaxStationOf("FAX"), std::nullopt);
  EXPECT_EQ(FaxStationOf("DWD "), std::nullopt);
  EXPECT_EQ(FaxStationOf(""), std::nullopt);
}

TEST(FaxChartLookup, FindsTheRecordingOfARowBySlotAndSaysWhatThereIs) {
  MessageTable table(4);
  table.slot(1, 0) = chart("ASXX40", 10, 1);
  table.slot(1, 1) = chart("ASXX40", 9, 2);
  table.slot(3, 0) = chart("ASXX69", 10, 3);
  // Slot 1 of the row is empty (a recording aged out in between); slot 2 is still there.
  table.slot(3, 2) = chart("ASXX69", 8, 4);
  const struct {
    const char* row;
    std::optional<int> slot;
    int fill;  // of the chart found; 0: none
    int foundSlot;
    const char* error;
  } cases[] = {
      {"ASXX40", std::nullopt, 1, 0, ""},
      {"asxx40", 1, 2, 1, ""},
      {"ASXX69", std::nullopt, 3, 0, ""},
      {"ASXX69", 2, 4, 2, ""},
      {"ASXX69", 1, 0, 0,
       "Die Karte ASXX69 von DWD hat keine Aufnahme 1 (vorhanden: 0 vom 10.12. 12:30 UTC, 2 vom "
       "08.12. 12:30 UTC)"},
      {"ASXX41", std::nullopt, 0, 0,
       "Bei DWD gibt es keine Karte ASXX41 (gespeichert: ASXX40, ASXX69)"},
      {"ASXX4", std::nullopt, 0, 0,
       "Bei DWD gibt es keine Karte ASXX4 (gespeichert: ASXX40, ASXX69)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.row) + " " + std::to_string(c.slot.value_or(-1)));
    const FaxChartLookup found = FindFaxChart(table, 0, c.row, c.slot);
    EXPECT_EQ(found.error, c.error);
    ASSERT_EQ(found.chart.has_value(), c.fill != 0);
    if (!found.chart) continue;
    EXPECT_EQ(found.chart->data, Bytes(4, static_cast<std::uint8_t>(c.fill)));
    EXPECT_EQ(found.chart->keyText().substr(0, 6), "ASXX" + std::string(c.row).substr(4, 2));
    EXPECT_EQ(found.slot, c.foundSlot);
  }
  EXPECT_EQ(FindFaxChart(MessageTable(4), 2, "ASXX01", std::nullopt).error,
            "Bei HALIFAX gibt es keine Karte ASXX01 (es ist keine Karte gespeichert)");
}

}  // namespace
}  // namespace tern
