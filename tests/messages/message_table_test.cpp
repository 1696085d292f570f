#include "messages/message_table.h"

#include <gtest/gtest.h>

#include "messages/record_builders.h"

namespace tern::testing {
namespace {

const CivilTime kNow{2026, 3, 5, 14, 20, 0, 0};

CivilTime minutesBefore(int minutes) {
  return civilFromSeconds(secondsSinceEpoch(kNow) - minutes * 60);
}

class Table : public ::testing::Test {
 protected:
  MessageRecord::Header rec(int age) { return header(0, "QYAA00", minutesBefore(age), 0); }
  MessageTable::StoreResult put(int row, int age) {
    return table.store(row, counters, rec(age), ByteView{}, ++serial);
  }
  std::vector<MessageRecord::Header> row(int r) {
    std::vector<MessageRecord::Header> out;
    for (int s = 0; s < 3; ++s) out.push_back(table.slot(r, s).header);
    return out;
  }
  MessageTable table{34};
  MessageTable::Counters counters{};
  std::uint64_t serial = 0;
};

TEST_F(Table, FourNewRecordsFillThreeSlotsNewestFirst) {
  for (int age : {10, 20, 30}) EXPECT_EQ(put(2, age), MessageTable::StoreResult::Stored);
  EXPECT_EQ(put(2, 40), MessageTable::StoreResult::Ignored);
  EXPECT_EQ(row(2), (std::vector{rec(10), rec(20), rec(30)}));
  EXPECT_EQ(table.slot(2, 0).newFlag, 1);
}

TEST_F(Table, KnownRecordAtItsSlotStopsAndOlderOnesMoveDown) {
  // The row holds R1 R2 R3 (R1 newest); the receiver sends R0 R1 R2.
  for (int age : {10, 20, 30}) put(0, age);
  counters.fill(0);                                             // the next read-out
  EXPECT_EQ(put(0, 5), MessageTable::StoreResult::Stored);      // R0 into slot 0
  EXPECT_EQ(put(0, 10), MessageTable::StoreResult::Duplicate);  // R1 is at slot 1: stop
  EXPECT_EQ(row(0), (std::vector{rec(5), rec(10), rec(20)}));   // R3 is gone
}

TEST_F(Table, ComparisonIsWithSlotKOnly) {
  put(1, 10);
  put(1, 20);
  counters.fill(0);
  // Equal to slot 1 while the counter is 0: compared with slot 0, so stored as new.
  EXPECT_EQ(put(1, 20), MessageTable::StoreResult::Stored);
  EXPECT_EQ(row(1), (std::vector{rec(20), rec(10), rec(20)}));
}

TEST_F(Table, AgeingDropsFromTheOldEndOnly) {
  auto at = [&](int s, int ageMinutes) {
    table.slot(3, s).header = rec(ageMinutes);
    table.slot(3, s).serial = ++serial;
  };
  at(0, 60);           // an hour old
  at(1, 24 * 60);      // a day old
  at(2, 4 * 24 * 60);  // four days old
  EXPECT_TRUE(table.age(kNow, 3));
  EXPECT_TRUE(table.slot(3, 2).isEmpty());
  EXPECT_FALSE(table.slot(3, 1).isEmpty());
  EXPECT_FALSE(table.slot(3, 0).isEmpty());
  EXPECT_FALSE(table.age(kNow, 3));

  // An invalid date counts as old.
  table.slot(4, 0).header = header(0, "X", CivilTime{2026, 2, 30, 0, 0, 0, 0});
  EXPECT_TRUE(table.age(kNow, 3));
  EXPECT_TRUE(table.slot(4, 0).isEmpty());
}

TEST_F(Table, SerialsFindRecordsUntilTheyAreDropped) {
  put(0, 10);
  std::uint64_t first = table.slot(0, 0).serial;
  ASSERT_NE(table.find(first), nullptr);
  counters.fill(0);
  put(0, 5);
  put(0, 4);
  put(0, 3);  // pushes the first one out of slot 2
  EXPECT_EQ(table.find(first), nullptr);
  EXPECT_EQ(table.find(0), nullptr);
}

}  // namespace
}  // namespace tern::testing
