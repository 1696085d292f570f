#include "config/summary.h"

#include <gtest/gtest.h>

#include "config/config_fakes.h"

namespace tern {
namespace {

using testing::block;
using testing::MemoryTreeView;
using testing::RecordingSink;
using testing::scheduleText;

class Summary : public ::testing::Test {
 protected:
  void SetUp() override {
    control.AddSchedule(
        scheduleText(block("FQEN50", "Seewetterbericht", "00:15", {"06:00", "12:00"})), "D",
        "RTTY DWD DEUTSCH", 3, 0, &trees[0]);
    control.AddSchedule(scheduleText(block("QYAA00", "Bodenanalyse", "00:20", {"00:00", "05:30"})),
                        "F", "FAX DWD", 11, 8, &trees[1]);
  }
  void toggle(int schedule, int entry) {
    control.SelectSchedule(schedule);
    trees[static_cast<std::size_t>(schedule)].select(entry);
    control.ToggleEntry();
  }

  RecordingSink sink;
  TTreeControl control{sink, "/nonexistent/"};
  std::array<MemoryTreeView, 2> trees;
};

TEST_F(Summary, NothingSelectedIsOneNavtexLineOrNothing) {
  control.ChooseNavtex(NavtexChoice::Navtex518);
  EXPECT_EQ(BuildSummary(control), std::vector<std::string>{"00:00 - 24:00   NAVTEX 518kHz "});
  control.ChooseNavtex(NavtexChoice::Navtex490);
  EXPECT_EQ(BuildSummary(control), std::vector<std::string>{"00:00 - 24:00   NAVTEX 490kHz "});
  control.ChooseNavtex(NavtexChoice::PowerSave);
  EXPECT_TRUE(BuildSummary(control).empty());
  // Both bits (a hand-edited file): 518 wins.
  EXPECT_EQ(NavtexSummaryText(kOptionNavtex490 | kOptionNavtex518 | kOptionAntenna),
            "NAVTEX 518kHz ");
}

TEST_F(Summary, TransmissionsInTimeOrderAtMovedStartsWithNavtexGaps) {
  toggle(0, 2);  // 06:00 German
  control.SetFreqCode(1);
  toggle(1, 3);                // 05:30 fax
  toggle(1, 2);                // 00:00 fax
  control.SetStartOffset(-5);  // fax now at 23:55 and 05:25; the lines keep the file's times
  control.ChooseNavtex(NavtexChoice::Navtex490);
  const std::string fax = "FAX DWD            Frequenz:        AUTO   QYAA00 Bodenanalyse";
  const std::string german = "RTTY DWD DEUTSCH   Frequenz:   147300 Hz   FQEN50 Seewetterbericht";
  // The fax at 23:55 runs past midnight: its minutes open the day, its line comes last.
  EXPECT_EQ(BuildSummary(control), (std::vector<std::string>{
                                       "00:15 - 05:25   NAVTEX 490kHz ",
                                       "05:30 - 05:50   " + fax,
                                       "05:45 - 06:00   NAVTEX 490kHz ",
                                       "06:00 - 06:15   " + german,
                                       "06:15 - 23:55   NAVTEX 490kHz ",
                                       "00:00 - 00:20   " + fax,
                                   }));
  control.ChooseNavtex(NavtexChoice::PowerSave);
  EXPECT_EQ(BuildSummary(control),
            (std::vector<std::string>{"05:30 - 05:50   " + fax, "06:00 - 06:15   " + german,
                                      "00:00 - 00:20   " + fax}));
}

}  // namespace
}  // namespace tern
