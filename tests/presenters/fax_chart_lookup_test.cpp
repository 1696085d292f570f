// Charts found by the names the fax tree gives them; what tern-cli says of them is tested
// with the process.
#include "presenters/fax_chart_lookup.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

MessageRecord chart(const std::string& key, int day) {
  MessageRecord r;
  r.header = makeHeader(0, 1, key, CivilTime{2026, 12, day, 12, 30, 0, 0});
  r.data = Bytes(1, static_cast<std::uint8_t>(day));
  return r;
}

TEST(FaxChartLookup, NamesMatchWholeAndSlotsKeepTheirPlaceAcrossAGap) {
  EXPECT_EQ(FaxStationOf("New Orleans"), 4);
  EXPECT_EQ(FaxStationOf("FAX_NORTHWOOD"), 1);
  EXPECT_EQ(FaxStationOf("DWD "), std::nullopt);
  EXPECT_EQ(FaxStationOf("FAX"), std::nullopt);

  MessageTable table(4);
  table.slot(3, 0) = chart("ASXX69", 10);
  table.slot(3, 2) = chart("ASXX69", 8);  // slot 1 aged out in between
  const struct {
    const char* row;
    std::optional<int> slot;
    int day;  // of the chart found; 0: none
  } cases[] = {
      {"ASXX69", std::nullopt, 10}, {"asxx69", 2, 8},  {"ASXX69", 1, 0},
      {"ASXX6", std::nullopt, 0},   {"ASXX690", 0, 0},
  };
  for (const auto& c : cases) {
    const FaxChartLookup found = FindFaxChart(table, 0, c.row, c.slot);
    ASSERT_EQ(found.chart.has_value(), c.day != 0) << c.row << " " << c.slot.value_or(-1);
    if (found.chart) EXPECT_EQ(found.chart->receptionTime().day, c.day) << c.row;
    EXPECT_EQ(found.error.empty(), c.day != 0) << found.error;
  }
}

}  // namespace
}  // namespace tern
