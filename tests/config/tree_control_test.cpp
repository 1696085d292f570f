#include "config/tree_control.h"

#include <gtest/gtest.h>

#include <climits>

#include "config/config_fakes.h"

namespace tern {
namespace {

using testing::block;
using testing::MemoryTreeView;
using testing::RecordingSink;
using testing::scheduleText;
using Image = TreeView::StateImage;

class Selection : public ::testing::Test {
 protected:
  // Schedule 0 like the German RTTY (codes 0..3), schedule 1 like FAX DWD (codes 8..11).
  void add(const std::string& text, int which) {
    const ScheduleInfo& info = kSchedules[which == 0 ? 0 : 2];
    control.AddSchedule(scheduleText(text), info.fileName, info.caption, info.lastCode,
                        info.firstCode, &trees[static_cast<std::size_t>(which)]);
  }
  // Toggles entry `entry` of schedule `schedule` as a click on its state image does.
  void toggle(int schedule, int entry) {
    control.SelectSchedule(schedule);
    trees[static_cast<std::size_t>(schedule)].select(entry);
    control.ToggleEntry();
  }
  NodeKind kind(int schedule, int entry) const {
    return control.Schedule(schedule).Entries[static_cast<std::size_t>(entry)].Kind;
  }
  int cell(int minute) const { return control.TimeAlloc().cell(minute); }

