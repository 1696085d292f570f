#include "config/schedule_file.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "config/config_fakes.h"
#include "config/schedule_table.h"

namespace tern {
namespace {

using testing::block;
using testing::scheduleText;

TEST(ScheduleFile, TimeTexts) {
  struct Case {
    const char* text;
    int minutes;
  } cases[] = {
      {"06:10", 370}, {"00:00", 0},       {"23:59", 1439}, {"24:00", 1440}, {"-1:30", -30},
      {"6:10", 0},    {"06.10", 370},     {"0610", 0},     {"", 0},         {"ab:cd", 0},
      {"06:1x", 0},   {"06:10 UTC", 370}, {"+1:05", 65},   {"--:--", 0},    {"- :10", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(timeTextMinutes(c.text), c.minutes) << c.text;
}

TEST(ScheduleFile, BlocksOfAWellFormedFileWithCrLfAndBlanks) {
  ScheduleFile f = scheduleText(
      "  FQEN50  \r\nSeewetterbericht\r\nx\r\ny\r\n00:15\r\n00:05\r\n"
      "\t06:05\r\n#\r\n" +
      block("SMVX4/", "Schiffsmeldungen", "00:30", {"02:00"}) + "\r\n\r\n");
  ASSERT_TRUE(f.readable);
  EXPECT_TRUE(f.faults.empty());
  ASSERT_EQ(f.blocks.size(), 2u);
  EXPECT_EQ(f.blocks[0].identifier, "FQEN50");
  EXPECT_EQ(f.blocks[0].title, "Seewetterbericht");
  EXPECT_EQ(f.blocks[0].durationText, "00:15");
  EXPECT_EQ(f.blocks[0].startTimes, (std::vector<std::string>{"00:05", "06:05"}));
  EXPECT_EQ(f.blocks[1].firstLine, 9);
}

TEST(ScheduleFile, DamagedFilesKeepTheRowsEveryReaderAgreesOn) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> ids;
    std::vector<ScheduleFaultKind> faults;
  };
  const std::string good = block("AAAAAA", "A", "00:10", {"01:00"});
  const Case cases[] = {
      {"empty", "", {}, {}},
      {"only blanks", "\r\n  \r\n", {}, {}},
      {"last # missing",
       good + "BBBBBB\r\nB\r\n-\r\n-\r\n00:10\r\n02:00\r\n",
       {"AAAAAA A", "BBBBBB B"},
       {ScheduleFaultKind::Unclosed}},
      {"cut after the identifier",
       good + "BBBBBB",
       {"AAAAAA A", "BBBBBB "},
       {ScheduleFaultKind::ShortBlock, ScheduleFaultKind::Unclosed}},
      {"short block",
       "CCCCCC\r\nC\r\n#\r\n" + good,
       {"CCCCCC C", "AAAAAA A"},
       {ScheduleFaultKind::ShortBlock}},
      {"stray #",
       "#\r\n" + good + "#\r\n",
       {"AAAAAA A"},
       {ScheduleFaultKind::EmptyBlock, ScheduleFaultKind::EmptyBlock}},
      {"short identifier", block("AB", "T", "00:10", {"01:00"}), {"AB T"}, {}},
  };
  for (const Case& c : cases) {
    ScheduleFile f = scheduleText(c.text);
    EXPECT_EQ(scheduleIdentifiers(f), c.ids) << c.name;
    std::vector<ScheduleFaultKind> kinds;
    for (const auto& fault : f.faults) kinds.push_back(fault.kind);
    EXPECT_EQ(kinds, c.faults) << c.name;
    EXPECT_EQ(scheduleEntryTexts(f).size(), f.blocks.size()) << c.name;
  }
}

TEST(ScheduleFile, SlashIdentifierStandsForEightButOneEntry) {
  ScheduleFile f = scheduleText(block("SMVX4/", "Ship reports", "01:00", {"02:00"}) +
                                block("SM/", "short", "00:10", {"03:00"}));
  std::vector<std::string> ids = scheduleIdentifiers(f);
  ASSERT_EQ(ids.size(), 9u);
  EXPECT_EQ(ids.front(), "SMVX41 Ship reports");
  EXPECT_EQ(ids[7], "SMVX48 Ship reports");
  EXPECT_EQ(ids[8], "SM/ short");
  EXPECT_EQ(scheduleEntryTexts(f), (std::vector<std::string>{"SMVX4/ Ship reports", "SM/ short"}));
}

TEST(ScheduleFile, UnreadableFileIsReportedNotParsed) {
  ScheduleFile f = readScheduleFile("/nonexistent/SCHEDULE_X.TRN");
  EXPECT_FALSE(f.readable);
  EXPECT_FALSE(f.readError.empty());
  EXPECT_TRUE(f.blocks.empty());
}

TEST(ScheduleFile, FaultDescriptionsNameTheLine) {
  EXPECT_EQ(describeScheduleFault({12, ScheduleFaultKind::Unclosed}),
            "Zeile 12: Block ohne \"#\" am Ende");
}

// The files that ship beside the program must give the receiver link the row counts it
// expects, be free of faults, and keep each station's own transmissions apart.
TEST(ShippedSchedules, IdentifierCountsStructureAndNoOverlaps) {
  for (const ScheduleInfo& info : kSchedules) {
    SCOPED_TRACE(info.fileName);
    ScheduleFile f = readScheduleFile(std::string(TERN_ASSETS_DIR) + "/" + info.fileName);
    ASSERT_TRUE(f.readable) << f.readError;
    EXPECT_TRUE(f.faults.empty());
    EXPECT_EQ(static_cast<int>(scheduleIdentifiers(f).size()), info.identifierCount);

    std::vector<int> owner(kMinutesPerDay, -1);
    for (std::size_t b = 0; b < f.blocks.size(); ++b) {
      const ScheduleBlock& blk = f.blocks[b];
      EXPECT_EQ(blk.identifier.size(), 6u) << blk.identifier;
      if (info.firstCode >= 8) {
        EXPECT_EQ(blk.identifier.find('/'), std::string::npos);
      }
      const int duration = timeTextMinutes(blk.durationText);
      EXPECT_GT(duration, 0) << blk.identifier;
      EXPECT_FALSE(blk.startTimes.empty()) << blk.identifier;
      for (const std::string& start : blk.startTimes) {
        for (int k = 0; k < duration; ++k) {
          int& cell = owner[static_cast<std::size_t>(dayMinute(timeTextMinutes(start) + k))];
          EXPECT_EQ(cell, -1) << blk.identifier << " " << start << " overlaps block " << cell;
          cell = static_cast<int>(b);
        }
      }
    }
  }
}

TEST(ShippedSchedules, DwdProgrammesCarryTheBulletinsOthersDecode) {
  auto ids = [](const char* name) {
    std::vector<std::string> out;
    for (const auto& b : readScheduleFile(std::string(TERN_ASSETS_DIR) + "/" + name).blocks)
      out.push_back(b.identifier);
    return out;
  };
  auto has = [](const std::vector<std::string>& v, const char* id) {
    return std::find(v.begin(), v.end(), id) != v.end();
  };
  auto german = ids("SCHEDULE_RTTY_D.TRN");
  EXPECT_TRUE(has(german, "SXEN40") && has(german, "SXMM41") && has(german, "SMVX4/"));
  auto english = ids("SCHEDULE_RTTY_E.TRN");
  EXPECT_TRUE(has(english, "SMVX4/") && has(english, "SIVX4/"));
}

}  // namespace
}  // namespace tern