  RecordingSink sink;
  TTreeControl control{sink, "/nonexistent/"};
  std::array<MemoryTreeView, 2> trees;
};

TEST_F(Selection, ReadingBuildsRootGroupAndTimeRecordsAndTheirNodes) {
  add(block("SMVX4/", "Schiffsmeldungen", "05:00", {"23:50", "-1:30"}) +
          block("AB", "Kurz", "00:10", {"25:00"}),
      0);
  const auto& e = control.Schedule(0).Entries;
  ASSERT_EQ(e.size(), 6u);
  EXPECT_EQ(e[0].Kind, NodeKind::Root);
  EXPECT_EQ(e[0].Text, "RTTY DWD DEUTSCH");
  EXPECT_EQ(e[0].FreqCode, 30);
  EXPECT_EQ(e[1].Kind, NodeKind::Group);
  EXPECT_EQ(e[1].Text, "SMVX4/ Schiffsmeldungen");
  EXPECT_EQ(e[1].Id, (std::array<std::uint8_t, 6>{' ', ' ', ' ', ' ', ' ', ' '}));
  // The "/" block stands once and keeps its "/"; 300 minutes are stored modulo 256, while
  // the text keeps the times as read.
  EXPECT_EQ(e[2].Kind, NodeKind::Free);
  EXPECT_EQ(e[2].StartMinute, 1430);
  EXPECT_EQ(e[2].Duration, 300 - 256);
  EXPECT_EQ(e[2].Id, (std::array<std::uint8_t, 6>{'S', 'M', 'V', 'X', '4', '/'}));
  EXPECT_EQ(e[2].Text, "23:50 - 04:50");
  EXPECT_EQ(e[3].StartMinute, 1410);  // a negative start wraps into the previous day
  EXPECT_EQ(e[5].StartMinute, 60);    // and a start beyond the day into the next
  EXPECT_EQ(e[5].Id, (std::array<std::uint8_t, 6>{'A', 'B', 0, 0, 0, 0}));

  const MemoryTreeView& t = trees[0];
  ASSERT_EQ(t.nodeCount(), 6);
  EXPECT_EQ(t.items[0].parent, TreeView::kNoNode);
  EXPECT_EQ(t.items[1].parent, 0);
  EXPECT_EQ(t.items[2].parent, 1);
  EXPECT_EQ(t.items[5].parent, 4);
  EXPECT_EQ(t.image(1), Image::None);
  EXPECT_EQ(t.image(2), Image::Free);
  EXPECT_TRUE(t.items[5].expanded);
}

TEST_F(Selection, SpanAcrossMidnightAndEndAtMidnight) {
  add(block("AAAAAA", "A", "00:20", {"23:50", "23:20"}), 0);
  toggle(0, 2);
  toggle(0, 3);
  EXPECT_EQ(kind(0, 2), NodeKind::Selected);
  EXPECT_EQ(kind(0, 3), NodeKind::Selected);
  for (int m : {1430, 1439, 0, 9}) EXPECT_EQ(cell(m), 0) << m;
  for (int m : {10, 1420}) EXPECT_EQ(cell(m), kFreeCell) << m;
  EXPECT_EQ(trees[0].items[2].caption, "23:50 - 00:10   Frequenz:        AUTO");
  EXPECT_EQ(trees[0].items[3].caption, "23:20 - 23:40   Frequenz:        AUTO");
  EXPECT_EQ(FormatMinutes(23 * 60 + 40 + 20), "24:00");
}

TEST_F(Selection, BlockedEntryOccupiesNothingAndNamesItsPartnerUntilFreed) {
  add(block("AAAAAA", "Wetter", "00:20", {"06:00"}), 0);
  toggle(0, 2);
  add(block("BBBBBB", "Karte", "00:10", {"06:10"}), 1);  // current, its nodes not yet updated
  trees[1].select(2);
  control.ToggleEntry();  // half of its minutes belong to the other channel
  EXPECT_EQ(kind(1, 2), NodeKind::Blocked);
  EXPECT_EQ(trees[1].image(2), Image::Blocked);
  EXPECT_EQ(cell(6 * 60 + 15), 0);
  EXPECT_TRUE(sink.texts.empty());

  toggle(1, 2);  // clicking a blocked entry names the other entry
  ASSERT_EQ(sink.texts.size(), 1u);
  EXPECT_EQ(sink.texts[0],
            "Empfangszeit bereits belegt durch: RTTY DWD DEUTSCH AAAAAA Wetter 06:00 - 06:20");
  EXPECT_EQ(kind(1, 2), NodeKind::Blocked);

  toggle(0, 2);  // deselected: its minutes are free again
  EXPECT_EQ(cell(6 * 60), kFreeCell);
  control.SelectSchedule(1);
  EXPECT_EQ(kind(1, 2), NodeKind::Free);
  EXPECT_EQ(trees[1].image(2), Image::Free);
}

TEST_F(Selection, ConflictPartnerIsTheEntryThatReallyOverlaps) {
  // An entry starting where the blocked one ends comes first in the scan but shares no
  // minute with it; the partner across midnight does.
  add(block("ADJACT", "Danach", "00:10", {"00:15"}) + block("MIDNGT", "Nacht", "00:20", {"23:55"}),
      0);
  add(block("CCCCCC", "Fax", "00:10", {"00:05", "23:50"}), 1);
  toggle(0, 2);
  toggle(0, 4);
  toggle(1, 2);  // already shown blocked when its page opened: the click names the partner
  ASSERT_EQ(sink.texts.size(), 1u);
  EXPECT_EQ(sink.texts[0],
            "Empfangszeit bereits belegt durch: RTTY DWD DEUTSCH MIDNGT Nacht 23:55 - 00:15");
  control.ShowConflict(1, 3);  // 23:50 - 00:00 shares minutes with it too
  EXPECT_EQ(sink.texts.size(), 2u);
  toggle(0, 4);
  control.ShowConflict(1, 2);  // no selected partner left: nothing is shown
  EXPECT_EQ(sink.texts.size(), 2u);
}

TEST_F(Selection, SelectAllTakesTheEarlierOfOverlappingEntries) {
  add(block("AAAAAA", "A", "00:30", {"01:00", "01:15", "02:00"}), 0);
  control.SelectAll();
  EXPECT_EQ(kind(0, 2), NodeKind::Selected);
  EXPECT_EQ(kind(0, 3), NodeKind::Blocked);
  EXPECT_EQ(kind(0, 4), NodeKind::Selected);
  EXPECT_EQ(trees[0].image(3), Image::Blocked);
  control.DeselectAll();
  for (int i : {2, 3, 4}) EXPECT_EQ(kind(0, i), NodeKind::Free) << i;
  for (int m = 0; m < kMinutesPerDay; ++m) ASSERT_EQ(cell(m), kFreeCell) << m;
}

TEST_F(Selection, AnEntryInsideMinutesOfItsOwnChannelIsBlockedAndNamesTheHolder) {
  add(block("AAAAAA", "A", "00:30", {"01:00"}) + block("BBBBBB", "B", "00:10", {"01:05"}), 0);
  toggle(0, 2);
  toggle(0, 4);  // wholly inside minutes of its own channel: never two recordings at once
  EXPECT_EQ(kind(0, 4), NodeKind::Blocked);
  EXPECT_EQ(trees[0].image(4), Image::Blocked);
  ASSERT_EQ(sink.texts.size(), 1u);
  EXPECT_EQ(sink.texts[0],
            "Empfangszeit bereits belegt durch: RTTY DWD DEUTSCH AAAAAA A 01:00 - 01:30");
  control.BuildPayload();
  EXPECT_EQ(control.Payload()[10 + 3], 255);  // only one slot used
  toggle(0, 2);  // the holder let go: the other one is free again at once
  EXPECT_EQ(kind(0, 4), NodeKind::Free);
  EXPECT_EQ(trees[0].image(4), Image::Free);
}

TEST_F(Selection, StartOffsetMovesTimesAndOwnMinutesOnly) {
  add(block("AAAAAA", "A", "00:10", {"00:02"}), 0);
  add(block("BBBBBB", "B", "00:10", {"12:00"}), 1);
  toggle(0, 2);
  toggle(1, 2);
  control.SelectSchedule(0);
  control.SetStartOffset(-5);
  const auto& e = control.Schedule(0).Entries[2];
  EXPECT_EQ(e.StartMinute, 23 * 60 + 57);
  EXPECT_EQ(e.Text, "00:02 - 00:12");  // the text keeps the times of the file
  EXPECT_EQ(trees[0].items[2].caption, "23:57 - 00:07   Frequenz:        AUTO");
  EXPECT_EQ(cell(23 * 60 + 57), 0);
  EXPECT_EQ(cell(2), 0);
  EXPECT_EQ(cell(7), kFreeCell);
  EXPECT_EQ(cell(12 * 60), 8);  // the other channel is untouched
  control.SetStartOffset(31);   // out of range: back to 0
  EXPECT_EQ(control.CurrentStartOffset(), 0);
  EXPECT_EQ(control.Schedule(0).Entries[2].StartMinute, 2);
}

TEST_F(Selection, FrequencyCodesOfTheCurrentSchedule) {
  add(block("AAAAAA", "A", "00:10", {"01:00"}), 0);
  toggle(0, 2);
  control.SetFreqCode(2);
  EXPECT_EQ(control.Schedule(0).Entries[2].FreqCode, 2);
  EXPECT_EQ(trees[0].items[2].caption, "01:00 - 01:10   Frequenz: 11039000 Hz");
  EXPECT_EQ(cell(60), 0);  // occupied minutes keep the code they were taken with
  control.SetFreqCode(9);  // another channel's code is not offered
  EXPECT_EQ(control.Schedule(0).Entries[2].FreqCode, 2);
  auto menu = control.FrequencyMenu();
  ASSERT_EQ(menu.size(), 4u);
  EXPECT_EQ(menu[0], (std::pair<int, std::string>{0, "  Frequenz:        AUTO"}));
  EXPECT_EQ(menu[1].second, "  Frequenz:   147300 Hz");
}

TEST_F(Selection, MissingAndDamagedFiles) {
  MemoryTreeView tree;
  control.AddSchedule("/nonexistent/SCHEDULE_RTTY_D.TRN", "RTTY DWD DEUTSCH", 3, 0, &tree);
  const auto& e = control.Schedule(0).Entries;
  ASSERT_EQ(e.size(), 3u);
  EXPECT_EQ(e[1].Text, "Error! No schedule");
  EXPECT_EQ(e[2].StartMinute, 0);
  EXPECT_EQ(e[2].Duration, (23 * 60 + 59) % 256);
  EXPECT_TRUE(sink.texts.empty());  // the tree itself shows it

  const std::string path = ::testing::TempDir() + "tern_damaged_schedule.TRN";
  const std::string text = block("AAAAAA", "A", "00:10", {"01:00"}) + "BBBBBB\r\nB\r\n";
  ASSERT_TRUE(replaceFileAtomically(
      path, ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
  control.AddSchedule(path, "X", 7, 4, nullptr);
  EXPECT_EQ(control.Schedule(1).Entries.size(), 4u);
  ASSERT_EQ(sink.texts.size(), 1u);
  EXPECT_EQ(sink.kinds[0], MessageKind::Warning);
  EXPECT_NE(sink.texts[0].find("Fehler im Sendeplan!"), std::string::npos);
  EXPECT_NE(sink.texts[0].find("Zeile 8"), std::string::npos);
}

TEST(ScheduleTable, Formatting) {
  struct Case {
    int minutes;
    const char* text;
  } cases[] = {{0, "00:00"},     {370, "06:10"},   {1439, "23:59"},    {1440, "24:00"},
               {1450, "00:10"},  {-3, "23:57"},    {2880, "24:00"},    {9000, "06:00"},
               {-1440, "00:00"}, {-3000, "22:00"}, {INT_MAX, "02:07"}, {INT_MIN, "21:52"}};
  for (const Case& c : cases) EXPECT_EQ(FormatMinutes(c.minutes), c.text) << c.minutes;
  EXPECT_EQ(FormatFrequency(0), "  Frequenz:        AUTO");
  EXPECT_EQ(FormatFrequency(147300), "  Frequenz:   147300 Hz");
  EXPECT_EQ(FormatFrequency(13882500), "  Frequenz: 13882500 Hz");
  EXPECT_EQ(FormatFrequency(4294967295u), "  Frequenz: 4294967295 Hz");
  EXPECT_EQ(frequencyHz(31), 0u);
  EXPECT_EQ(frequencyHz(7), 10100800u);
  // Every schedule's range starts with an AUTO row and no two ranges share a code.
  std::array<int, kFrequencyCodeCount> owners{};
  for (const ScheduleInfo& s : kSchedules) {
    EXPECT_EQ(kFrequencyTable[static_cast<std::size_t>(s.firstCode)].hz, 0u) << s.caption;
    for (int c = s.firstCode; c <= s.lastCode; ++c) ++owners[static_cast<std::size_t>(c)];
  }
  for (int c = 0; c < 30; ++c) EXPECT_EQ(owners[static_cast<std::size_t>(c)], 1) << c;
  EXPECT_EQ(scheduleOfCode(17), 6);
  EXPECT_EQ(scheduleOfCode(22), 4);
  EXPECT_EQ(scheduleOfCode(31), 0);
}

}  // namespace
}  // namespace tern
